#pragma once

#include <QListWidget>

namespace TAMCOMMON {

// QListWidget that stays linear when rows with item widgets are added,
// removed or hidden one by one while the list is visible. Plain QListWidget
// re-lays out every item widget on each change (quadratic overall).
class TamListWidget : public QListWidget
{
    Q_OBJECT
public:
    explicit TamListWidget(QWidget *parent = nullptr);
    ~TamListWidget() override;

protected:
    void rowsInserted(const QModelIndex &parent, int start, int end) override;
    void rowsAboutToBeRemoved(const QModelIndex &parent, int start, int end) override;
    void updateGeometries() override;
};

} // namespace TAMCOMMON
