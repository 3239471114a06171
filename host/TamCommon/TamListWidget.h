#pragma once

#include <QListWidget>

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

private:
    class OffscreenUpdateFilter;
    bool isDeferringGeometries() const { return m_inserting || m_removing; }
    void deferGeometries();
    void noteInsertedRows(int count);
    void endInsertionBatch();

    bool m_inserting = false;
    // Open from rowsAboutToBeRemoved until the model's rowsRemoved has been
    // handled by the view.
    bool m_removing = false;
    // A deferred pass is scheduled and has not run yet.
    bool m_geometriesDeferred = false;
    OffscreenUpdateFilter *m_updateFilter = nullptr;
    // Rows inserted since the last deferred pass.
    int m_insertedSincePass = 0;
    // The viewport is hidden and the list's updates are off until the pass.
    bool m_inInsertionBatch = false;
};

} // namespace TAMCOMMON
