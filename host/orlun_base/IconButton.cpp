#include "IconButton.h"

#include <QFileInfo>
#include <QLoggingCategory>

namespace orlun_base {

Q_LOGGING_CATEGORY(lcBase, "orlun.base")

IconButton::IconButton(QWidget *parent)
    : QPushButton(parent)
{
    setCursor(Qt::PointingHandCursor);
}

IconButton::~IconButton() = default;

void IconButton::setIcons(const QString &normalIcon, const QString &hoverIcon)
{
    // A mistyped path gives a blank button and no error otherwise.
    for (const QString &path : {normalIcon, hoverIcon}) {
        if (!path.isEmpty() && !QFileInfo::exists(path))
            qCWarning(lcBase) << "The button icon" << path << "does not exist";
    }
    m_normal = QIcon(normalIcon);
    m_hover = hoverIcon.isEmpty() ? m_normal : QIcon(hoverIcon);
    setIcon(underMouse() ? m_hover : m_normal);
}

void IconButton::setText(const QString &text)
{
    QPushButton::setText(text);
}

void IconButton::enterEvent(QEvent *event)
{
    if (!m_hover.isNull())
        setIcon(m_hover);
    QPushButton::enterEvent(event);
}

void IconButton::leaveEvent(QEvent *event)
{
    if (!m_normal.isNull())
        setIcon(m_normal);
    QPushButton::leaveEvent(event);
}

} // namespace orlun_base
