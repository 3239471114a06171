#include "TamListWidget.h"

#include <QApplication>
#include <QChildEvent>

namespace TAMCOMMON {

namespace {

// Far above any viewport, also after scrolling by the height of any list.
const QPoint kParkingPosition(0, -(1 << 24));

// Rows inserted between two passes before new item widgets are set on a
// hidden viewport instead of being shown one by one.
constexpr int kInsertionBatchRows = 64;

} // namespace

// A widget shown on a visible parent posts itself a full repaint request,
// which puts it on the window's list of dirty widgets even when it lies
// outside the viewport; painting that list costs a walk over all siblings per
// entry. Item widgets outside the viewport have nothing to repaint: scrolling
// them into view repaints the exposed area with them in it.
class TamListWidget::OffscreenUpdateFilter : public QObject
{
public:
    explicit OffscreenUpdateFilter(QAbstractScrollArea *area)
        : QObject(area)
        , m_area(area)
    {}

    void watch(QWidget *widget)
    {
        widget->installEventFilter(this);
        for (QWidget *child : widget->findChildren<QWidget *>())
            child->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() != QEvent::UpdateLater || !watched->isWidgetType())
            return false;
        auto *widget = static_cast<QWidget *>(watched);
        QWidget *viewport = m_area->viewport();
        if (!viewport->isAncestorOf(widget))
            return false;
        const QRect rect(widget->mapTo(viewport, QPoint()), widget->size());
        return !rect.intersects(viewport->rect());
    }

private:
    QAbstractScrollArea *m_area;
};

TamListWidget::TamListWidget(QWidget *parent)
    : QListWidget(parent)
    , m_updateFilter(new OffscreenUpdateFilter(this))
{
    // Connected after QAbstractItemView's own handler, so the removal window
    // closes only once Qt has asked for its per-removal item widget pass.
    connect(model(), &QAbstractItemModel::rowsRemoved, this, [this] { m_removing = false; });
}

TamListWidget::~TamListWidget() = default;

void TamListWidget::doItemsLayout()
{
    m_geometriesDeferred = false;
    m_insertedSincePass = 0;
    QListWidget::doItemsLayout();
    endInsertionBatch();
}

void TamListWidget::rowsInserted(const QModelIndex &parent, int start, int end)
{
    // QListView schedules a delayed layout here and then asks for an item
    // widget pass, which would run that layout at once for every new row.
    const bool wasInserting = m_inserting;
    m_inserting = true;
    QListWidget::rowsInserted(parent, start, end);
    m_inserting = wasInserting;
    noteInsertedRows(end - start + 1);
}

void TamListWidget::noteInsertedRows(int count)
{
    m_insertedSincePass += count;
    if (m_inInsertionBatch || m_insertedSincePass < kInsertionBatchRows || !isVisible() ||
        !updatesEnabled())
        return;
    QWidget *port = viewport();
    // Hiding the viewport would move the keyboard focus out of the list.
    if (!port->isVisible() || port->isAncestorOf(QApplication::focusWidget()))
        return;
    // A widget shown on a visible parent posts itself events, and Qt scans
    // the whole event queue for a duplicate whenever the widget already has
    // events waiting, as every new widget does: while a caller adds rows in a
    // loop, each item widget shown would cost a walk over all events posted
    // by the rows before it. On the hidden viewport they are only marked to
    // be shown and appear together in the pass, after the event loop has
    // delivered their events.
    m_inInsertionBatch = true;
    setUpdatesEnabled(false);
    port->hide();
}

void TamListWidget::endInsertionBatch()
{
    if (!m_inInsertionBatch)
        return;
    m_inInsertionBatch = false;
    // In this order: turning updates back on repaints every visible widget
    // of the list, which the item widgets are not while the viewport is
    // hidden; shown afterwards they repaint only where they are in view.
    setUpdatesEnabled(true);
    viewport()->show();
}

void TamListWidget::rowsAboutToBeRemoved(const QModelIndex &parent, int start, int end)
{
    m_removing = true;
    QListWidget::rowsAboutToBeRemoved(parent, start, end);
}

void TamListWidget::updateGeometries()
{
    if (isDeferringGeometries()) {
        deferGeometries();
        return;
    }
    QListWidget::updateGeometries();
}

void TamListWidget::updateEditorGeometries()
{
    // The delayed layout ends in updateGeometries() and so in one pass over
    // every item widget after the last change.
    if (isDeferringGeometries()) {
        deferGeometries();
        return;
    }
    QListWidget::updateEditorGeometries();
}

bool TamListWidget::viewportEvent(QEvent *event)
{
    if (event->type() == QEvent::ChildAdded) {
        QObject *child = static_cast<QChildEvent *>(event)->child();
        if (child->isWidgetType() && !static_cast<QWidget *>(child)->isWindow()) {
            auto *widget = static_cast<QWidget *>(child);
            m_updateFilter->watch(widget);
            // An item widget is shown as soon as it is set, and placed only
            // by the deferred pass; until then it waits out of sight instead
            // of at the top left of the viewport.
            if (m_geometriesDeferred)
                widget->move(kParkingPosition);
        }
    }
    return QListWidget::viewportEvent(event);
}

void TamListWidget::deferGeometries()
{
    m_geometriesDeferred = true;
    scheduleDelayedItemsLayout();
}

} // namespace TAMCOMMON
