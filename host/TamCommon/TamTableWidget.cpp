#include "TamTableWidget.h"

#include <QApplication>
#include <QChildEvent>
#include <QHeaderView>
#include <QSignalBlocker>
#include <QStyleOptionViewItem>

#include <algorithm>

namespace TAMCOMMON {

namespace {

// Dead slots kept before the row index is rebuilt from the table: enough
// that a long run of removals never rebuilds it, few enough that a table
// emptied and refilled does not keep growing it.
constexpr int kDeadSlotsBeforeRebuild = 4096;

// dataChanged ranges above this many cells drop the row index instead of
// noting each item.
constexpr int kNotedCellsPerChange = 64;

} // namespace

// One row operation of the table's own; nests.
class TamTableWidget::RowChange
{
public:
    explicit RowChange(TamTableWidget *table)
        : m_table(table)
    {
        ++m_table->m_rowChanges;
    }
    ~RowChange() { --m_table->m_rowChanges; }
    RowChange(const RowChange &) = delete;
    RowChange &operator=(const RowChange &) = delete;

private:
    TamTableWidget *m_table;
};

TamTableWidget::TamTableWidget(QWidget *parent)
    : QTableWidget(parent)
{
    QAbstractItemModel *itemModel = model();
    // Connected after the view's own handlers, which QTableWidget made in its
    // constructor: the removal window closes once Qt has asked for its
    // per-removal geometry pass.
    connect(itemModel, &QAbstractItemModel::rowsRemoved, this, [this] { m_removing = false; });
    connect(itemModel, &QAbstractItemModel::modelAboutToBeReset, this, [this] {
        m_removedAnchors.clear();
        const QList<const QTableWidgetItem *> anchors = m_cellWidgets.keys();
        for (const QTableWidgetItem *anchor : anchors)
            releaseCellWidget(anchor);
    });
    connect(itemModel, &QAbstractItemModel::columnsAboutToBeRemoved, this,
            [this](const QModelIndex &, int first, int last) {
                for (int column = first; column <= last; ++column) {
                    if (!m_widgetColumns.contains(column))
                        continue;
                    for (int r = 0; r < QTableWidget::rowCount(); ++r)
                        releaseCellWidget(QTableWidget::item(r, column));
                }
            });
    // Sorting, resets and column changes move items to other cells.
    const auto invalidate = [this] {
        invalidateRowIndex();
        noteStalePositions(0);
        m_liveRowsValid = false;
    };
    connect(itemModel, &QAbstractItemModel::columnsInserted, this, invalidate);
    connect(itemModel, &QAbstractItemModel::columnsRemoved, this, invalidate);
    connect(itemModel, &QAbstractItemModel::columnsMoved, this, invalidate);
    connect(itemModel, &QAbstractItemModel::rowsMoved, this, invalidate);
    connect(itemModel, &QAbstractItemModel::layoutChanged, this, invalidate);
    connect(itemModel, &QAbstractItemModel::modelReset, this, invalidate);
}

TamTableWidget::~TamTableWidget()
{
    // The model dies with QWidget's children, after this object's members,
    // and announces a reset on its way out.
    disconnect(model(), nullptr, this, nullptr);
}

int TamTableWidget::rowCount() const
{
    return QTableWidget::rowCount() - m_removedAnchors.size();
}

void TamTableWidget::setRowCount(int rows)
{
    flushRemovals();
    QTableWidget::setRowCount(rows);
}

void TamTableWidget::insertRow(int row)
{
    flushRemovals();
    RowChange change(this);
    QTableWidget::insertRow(row);
}

void TamTableWidget::removeRow(int row)
{
    const int physical = m_flushing ? row : physicalRow(row);
    if (physical < 0 || physical >= QTableWidget::rowCount())
        return;
    QTableWidgetItem *anchor = QTableWidget::item(physical, 0);
    if (!anchor || m_flushing) {
        // A row without a first item has nothing to be known by.
        RowChange change(this);
        QTableWidget::removeRow(physical);
        return;
    }
    for (int column : qAsConst(m_widgetColumns))
        releaseCellWidget(QTableWidget::item(physical, column));
    ensureLiveRows();
    m_liveRows.remove(physical);
    m_removedAnchors.insert(anchor);
    if (!m_flushPosted) {
        m_flushPosted = true;
        QMetaObject::invokeMethod(
            this,
            [this] {
                m_flushPosted = false;
                flushRemovals();
            },
            Qt::QueuedConnection);
    }
}

bool TamTableWidget::isRowHidden(int row) const
{
    return QTableWidget::isRowHidden(physicalRow(row));
}

void TamTableWidget::setItem(int row, int column, QTableWidgetItem *item)
{
    flushRemovals();
    QTableWidget::setItem(row, column, item);
}

QTableWidgetItem *TamTableWidget::takeItem(int row, int column)
{
    flushRemovals();
    return QTableWidget::takeItem(row, column);
}

void TamTableWidget::setCurrentCell(int row, int column)
{
    flushRemovals();
    QTableWidget::setCurrentCell(row, column);
}

int TamTableWidget::currentRow() const
{
    return liveRow(QTableWidget::currentRow());
}

void TamTableWidget::sortItems(int column, Qt::SortOrder order)
{
    flushRemovals();
    QTableWidget::sortItems(column, order);
}

void TamTableWidget::sortByColumn(int column, Qt::SortOrder order)
{
    flushRemovals();
    QTableWidget::sortByColumn(column, order);
}

void TamTableWidget::flushRemovals()
{
    // Not from inside a change of Qt's model, which would then be nested.
    if (m_removedAnchors.isEmpty() || m_flushing || isDeferring())
        return;
    QVector<int> rows;
    rows.reserve(m_removedAnchors.size());
    for (const QTableWidgetItem *anchor : qAsConst(m_removedAnchors)) {
        const int physical = physicalRowOf(anchor);
        if (physical >= 0)
            rows.append(physical);
    }
    m_removedAnchors.clear();
    m_liveRowsValid = false;
    m_liveRows.reset(0);
    std::sort(rows.begin(), rows.end());

    m_flushing = true;
    RowChange change(this);
    // From the bottom, so that the rows above keep their numbers.
    for (int end = rows.size(); end > 0;) {
        int start = end - 1;
        while (start > 0 && rows.at(start - 1) == rows.at(start) - 1)
            --start;
        model()->removeRows(rows.at(start), end - start);
        end = start;
    }
    m_flushing = false;
}

void TamTableWidget::setRowHidden(int row, bool hide)
{
    flushRemovals();
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
    RowChange change(this);
    QTableWidget::setRowHidden(row, hide);
}

void TamTableWidget::setCellWidget(int row, int column, QWidget *widget)
{
    flushRemovals();
    if (!widget) {
        removeCellWidget(row, column);
        return;
    }
    if (row < 0 || row >= rowCount() || column < 0 || column >= columnCount())
        return;
    QTableWidgetItem *anchor = QTableWidget::item(row, column);
    if (!anchor) {
        anchor = new QTableWidgetItem;
        setItem(row, column, anchor);
    }
    releaseCellWidget(anchor);

    // Moved into the viewport only when its row first comes into view: under
    // a style sheet each move re-polishes the widget and all its children,
    // which for tens of thousands of rows costs more than making them.
    if (widget->parentWidget() != this && widget->parentWidget() != viewport())
        widget->setParent(this);
    // Explicitly hidden, so that showing its parent does not show it too;
    // the placement shows it when its row is in view.
    widget->hide();
    // Polished when it first shows (see eventFilter).
    widget->installEventFilter(this);
    const auto children = widget->findChildren<QWidget *>();
    for (QWidget *child : children)
        child->installEventFilter(this);
    m_cellWidgets.insert(anchor, widget);
    m_anchors.insert(widget, anchor);
    m_widgetColumns.insert(column);
    deferGeometries();
}

QTableWidgetItem *TamTableWidget::item(int row, int column) const
{
    const int physical = physicalRow(row);
    if (m_staleFrom >= 0 && physical >= m_staleFrom)
        refreshItemPositions();
    return QTableWidget::item(physical, column);
}

QWidget *TamTableWidget::cellWidget(int row, int column) const
{
    return m_cellWidgets.value(QTableWidget::item(physicalRow(row), column));
}

void TamTableWidget::removeCellWidget(int row, int column)
{
    flushRemovals();
    releaseCellWidget(QTableWidget::item(row, column));
}

int TamTableWidget::row(const QTableWidgetItem *item) const
{
    return liveRow(physicalRowOf(item));
}

int TamTableWidget::physicalRowOf(const QTableWidgetItem *item) const
{
    if (!item)
        return -1;
    // While every item sits where Qt noted it, Qt finds an item's cell at
    // once: no index needs building.
    if (m_staleFrom < 0 && !isDeferring())
        return QTableWidget::row(item);
    ensureRowIndex();
    const auto it = m_itemPlaces.constFind(item);
    if (it != m_itemPlaces.constEnd() && m_slots.isLive(it->slot)) {
        const int r = m_slots.rank(it->slot);
        if (r < QTableWidget::rowCount() && QTableWidget::item(r, it->column) == item)
            return r;
    }
    // Not noted (or noted for a cell it has left): Qt's own scan.
    return QTableWidget::row(item);
}

void TamTableWidget::doItemsLayout()
{
    flushRemovals();
    refreshItemPositions();
    // Ends in updateGeometries() and so in one placement of the cell widgets.
    QTableWidget::doItemsLayout();
}

void TamTableWidget::rowsInserted(const QModelIndex &parent, int start, int end)
{
    RowChange change(this);
    QTableWidget::rowsInserted(parent, start, end);
    m_liveRowsValid = false;
    if (end < QTableWidget::rowCount() - 1)
        noteStalePositions(start);
    if (!m_rowIndexValid)
        return;
    if (end == QTableWidget::rowCount() - 1) {
        for (int r = start; r <= end; ++r)
            m_slots.append();
    } else {
        invalidateRowIndex();
    }
}

void TamTableWidget::rowsAboutToBeRemoved(const QModelIndex &parent, int start, int end)
{
    m_removing = true;
    noteStalePositions(start);
    m_liveRowsValid = false;
    // Rows removed elsewhere (through QTableWidget or the model) may be
    // ones waiting to leave.
    if (!m_flushing && !m_removedAnchors.isEmpty()) {
        for (int r = start; r <= end; ++r)
            m_removedAnchors.remove(QTableWidget::item(r, 0));
    }
    for (int r = start; r <= end; ++r) {
        for (int column : qAsConst(m_widgetColumns))
            releaseCellWidget(QTableWidget::item(r, column));
    }
    // Most rows going: indexing the rest again, when asked, costs less than
    // taking each item out.
    if (m_rowIndexValid && 2 * (end - start + 1) >= QTableWidget::rowCount())
        invalidateRowIndex();
    if (m_rowIndexValid) {
        QVector<int> removed;
        removed.reserve(end - start + 1);
        for (int r = start; r <= end; ++r) {
            removed.append(m_slots.slotAt(r));
            for (int column = 0; column < columnCount(); ++column)
                m_itemPlaces.remove(QTableWidget::item(r, column));
        }
        for (int slot : qAsConst(removed))
            m_slots.remove(slot);
        if (m_slots.deadCount() > kDeadSlotsBeforeRebuild &&
            m_slots.deadCount() > m_slots.liveCount())
            invalidateRowIndex();
    }
    QTableWidget::rowsAboutToBeRemoved(parent, start, end);
}

void TamTableWidget::dataChanged(const QModelIndex &topLeft, const QModelIndex &bottomRight,
                                 const QVector<int> &roles)
{
    QTableWidget::dataChanged(topLeft, bottomRight, roles);
    if (!m_rowIndexValid || !topLeft.isValid() || !bottomRight.isValid())
        return;
    // Items set into a cell announce themselves here.
    const int rows = bottomRight.row() - topLeft.row() + 1;
    const int columns = bottomRight.column() - topLeft.column() + 1;
    if (rows * columns > kNotedCellsPerChange) {
        invalidateRowIndex();
        return;
    }
    for (int r = topLeft.row(); r <= bottomRight.row(); ++r) {
        for (int column = topLeft.column(); column <= bottomRight.column(); ++column)
            noteItem(r, column);
    }
}

void TamTableWidget::updateGeometries()
{
    if (isDeferring()) {
        deferGeometries();
        return;
    }
    // Ends in updateEditorGeometries(), which places the cell widgets.
    QTableWidget::updateGeometries();
}

void TamTableWidget::updateEditorGeometries()
{
    // Qt asks for this after each inserted or removed row of a visible
    // table; one placement after the last change does for all of them.
    if (isDeferring()) {
        deferGeometries();
        return;
    }
    QTableWidget::updateEditorGeometries();
    placeCellWidgets();
}

void TamTableWidget::scrollContentsBy(int dx, int dy)
{
    QTableWidget::scrollContentsBy(dx, dy);
    placeCellWidgets();
}

void TamTableWidget::showEvent(QShowEvent *event)
{
    QTableWidget::showEvent(event);
    // Rows may have come and gone while the table was hidden.
    deferGeometries();
}

bool TamTableWidget::event(QEvent *event)
{
    flushRemovals();
    // A cell widget not yet in view still lives on the table itself.
    if (event->type() == QEvent::ChildRemoved && !m_movingToViewport)
        forgetCellWidget(static_cast<QChildEvent *>(event)->child());
    return QTableWidget::event(event);
}

bool TamTableWidget::viewportEvent(QEvent *event)
{
    flushRemovals();
    // A cell widget deleted or taken elsewhere by its owner leaves its cell.
    if (event->type() == QEvent::ChildRemoved)
        forgetCellWidget(static_cast<QChildEvent *>(event)->child());
    return QTableWidget::viewportEvent(event);
}

bool TamTableWidget::eventFilter(QObject *watched, QEvent *event)
{
    // Under a style sheet, the polish that every new widget has pending costs
    // more than making it; a cell widget still waiting out of view (on the
    // table itself) and its children are polished by show() when placed.
    if (event->type() == QEvent::PolishRequest) {
        QObject *cell = watched;
        while (cell->parent() && cell->parent() != this)
            cell = cell->parent();
        if (cell->parent() == this && m_anchors.contains(cell))
            return true;
    }
    return QTableWidget::eventFilter(watched, event);
}

void TamTableWidget::deferGeometries()
{
    // The delayed layout ends in updateGeometries() and so in a placement.
    scheduleDelayedItemsLayout();
}

void TamTableWidget::placeCellWidgets()
{
    // Hiding a widget can move the focus, and the view scrolls to the new
    // current cell: a placement asked for meanwhile runs after this one.
    if (m_placing) {
        m_placeAgain = true;
        return;
    }
    m_placing = true;
    do {
        m_placeAgain = false;
        placeCellWidgetsOnce();
    } while (m_placeAgain);
    m_placing = false;
}

void TamTableWidget::placeCellWidgetsOnce()
{
    if (m_cellWidgets.isEmpty() && m_placed.isEmpty())
        return;
    QVector<QWidget *> placed;
    QStyleOptionViewItem option = viewOptions();
    const auto place = [&](QWidget *widget, int r, int column) {
        const QModelIndex index = model()->index(r, column);
        option.rect = visualRect(index);
        if (!option.rect.isValid())
            return;
        if (widget->parentWidget() != viewport()) {
            m_movingToViewport = true;
            widget->setParent(viewport());
            m_movingToViewport = false;
        }
        // Placed as Qt places an index widget.
        itemDelegate(index)->updateEditorGeometry(widget, option, index);
        placed.append(widget);
    };

    const QHeaderView *rows = verticalHeader();
    const int first = rows->visualIndexAt(0);
    int last = rows->visualIndexAt(viewport()->height() - 1);
    if (last < 0)
        last = rows->count() - 1;
    for (int visual = qMax(first, 0); first >= 0 && visual <= last; ++visual) {
        const int r = rows->logicalIndex(visual);
        if (rows->isSectionHidden(r))
            continue;
        for (int column : qAsConst(m_widgetColumns)) {
            if (QWidget *widget = m_cellWidgets.value(QTableWidget::item(r, column)))
                place(widget, r, column);
        }
    }

    QSet<QWidget *> inView(placed.cbegin(), placed.cend());
    const QWidget *focus = QApplication::focusWidget();
    for (QWidget *widget : qAsConst(m_placed)) {
        if (inView.contains(widget))
            continue;
        // A widget holding the focus stays shown where its cell is, as with a
        // plain table, so that scrolling does not take the focus away.
        const QTableWidgetItem *anchor = m_anchors.value(widget);
        const int r = anchor && focus && widget->isAncestorOf(focus) ? physicalRowOf(anchor) : -1;
        int column = -1;
        for (int c : qAsConst(m_widgetColumns)) {
            if (r >= 0 && QTableWidget::item(r, c) == anchor)
                column = c;
        }
        if (column >= 0 && !QTableWidget::isRowHidden(r))
            place(widget, r, column);
        else
            widget->hide();
    }
    for (QWidget *widget : qAsConst(placed)) {
        if (widget->isHidden())
            widget->show();
    }
    m_placed = placed;
}

void TamTableWidget::releaseCellWidget(const QTableWidgetItem *anchor)
{
    if (!anchor)
        return;
    QWidget *widget = m_cellWidgets.take(anchor);
    if (!widget)
        return;
    m_anchors.remove(widget);
    m_placed.removeOne(widget);
    widget->hide();
    // Later, as Qt does: the widget may be the one whose signal removes its
    // own row. In its parent's order of children rather than in the order
    // the rows went: each deletion looks the widget up in that list, from
    // its start.
    m_released.insert(widget);
    if (m_reapPosted)
        return;
    m_reapPosted = true;
    // deleteLater() keeps the deletion out of any nested event loop.
    auto *reaper = new QObject;
    connect(reaper, &QObject::destroyed, this, &TamTableWidget::deleteReleased);
    reaper->deleteLater();
}

void TamTableWidget::deleteReleased()
{
    m_reapPosted = false;
    // Each deletion takes its widget out of the set (ChildRemoved), so one
    // deleted meanwhile by another's destructor is not met again. Reserved,
    // the set does not shrink, and so reallocate, again and again.
    m_released.reserve(m_released.size());
    for (QObject *parent : {static_cast<QObject *>(this), static_cast<QObject *>(viewport())}) {
        const QObjectList children = parent->children();
        for (QObject *child : children) {
            if (m_released.contains(child))
                delete child;
        }
    }
    m_released = {};
}

void TamTableWidget::forgetCellWidget(QObject *widget)
{
    // May be in its destructor: only its address is used. Gone, it is not
    // the table's to delete any more either.
    m_released.remove(widget);
    const auto it = m_anchors.find(widget);
    if (it == m_anchors.end())
        return;
    m_cellWidgets.remove(it.value());
    m_anchors.erase(it);
    m_placed.removeOne(static_cast<QWidget *>(widget));
}

void TamTableWidget::invalidateRowIndex()
{
    if (!m_rowIndexValid)
        return;
    m_rowIndexValid = false;
    m_itemPlaces.clear();
    m_slots.reset(0);
}

int TamTableWidget::physicalRow(int row) const
{
    if (m_removedAnchors.isEmpty())
        return row;
    if (row < 0 || row >= rowCount())
        return -1;
    ensureLiveRows();
    return m_liveRows.slotAt(row);
}

int TamTableWidget::liveRow(int physical) const
{
    if (physical < 0 || m_removedAnchors.isEmpty())
        return physical;
    ensureLiveRows();
    return m_liveRows.isLive(physical) ? m_liveRows.rank(physical) : -1;
}

void TamTableWidget::ensureLiveRows() const
{
    if (m_liveRowsValid)
        return;
    m_liveRows.reset(QTableWidget::rowCount());
    for (const QTableWidgetItem *anchor : qAsConst(m_removedAnchors)) {
        const int physical = physicalRowOf(anchor);
        if (physical >= 0)
            m_liveRows.remove(physical);
    }
    m_liveRowsValid = true;
}

void TamTableWidget::noteStalePositions(int fromRow)
{
    m_staleFrom = m_staleFrom < 0 ? fromRow : qMin(m_staleFrom, fromRow);
}

void TamTableWidget::refreshItemPositions() const
{
    // Not while Qt's model is midway through a row change.
    if (m_staleFrom < 0 || isDeferring())
        return;
    const int from = m_staleFrom;
    m_staleFrom = -1;
    const int rows = QTableWidget::rowCount();
    const int columns = columnCount();
    if (from >= rows)
        return;

    // Putting an item back into its cell is the one public way to make the
    // model note where it is. Nothing about the cell changes, so nobody is
    // told.
    auto *self = const_cast<TamTableWidget *>(this);
    QHeaderView *header = horizontalHeader();
    const QSignalBlocker modelBlocker(model());
    const QSignalBlocker headerBlocker(header);
    // A sorting table moves the row of an item put back into its sort
    // column; with no column sorted meanwhile, it stays.
    const int sortSection = header->sortIndicatorSection();
    const Qt::SortOrder order = header->sortIndicatorOrder();
    const bool sorting = isSortingEnabled();
    if (sorting)
        header->setSortIndicator(-1, order);
    for (int r = from; r < rows; ++r) {
        for (int column = 0; column < columns; ++column) {
            if (QTableWidgetItem *cell = QTableWidget::item(r, column)) {
                self->takeItem(r, column);
                self->setItem(r, column, cell);
            }
        }
    }
    if (sorting)
        header->setSortIndicator(sortSection, order);
}

void TamTableWidget::ensureRowIndex() const
{
    if (m_rowIndexValid)
        return;
    const int rows = QTableWidget::rowCount();
    const int columns = columnCount();
    m_slots.reset(rows);
    m_itemPlaces.clear();
    m_itemPlaces.reserve(rows * columns);
    for (int r = 0; r < rows; ++r) {
        for (int column = 0; column < columns; ++column) {
            if (const QTableWidgetItem *cell = QTableWidget::item(r, column))
                m_itemPlaces.insert(cell, {r, column});
        }
    }
    m_rowIndexValid = true;
}

void TamTableWidget::noteItem(int row, int column) const
{
    if (row >= m_slots.liveCount())
        return;
    if (const QTableWidgetItem *cell = QTableWidget::item(row, column))
        m_itemPlaces.insert(cell, {m_slots.slotAt(row), column});
}

} // namespace TAMCOMMON
