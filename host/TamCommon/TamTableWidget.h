#pragma once

#include <QHash>
#include <QSet>
#include <QTableWidget>
#include <QVector>

#include "RowSlots.h"

namespace TAMCOMMON {

// QTableWidget that stays fast on tables of tens of thousands of rows with a
// cell widget per row, whatever the order in which rows come and go. The
// functions below hide QTableWidget's non-virtual ones of the same name: call
// them through a TamTableWidget pointer.
//
// Cell widgets. QTableWidget keeps each cell widget under a persistent model
// index, and the model walks every persistent index on each inserted or
// removed row: quadratic on a table whose rows all have one. Here a cell
// widget is tied to the item of its cell (an empty item is made for an empty
// cell), so it follows its row through insertions, removals and sorting with
// no model upkeep at all; only the widgets of rows in view are placed and
// shown, the others stay hidden. QTableWidget's own cellWidget() knows
// nothing of them.
//
// Rows of items. QTableWidget finds an item's row by scanning the whole table
// once rows before it were removed or the table was sorted; row() here finds
// it in O(log n). The same scan runs inside Qt on every change of such an
// item (setText, setCheckState, ...): item() and the delayed layout give the
// items their positions back first, so that a pass over the rows changing
// their items stays linear.
//
// Removals. Qt pays for each removed row in proportion to the rows after it
// (the model moves its item array, the row header walks every section), so
// removing rows one by one is quadratic. Here removeRow() takes the row out
// of this class's rows at once and leaves it in Qt's model, unseen, until
// control returns to the event loop, the table handles an event, or a
// function below that changes rows runs: then all removed rows leave the
// model together, each run of neighbours in one step. Meanwhile rowCount(),
// item(), row(), isRowHidden() and cellWidget() answer for the rows that
// remain, while the model and Qt's own functions still hold the removed
// rows: between a removal and the event loop, read the rows through this
// class.
//
// Row changes of a visible table: rowCount() and isRowHidden() are right at
// once; scroll ranges and cell widget geometry follow in Qt's delayed item
// layout, which runs once when control returns to the event loop.
class TamTableWidget : public QTableWidget
{
    Q_OBJECT
public:
    explicit TamTableWidget(QWidget *parent = nullptr);
    ~TamTableWidget() override;

    int rowCount() const;
    void setRowCount(int rows);
    void insertRow(int row);
    void removeRow(int row);
    bool isRowHidden(int row) const;
    void setRowHidden(int row, bool hide);
    void setItem(int row, int column, QTableWidgetItem *item);
    QTableWidgetItem *takeItem(int row, int column);
    void setCurrentCell(int row, int column);
    int currentRow() const;
    void sortItems(int column, Qt::SortOrder order = Qt::AscendingOrder);
    void sortByColumn(int column, Qt::SortOrder order);
    // Removes the rows removeRow() left in Qt's model now.
    void flushRemovals();

    // The table takes widget; a widget already in that cell is deleted.
    void setCellWidget(int row, int column, QWidget *widget);
    QWidget *cellWidget(int row, int column) const;
    QTableWidgetItem *item(int row, int column) const;
    void removeCellWidget(int row, int column);
    // The row of an item of this table, -1 for any other item.
    int row(const QTableWidgetItem *item) const;

    void doItemsLayout() override;

protected:
    void rowsInserted(const QModelIndex &parent, int start, int end) override;
    void rowsAboutToBeRemoved(const QModelIndex &parent, int start, int end) override;
    void dataChanged(const QModelIndex &topLeft, const QModelIndex &bottomRight,
                     const QVector<int> &roles = QVector<int>()) override;
    void updateGeometries() override;
    void updateEditorGeometries() override;
    void scrollContentsBy(int dx, int dy) override;
    void showEvent(QShowEvent *event) override;
    bool event(QEvent *event) override;
    bool viewportEvent(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    struct ItemPlace
    {
        int slot;
        int column;
    };

    class RowChange;

    bool isDeferring() const { return m_rowChanges > 0 || m_removing; }
    void deferGeometries();
    void placeCellWidgets();
    void placeCellWidgetsOnce();
    void releaseCellWidget(const QTableWidgetItem *anchor);
    void forgetCellWidget(QObject *widget);
    void deleteReleased();
    void invalidateRowIndex();
    void noteStalePositions(int fromRow);
    int physicalRowOf(const QTableWidgetItem *item) const;
    int physicalRow(int row) const;
    // The row a physical row has for callers, -1 for a removed one.
    int liveRow(int physical) const;
    void ensureLiveRows() const;
    void refreshItemPositions() const;
    void ensureRowIndex() const;
    void noteItem(int row, int column) const;

    int m_rowChanges = 0;
    // From a removal until the model's rowsRemoved has reached the view.
    bool m_removing = false;

    QHash<const QTableWidgetItem *, QWidget *> m_cellWidgets;
    QHash<QObject *, const QTableWidgetItem *> m_anchors;
    QSet<int> m_widgetColumns;
    // The cell widgets shown by the last placement.
    QVector<QWidget *> m_placed;
    bool m_placing = false;
    bool m_movingToViewport = false;
    bool m_placeAgain = false;

    // Built on demand, then kept up to date while rows are appended and
    // removed; anything else drops it until the next look-up.
    mutable RowSlots m_slots;
    mutable QHash<const QTableWidgetItem *, ItemPlace> m_itemPlaces;
    mutable bool m_rowIndexValid = false;

    // Rows removed but still in Qt's model, known by the item in their first
    // column (which moves with the row, whatever Qt does to the model).
    QSet<const QTableWidgetItem *> m_removedAnchors;
    // Qt's rows as slots, live unless removed; built on demand while rows are
    // waiting to leave the model.
    mutable RowSlots m_liveRows;
    mutable bool m_liveRowsValid = false;
    bool m_flushing = false;
    bool m_flushPosted = false;
    // Cell widgets whose rows went, waiting to be deleted together.
    QSet<QObject *> m_released;
    bool m_reapPosted = false;

    // First row whose items Qt may no longer find at the position it noted
    // for them, -1 when none.
    mutable int m_staleFrom = -1;
};

} // namespace TAMCOMMON
