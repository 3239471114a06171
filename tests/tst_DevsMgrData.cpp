#include <QTemporaryDir>
#include <QtTest>

#include "DataSignals.h"
#include "DataStore.h"
#include "DevsMgrData.h"
#include "TestSupport.h"

using orlun_data::DataSignals;
using orlun_data::DevsMgrData;
using Key = DevsMgrData::ChannelKey;
using namespace vms_sdk;
using Statuses = QList<ChannelStatus>;

namespace {

DevsMgrData &catalog()
{
    return DevsMgrData::_instance();
}

DataSignals *dataSignals()
{
    return &DataSignals::_instance();
}

DevInfo makeDevice(const QString &id, const QString &name, int type, int channels)
{
    return {id, name,     id + QStringLiteral("-SN"), type, QStringLiteral("10.0.0.7"), 8000, 1,
            5,  channels, QStringLiteral("Acme")};
}

bool addDevice(const QString &id, int channels, int type = 0)
{
    return catalog().addDevice(makeDevice(id, QStringLiteral("Gate"), type, channels));
}

QString deviceText(const QString &devId)
{
    const DevInfo d = catalog().getDevInfoById(devId);
    return QStringList({d.devId, d.devName, d.devSn, QString::number(d.devType), d.ip,
                        QString::number(d.port), QString::number(d.snBrandKind1),
                        QString::number(d.snBrandKind2), d.brand})
        .join(QLatin1Char('|'));
}

QStringList channelNames(const QString &devId)
{
    QStringList names;
    for (const DevChannelInfo &channel : catalog().getDevChannels(devId))
        names.append(channel.channelName);
    return names;
}

QStringList memberIds(const QStringList &groupIds)
{
    QStringList ids;
    for (const GroupChannelInfo &member : catalog().getGroupsChannels(groupIds))
        ids.append(
            QStringLiteral("%1:%2#%3").arg(member.groupId, member.devId).arg(member.channelNo));
    return ids;
}

} // namespace

class tst_DevsMgrData : public QObject
{
    Q_OBJECT

private slots:
    void init() { resetHostForTest(); }

    void addDeviceCreatesItsChannels_data();
    void addDeviceCreatesItsChannels();
    void idsNeverMeanTwoThings_data();
    void idsNeverMeanTwoThings();
    void unknownKeysGiveDefaults();
    void channelChangesAreSignalledPerDevice();
    void deleteChannelsSignalsIdsAndLeavesGroups();
    void groupsAndDeviceDeletion();
    void catalogSurvivesReopen();
    void bulkAddIsOneResetAndAllOrNothing();
};

void tst_DevsMgrData::addDeviceCreatesItsChannels_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<int>("requested");
    QTest::addColumn<QStringList>("names");
    QTest::newRow("recorder") << 0 << 3 << QStringList({"Gate-1", "Gate-2", "Gate-3"});
    QTest::newRow("recorder without channels") << 0 << 0 << QStringList();
    QTest::newRow("camera asks for more") << 1 << 8 << QStringList({"Gate-1"});
    QTest::newRow("stream asks for none") << 2 << 0 << QStringList({"Gate-1"});
}

void tst_DevsMgrData::addDeviceCreatesItsChannels()
{
    QFETCH(int, type);
    QFETCH(int, requested);
    QFETCH(QStringList, names);
    QSignalSpy added(dataSignals(), &DataSignals::signalAddDevice);
    QVERIFY(addDevice(QStringLiteral("d1"), requested, type));
    QCOMPARE(added.count(), 1);
    QCOMPARE(added.at(0).at(0).toString(), QStringLiteral("d1"));
    QCOMPARE(channelNames(QStringLiteral("d1")), names);
    QCOMPARE(catalog().getDevInfoById(QStringLiteral("d1")).channelCount, names.size());
    for (int no = 0; no < names.size(); ++no) {
        const DevChannelInfo channel = catalog().getDevChannelInfo(Key("d1", no));
        QCOMPARE(channel.channelName, names.at(no));
        QCOMPARE(channel.channelKey, Key("d1", no));
    }
}

void tst_DevsMgrData::idsNeverMeanTwoThings_data()
{
    QTest::addColumn<bool>("device");
    QTest::addColumn<QString>("id");
    QTest::newRow("device twice") << true << "d1";
    QTest::newRow("device named like a group") << true << "grp-1";
    QTest::newRow("device without id") << true << QString();
    QTest::newRow("group twice") << false << "grp-1";
    QTest::newRow("group named like a device") << false << "d1";
    QTest::newRow("group like an unknown channel") << false << "x#12";
}

