#include "DevsMgrData.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

#include "ChannelId.h"
#include "DataLog.h"
#include "DataSignals.h"
#include "DataStore.h"
#include "SqlText.h"
#include "UserData.h"
#include "UserInfo.h"

#include <algorithm>

namespace orlun_data {

namespace {

DataStore &store()
{
    return DataStore::_instance();
}

DataSignals &dataSignals()
{
    return DataSignals::_instance();
}

// Other clients of a shared store re-read the catalog when this commits.
bool announceCatalogChange()
{
    return store().announce(QStringLiteral("c"));
}

enum DevType { DevRecorder = 0, DevCamera = 1, DevStream = 2 };

// Prepared statements for writing whole devices; prepared once per
// transaction so that bulk seeds do not re-parse SQL for every row.
struct DeviceWriter
{
    explicit DeviceWriter(const QSqlDatabase &db)
        : device(db)
        , channel(db)
    {
        device.prepare(QStringLiteral(
            "INSERT INTO devices (dev_id, name, sn, dev_type, ip, port, sn_kind1, sn_kind2,"
            " channel_count, brand) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"));
        channel.prepare(QStringLiteral("INSERT INTO channels (dev_id, channel_no, name,"
                                       " channel_type, status) VALUES (?, ?, ?, ?, ?)"));
    }

    template<typename Channels>
    bool write(const vms_sdk::DevInfo &info, const Channels &channels)
    {
        device.addBindValue(info.devId);
        device.addBindValue(sqlText(info.devName));
        device.addBindValue(sqlText(info.devSn));
        device.addBindValue(info.devType);
        device.addBindValue(sqlText(info.ip));
        device.addBindValue(info.port);
        device.addBindValue(info.snBrandKind1);
        device.addBindValue(info.snBrandKind2);
        device.addBindValue(info.channelCount);
        device.addBindValue(sqlText(info.brand));
        if (!device.exec())
            return false;
        for (const vms_sdk::DevChannelInfo &ch : channels) {
            channel.addBindValue(info.devId);
            channel.addBindValue(ch.channelKey.second);
            channel.addBindValue(sqlText(ch.channelName));
            channel.addBindValue(ch.channelType);
            channel.addBindValue(int(ch.status));
            if (!channel.exec())
                return false;
        }
        return true;
    }

