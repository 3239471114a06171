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

// Views with fewer widgets show them all, as a plain item view does.
constexpr int kParkingWidgets = 256;

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

void DeferredItemWidgets::viewportChildRemoved(QObject *child)
{
    // Also sent from ~QObject, when the child is no longer a QWidget: only
    // its address may be used.
    m_parked.remove(child);
}

void DeferredItemWidgets::placeWidgets(const std::function<void()> &widgetPass)
{
    QWidget *port = m_view->viewport();
    // The pass shows every widget of a row in the model, in view or not.
    m_parked.clear();
    if (port->children().size() < kParkingWidgets) {
        widgetPass();
        return;
    }
    const bool hideViewport = port->isVisible() && m_view->updatesEnabled() &&
                              !port->isAncestorOf(QApplication::focusWidget());
    if (!hideViewport) {
        // On a hidden viewport (an insertion batch, a hidden view) showing
        // and parking are cheap; the viewport shows only what is in view.
        widgetPass();
        parkOutOfView();
        return;
    }
    // Same on a visible viewport: hidden for the pass, it keeps the pass from
    // showing every widget on screen one by one. Its updates stay off so the
    // view's last picture stays on screen meanwhile.
    m_view->setUpdatesEnabled(false);
    port->hide();
    widgetPass();
    parkOutOfView();
    m_view->setUpdatesEnabled(true);
    port->show();
}

void DeferredItemWidgets::parkOutOfView()
{
    QWidget *port = m_view->viewport();
    const QRect area = port->rect();
    for (QObject *child : port->children()) {
        if (!child->isWidgetType())
            continue;
        auto *widget = static_cast<QWidget *>(child);
        // Hidden ones belong to hidden rows, or their owner hid them.
        if (widget->isWindow() || widget->isHidden() || widget->geometry().intersects(area))
            continue;
        widget->hide();
        m_parked.insert(widget);
    }
}

void DeferredItemWidgets::showParkedInView()
{
    const QRect area = m_view->viewport()->rect();
    for (auto it = m_parked.begin(); it != m_parked.end();) {
        // Scrolling moves every child of the viewport, parked ones too.
        auto *widget = static_cast<QWidget *>(*it);
        if (widget->geometry().intersects(area)) {
            widget->show();
            it = m_parked.erase(it);
        } else {
            ++it;
        }
    }
}

void DeferredItemWidgets::watch(QWidget *widget)
{
    widget->installEventFilter(this);
    const QList<QWidget *> children = widget->findChildren<QWidget *>();
    for (QWidget *child : children)
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
