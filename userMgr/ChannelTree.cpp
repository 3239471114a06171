#include "ChannelTree.h"

#include <QHash>
#include <QTreeWidgetItemIterator>

#include "BaseTools.h"
#include "ChannelTreeConfig.h"
#include "DevsMgrData.h"
#include "TamTreeWidget.h"
#include "TreeItem.h"

namespace orlun_userMgr {

namespace {

// The last recorded child of each parent touched by a batch.
using LastChildren = QHash<QTreeWidgetItem *, QTreeWidgetItem *>;

// The host tree puts the channel groups under the fourth top-level folder.
constexpr int GroupsTopLevelIndex = 3;

void record(LastChildren &lastChildren, QTreeWidgetItem *item)
{
    if (QTreeWidgetItem *parent = item->parent())
        lastChildren[parent] = item;
}

// A batch sets each item on its own, with the tree's propagation off; the
// ancestors are then recomputed once per parent instead of once per item.
void finishBatch(TAMCOMMON::TamTreeWidget *tree, const LastChildren &lastChildren)
{
    tree->setAutoChangingItemsCheckState(true);
    for (QTreeWidgetItem *child : lastChildren)
        tree->updateParentItemsCheckState(child);
}

bool isGroupId(const QString &id)
{
    return TAMCOMMON::TamSingleton<orlun_data::DevsMgrData>::_instance().isGroup(id);
}

// Whether item is a device or channel item, and if so the channel id it
// stands for: a device item stands for its channel 0 (a camera shown as a
// leaf). Group ids are tested by the caller first.
bool channelIdOf(orlun_base::TreeItem *item, QString *channelId)
{
    if (item->isDevice()) {
        auto *dev = dynamic_cast<orlun_base::DevItem *>(item);
        if (!dev)
            return false;
        *channelId = TAMCOMMON::TamSingleton<orlun_base::BaseTools>::_instance().formatChannelId(
            dev->getDevId(), 0);
        return true;
    }
    if (item->isChannel()) {
        *channelId = item->getId();
        return true;
    }
    return false;
}

// The leaf walk of the batches that change channels: every TreeItem leaf in
// depth-first order up to the first group leaf (device and channel leaves
// all come before it), inside the batch frame. visit says whether the leaf
// is recorded for the ancestor update.
template<typename Visit>
void channelLeafBatch(TAMCOMMON::TamTreeWidget *tree, Visit visit)
{
    LastChildren lastChildren;
    tree->setAutoChangingItemsCheckState(false);
    for (QTreeWidgetItemIterator it(tree, QTreeWidgetItemIterator::NoChildren); *it; ++it) {
        auto *item = dynamic_cast<orlun_base::TreeItem *>(*it);
        if (!item)
            continue;
        if (isGroupId(item->getId()))
            break;
        if (visit(item))
            record(lastChildren, item);
    }
    finishBatch(tree, lastChildren);
}

} // namespace

ChannelTree::ChannelTree(QWidget *parent)
    // The tree becomes the configuration's Qt parent and deletes it.
    : VideoPointTree(parent, new ChannelTreeConfig)
{
    getTreeWidget()->setStyleSheet(QStringLiteral("QTreeWidget{background-color:#101928;}"));
}

ChannelTree::~ChannelTree() = default;

void ChannelTree::setCheckedChannels(const QSet<QString> &channelIds)
{
    updateChannelsCheckState(channelIds, false);
}

void ChannelTree::addCheckedChannels(const QSet<QString> &channelIds)
{
    if (channelIds.isEmpty())
        return;
    updateChannelsCheckState(channelIds, true);
}

void ChannelTree::setCheckedGroups(const QSet<QString> &groupIds)
{
    TAMCOMMON::TamTreeWidget *tree = getTreeWidget();
    if (tree->topLevelItemCount() <= GroupsTopLevelIndex)
        return;

    LastChildren lastChildren;
    tree->setAutoChangingItemsCheckState(false);
    for (QTreeWidgetItemIterator it(tree, QTreeWidgetItemIterator::All); *it; ++it) {
        auto *item = dynamic_cast<orlun_base::TreeItem *>(*it);
        if (!item || !isGroupId(item->getId()))
            continue;
        item->setCheckState(0, groupIds.contains(item->getId()) ? Qt::Checked : Qt::Unchecked);
        record(lastChildren, item);
    }
    finishBatch(tree, lastChildren);
}

void ChannelTree::uncheckChannels(const QSet<QString> &channelIds)
{
    channelLeafBatch(getTreeWidget(), [&channelIds](orlun_base::TreeItem *item) {
        QString channelId;
        if (channelIdOf(item, &channelId) && channelIds.contains(channelId))
            item->setCheckState(0, Qt::Unchecked);
        return true;
    });
}

QSet<QString> ChannelTree::getCheckedChannels()
{
    QSet<QString> channelIds;
    for (QTreeWidgetItemIterator it(getTreeWidget(), QTreeWidgetItemIterator::NoChildren); *it;
         ++it) {
        auto *item = dynamic_cast<orlun_base::TreeItem *>(*it);
        if (!item || item->checkState(0) != Qt::Checked)
            continue;
        if (isGroupId(item->getId()))
            break;
        QString channelId;
        if (channelIdOf(item, &channelId))
            channelIds.insert(channelId);
    }
    return channelIds;
}

QSet<QString> ChannelTree::getCheckedGroups()
{
    QSet<QString> groupIds;
    TAMCOMMON::TamTreeWidget *tree = getTreeWidget();
    if (tree->topLevelItemCount() <= GroupsTopLevelIndex)
        return groupIds;

    for (QTreeWidgetItemIterator it(tree->topLevelItem(GroupsTopLevelIndex),
                                    QTreeWidgetItemIterator::All);
         *it; ++it) {
        auto *item = dynamic_cast<orlun_base::TreeItem *>(*it);
        if (item && item->checkState(0) == Qt::Checked && isGroupId(item->getId()))
            groupIds.insert(item->getId());
    }
    return groupIds;
}

void ChannelTree::updateChannelsCheckState(const QSet<QString> &channelIds, bool onlyCheck)
{
    channelLeafBatch(getTreeWidget(), [&channelIds, onlyCheck](orlun_base::TreeItem *item) {
        QString channelId;
        if (!channelIdOf(item, &channelId))
            return false;
        if (channelIds.contains(channelId))
            item->setCheckState(0, Qt::Checked);
        else if (!onlyCheck)
            item->setCheckState(0, Qt::Unchecked);
        return true;
    });
}

} // namespace orlun_userMgr
