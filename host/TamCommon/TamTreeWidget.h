#pragma once

#include <QTreeWidget>

namespace TAMCOMMON {

// QTreeWidget with its own check-state propagation: a user's check change on
// an item (mouse click on the check box, or the space key) is carried down to
// all its descendants and up to all its ancestors (checked, partially checked,
// unchecked). signalItemsCheckStateChanged() is emitted once per user action,
// after propagation. Programmatic setCheckState() calls are not propagated
// and emit nothing.
class TamTreeWidget : public QTreeWidget
{
    Q_OBJECT
public:
    explicit TamTreeWidget(QWidget *parent = nullptr);
    ~TamTreeWidget() override;

    // While false, user check changes stay on the item they were made on.
    void setAutoChangingItemsCheckState(bool autoChanging);
    bool isAutoChangingItemsCheckState() const { return m_autoChanging; }

    // Recomputes the check state of every ancestor of item from its children.
    void updateParentItemsCheckState(QTreeWidgetItem *item);
    // Gives every descendant of item the check state of item.
    void updateChildItemsCheckState(QTreeWidgetItem *item);

signals:
    void signalItemsCheckStateChanged();

private:
    void onItemChanged(QTreeWidgetItem *item, int column);

    bool m_autoChanging = true;
    bool m_propagating = false;
};

} // namespace TAMCOMMON
