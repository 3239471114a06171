#include "OutOfViewFilter.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QChildEvent>
#include <QEvent>

#include <utility>

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

QWidget *OutOfViewFilter::itemWidgetOf(QObject *watched) const
{
    QObject *object = watched;
    while (object && object->parent() != m_viewport)
        object = object->parent();
    return object && object->isWidgetType() ? static_cast<QWidget *>(object) : nullptr;
}

bool OutOfViewFilter::isPlaced(const QWidget *itemWidget)
{
    // The view gives each item widget its geometry; until then it lies at
    // the corner where every new widget starts (a form made with Designer
    // has a size of its own, but no position).
    return itemWidget->testAttribute(Qt::WA_Moved);
}

void OutOfViewFilter::replayPolish(QObject *itemWidget)
{
    HeldEvents held = m_unpolished.take(itemWidget);
    const bool replaying = std::exchange(m_replaying, true);
    held.release();
    m_replaying = replaying;
}

void OutOfViewFilter::updateRest(QWidget *itemWidget)
{
    if (!m_viewport || itemWidget->parent() != m_viewport || itemWidget->isWindow() ||
        !isPlaced(itemWidget))
        return;
    const QWidget *focus = QApplication::focusWidget();
    const bool rest = isOutOfView(itemWidget) && !(focus && itemWidget->isAncestorOf(focus));
    if (rest) {
        // Below the siblings in view, which stay on top (see below).
        if (m_inView.remove(itemWidget))
            itemWidget->lower();
        // Disabled by its owner: not this filter's to enable later.
        if (m_resting.contains(itemWidget) || itemWidget->testAttribute(Qt::WA_ForceDisabled))
            return;
        m_resting.insert(itemWidget);
        itemWidget->setEnabled(false);
        return;
    }
    replayPolish(itemWidget);
    if (m_resting.remove(itemWidget))
        itemWidget->setEnabled(true);
    if (!m_inView.contains(itemWidget)) {
        m_inView.insert(itemWidget);
        // On top of its siblings: painting a widget walks the siblings
        // stacked above it, which are then only the others in view.
        itemWidget->raise();
    }
}

bool OutOfViewFilter::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_viewport) {
        if (event->type() == QEvent::ChildAdded) {
            QObject *child = static_cast<QChildEvent *>(event)->child();
            if (child->isWidgetType())
                watch(static_cast<QWidget *>(child));
        } else if (event->type() == QEvent::ChildRemoved) {
            m_unpolished.remove(static_cast<QChildEvent *>(event)->child());
            m_resting.remove(static_cast<QChildEvent *>(event)->child());
            m_inView.remove(static_cast<QChildEvent *>(event)->child());
        } else if (event->type() == QEvent::Resize) {
            const auto children =
                m_viewport->findChildren<QWidget *>(QString(), Qt::FindDirectChildrenOnly);
            for (QWidget *child : children)
                updateRest(child);
        }
        return false;
    }
    switch (event->type()) {
    case QEvent::Move:
    case QEvent::Resize:
        if (watched->parent() == m_viewport)
            updateRest(static_cast<QWidget *>(watched));
        return false;
    // A row made with the viewport as its parent gains its children after
    // it joined.
    case QEvent::ChildAdded:
        if (QObject *child = static_cast<QChildEvent *>(event)->child(); child->isWidgetType())
            child->installEventFilter(this);
        return false;
    // Under a style sheet, polishing a row costs more than making it, and
    // a view shows all of its item widgets: a row not yet placed in view and
    // its children are polished when it comes into view (or paints first).
    case QEvent::Polish:
        if (QWidget *itemWidget = itemWidgetOf(watched);
            itemWidget && !m_replaying && (!isPlaced(itemWidget) || isOutOfView(itemWidget))) {
            m_unpolished[itemWidget].hold(static_cast<QWidget *>(watched), QEvent::Polish);
            return true;
        }
        return false;
    case QEvent::Paint:
        if (QWidget *itemWidget = itemWidgetOf(watched); m_unpolished.contains(itemWidget))
            replayPolish(itemWidget);
        return false;
    // Each would only repaint the widget: the new state is already set.
    case QEvent::EnabledChange:
    case QEvent::UpdateLater:
        return watched->isWidgetType() && isOutOfView(static_cast<QWidget *>(watched));
    default:
        return false;
    }
}

} // namespace TAMCOMMON
