#pragma once

#include <QTreeWidget>
#include <QVector>

namespace TAMCOMMON {

// QTreeWidget with its own check-state propagation: a user's check change on
// an item (mouse click on the check box, or the space key) is carried down to
// all its descendants and up to all its ancestors (checked, partially checked,
// unchecked). signalItemsCheckStateChanged() is emitted once per user action,
// after propagation. Programmatic setCheckState() calls are not propagated
// and emit nothing.
//
// Items should not carry Qt::ItemIsAutoTristate: Qt's own propagation would
// run beside this one and recompute parents once per changed child.
class TamTreeWidget : public QTreeWidget
{
    Q_OBJECT
public:
    explicit TamTreeWidget(QWidget *parent = nullptr);
    ~TamTreeWidget() override;

    // Keeps QAbstractItemView::edit(const QModelIndex &) callable.
    using QTreeWidget::edit;

    // While false, user check changes stay on the item they were made on.
    void setAutoChangingItemsCheckState(bool autoChanging);
    bool isAutoChangingItemsCheckState() const { return m_autoChanging; }

    // Recomputes the check state of every ancestor of item from its children.
    void updateParentItemsCheckState(QTreeWidgetItem *item);
    // Gives every descendant of item the check state of item.
    void updateChildItemsCheckState(QTreeWidgetItem *item);

signals:
    void signalItemsCheckStateChanged();

protected:
    // The item delegate toggles check boxes from inside edit(); mouse and
    // key events reach it only through here, programmatic changes never do.
    bool edit(const QModelIndex &index, EditTrigger trigger, QEvent *event) override;
    void dataChanged(const QModelIndex &topLeft, const QModelIndex &bottomRight,
                     const QVector<int> &roles = QVector<int>()) override;

private:
    void onDataChanged(const QModelIndex &topLeft, const QModelIndex &bottomRight,
                       const QVector<int> &roles);
    void finishUserAction();
    void propagateUserChange(QTreeWidgetItem *item);

    bool m_autoChanging = true;
    // Set while this class changes check states itself.
    bool m_propagating = false;
    // Set while the descendants of an item take its check state.
    bool m_changingSubtree = false;
    // Depth of delegate event handling, i.e. of user actions in progress.
    int m_userActions = 0;
    // Items whose check box the user changed in the action in progress.
    QVector<QTreeWidgetItem *> m_userChanged;
};

} // namespace TAMCOMMON
