#pragma once

#include <QTableWidget>

#include "DeferredItemWidgets.h"

namespace TAMCOMMON {

// QTableWidget whose row-by-row insertion, removal and hiding stay linear
// overall while the table is visible, also with cell widgets. The row
// operations hide QTableWidget's non-virtual ones; call them through a
// TamTableWidget pointer.
//
// Plain QTableWidget repositions every cell widget after each single row
// change while it is visible, and recomputes every row position of the
// vertical header after each single row hide or show. Here those passes are
// folded into Qt's delayed item layout, which runs once when control returns
// to the event loop: rowCount() and isRowHidden() are right at once, cell
// widget geometry and scroll bar ranges after the event loop has run. While
// many rows are added between two passes, the viewport is hidden (the table
// keeps its last picture) and new cell widgets appear together in the pass.
class TamTableWidget : public QTableWidget
{
    Q_OBJECT
public:
    explicit TamTableWidget(QWidget *parent = nullptr);
    ~TamTableWidget() override;

    void insertRow(int row);
    void removeRow(int row);
    void setRowHidden(int row, bool hide);

    void doItemsLayout() override;

protected:
    void rowsInserted(const QModelIndex &parent, int start, int end) override;
    void rowsAboutToBeRemoved(const QModelIndex &parent, int start, int end) override;
    void updateGeometries() override;
    void updateEditorGeometries() override;
    bool viewportEvent(QEvent *event) override;
    void scrollContentsBy(int dx, int dy) override;

private:
    void deferGeometries();

    DeferredItemWidgets *m_deferral;
};

} // namespace TAMCOMMON
