#pragma once

#include <QTreeWidgetItem>

namespace orlun_base {

// Item types of the device tree.
enum TreeItemType {
    AreaItemType = QTreeWidgetItem::UserType + 1,
    DevItemType,
    ChannelItemType,
    GroupItemType,
};

// An item of the device tree with an id: a folder id, device id, channel id
// or group id.
class TreeItem : public QTreeWidgetItem
{
public:
    TreeItem(const QString &id, int type = AreaItemType);
    ~TreeItem() override;

    QString getId() const { return m_id; }
    virtual bool isDevice() const { return false; }
    virtual bool isChannel() const { return false; }

private:
    QString m_id;
};

// A device. A single-channel camera is a leaf that stands for its channel 0.
class DevItem : public TreeItem
{
public:
    explicit DevItem(const QString &devId);
    QString getDevId() const { return getId(); }
    bool isDevice() const override { return true; }
};

// A channel; its id is the channel id.
class ChannelItem : public TreeItem
{
public:
    ChannelItem(const QString &channelId, const QString &devId, int channelNo);
    QString getDevId() const { return m_devId; }
    int getChannelNo() const { return m_channelNo; }
    bool isChannel() const override { return true; }

private:
    QString m_devId;
    int m_channelNo = 0;
};

// A channel group; its id is the group id.
class GroupItem : public TreeItem
{
public:
    explicit GroupItem(const QString &groupId);
};

} // namespace orlun_base