void tst_DevsMgrData::idsNeverMeanTwoThings()
{
    QFETCH(bool, device);
    QFETCH(QString, id);
    QVERIFY(addDevice(QStringLiteral("d1"), 2));
    QVERIFY(catalog().addGroup(QStringLiteral("grp-1"), QStringLiteral("Lobby")));
    QSignalSpy added(dataSignals(), &DataSignals::signalAddDevice);
    QSignalSpy groups(dataSignals(), &DataSignals::signalGroupsChanged);
    QVERIFY(device ? !addDevice(id, 1) : !catalog().addGroup(id, QStringLiteral("Other")));
    QCOMPARE(added.count() + groups.count(), 0);
    QCOMPARE(catalog().getAllDevices().size(), 1);
    QCOMPARE(channelNames(QStringLiteral("d1")), QStringList({"Gate-1", "Gate-2"}));
    QCOMPARE(catalog().getAllGroups().size(), 1);
    QCOMPARE(catalog().getAllGroups().first().groupName, QStringLiteral("Lobby"));
}

void tst_DevsMgrData::unknownKeysGiveDefaults()
{
    QVERIFY(addDevice(QStringLiteral("d1"), 1));
    QVERIFY(catalog().getDevChannelInfo(Key("d1", 5)).channelKey.first.isEmpty());
    QVERIFY(catalog().getDevInfoById(QStringLiteral("nope")).devId.isEmpty());
    QCOMPARE(catalog().getChannelStatus(Key("d1", 5)), ChannelOffline);
    QCOMPARE(catalog().getChannelStatus(QStringLiteral("nope"), 0), ChannelOffline);
    QVERIFY(!catalog().isGroup(QStringLiteral("d1")));
    QVERIFY(!catalog().renameChannel(Key("d1", 5), QStringLiteral("x")));
    QVERIFY(!catalog().setChannelStatus(Key("nope", 0), ChannelOnline));
    QVERIFY(!catalog().deleteChannels({Key("d1", 5)}));
    QVERIFY(!catalog().deleteDevice(QStringLiteral("nope")));
    QVERIFY(!catalog().deleteGroup(QStringLiteral("nope")));
    QVERIFY(!catalog().addGroupChannel(QStringLiteral("nope"), Key("d1", 0)));
}

void tst_DevsMgrData::deleteChannelsSignalsIdsAndLeavesGroups()
{
    QVERIFY(addDevice(QStringLiteral("d1"), 4));
    QVERIFY(catalog().addGroup(QStringLiteral("grp-1"), QStringLiteral("Lobby")));
    QVERIFY(catalog().addGroupChannel(QStringLiteral("grp-1"), Key("d1", 1)));
    QVERIFY(catalog().addGroupChannel(QStringLiteral("grp-1"), Key("d1", 2)));
    QSignalSpy deleted(dataSignals(), &DataSignals::signalDeleteChannels);
    QSignalSpy groups(dataSignals(), &DataSignals::signalGroupsChanged);

    // Unknown and repeated keys are skipped.
    QVERIFY(catalog().deleteChannels({Key("d1", 1), Key("d1", 3), Key("d1", 9), Key("d1", 1)}));
    QCOMPARE(deleted.count(), 1);
    QCOMPARE(deleted.at(0).at(0).toStringList(), QStringList({"d1#1", "d1#3"}));
    QCOMPARE(groups.count(), 1);
    QCOMPARE(channelNames(QStringLiteral("d1")), QStringList({"Gate-1", "Gate-3"}));
    QCOMPARE(memberIds({QStringLiteral("grp-1")}), QStringList{"grp-1:d1#2"});
    // The numbers stay what they were: channel 2 is still channel 2.
    QCOMPARE(catalog().getDevChannelInfo(Key("d1", 2)).channelName, QStringLiteral("Gate-3"));
}

