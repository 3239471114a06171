#pragma once

#include <QTableWidget>

namespace TAMCOMMON {

// QTableWidget whose row-by-row insertion, removal and hiding stay linear
// overall while the table is visible, also with cell widgets. The row
// operations hide QTableWidget's non-virtual ones; call them through a
// TamTableWidget pointer.
class TamTableWidget : public QTableWidget
{
    Q_OBJECT
public:
    explicit TamTableWidget(QWidget *parent = nullptr);
    ~TamTableWidget() override;

    void insertRow(int row);
    void removeRow(int row);
    void setRowHidden(int row, bool hide);

protected:
    void rowsInserted(const QModelIndex &parent, int start, int end) override;
    void rowsAboutToBeRemoved(const QModelIndex &parent, int start, int end) override;
    void updateGeometries() override;
};

} // namespace TAMCOMMON
