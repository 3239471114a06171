#pragma once

#include <QListWidget>

#include "DeferredItemWidgets.h"

namespace TAMCOMMON {

// QListWidget that stays linear when rows with item widgets are added,
// removed or hidden one by one while the list is visible. Plain QListWidget
// lays out every item and re-places every item widget after each single row
// change while it is visible (quadratic overall). Here each change only
// schedules Qt's delayed item layout, which runs once when control returns to
// the event loop: count() and isRowHidden() are right at once, item widget
// geometry after the event loop has run. While many rows are added between
// two passes, the viewport is hidden (the list keeps its last picture) and new
// item widgets appear together in the pass.
class TamListWidget : public QListWidget
{
    Q_OBJECT
public:
    explicit TamListWidget(QWidget *parent = nullptr);
    ~TamListWidget() override;

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
