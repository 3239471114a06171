#include "OutOfViewFilter.h"

#include <QAbstractItemView>
#include <QChildEvent>
#include <QEvent>

namespace TAMCOMMON {

OutOfViewFilter::OutOfViewFilter(QAbstractItemView *view)
    : QObject(view)
    , m_viewport(view->viewport())
{
    QWidget *port = m_viewport;
    port->installEventFilter(this);
    const auto children = port->findChildren<QWidget *>(QString(), Qt::FindDirectChildrenOnly);
    for (QWidget *child : children)
        watch(child);
}

void OutOfViewFilter::watch(QWidget *widget)
{
    if (widget->isWindow())
        return;
    widget->installEventFilter(this);
    const auto descendants = widget->findChildren<QWidget *>();
    for (QWidget *child : descendants)
        child->installEventFilter(this);
}

bool OutOfViewFilter::isOutOfView(QWidget *widget) const
{
    QWidget *port = m_viewport;
    if (!port || !port->isAncestorOf(widget))
        return false;
    const QRect rect(widget->mapTo(port, QPoint()), widget->size());
    return !rect.intersects(port->rect());
}

bool OutOfViewFilter::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_viewport) {
        if (event->type() == QEvent::ChildAdded) {
            QObject *child = static_cast<QChildEvent *>(event)->child();
            if (child->isWidgetType())
                watch(static_cast<QWidget *>(child));
        }
        return false;
    }
    switch (event->type()) {
    // Each would only repaint the widget: the new state is already set.
    case QEvent::EnabledChange:
    case QEvent::UpdateLater:
        return watched->isWidgetType() && isOutOfView(static_cast<QWidget *>(watched));
    default:
        return false;
    }
}

} // namespace TAMCOMMON