void tst_DevsMgrData::channelChangesAreSignalledPerDevice()
{
    QVERIFY(addDevice(QStringLiteral("d1"), 3));
    QVERIFY(addDevice(QStringLiteral("d2"), 1));
    QSignalSpy changed(dataSignals(), &DataSignals::signalDevChannelsStatusChanged);
    QSignalSpy updated(dataSignals(), &DataSignals::signalUpdateDevChannels);

    // A status change sends every status of the device, by channel number.
    QVERIFY(catalog().setChannelStatus(Key("d1", 2), ChannelAlarm));
    QVERIFY(catalog().setChannelStatus(Key("d1", 1), ChannelRecording));
    QCOMPARE(changed.count(), 2);
    QCOMPARE(changed.last().at(0).toString(), QStringLiteral("d1"));
    QCOMPARE(changed.last().at(1).value<Statuses>(),
             Statuses({ChannelOffline, ChannelRecording, ChannelAlarm}));
    QCOMPARE(catalog().getChannelStatus(Key("d2", 0)), ChannelOffline);
    // Setting the status a channel already has is no change.
    QVERIFY(catalog().setChannelStatus(Key("d1", 2), ChannelAlarm));
    QCOMPARE(changed.count(), 2);

    // A rename sends the one changed record.
    QVERIFY(catalog().renameChannel(Key("d1", 1), QStringLiteral("Back door")));
    QCOMPARE(updated.count(), 1);
    QCOMPARE(updated.at(0).at(0).toString(), QStringLiteral("d1"));
    const auto records = updated.at(0).at(1).value<QList<DevChannelInfo>>();
    QCOMPARE(records.size(), 1);
    QCOMPARE(records.first().channelName, QStringLiteral("Back door"));
    QCOMPARE(records.first().channelKey, Key("d1", 1));
    QCOMPARE(records.first().status, ChannelRecording);
    QCOMPARE(channelNames(QStringLiteral("d1")), QStringList({"Gate-1", "Back door", "Gate-3"}));

    // A gap left by a deleted channel reads as offline, keeping the index.
    QVERIFY(catalog().deleteChannels({Key("d1", 1)}));
    QVERIFY(catalog().setChannelStatus(Key("d1", 0), ChannelOnline));
    QCOMPARE(changed.last().at(1).value<Statuses>(),
             Statuses({ChannelOnline, ChannelOffline, ChannelAlarm}));
}

void tst_DevsMgrData::groupsAndDeviceDeletion()
{
    QVERIFY(addDevice(QStringLiteral("d1"), 2));
    QVERIFY(addDevice(QStringLiteral("cam"), 1, 1));
    QSignalSpy groups(dataSignals(), &DataSignals::signalGroupsChanged);
    QVERIFY(catalog().addGroup(QStringLiteral("grp-1"), QStringLiteral("Lobby")));
    QVERIFY(catalog().addGroup(QStringLiteral("grp-2"), QStringLiteral("Yard")));
    QVERIFY(catalog().addGroupChannel(QStringLiteral("grp-1"), Key("cam", 0)));
    QVERIFY(catalog().addGroupChannel(QStringLiteral("grp-1"), Key("d1", 1)));
    QVERIFY(catalog().addGroupChannel(QStringLiteral("grp-2"), Key("d1", 0)));
    QVERIFY(!catalog().addGroupChannel(QStringLiteral("grp-1"), Key("d1", 1)));
    QVERIFY(!catalog().addGroupChannel(QStringLiteral("grp-1"), Key("d1", 7)));
    QCOMPARE(groups.count(), 5);
    QVERIFY(catalog().isGroup(QStringLiteral("grp-1")));
    // Members come by group in the order asked, carrying the current names.
    QVERIFY(catalog().renameChannel(Key("d1", 0), QStringLiteral("Front")));
    const auto members = catalog().getGroupsChannels({"grp-2", "grp-1", "unknown"});
    QCOMPARE(memberIds({"grp-2", "grp-1", "unknown"}),
             QStringList({"grp-2:d1#0", "grp-1:cam#0", "grp-1:d1#1"}));
    QCOMPARE(members.first().groupName, QStringLiteral("Yard"));
    QCOMPARE(members.first().channelName, QStringLiteral("Front"));

    // A deleted device takes its channels and their memberships along.
    QSignalSpy deletedChannels(dataSignals(), &DataSignals::signalDeleteChannels);
    QSignalSpy deletedDevice(dataSignals(), &DataSignals::signalDeleteDevice);
    QVERIFY(catalog().deleteDevice(QStringLiteral("d1")));
    QCOMPARE(deletedChannels.at(0).at(0).toStringList(), QStringList({"d1#0", "d1#1"}));
    QCOMPARE(deletedDevice.at(0).at(0).toString(), QStringLiteral("d1"));
    QCOMPARE(groups.count(), 6);
    QCOMPARE(catalog().getDevChannelInfo(Key("d1", 0)).channelName, QString());
    QCOMPARE(memberIds({"grp-1", "grp-2"}), QStringList{"grp-1:cam#0"});

    // A deleted group leaves its channels; a deleted id is free again.
    QVERIFY(catalog().deleteGroup(QStringLiteral("grp-1")));
    QVERIFY(!catalog().isGroup(QStringLiteral("grp-1")));
    QCOMPARE(groups.count(), 7);
    QCOMPARE(catalog().getDevChannelInfo(Key("cam", 0)).channelName, QStringLiteral("Gate-1"));
    QVERIFY(addDevice(QStringLiteral("d1"), 1));
    QCOMPARE(catalog().getAllDevices().size(), 2);
    // The store agrees: the new "d1" has no memberships of the old one.
    catalog().reload();
    QCOMPARE(memberIds({"grp-1", "grp-2"}), QStringList());
}

