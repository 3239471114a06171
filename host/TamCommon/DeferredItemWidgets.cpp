#include "DeferredItemWidgets.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QEvent>

namespace TAMCOMMON {

namespace {

// Far above any viewport, also after scrolling by the height of any view.
const QPoint kParkingPosition(0, -(1 << 24));

// Rows inserted between two passes before new widgets are set on a hidden
// viewport instead of being shown one by one.
constexpr int kInsertionBatchRows = 64;

} // namespace

DeferredItemWidgets::DeferredItemWidgets(QAbstractItemView *view)
    : QObject(view)
    , m_view(view)
{
    // Made in the view's constructor, so connected after QAbstractItemView's
    // own handler: the removal window closes only once Qt has asked for its
    // per-removal widget pass.
    connect(view->model(), &QAbstractItemModel::rowsRemoved, this, [this] { m_removing = false; });
}

void DeferredItemWidgets::layoutStarting()
{
    m_deferred = false;
    m_insertedSincePass = 0;
}

void DeferredItemWidgets::layoutFinished()
{
    if (!m_inInsertionBatch)
        return;
    m_inInsertionBatch = false;
    // In this order: turning updates back on repaints every visible widget
    // of the view, which the new widgets are not while the viewport is
    // hidden; shown afterwards they repaint only where they are in view.
    m_view->setUpdatesEnabled(true);
    m_view->viewport()->show();
}

void DeferredItemWidgets::rowsInserted(int count)
{
    m_insertedSincePass += count;
    if (m_inInsertionBatch || m_insertedSincePass < kInsertionBatchRows || !m_view->isVisible() ||
        !m_view->updatesEnabled())
        return;
    QWidget *port = m_view->viewport();
    // Hiding the viewport would move the keyboard focus out of the view.
    if (!port->isVisible() || port->isAncestorOf(QApplication::focusWidget()))
        return;
    // A widget shown on a visible parent posts itself events, and Qt scans
    // the whole event queue for a duplicate whenever the widget already has
    // events waiting, as every new widget does: while a caller adds rows in a
    // loop, each widget shown would cost a walk over all events posted by the
    // rows before it. On the hidden viewport new widgets are only marked to be
    // shown and appear together in the pass, after the event loop has
    // delivered their events. Updates stay off meanwhile so that the view's
    // last picture stays on screen rather than an empty viewport.
    m_inInsertionBatch = true;
    m_view->setUpdatesEnabled(false);
    port->hide();
}

void DeferredItemWidgets::viewportChildAdded(QObject *child)
{
    if (!child->isWidgetType() || static_cast<QWidget *>(child)->isWindow())
        return;
    auto *widget = static_cast<QWidget *>(child);
    watch(widget);
    // A cell widget is shown as soon as it is set, and placed only by the
    // deferred pass; until then it waits out of sight instead of at the top
    // left of the viewport.
    if (m_deferred)
        widget->move(kParkingPosition);
}

void DeferredItemWidgets::watch(QWidget *widget)
{
    widget->installEventFilter(this);
    for (QWidget *child : widget->findChildren<QWidget *>())
        child->installEventFilter(this);
}

bool DeferredItemWidgets::eventFilter(QObject *watched, QEvent *event)
{
    // A widget shown on a visible parent posts itself a full repaint request,
    // which puts it on the window's list of dirty widgets even when it lies
    // outside the viewport; painting that list costs a walk over all siblings
    // per entry, so thousands of new widgets made every paint quadratic.
    // Widgets outside the viewport have nothing to repaint: scrolling them
    // into view repaints the exposed area with them in it.
    if (event->type() != QEvent::UpdateLater || !watched->isWidgetType())
        return false;
    auto *widget = static_cast<QWidget *>(watched);
    QWidget *viewport = m_view->viewport();
    if (!viewport->isAncestorOf(widget))
        return false;
    const QRect rect(widget->mapTo(viewport, QPoint()), widget->size());
    return !rect.intersects(viewport->rect());
}

} // namespace TAMCOMMON
