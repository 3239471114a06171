#include "BusyCursor.h"

#include <QApplication>
#include <QCursor>

namespace TAMCOMMON {

BusyCursor::BusyCursor(int workItems)
    : m_shown(workItems >= NoticeableItems)
{
    if (m_shown)
        QApplication::setOverrideCursor(QCursor(Qt::BusyCursor));
}

BusyCursor::~BusyCursor()
{
    if (m_shown)
        QApplication::restoreOverrideCursor();
}

} // namespace TAMCOMMON
