#pragma once

#include <QHash>
#include <QList>
#include <QObject>
#include <QPair>
#include <QSet>
#include <QStringList>

#include "TamSingleton.h"
#include "VmsSdkTypes.h"

namespace orlun_data {

// The device catalog: devices, their channels, channel groups and their
// members, kept in the DataStore and indexed in memory so that isGroup,
// getDevChannelInfo, getDevInfoById and getChannelStatus are O(1). Changes
// are announced through DataSignals.
//
// Unknown keys give default records (empty device id or name) and the status
// ChannelOffline. Group ids share one name space with device ids and may not
// look like channel ids, so an id never means two things.
class DevsMgrData : public TAMCOMMON::TamSingleton<DevsMgrData>
{
public:
    using ChannelKey = QPair<QString, int>;

    // Queries
    bool isGroup(const QString &id) const;
    QList<vms_sdk::GroupChannelInfo> getGroupsChannels(const QStringList &groupIds) const;
    vms_sdk::DevChannelInfo getDevChannelInfo(const ChannelKey &key) const;
    vms_sdk::DevInfo getDevInfoById(const QString &devId) const;
    vms_sdk::ChannelStatus getChannelStatus(const ChannelKey &key) const;
    vms_sdk::ChannelStatus getChannelStatus(const QString &devId, int channelNo) const;

    // Devices in insertion order; channels of a device by channel number.
    QList<vms_sdk::DevInfo> getAllDevices() const;
    QList<vms_sdk::DevChannelInfo> getDevChannels(const QString &devId) const;
    // Groups in insertion order.
    QList<vms_sdk::GroupInfo> getAllGroups() const;

    // Changes. Each is one transaction and emits the matching DataSignals.
    // Deleting a channel (or its device) deletes the accounts' grants of it.
    // addDevice creates channelCount channels named "<devName>-<n>" (n from 1);
    // a camera (devType 1) or stream (devType 2) has exactly one, channel 0.
    // A device id must be new and not a group id.
    bool addDevice(const vms_sdk::DevInfo &info);
    bool deleteDevice(const QString &devId);
    bool renameChannel(const ChannelKey &key, const QString &name);
    bool deleteChannels(const QList<ChannelKey> &keys);
    bool setChannelStatus(const ChannelKey &key, vms_sdk::ChannelStatus status);
    // The id must be new, not a device id and not of channel-id form.
    bool addGroup(const QString &groupId, const QString &groupName);
    bool deleteGroup(const QString &groupId);
    bool addGroupChannel(const QString &groupId, const ChannelKey &key);

    // Bulk load for seeding large catalogs: one transaction, one reset signal.
    bool addDevices(const QList<vms_sdk::DevInfo> &infos);

    // Re-reads everything from the DataStore; called when the store opens.
    void reload();
    // Re-reads the catalog after another client changed it and announces
    // the differences through DataSignals, as if the change had been made
    // here.
    void refresh();

private:
    friend class TAMCOMMON::TamSingleton<DevsMgrData>;
    DevsMgrData();
    ~DevsMgrData();

    struct Device
    {
        vms_sdk::DevInfo info;
        QHash<int, vms_sdk::DevChannelInfo> channels; // by channel number (gaps after deletes)
    };
    static Device makeDevice(const vms_sdk::DevInfo &info);
    bool canAddDeviceId(const QString &devId) const;
    const vms_sdk::DevChannelInfo *findChannel(const ChannelKey &key) const;
    QList<vms_sdk::ChannelStatus> channelStatuses(const Device &device) const;
    // Deletes the channel grants of these channels (inside a transaction).
    static bool dropChannelGrants(const QStringList &channelIds);
    // Drops the memberships of channels that went away; true if any did.
    bool forgetMembers(const QSet<ChannelKey> &keys);

    QStringList m_devOrder;
    QHash<QString, Device> m_devices;
    QStringList m_groupOrder;
    QHash<QString, vms_sdk::GroupInfo> m_groups;
    QHash<QString, QList<ChannelKey>> m_groupMembers;
    QMetaObject::Connection m_reloadConnection;
};

} // namespace orlun_data
