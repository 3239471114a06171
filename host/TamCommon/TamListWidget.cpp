#include "TamListWidget.h"

#include <QChildEvent>

namespace TAMCOMMON {

TamListWidget::TamListWidget(QWidget *parent)
    : QListWidget(parent)
    , m_deferral(new DeferredItemWidgets(this))
{}

TamListWidget::~TamListWidget() = default;

void TamListWidget::doItemsLayout()
{
    m_deferral->layoutStarting();
    QListWidget::doItemsLayout();
    m_deferral->layoutFinished();
}

void TamListWidget::rowsInserted(const QModelIndex &parent, int start, int end)
{
    // QListView schedules a delayed layout here and then asks for an item
    // widget pass, which would run that layout at once for every new row.
    {
        DeferredItemWidgets::RowChange change(m_deferral);
        QListWidget::rowsInserted(parent, start, end);
    }
    m_deferral->rowsInserted(end - start + 1);
}

void TamListWidget::rowsAboutToBeRemoved(const QModelIndex &parent, int start, int end)
{
    m_deferral->beginRemoval();
    QListWidget::rowsAboutToBeRemoved(parent, start, end);
}

void TamListWidget::updateGeometries()
{
    if (m_deferral->isDeferring()) {
        deferGeometries();
        return;
    }
    QListWidget::updateGeometries();
}

void TamListWidget::updateEditorGeometries()
{
    // The delayed layout ends in updateGeometries() and so in one pass over
    // every item widget after the last change.
    if (m_deferral->isDeferring()) {
        deferGeometries();
        return;
    }
    m_deferral->placeWidgets([this] { QListWidget::updateEditorGeometries(); });
}

bool TamListWidget::viewportEvent(QEvent *event)
{
    if (event->type() == QEvent::ChildAdded)
        m_deferral->viewportChildAdded(static_cast<QChildEvent *>(event)->child());
    else if (event->type() == QEvent::ChildRemoved)
        m_deferral->viewportChildRemoved(static_cast<QChildEvent *>(event)->child());
    return QListWidget::viewportEvent(event);
}

void TamListWidget::scrollContentsBy(int dx, int dy)
{
    QListWidget::scrollContentsBy(dx, dy);
    m_deferral->showParkedInView();
}

void TamListWidget::deferGeometries()
{
    m_deferral->markDeferred();
    scheduleDelayedItemsLayout();
}

} // namespace TAMCOMMON
