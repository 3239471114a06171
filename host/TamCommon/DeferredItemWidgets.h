#pragma once

#include <QObject>
#include <QSet>

#include <functional>

class QAbstractItemView;

namespace TAMCOMMON {

// The part of TamTableWidget and TamListWidget that keeps row-by-row changes
// of a visible view with cell or item widgets linear overall:
// - while the view's own row change is in progress, its geometry and widget
//   passes are folded into Qt's delayed item layout (the view asks
//   isDeferring() and then schedules that layout itself);
// - widgets outside the viewport drop their repaint requests;
// - long runs of insertions happen on a hidden viewport and their widgets
//   appear together in the next pass;
// - in a view with many widgets, only those inside the viewport are shown:
//   the others are parked (hidden) by each widget pass and shown when
//   scrolling brings them into view. Showing thousands of real widgets is
//   what a visible view otherwise pays for on every pass.
class DeferredItemWidgets : public QObject
{
public:
    explicit DeferredItemWidgets(QAbstractItemView *view);

    // One row change of the view's own; nests.
    class RowChange
    {
    public:
        explicit RowChange(DeferredItemWidgets *owner)
            : m_owner(owner)
        {
            ++m_owner->m_rowChanges;
        }
        ~RowChange() { --m_owner->m_rowChanges; }
        RowChange(const RowChange &) = delete;
        RowChange &operator=(const RowChange &) = delete;

    private:
        DeferredItemWidgets *m_owner;
    };

    bool isDeferring() const { return m_rowChanges > 0 || m_removing; }
    // Stays open until the model's rowsRemoved has reached the view.
    void beginRemoval() { m_removing = true; }
    // The view has scheduled its delayed layout instead of a pass.
    void markDeferred() { m_deferred = true; }
    // Around the view's doItemsLayout().
    void layoutStarting();
    void layoutFinished();
    void rowsInserted(int count);
    // Every widget added to or removed from the viewport.
    void viewportChildAdded(QObject *child);
    void viewportChildRemoved(QObject *child);
    // Runs the view's own widget pass (updateEditorGeometries) so that only
    // widgets inside the viewport end up shown.
    void placeWidgets(const std::function<void()> &widgetPass);
    // After the view scrolled: shows the parked widgets now in view.
    void showParkedInView();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void watch(QWidget *widget);
    void parkOutOfView();

    QAbstractItemView *m_view;
    int m_rowChanges = 0;
    bool m_removing = false;
    // A deferred pass is scheduled and has not run yet.
    bool m_deferred = false;
    // Rows inserted since the last pass.
    int m_insertedSincePass = 0;
    // The viewport is hidden and the view's updates are off until the pass.
    bool m_inInsertionBatch = false;
    // Widgets hidden because they lay outside the viewport at the last pass;
    // kept as QObject so that a dying child can be taken out by address.
    QSet<QObject *> m_parked;
};

} // namespace TAMCOMMON
