#include "IconButton.h"

namespace orlun_base {

IconButton::IconButton(QWidget *parent)
    : QPushButton(parent)
{
    setCursor(Qt::PointingHandCursor);
}

IconButton::~IconButton() = default;

void IconButton::setIcons(const QString &normalIcon, const QString &hoverIcon)
{
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
