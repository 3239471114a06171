#include "TamTableWidget.h"

#include <QApplication>
#include <QChildEvent>
#include <QHeaderView>

namespace TAMCOMMON {

namespace {

// Far above any viewport, also after scrolling by the height of any table.
const QPoint kParkingPosition(0, -(1 << 24));

// Rows inserted between two passes before new cell widgets are set on a
// hidden viewport instead of being shown one by one.
constexpr int kInsertionBatchRows = 64;

} // namespace

class TamTableWidget::RowChangeScope
{
public:
    explicit RowChangeScope(TamTableWidget *table)
        : m_table(table)
    {
        ++m_table->m_rowChanges;
    }
    ~RowChangeScope() { --m_table->m_rowChanges; }
    RowChangeScope(const RowChangeScope &) = delete;
    RowChangeScope &operator=(const RowChangeScope &) = delete;

private:
    TamTableWidget *m_table;
};

// A widget shown on a visible parent posts itself a full repaint request,
// which puts it on the window's list of dirty widgets even when it lies
// outside the viewport; painting that list costs a walk over all siblings per
// entry, so thousands of new cell widgets made every paint quadratic. Cell
// widgets outside the viewport have nothing to repaint: scrolling them into
// view repaints the exposed area with them in it.
class TamTableWidget::OffscreenUpdateFilter : public QObject
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

TamTableWidget::TamTableWidget(QWidget *parent)
    : QTableWidget(parent)
    , m_updateFilter(new OffscreenUpdateFilter(this))
{
    // Connected after QAbstractItemView's own handler, so the removal window
    // closes only once Qt has asked for its per-removal editor pass.
    connect(model(), &QAbstractItemModel::rowsRemoved, this, [this] { m_removing = false; });
}

TamTableWidget::~TamTableWidget() = default;

void TamTableWidget::insertRow(int row)
{
    RowChangeScope scope(this);
    QTableWidget::insertRow(row);
}

void TamTableWidget::removeRow(int row)
{
    RowChangeScope scope(this);
    // The removed row's cell widget is released by Qt with deleteLater, so a
    // row may be removed from inside a signal of its own cell widget.
    QTableWidget::removeRow(row);
}

void TamTableWidget::setRowHidden(int row, bool hide)
{
    if (row < 0 || row >= rowCount() || isRowHidden(row) == hide)
        return;
    QHeaderView *header = verticalHeader();
    if (header->updatesEnabled()) {
        // With updates on, the header recomputes every section position to
        // repaint from the changed row down, once per hidden or shown row.
        // QTableView::doItemsLayout switches them back on, as it does after
        // Qt's own row removals.
        header->setUpdatesEnabled(false);
        scheduleDelayedItemsLayout();
    }
    RowChangeScope scope(this);
    QTableWidget::setRowHidden(row, hide);
}

void TamTableWidget::doItemsLayout()
{
    m_geometriesDeferred = false;
    m_insertedSincePass = 0;
    QTableWidget::doItemsLayout();
    endInsertionBatch();
}

void TamTableWidget::rowsInserted(const QModelIndex &parent, int start, int end)
{
    RowChangeScope scope(this);
    QTableWidget::rowsInserted(parent, start, end);
    noteInsertedRows(end - start + 1);
}

void TamTableWidget::noteInsertedRows(int count)
{
    m_insertedSincePass += count;
    if (m_inInsertionBatch || m_insertedSincePass < kInsertionBatchRows || !isVisible() ||
        !updatesEnabled())
        return;
    QWidget *port = viewport();
    // Hiding the viewport would move the keyboard focus out of the table.
    if (!port->isVisible() || port->isAncestorOf(QApplication::focusWidget()))
        return;
    // A widget shown on a visible parent posts itself events, and Qt scans
    // the whole event queue for a duplicate whenever the widget already has
    // events waiting: every new widget does, so while a caller adds rows in a
    // loop each cell widget shown costs a walk over all events posted by the
    // rows before it. On the hidden viewport new cell widgets are only marked
    // to be shown; they appear together in the pass, after the event loop has
    // delivered their events. Updates stay off meanwhile so that the table's
    // last picture stays on screen rather than an empty viewport.
    m_inInsertionBatch = true;
    setUpdatesEnabled(false);
    port->hide();
}

void TamTableWidget::endInsertionBatch()
{
    if (!m_inInsertionBatch)
        return;
    m_inInsertionBatch = false;
    // In this order: turning updates back on repaints every visible widget
    // of the table, which the cell widgets are not while the viewport is
    // hidden; shown afterwards they repaint only where they are in view.
    setUpdatesEnabled(true);
    viewport()->show();
}

void TamTableWidget::rowsAboutToBeRemoved(const QModelIndex &parent, int start, int end)
{
    m_removing = true;
    QTableWidget::rowsAboutToBeRemoved(parent, start, end);
}

void TamTableWidget::updateGeometries()
{
    if (isDeferringGeometries()) {
        deferGeometries();
        return;
    }
    QTableWidget::updateGeometries();
}

void TamTableWidget::updateEditorGeometries()
{
    // Qt asks for a pass over every cell widget after each inserted or
    // removed row while the table is visible; one pass after the last change
    // places them all.
    if (isDeferringGeometries()) {
        deferGeometries();
        return;
    }
    QTableWidget::updateEditorGeometries();
}

bool TamTableWidget::viewportEvent(QEvent *event)
{
    if (event->type() == QEvent::ChildAdded) {
        QObject *child = static_cast<QChildEvent *>(event)->child();
        if (child->isWidgetType() && !static_cast<QWidget *>(child)->isWindow()) {
            auto *widget = static_cast<QWidget *>(child);
            m_updateFilter->watch(widget);
            // A cell widget is shown as soon as it is set, and placed only by
            // the deferred pass; until then it waits out of sight instead of
            // at the top left of the viewport.
            if (m_geometriesDeferred)
                widget->move(kParkingPosition);
        }
    }
    return QTableWidget::viewportEvent(event);
}

void TamTableWidget::deferGeometries()
{
    m_geometriesDeferred = true;
    // The delayed layout ends in updateGeometries() and so in a full cell
    // widget pass; Qt already runs it after every row count change.
    scheduleDelayedItemsLayout();
}

} // namespace TAMCOMMON