    QSqlQuery device;
    QSqlQuery channel;
};

vms_sdk::ChannelStatus toStatus(int value)
{
    if (value < vms_sdk::ChannelOffline || value > vms_sdk::ChannelUnknown)
        return vms_sdk::ChannelUnknown;
    return vms_sdk::ChannelStatus(value);
}

} // namespace

// ---- queries ---------------------------------------------------------------

bool DevsMgrData::isGroup(const QString &id) const
{
    return m_groups.contains(id);
}

QList<vms_sdk::GroupChannelInfo> DevsMgrData::getGroupsChannels(const QStringList &groupIds) const
{
    QList<vms_sdk::GroupChannelInfo> result;
    for (const QString &groupId : groupIds) {
        const auto group = m_groups.constFind(groupId);
        if (group == m_groups.constEnd())
            continue;
        for (const ChannelKey &key : m_groupMembers.value(groupId)) {
            vms_sdk::GroupChannelInfo info;
            info.groupId = groupId;
            info.groupName = group->groupName;
            if (const vms_sdk::DevChannelInfo *channel = findChannel(key))
                info.channelName = channel->channelName;
            info.devId = key.first;
            info.channelNo = key.second;
            result.append(info);
        }
    }
    return result;
}

vms_sdk::DevChannelInfo DevsMgrData::getDevChannelInfo(const ChannelKey &key) const
{
    const vms_sdk::DevChannelInfo *channel = findChannel(key);
    return channel ? *channel : vms_sdk::DevChannelInfo();
}

vms_sdk::DevInfo DevsMgrData::getDevInfoById(const QString &devId) const
{
    const auto it = m_devices.constFind(devId);
    return it == m_devices.constEnd() ? vms_sdk::DevInfo() : it->info;
}

vms_sdk::ChannelStatus DevsMgrData::getChannelStatus(const ChannelKey &key) const
{
    const vms_sdk::DevChannelInfo *channel = findChannel(key);
    return channel ? channel->status : vms_sdk::ChannelOffline;
}

vms_sdk::ChannelStatus DevsMgrData::getChannelStatus(const QString &devId, int channelNo) const
{
    return getChannelStatus(ChannelKey(devId, channelNo));
}

QList<vms_sdk::DevInfo> DevsMgrData::getAllDevices() const
{
    QList<vms_sdk::DevInfo> devices;
    devices.reserve(m_devOrder.size());
    for (const QString &devId : m_devOrder)
        devices.append(m_devices.value(devId).info);
    return devices;
}

QList<vms_sdk::DevChannelInfo> DevsMgrData::getDevChannels(const QString &devId) const
{
    const auto it = m_devices.constFind(devId);
    if (it == m_devices.constEnd())
        return {};
    QList<int> numbers = it->channels.keys();
    std::sort(numbers.begin(), numbers.end());
    QList<vms_sdk::DevChannelInfo> channels;
    channels.reserve(numbers.size());
    for (int number : qAsConst(numbers))
        channels.append(it->channels.value(number));
    return channels;
}

QList<vms_sdk::GroupInfo> DevsMgrData::getAllGroups() const
{
    QList<vms_sdk::GroupInfo> groups;
    groups.reserve(m_groupOrder.size());
    for (const QString &groupId : m_groupOrder)
        groups.append(m_groups.value(groupId));
    return groups;
}

// ---- devices ---------------------------------------------------------------

bool DevsMgrData::addDevice(const vms_sdk::DevInfo &info)
{
    if (!canAddDeviceId(info.devId))
        return false;
    Device device = makeDevice(info);
    const bool stored = store().transaction([&] {
        if (!announceCatalogChange())
            return false;
        DeviceWriter writer(store().database());
        return writer.write(device.info, device.channels);
    });
    if (!stored)
        return false;
    m_devOrder.append(info.devId);
    m_devices.insert(info.devId, device);
    emit dataSignals().signalAddDevice(info.devId);
    return true;
}

bool DevsMgrData::addDevices(const QList<vms_sdk::DevInfo> &infos)
{
    QSet<QString> newIds;
    newIds.reserve(infos.size());
    for (const vms_sdk::DevInfo &info : infos) {
        if (!canAddDeviceId(info.devId) || newIds.contains(info.devId))
            return false;
        newIds.insert(info.devId);
    }
    if (infos.isEmpty())
        return true;

    QList<Device> devices;
    devices.reserve(infos.size());
    for (const vms_sdk::DevInfo &info : infos)
        devices.append(makeDevice(info));
    const bool stored = store().transaction([&] {
        if (!announceCatalogChange())
            return false;
        DeviceWriter writer(store().database());
        for (const Device &device : qAsConst(devices)) {
            if (!writer.write(device.info, device.channels))
                return false;
        }
        return true;
    });
    if (!stored)
        return false;
    m_devices.reserve(m_devices.size() + devices.size());
    for (const Device &device : qAsConst(devices)) {
        m_devOrder.append(device.info.devId);
        m_devices.insert(device.info.devId, device);
    }
    // A seed is too large to announce device by device; the tree rebuilds.
    emit dataSignals().signalCatalogReset();
    return true;
}

bool DevsMgrData::deleteDevice(const QString &devId)
{
    const auto it = m_devices.constFind(devId);
    if (it == m_devices.constEnd())
        return false;
    QList<int> numbers = it->channels.keys();
    std::sort(numbers.begin(), numbers.end());
    QStringList channelIds;
    QSet<ChannelKey> keys;
    for (int number : qAsConst(numbers)) {
        channelIds.append(formatChannelId(devId, number));
        keys.insert(ChannelKey(devId, number));
    }
    const bool stored = store().transaction([&] {
        if (!announceCatalogChange())
            return false;
        QSqlQuery query(store().database());
        for (const char *statement :
             {"DELETE FROM devices WHERE dev_id = ?", "DELETE FROM channels WHERE dev_id = ?",
              "DELETE FROM group_channels WHERE dev_id = ?"}) {
            query.prepare(QLatin1String(statement));
            query.addBindValue(devId);
            if (!store().exec(query))
                return false;
        }
        return dropChannelGrants(channelIds);
    });
    if (!stored)
        return false;

    UserData::_instance().forgetChannelGrants(channelIds);
    m_devices.remove(devId);
    m_devOrder.removeOne(devId);
    const bool groupsChanged = forgetMembers(keys);

    if (!channelIds.isEmpty())
        emit dataSignals().signalDeleteChannels(channelIds);
    emit dataSignals().signalDeleteDevice(devId);
    if (groupsChanged)
        emit dataSignals().signalGroupsChanged();
    return true;
}

// ---- channels --------------------------------------------------------------

bool DevsMgrData::renameChannel(const ChannelKey &key, const QString &name)
{
    if (!findChannel(key))
        return false;
    const bool stored = store().transaction([&] {
        if (!announceCatalogChange())
            return false;
        QSqlQuery query(store().database());
        query.prepare(
            QStringLiteral("UPDATE channels SET name = ? WHERE dev_id = ? AND channel_no = ?"));
        query.addBindValue(sqlText(name));
        query.addBindValue(key.first);
        query.addBindValue(key.second);
        return query.exec();
    });
    if (!stored)
        return false;
    vms_sdk::DevChannelInfo &channel = m_devices[key.first].channels[key.second];
    channel.channelName = name;
    emit dataSignals().signalUpdateDevChannels(key.first, {channel});
    return true;
}

bool DevsMgrData::deleteChannels(const QList<ChannelKey> &keys)
{
    QList<ChannelKey> existing;
    QSet<ChannelKey> seen;
    for (const ChannelKey &key : keys) {
        if (findChannel(key) && !seen.contains(key)) {
            seen.insert(key);
            existing.append(key);
        }
    }
    if (existing.isEmpty())
        return false;
    QStringList channelIds;
    for (const ChannelKey &key : qAsConst(existing))
        channelIds.append(formatChannelId(key.first, key.second));
    const bool stored = store().transaction([&] {
        if (!announceCatalogChange())
            return false;
        QSqlQuery channels(store().database());
        channels.prepare(
            QStringLiteral("DELETE FROM channels WHERE dev_id = ? AND channel_no = ?"));
        QSqlQuery members(store().database());
        members.prepare(
            QStringLiteral("DELETE FROM group_channels WHERE dev_id = ? AND channel_no = ?"));
        for (const ChannelKey &key : qAsConst(existing)) {
            for (QSqlQuery *query : {&channels, &members}) {
                query->addBindValue(key.first);
                query->addBindValue(key.second);
                if (!store().exec(*query))
                    return false;
            }
        }
        return dropChannelGrants(channelIds);
    });
    if (!stored)
        return false;

    UserData::_instance().forgetChannelGrants(channelIds);
    for (const ChannelKey &key : qAsConst(existing))
        m_devices[key.first].channels.remove(key.second);
    const bool groupsChanged = forgetMembers(seen);
    emit dataSignals().signalDeleteChannels(channelIds);
    if (groupsChanged)
        emit dataSignals().signalGroupsChanged();
    return true;
}

bool DevsMgrData::setChannelStatus(const ChannelKey &key, vms_sdk::ChannelStatus status)
{
    const vms_sdk::DevChannelInfo *current = findChannel(key);
    if (!current)
        return false;
    if (current->status == status)
        return true;
    const bool stored = store().transaction([&] {
        if (!announceCatalogChange())
            return false;
        QSqlQuery query(store().database());
        query.prepare(
            QStringLiteral("UPDATE channels SET status = ? WHERE dev_id = ? AND channel_no = ?"));
        query.addBindValue(int(status));
        query.addBindValue(key.first);
        query.addBindValue(key.second);
        return query.exec();
    });
    if (!stored)
        return false;
    Device &device = m_devices[key.first];
    device.channels[key.second].status = status;
    emit dataSignals().signalDevChannelsStatusChanged(key.first, channelStatuses(device));
    return true;
}

// ---- groups ----------------------------------------------------------------

bool DevsMgrData::addGroup(const QString &groupId, const QString &groupName)
{
    if (groupId.isEmpty() || m_groups.contains(groupId) || m_devices.contains(groupId) ||
        parseChannelId(groupId).second >= 0)
        return false;
    const bool stored = store().transaction([&] {
        if (!announceCatalogChange())
            return false;
        QSqlQuery query(store().database());
        query.prepare(QStringLiteral("INSERT INTO \"groups\" (group_id, name) VALUES (?, ?)"));
        query.addBindValue(groupId);
        query.addBindValue(sqlText(groupName));
        return query.exec();
    });
    if (!stored)
        return false;
    m_groupOrder.append(groupId);
    m_groups.insert(groupId, vms_sdk::GroupInfo{groupId, groupName});
    emit dataSignals().signalGroupsChanged();
    return true;
}

bool DevsMgrData::deleteGroup(const QString &groupId)
{
    if (!m_groups.contains(groupId))
        return false;
    const bool stored = store().transaction([&] {
        QSqlQuery query(store().database());
        for (const char *statement : {"DELETE FROM \"groups\" WHERE group_id = ?",
                                      "DELETE FROM group_channels WHERE group_id = ?"}) {
            query.prepare(QLatin1String(statement));
            query.addBindValue(groupId);
            if (!store().exec(query))
                return false;
        }
        return announceCatalogChange();
    });
    if (!stored)
        return false;
    m_groupOrder.removeOne(groupId);
    m_groups.remove(groupId);
    m_groupMembers.remove(groupId);
    emit dataSignals().signalGroupsChanged();
    return true;
}

bool DevsMgrData::addGroupChannel(const QString &groupId, const ChannelKey &key)
{
    if (!m_groups.contains(groupId) || !findChannel(key))
        return false;
    if (m_groupMembers.value(groupId).contains(key))
        return false;
    const bool stored = store().transaction([&] {
        if (!announceCatalogChange())
            return false;
        QSqlQuery query(store().database());
        // Deleted channels leave holes in the positions; append after the last.
        query.prepare(QStringLiteral(
            "INSERT INTO group_channels (group_id, dev_id, channel_no, position) VALUES (?, ?, ?,"
            " (SELECT COALESCE(MAX(position), -1) + 1 FROM group_channels WHERE group_id = ?))"));
        query.addBindValue(groupId);
        query.addBindValue(key.first);
        query.addBindValue(key.second);
        query.addBindValue(groupId);
        return query.exec();
    });
    if (!stored)
        return false;
    m_groupMembers[groupId].append(key);
    emit dataSignals().signalGroupsChanged();
    return true;
}

// ---- loading ---------------------------------------------------------------

DevsMgrData::DevsMgrData()
{
    m_reloadConnection =
        QObject::connect(&DataSignals::_instance(), &DataSignals::signalStoreReloaded,
                         &DataSignals::_instance(), [this] { reload(); });
    reload();
}

DevsMgrData::~DevsMgrData()
{
    // The hub was completed inside our constructor, so it outlives us.
    QObject::disconnect(m_reloadConnection);
}

void DevsMgrData::reload()
{
    m_devOrder.clear();
    m_devices.clear();
    m_groupOrder.clear();
    m_groups.clear();
    m_groupMembers.clear();

    const QSqlDatabase db = store().database();
    if (!db.isOpen())
        return;

    QSqlQuery query(db);
    query.setForwardOnly(true);
    if (query.exec(QStringLiteral("SELECT dev_id, name, sn, dev_type, ip, port, sn_kind1,"
                                  " sn_kind2, channel_count, brand FROM devices ORDER BY id"))) {
        while (query.next()) {
            Device device;
            vms_sdk::DevInfo &info = device.info;
            info.devId = query.value(0).toString();
            info.devName = query.value(1).toString();
            info.devSn = query.value(2).toString();
            info.devType = query.value(3).toInt();
            info.ip = query.value(4).toString();
            info.port = query.value(5).toUInt();
            info.snBrandKind1 = query.value(6).toInt();
            info.snBrandKind2 = query.value(7).toInt();
            info.channelCount = query.value(8).toInt();
            info.brand = query.value(9).toString();
            m_devOrder.append(info.devId);
            m_devices.insert(info.devId, device);
        }
    } else {
        qCWarning(lcData) << "Reading the devices failed; the copy in memory lacks them:"
                          << query.lastError();
    }
    if (query.exec(QStringLiteral(
            "SELECT dev_id, channel_no, name, channel_type, status FROM channels"))) {
        while (query.next()) {
            const auto device = m_devices.find(query.value(0).toString());
            if (device == m_devices.end())
                continue;
            vms_sdk::DevChannelInfo channel;
            channel.channelKey = ChannelKey(device.key(), query.value(1).toInt());
            channel.channelName = query.value(2).toString();
            channel.channelType = query.value(3).toInt();
            channel.status = toStatus(query.value(4).toInt());
            device->channels.insert(channel.channelKey.second, channel);
        }
    } else {
        qCWarning(lcData) << "Reading the channels failed; the copy in memory lacks them:"
                          << query.lastError();
    }
    if (query.exec(QStringLiteral("SELECT group_id, name FROM \"groups\" ORDER BY id"))) {
        while (query.next()) {
            const vms_sdk::GroupInfo group{query.value(0).toString(), query.value(1).toString()};
            m_groupOrder.append(group.groupId);
            m_groups.insert(group.groupId, group);
        }
    } else {
        qCWarning(lcData) << "Reading the groups failed; the copy in memory lacks them:"
                          << query.lastError();
    }
    if (query.exec(QStringLiteral("SELECT group_id, dev_id, channel_no FROM group_channels"
                                  " ORDER BY group_id, position"))) {
        while (query.next()) {
            m_groupMembers[query.value(0).toString()].append(
                ChannelKey(query.value(1).toString(), query.value(2).toInt()));
        }
    } else {
        qCWarning(lcData) << "Reading the group members failed; the copy in memory lacks them:"
                          << query.lastError();
    }
}

void DevsMgrData::refresh()
{
    const QHash<QString, Device> before = m_devices;
    const QHash<QString, vms_sdk::GroupInfo> groupsBefore = m_groups;
    const QHash<QString, QList<ChannelKey>> membersBefore = m_groupMembers;
    reload();

    DataSignals &hub = dataSignals();
    QStringList goneChannels;
    QStringList goneDevices;
    for (auto old = before.constBegin(); old != before.constEnd(); ++old) {
        const auto now = m_devices.constFind(old.key());
        if (now == m_devices.constEnd())
            goneDevices.append(old.key());
        for (auto ch = old->channels.constBegin(); ch != old->channels.constEnd(); ++ch) {
            if (now == m_devices.constEnd() || !now->channels.contains(ch.key()))
                goneChannels.append(formatChannelId(old.key(), ch.key()));
        }
    }
    if (!goneChannels.isEmpty()) {
        UserData::_instance().forgetChannelGrants(goneChannels);
        emit hub.signalDeleteChannels(goneChannels);
    }
    for (const QString &devId : qAsConst(goneDevices))
        emit hub.signalDeleteDevice(devId);
    for (const QString &devId : qAsConst(m_devOrder)) {
        const auto old = before.constFind(devId);
        if (old == before.constEnd()) {
            emit hub.signalAddDevice(devId);
            continue;
        }
        const Device &device = *m_devices.constFind(devId);
        QList<vms_sdk::DevChannelInfo> renamed;
        bool statusChanged = false;
        for (auto channel = device.channels.constBegin(); channel != device.channels.constEnd();
             ++channel) {
            const vms_sdk::DevChannelInfo &now = channel.value();
            const auto was = old->channels.constFind(channel.key());
            if (was == old->channels.constEnd() || was->channelName != now.channelName ||
                was->channelType != now.channelType)
                renamed.append(now);
            if (was != old->channels.constEnd() && was->status != now.status)
                statusChanged = true;
        }
        if (!renamed.isEmpty())
            emit hub.signalUpdateDevChannels(devId, renamed);
        if (statusChanged)
            emit hub.signalDevChannelsStatusChanged(devId, channelStatuses(device));
    }
    bool groupsChanged = membersBefore != m_groupMembers || groupsBefore.size() != m_groups.size();
    for (auto it = m_groups.constBegin(); !groupsChanged && it != m_groups.constEnd(); ++it)
        groupsChanged = groupsBefore.value(it.key()).groupName != it->groupName ||
                        !groupsBefore.contains(it.key());
    if (groupsChanged)
        emit hub.signalGroupsChanged();
}

// ---- helpers ---------------------------------------------------------------

DevsMgrData::Device DevsMgrData::makeDevice(const vms_sdk::DevInfo &info)
{
    Device device;
    device.info = info;
    const bool single = info.devType == DevCamera || info.devType == DevStream;
    device.info.channelCount = single ? 1 : qMax(0, info.channelCount);
    device.channels.reserve(device.info.channelCount);
    for (int number = 0; number < device.info.channelCount; ++number) {
        vms_sdk::DevChannelInfo channel;
        channel.channelName = QStringLiteral("%1-%2").arg(info.devName).arg(number + 1);
        channel.channelKey = ChannelKey(info.devId, number);
        device.channels.insert(number, channel);
    }
    return device;
}

bool DevsMgrData::canAddDeviceId(const QString &devId) const
{
    return !devId.isEmpty() && !m_devices.contains(devId) && !m_groups.contains(devId);
}

const vms_sdk::DevChannelInfo *DevsMgrData::findChannel(const ChannelKey &key) const
{
    const auto device = m_devices.constFind(key.first);
    if (device == m_devices.constEnd())
        return nullptr;
    const auto channel = device->channels.constFind(key.second);
    return channel == device->channels.constEnd() ? nullptr : &channel.value();
}

QList<vms_sdk::ChannelStatus> DevsMgrData::channelStatuses(const Device &device) const
{
    int last = -1;
    for (auto it = device.channels.constBegin(); it != device.channels.constEnd(); ++it)
        last = qMax(last, it.key());
    // Indexed by channel number; numbers freed by deletion read as offline.
    QList<vms_sdk::ChannelStatus> statuses;
    statuses.reserve(last + 1);
    for (int number = 0; number <= last; ++number)
        statuses.append(device.channels.value(number).status);
    return statuses;
}

bool DevsMgrData::dropChannelGrants(const QStringList &channelIds)
{
    // A grant outlives its channel only as a trap: a channel made later under
    // the same id would be granted without anyone choosing it.
    QSqlQuery query(store().database());
    query.prepare(QStringLiteral("DELETE FROM user_res WHERE res_type = ? AND res_id = ?"));
    for (const QString &id : channelIds) {
        query.addBindValue(int(UserResInfo::Channel));
        query.addBindValue(id);
        if (!store().exec(query))
            return false;
    }
    return true;
}

bool DevsMgrData::forgetMembers(const QSet<ChannelKey> &keys)
{
    bool changed = false;
    for (auto it = m_groupMembers.begin(); it != m_groupMembers.end(); ++it) {
        const int removed = int(std::count_if(
            it->begin(), it->end(), [&](const ChannelKey &key) { return keys.contains(key); }));
        if (removed == 0)
            continue;
        it->erase(std::remove_if(it->begin(), it->end(),
                                 [&](const ChannelKey &key) { return keys.contains(key); }),
                  it->end());
        changed = true;
    }
    return changed;
}

} // namespace orlun_data

template class TAMCOMMON::TamSingleton<orlun_data::DevsMgrData>;
