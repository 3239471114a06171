#include "TamTreeWidget.h"

#include <QAccessible>

#include <utility>

namespace TAMCOMMON {

namespace {

bool hasCheckBox(const QTreeWidgetItem *item)
{
    return item->data(0, Qt::CheckStateRole).isValid();
}

// The state a parent shows for its children's check boxes, or no value when
// none of them has one. The scan starts beside the child that changed and
// stops at the first child that differs from it, so a click next to a sibling
// of the other state costs a step or two however many siblings there are.
QVariant stateFromChildren(const QTreeWidgetItem *parent, const QTreeWidgetItem *changed)
{
    const int count = parent->childCount();
    const QVariant changedValue = changed->data(0, Qt::CheckStateRole);
    if (changedValue.isValid()) {
        const int state = changedValue.toInt();
        if (state == Qt::PartiallyChecked)
            return Qt::PartiallyChecked;
        const int index = parent->indexOfChild(const_cast<QTreeWidgetItem *>(changed));
        for (int distance = 1; distance < count; ++distance) {
            for (const int i : {index + distance, index - distance}) {
                if (i < 0 || i >= count)
                    continue;
                const QVariant value = parent->child(i)->data(0, Qt::CheckStateRole);
                if (value.isValid() && value.toInt() != state)
                    return Qt::PartiallyChecked;
            }
        }
        return state;
    }

    bool anyChecked = false;
    bool anyUnchecked = false;
    for (int i = 0; i < count; ++i) {
        const QVariant value = parent->child(i)->data(0, Qt::CheckStateRole);
        if (!value.isValid())
            continue;
        switch (value.toInt()) {
        case Qt::Checked:
            anyChecked = true;
            break;
        case Qt::Unchecked:
            anyUnchecked = true;
            break;
        default:
            return Qt::PartiallyChecked;
        }
        if (anyChecked && anyUnchecked)
            return Qt::PartiallyChecked;
    }
    if (anyChecked)
        return Qt::Checked;
    if (anyUnchecked)
        return Qt::Unchecked;
    return {};
}

// Gives every descendant of item that has a check box the given state, in
// depth-first order (each item next to its children in memory, as built).
// Whether anything changed.
bool setSubtreeCheckState(QTreeWidgetItem *item, const QVariant &state)
{
    const int target = state.toInt();
    bool changed = false;
    for (int i = 0, count = item->childCount(); i < count; ++i) {
        QTreeWidgetItem *child = item->child(i);
        const QVariant value = child->data(0, Qt::CheckStateRole);
        if (value.isValid() && value.toInt() != target) {
            child->setData(0, Qt::CheckStateRole, state);
            changed = true;
        }
        if (child->childCount() > 0)
            changed |= setSubtreeCheckState(child, state);
    }
    return changed;
}

} // namespace

TamTreeWidget::TamTreeWidget(QWidget *parent)
    : QTreeWidget(parent)
{
    // Without uniform heights every check change asks the delegate for the
    // row's size hint; on trees of thousands of items that dominates.
    setUniformRowHeights(true);
    // The model's signal carries the changed roles; itemChanged does not.
    connect(model(), &QAbstractItemModel::dataChanged, this, &TamTreeWidget::onDataChanged);
}

TamTreeWidget::~TamTreeWidget() = default;

void TamTreeWidget::setAutoChangingItemsCheckState(bool autoChanging)
{
    m_autoChanging = autoChanging;
}

void TamTreeWidget::updateParentItemsCheckState(QTreeWidgetItem *item)
{
    if (!item)
        return;
    const bool wasPropagating = std::exchange(m_propagating, true);
    QTreeWidgetItem *child = item;
    for (QTreeWidgetItem *parent = item->parent(); parent; parent = parent->parent()) {
        const QVariant state = stateFromChildren(parent, child);
        if (!state.isValid())
            break;
        if (parent->data(0, Qt::CheckStateRole) != state)
            parent->setData(0, Qt::CheckStateRole, state);
        child = parent;
    }
    m_propagating = wasPropagating;
}

void TamTreeWidget::updateChildItemsCheckState(QTreeWidgetItem *item)
{
    if (!item || !hasCheckBox(item))
        return;
    const QVariant state = item->data(0, Qt::CheckStateRole);

    // The view would locate and repaint each changed row on its own (for rows
    // under collapsed items by walking all rows it has laid out); one repaint
    // of what is in view does for all of them.
    const bool wasPropagating = std::exchange(m_propagating, true);
    m_changingSubtree = true;
    const bool changed = setSubtreeCheckState(item, state);
    m_changingSubtree = false;
    m_propagating = wasPropagating;
    if (changed)
        viewport()->update();
}

void TamTreeWidget::dataChanged(const QModelIndex &topLeft, const QModelIndex &bottomRight,
                                const QVector<int> &roles)
{
    // Only check states change in a subtree batch: no row height, child or
    // editor depends on them.
    if (m_changingSubtree)
        return;
    // Nor does a check box that changed on its own. The view would look the
    // row up among the rows it has laid out, all of them for a row under a
    // collapsed item, once per changed box: one repaint of what is in view
    // does for a whole pass. Screen readers are told of each change as Qt
    // tells them.
    if (roles.size() == 1 && roles.constFirst() == Qt::CheckStateRole && !QAccessible::isActive()) {
        viewport()->update();
        return;
    }
    QTreeWidget::dataChanged(topLeft, bottomRight, roles);
}

bool TamTreeWidget::edit(const QModelIndex &index, EditTrigger trigger, QEvent *event)
{
    if (!event)
        return QTreeWidget::edit(index, trigger, event);
    ++m_userActions;
    const bool result = QTreeWidget::edit(index, trigger, event);
    if (--m_userActions == 0)
        finishUserAction();
    return result;
}

void TamTreeWidget::onDataChanged(const QModelIndex &topLeft, const QModelIndex &bottomRight,
                                  const QVector<int> &roles)
{
    if (m_propagating || m_userActions == 0 || topLeft.column() != 0)
        return;
    if (!roles.isEmpty() && !roles.contains(Qt::CheckStateRole))
        return;
    for (int row = topLeft.row(); row <= bottomRight.row(); ++row) {
        QTreeWidgetItem *item = itemFromIndex(topLeft.sibling(row, 0));
        if (item && !m_userChanged.contains(item))
            m_userChanged.append(item);
    }
}

void TamTreeWidget::finishUserAction()
{
    const QVector<QTreeWidgetItem *> changed = std::exchange(m_userChanged, {});
    if (changed.isEmpty())
        return;
    if (m_autoChanging) {
        for (QTreeWidgetItem *item : changed)
            propagateUserChange(item);
    }
    // Emitted outside the action, so the receivers' own check changes count
    // as programmatic ones.
    emit signalItemsCheckStateChanged();
}

void TamTreeWidget::propagateUserChange(QTreeWidgetItem *item)
{
    // A partial mark says nothing about the children.
    if (item->checkState(0) != Qt::PartiallyChecked)
        updateChildItemsCheckState(item);
    updateParentItemsCheckState(item);
}

} // namespace TAMCOMMON