void tst_DevsMgrData::catalogSurvivesReopen()
{
    QTemporaryDir dir;
    const QString path = reopenableStore(dir, QStringLiteral("catalog.db"));
    QVERIFY(orlun_data::DataStore::_instance().open(path));
    QVERIFY(addDevice(QStringLiteral("d1"), 3));
    QVERIFY(addDevice(QStringLiteral("cam"), 1, 1));
    QCOMPARE(deviceText(QStringLiteral("d1")), "d1|Gate|d1-SN|0|10.0.0.7|8000|1|5|Acme");
    QVERIFY(catalog().renameChannel(Key("d1", 0), QStringLiteral("Front")));
    QVERIFY(catalog().setChannelStatus(Key("d1", 2), ChannelOnline));
    QVERIFY(catalog().addGroup(QStringLiteral("grp-1"), QStringLiteral("Lobby")));
    for (const Key &key : {Key("d1", 0), Key("d1", 1), Key("cam", 0)})
        QVERIFY(catalog().addGroupChannel(QStringLiteral("grp-1"), key));
    QVERIFY(catalog().deleteChannels({Key("d1", 1)}));
    // Appended after a hole in the member positions.
    QVERIFY(catalog().addGroupChannel(QStringLiteral("grp-1"), Key("d1", 2)));

    QSignalSpy reset(dataSignals(), &DataSignals::signalCatalogReset);
    QVERIFY(orlun_data::DataStore::_instance().open(path));
    QCOMPARE(reset.count(), 1);
    QCOMPARE(catalog().getAllDevices().first().devId, QStringLiteral("d1"));
    QCOMPARE(deviceText(QStringLiteral("d1")), "d1|Gate|d1-SN|0|10.0.0.7|8000|1|5|Acme");
    QCOMPARE(deviceText(QStringLiteral("cam")), "cam|Gate|cam-SN|1|10.0.0.7|8000|1|5|Acme");
    QCOMPARE(channelNames(QStringLiteral("d1")), QStringList({"Front", "Gate-3"}));
    QCOMPARE(catalog().getChannelStatus(Key("d1", 2)), ChannelOnline);
    QVERIFY(catalog().isGroup(QStringLiteral("grp-1")));
    QCOMPARE(memberIds({"grp-1"}), QStringList({"grp-1:d1#0", "grp-1:cam#0", "grp-1:d1#2"}));
}

void tst_DevsMgrData::bulkAddIsOneResetAndAllOrNothing()
{
    QVERIFY(addDevice(QStringLiteral("old"), 1));
    QSignalSpy reset(dataSignals(), &DataSignals::signalCatalogReset);
    QSignalSpy added(dataSignals(), &DataSignals::signalAddDevice);
    // Repeated ids within the batch or against the catalog refuse all of it.
    QVERIFY(!catalog().addDevices({makeDevice("a", "A", 0, 2), makeDevice("a", "A2", 0, 2)}));
    QVERIFY(!catalog().addDevices({makeDevice("c", "C", 0, 2), makeDevice("old", "O", 0, 2)}));
    QCOMPARE(reset.count(), 0);
    QCOMPARE(catalog().getAllDevices().size(), 1);

    QList<DevInfo> infos;
    for (int i = 0; i < 50; ++i)
        infos.append(
            makeDevice(QStringLiteral("nvr-%1").arg(i), QStringLiteral("N%1").arg(i), 0, 4));
    QVERIFY(catalog().addDevices(infos));
    QCOMPARE(reset.count(), 1);
    QCOMPARE(added.count(), 0);
    QCOMPARE(catalog().getAllDevices().size(), 51);
    QCOMPARE(catalog().getAllDevices().at(35).devId, QStringLiteral("nvr-34"));
    QCOMPARE(catalog().getDevChannelInfo(Key("nvr-49", 3)).channelName, QStringLiteral("N49-4"));
    // What the indexes show is what the store holds.
    catalog().reload();
    QCOMPARE(catalog().getAllDevices().size(), 51);
    QCOMPARE(catalog().getDevChannels(QStringLiteral("nvr-49")).size(), 4);
}

QTEST_MAIN(tst_DevsMgrData)
#include "tst_DevsMgrData.moc"
