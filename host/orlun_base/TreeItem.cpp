#include "TreeItem.h"

namespace orlun_base {

TreeItem::TreeItem(const QString &id, int type)
    : QTreeWidgetItem(type)
    , m_id(id)
{}

TreeItem::~TreeItem() = default;

DevItem::DevItem(const QString &devId)
    : TreeItem(devId, DevItemType)
{}

ChannelItem::ChannelItem(const QString &channelId, const QString &devId, int channelNo)
    : TreeItem(channelId, ChannelItemType)
    , m_devId(devId)
    , m_channelNo(channelNo)
{}

GroupItem::GroupItem(const QString &groupId)
    : TreeItem(groupId, GroupItemType)
{}

} // namespace orlun_base
