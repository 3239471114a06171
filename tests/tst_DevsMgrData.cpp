#include <QSqlQuery>
#include <QTemporaryDir>
#include <QtTest>

#include "ChannelId.h"
#include "DataSignals.h"
#include "DataStore.h"
#include "DevsMgrData.h"
#include "TestSupport.h"

using orlun_data::DataSignals;
using orlun_data::DataStore;
using orlun_data::DevsMgrData;
using Key = DevsMgrData::ChannelKey;

namespace {

DevsMgrData &catalog()
{
    return DevsMgrData::_instance();
}

DataSignals &dataSignals()
{
    return DataSignals::_instance();
}

vms_sdk::DevInfo makeDevice(const QString &id, const QString &name, int type, int channels)
{
    vms_sdk::DevInfo info;
    info.devId = id;
    info.devName = name;
    info.devSn = id + QStringLiteral("-SN");
    info.devType = type;
    info.ip = QStringLiteral("10.0.0.7");
    info.port = 8000;
    info.snBrandKind1 = 1;
    info.snBrandKind2 = 5;
    info.channelCount = channels;
    info.brand = QStringLiteral("Acme");
    return info;
}

QStringList channelNames(const QString &devId)
{
    QStringList names;
    for (const vms_sdk::DevChannelInfo &channel : catalog().getDevChannels(devId))
        names.append(channel.channelName);
    return names;
}

QList<vms_sdk::ChannelStatus> statuses(const QVariant &value)
{
    return value.value<QList<vms_sdk::ChannelStatus>>();
}

} // namespace

class tst_DevsMgrData : public QObject
{
    Q_OBJECT

private slots:
    void init();

    void addDeviceCreatesItsChannels_data();
    void addDeviceCreatesItsChannels();
    void addDeviceSignalsAndRecords();
    void idsNeverMeanTwoThings_data();
    void idsNeverMeanTwoThings();
    void unknownKeysGiveDefaults();
    void renameChannelSignalsTheChangedRecord();
    void deleteChannelsSignalsIdsAndLeavesGroups();
    void statusChangeSignalsAllStatusesOfTheDevice();
    void groupsAndTheirChannels();
    void deleteDeviceTakesItsChannelsAlong();
    void catalogSurvivesReopen();
    void bulkAddSeedsLargeCatalogs();
    void bulkAddIsAllOrNothing();
    void signalsCrossThreads();
};

void tst_DevsMgrData::init()
{
    resetHostForTest();
}

void tst_DevsMgrData::addDeviceCreatesItsChannels_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<int>("requested");
    QTest::addColumn<QStringList>("names");
    QTest::newRow("recorder") << 0 << 3 << QStringList({"Gate-1", "Gate-2", "Gate-3"});
    QTest::newRow("recorder without channels") << 0 << 0 << QStringList();
    QTest::newRow("camera asks for more") << 1 << 8 << QStringList({"Gate-1"});
    QTest::newRow("camera asks for none") << 1 << 0 << QStringList({"Gate-1"});
    QTest::newRow("stream") << 2 << 4 << QStringList({"Gate-1"});
}

void tst_DevsMgrData::addDeviceCreatesItsChannels()
{
    QFETCH(int, type);
    QFETCH(int, requested);
    QFETCH(QStringList, names);
    QVERIFY(catalog().addDevice(
        makeDevice(QStringLiteral("d1"), QStringLiteral("Gate"), type, requested)));
    QCOMPARE(channelNames(QStringLiteral("d1")), names);
    QCOMPARE(catalog().getDevInfoById(QStringLiteral("d1")).channelCount, names.size());
    for (int no = 0; no < names.size(); ++no) {
        const vms_sdk::DevChannelInfo channel = catalog().getDevChannelInfo(Key("d1", no));
        QCOMPARE(channel.channelName, names.at(no));
        QCOMPARE(channel.channelKey, Key("d1", no));
        QCOMPARE(catalog().getChannelStatus(QStringLiteral("d1"), no), vms_sdk::ChannelOffline);
    }
    QCOMPARE(catalog().getDevChannelInfo(Key("d1", names.size())).channelName, QString());
}

void tst_DevsMgrData::addDeviceSignalsAndRecords()
{
    QSignalSpy added(&dataSignals(), &DataSignals::signalAddDevice);
    QVERIFY(catalog().addDevice(makeDevice(QStringLiteral("nvr"), QStringLiteral("N"), 0, 2)));
    QVERIFY(catalog().addDevice(makeDevice(QStringLiteral("cam"), QStringLiteral("C"), 1, 1)));
    QCOMPARE(added.count(), 2);
    QCOMPARE(added.at(0).at(0).toString(), QStringLiteral("nvr"));
    QCOMPARE(added.at(1).at(0).toString(), QStringLiteral("cam"));

    const vms_sdk::DevInfo info = catalog().getDevInfoById(QStringLiteral("nvr"));
    QCOMPARE(info.devName, QStringLiteral("N"));
    QCOMPARE(info.devSn, QStringLiteral("nvr-SN"));
    QCOMPARE(info.ip, QStringLiteral("10.0.0.7"));
    QCOMPARE(info.port, 8000u);
    QCOMPARE(info.snBrandKind1, 1);
    QCOMPARE(info.snBrandKind2, 5);
    QCOMPARE(info.brand, QStringLiteral("Acme"));
    QCOMPARE(catalog().getAllDevices().size(), 2);
    QCOMPARE(catalog().getAllDevices().at(1).devId, QStringLiteral("cam"));
}

void tst_DevsMgrData::idsNeverMeanTwoThings_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("id");
    QTest::newRow("device twice") << "device"
                                  << "d1";
    QTest::newRow("device named like a group") << "device"
                                               << "grp-1";
    QTest::newRow("device without id") << "device" << QString();
    QTest::newRow("group twice") << "group"
                                 << "grp-1";
    QTest::newRow("group named like a device") << "group"
                                               << "d1";
    QTest::newRow("group named like a channel") << "group"
                                                << "d1#0";
    QTest::newRow("group like an unknown channel") << "group"
                                                   << "x#12";
    QTest::newRow("group without id") << "group" << QString();
}

void tst_DevsMgrData::idsNeverMeanTwoThings()
{
    QFETCH(QString, kind);
    QFETCH(QString, id);
    QVERIFY(catalog().addDevice(makeDevice(QStringLiteral("d1"), QStringLiteral("Gate"), 0, 2)));
    QVERIFY(catalog().addGroup(QStringLiteral("grp-1"), QStringLiteral("Lobby")));
    QSignalSpy added(&dataSignals(), &DataSignals::signalAddDevice);
    QSignalSpy groups(&dataSignals(), &DataSignals::signalGroupsChanged);

    if (kind == QLatin1String("device"))
        QVERIFY(!catalog().addDevice(makeDevice(id, QStringLiteral("Other"), 0, 1)));
    else
        QVERIFY(!catalog().addGroup(id, QStringLiteral("Other")));
    QCOMPARE(added.count(), 0);
    QCOMPARE(groups.count(), 0);
    QCOMPARE(catalog().getAllDevices().size(), 1);
    QCOMPARE(catalog().getAllGroups().size(), 1);
    QCOMPARE(channelNames(QStringLiteral("d1")), QStringList({"Gate-1", "Gate-2"}));
    QCOMPARE(catalog().getAllGroups().first().groupName, QStringLiteral("Lobby"));
}

void tst_DevsMgrData::unknownKeysGiveDefaults()
{
    QVERIFY(catalog().addDevice(makeDevice(QStringLiteral("d1"), QStringLiteral("Gate"), 0, 1)));
    QVERIFY(catalog().setChannelStatus(Key("d1", 0), vms_sdk::ChannelOnline));
    const vms_sdk::DevChannelInfo channel = catalog().getDevChannelInfo(Key("d1", 5));
    QVERIFY(channel.channelName.isEmpty());
    QVERIFY(channel.channelKey.first.isEmpty());
    QVERIFY(catalog().getDevInfoById(QStringLiteral("nope")).devId.isEmpty());
    QVERIFY(catalog().getDevInfoById(QStringLiteral("nope")).devName.isEmpty());
    QCOMPARE(catalog().getChannelStatus(Key("d1", 5)), vms_sdk::ChannelOffline);
    QCOMPARE(catalog().getChannelStatus(QStringLiteral("nope"), 0), vms_sdk::ChannelOffline);
    QCOMPARE(catalog().getChannelStatus(Key("d1", 0)), vms_sdk::ChannelOnline);
    QVERIFY(!catalog().isGroup(QStringLiteral("d1")));
    QVERIFY(!catalog().isGroup(QStringLiteral("d1#0")));
    QVERIFY(catalog().getGroupsChannels({QStringLiteral("nope")}).isEmpty());
    QVERIFY(catalog().getDevChannels(QStringLiteral("nope")).isEmpty());
    QVERIFY(!catalog().renameChannel(Key("d1", 5), QStringLiteral("x")));
    QVERIFY(!catalog().setChannelStatus(Key("nope", 0), vms_sdk::ChannelOnline));
    QVERIFY(!catalog().deleteChannels({Key("d1", 5)}));
    QVERIFY(!catalog().deleteDevice(QStringLiteral("nope")));
    QVERIFY(!catalog().deleteGroup(QStringLiteral("nope")));
    QVERIFY(!catalog().addGroupChannel(QStringLiteral("nope"), Key("d1", 0)));
}

void tst_DevsMgrData::renameChannelSignalsTheChangedRecord()
{
    QVERIFY(catalog().addDevice(makeDevice(QStringLiteral("d1"), QStringLiteral("Gate"), 0, 3)));
    QVERIFY(catalog().setChannelStatus(Key("d1", 1), vms_sdk::ChannelRecording));
    QSignalSpy updated(&dataSignals(), &DataSignals::signalUpdateDevChannels);
    QVERIFY(catalog().renameChannel(Key("d1", 1), QStringLiteral("Back door")));

    QCOMPARE(updated.count(), 1);
    QCOMPARE(updated.at(0).at(0).toString(), QStringLiteral("d1"));
    const auto records = updated.at(0).at(1).value<QList<vms_sdk::DevChannelInfo>>();
    QCOMPARE(records.size(), 1);
    QCOMPARE(records.first().channelName, QStringLiteral("Back door"));
    QCOMPARE(records.first().channelKey, Key("d1", 1));
    QCOMPARE(records.first().status, vms_sdk::ChannelRecording);
    QCOMPARE(channelNames(QStringLiteral("d1")), QStringList({"Gate-1", "Back door", "Gate-3"}));
}

void tst_DevsMgrData::deleteChannelsSignalsIdsAndLeavesGroups()
{
    QVERIFY(catalog().addDevice(makeDevice(QStringLiteral("d1"), QStringLiteral("Gate"), 0, 4)));
    QVERIFY(catalog().addGroup(QStringLiteral("grp-1"), QStringLiteral("Lobby")));
    QVERIFY(catalog().addGroupChannel(QStringLiteral("grp-1"), Key("d1", 1)));
    QVERIFY(catalog().addGroupChannel(QStringLiteral("grp-1"), Key("d1", 2)));
    QSignalSpy deleted(&dataSignals(), &DataSignals::signalDeleteChannels);
    QSignalSpy groups(&dataSignals(), &DataSignals::signalGroupsChanged);

    // Unknown and repeated keys are skipped.
    QVERIFY(catalog().deleteChannels({Key("d1", 1), Key("d1", 3), Key("d1", 9), Key("d1", 1)}));
    QCOMPARE(deleted.count(), 1);
    QCOMPARE(deleted.at(0).at(0).toStringList(),
             QStringList({orlun_data::formatChannelId(QStringLiteral("d1"), 1),
                          orlun_data::formatChannelId(QStringLiteral("d1"), 3)}));
    QCOMPARE(groups.count(), 1);
    QCOMPARE(channelNames(QStringLiteral("d1")), QStringList({"Gate-1", "Gate-3"}));
    const auto members = catalog().getGroupsChannels({QStringLiteral("grp-1")});
    QCOMPARE(members.size(), 1);
    QCOMPARE(members.first().channelNo, 2);

    // The numbers stay what they were: channel 2 is still channel 2.
    QCOMPARE(catalog().getDevChannelInfo(Key("d1", 2)).channelName, QStringLiteral("Gate-3"));
}

void tst_DevsMgrData::statusChangeSignalsAllStatusesOfTheDevice()
{
    QVERIFY(catalog().addDevice(makeDevice(QStringLiteral("d1"), QStringLiteral("Gate"), 0, 3)));
    QVERIFY(catalog().addDevice(makeDevice(QStringLiteral("d2"), QStringLiteral("Yard"), 0, 1)));
    QSignalSpy changed(&dataSignals(), &DataSignals::signalDevChannelsStatusChanged);

    QVERIFY(catalog().setChannelStatus(Key("d1", 2), vms_sdk::ChannelAlarm));
    QVERIFY(catalog().setChannelStatus(Key("d1", 0), vms_sdk::ChannelOnline));
    QCOMPARE(changed.count(), 2);
    QCOMPARE(changed.at(1).at(0).toString(), QStringLiteral("d1"));
    QCOMPARE(statuses(changed.at(1).at(1)),
             QList<vms_sdk::ChannelStatus>(
                 {vms_sdk::ChannelOnline, vms_sdk::ChannelOffline, vms_sdk::ChannelAlarm}));
    QCOMPARE(catalog().getChannelStatus(Key("d1", 2)), vms_sdk::ChannelAlarm);
    QCOMPARE(catalog().getChannelStatus(Key("d2", 0)), vms_sdk::ChannelOffline);

    // Setting the status a channel already has is no change.
    QVERIFY(catalog().setChannelStatus(Key("d1", 2), vms_sdk::ChannelAlarm));
    QCOMPARE(changed.count(), 2);

    // A gap left by a deleted channel reads as offline, keeping the index.
    QVERIFY(catalog().deleteChannels({Key("d1", 1)}));
    QVERIFY(catalog().setChannelStatus(Key("d1", 0), vms_sdk::ChannelRecording));
    QCOMPARE(statuses(changed.last().at(1)),
             QList<vms_sdk::ChannelStatus>(
                 {vms_sdk::ChannelRecording, vms_sdk::ChannelOffline, vms_sdk::ChannelAlarm}));
}

void tst_DevsMgrData::groupsAndTheirChannels()
{
    QVERIFY(catalog().addDevice(makeDevice(QStringLiteral("d1"), QStringLiteral("Gate"), 0, 2)));
    QVERIFY(catalog().addDevice(makeDevice(QStringLiteral("cam"), QStringLiteral("Cam"), 1, 1)));
    QSignalSpy groups(&dataSignals(), &DataSignals::signalGroupsChanged);
    QVERIFY(catalog().addGroup(QStringLiteral("grp-1"), QStringLiteral("Lobby")));
    QVERIFY(catalog().addGroup(QStringLiteral("grp-2"), QStringLiteral("Yard")));
    QVERIFY(catalog().addGroupChannel(QStringLiteral("grp-1"), Key("cam", 0)));
    QVERIFY(catalog().addGroupChannel(QStringLiteral("grp-1"), Key("d1", 1)));
    QVERIFY(catalog().addGroupChannel(QStringLiteral("grp-2"), Key("d1", 0)));
    QVERIFY(!catalog().addGroupChannel(QStringLiteral("grp-1"), Key("d1", 1)));
    QVERIFY(!catalog().addGroupChannel(QStringLiteral("grp-1"), Key("d1", 7)));
    QCOMPARE(groups.count(), 5);
    QVERIFY(catalog().isGroup(QStringLiteral("grp-1")));

    const auto members = catalog().getGroupsChannels({"grp-2", "grp-1", "unknown"});
    QCOMPARE(members.size(), 3);
    QCOMPARE(members.at(0).groupId, QStringLiteral("grp-2"));
    QCOMPARE(members.at(0).groupName, QStringLiteral("Yard"));
    QCOMPARE(members.at(0).channelName, QStringLiteral("Gate-1"));
    QCOMPARE(members.at(1).devId, QStringLiteral("cam"));
    QCOMPARE(members.at(1).channelNo, 0);
    QCOMPARE(members.at(2).devId, QStringLiteral("d1"));
    QCOMPARE(members.at(2).channelNo, 1);

    // Members carry the channel's current name.
    QVERIFY(catalog().renameChannel(Key("d1", 0), QStringLiteral("Front")));
    QCOMPARE(catalog().getGroupsChannels({"grp-2"}).first().channelName, QStringLiteral("Front"));

    QVERIFY(catalog().deleteGroup(QStringLiteral("grp-1")));
    QVERIFY(!catalog().isGroup(QStringLiteral("grp-1")));
    QVERIFY(catalog().getGroupsChannels({"grp-1"}).isEmpty());
    QCOMPARE(groups.count(), 6);
    QCOMPARE(catalog().getAllGroups().size(), 1);
    // The channels themselves stay.
    QCOMPARE(catalog().getDevChannelInfo(Key("cam", 0)).channelName, QStringLiteral("Cam-1"));
}

void tst_DevsMgrData::deleteDeviceTakesItsChannelsAlong()
{
    QVERIFY(catalog().addDevice(makeDevice(QStringLiteral("d1"), QStringLiteral("Gate"), 0, 3)));
    QVERIFY(catalog().addDevice(makeDevice(QStringLiteral("d2"), QStringLiteral("Yard"), 0, 1)));
    QVERIFY(catalog().addGroup(QStringLiteral("grp-1"), QStringLiteral("Lobby")));
    QVERIFY(catalog().addGroupChannel(QStringLiteral("grp-1"), Key("d1", 2)));
    QVERIFY(catalog().addGroupChannel(QStringLiteral("grp-1"), Key("d2", 0)));
    QSignalSpy deletedChannels(&dataSignals(), &DataSignals::signalDeleteChannels);
    QSignalSpy deletedDevice(&dataSignals(), &DataSignals::signalDeleteDevice);
    QSignalSpy groups(&dataSignals(), &DataSignals::signalGroupsChanged);

    QVERIFY(catalog().deleteDevice(QStringLiteral("d1")));
    QCOMPARE(deletedChannels.count(), 1);
    QCOMPARE(deletedChannels.at(0).at(0).toStringList(), QStringList({"d1#0", "d1#1", "d1#2"}));
    QCOMPARE(deletedDevice.count(), 1);
    QCOMPARE(deletedDevice.at(0).at(0).toString(), QStringLiteral("d1"));
    QCOMPARE(groups.count(), 1);
    QVERIFY(catalog().getDevInfoById(QStringLiteral("d1")).devId.isEmpty());
    QCOMPARE(catalog().getDevChannelInfo(Key("d1", 0)).channelName, QString());
    QCOMPARE(catalog().getGroupsChannels({"grp-1"}).size(), 1);
    QCOMPARE(catalog().getAllDevices().size(), 1);

    // The id is free again.
    QVERIFY(catalog().addDevice(makeDevice(QStringLiteral("d1"), QStringLiteral("New"), 0, 1)));
    QCOMPARE(channelNames(QStringLiteral("d1")), QStringList{"New-1"});
}

void tst_DevsMgrData::catalogSurvivesReopen()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("catalog.db"));
    QVERIFY(DataStore::_instance().open(path));
    QVERIFY(catalog().addDevice(makeDevice(QStringLiteral("d1"), QStringLiteral("Gate"), 0, 3)));
    QVERIFY(catalog().addDevice(makeDevice(QStringLiteral("cam"), QStringLiteral("Cam"), 1, 1)));
    QVERIFY(catalog().renameChannel(Key("d1", 0), QStringLiteral("Front")));
    QVERIFY(catalog().setChannelStatus(Key("d1", 2), vms_sdk::ChannelOnline));
    QVERIFY(catalog().addGroup(QStringLiteral("grp-1"), QStringLiteral("Lobby")));
    for (const Key &key : {Key("d1", 0), Key("d1", 1), Key("cam", 0)})
        QVERIFY(catalog().addGroupChannel(QStringLiteral("grp-1"), key));
    QVERIFY(catalog().deleteChannels({Key("d1", 1)}));
    // Appended after a hole in the member positions.
    QVERIFY(catalog().addGroupChannel(QStringLiteral("grp-1"), Key("d1", 2)));

    QSignalSpy reset(&dataSignals(), &DataSignals::signalCatalogReset);
    QVERIFY(DataStore::_instance().open(path));
    QCOMPARE(reset.count(), 1);
    QCOMPARE(catalog().getAllDevices().size(), 2);
    QCOMPARE(catalog().getAllDevices().first().devId, QStringLiteral("d1"));
    QCOMPARE(catalog().getDevInfoById(QStringLiteral("d1")).port, 8000u);
    QCOMPARE(channelNames(QStringLiteral("d1")), QStringList({"Front", "Gate-3"}));
    QCOMPARE(catalog().getChannelStatus(Key("d1", 2)), vms_sdk::ChannelOnline);
    QVERIFY(catalog().isGroup(QStringLiteral("grp-1")));
    QStringList members;
    for (const auto &member : catalog().getGroupsChannels({"grp-1"}))
        members.append(orlun_data::formatChannelId(member.devId, member.channelNo));
    QCOMPARE(members, QStringList({"d1#0", "cam#0", "d1#2"}));
}

void tst_DevsMgrData::bulkAddSeedsLargeCatalogs()
{
    QList<vms_sdk::DevInfo> infos;
    for (int i = 0; i < 2000; ++i)
        infos.append(
            makeDevice(QStringLiteral("nvr-%1").arg(i), QStringLiteral("N%1").arg(i), 0, 16));
    QSignalSpy reset(&dataSignals(), &DataSignals::signalCatalogReset);
    QSignalSpy added(&dataSignals(), &DataSignals::signalAddDevice);
    QVERIFY(catalog().addDevices(infos));
    QCOMPARE(reset.count(), 1);
    QCOMPARE(added.count(), 0);
    QCOMPARE(catalog().getAllDevices().size(), 2000);
    QCOMPARE(catalog().getAllDevices().at(1234).devId, QStringLiteral("nvr-1234"));
    QCOMPARE(catalog().getDevChannelInfo(Key("nvr-1999", 15)).channelName,
             QStringLiteral("N1999-16"));

    QSqlQuery query(DataStore::_instance().database());
    QVERIFY(query.exec(QStringLiteral("SELECT COUNT(*) FROM channels")) && query.next());
    QCOMPARE(query.value(0).toInt(), 32000);
}

void tst_DevsMgrData::bulkAddIsAllOrNothing()
{
    QVERIFY(catalog().addDevice(makeDevice(QStringLiteral("old"), QStringLiteral("Old"), 0, 1)));
    QSignalSpy reset(&dataSignals(), &DataSignals::signalCatalogReset);
    const QList<vms_sdk::DevInfo> twice = {makeDevice("a", "A", 0, 2), makeDevice("b", "B", 0, 2),
                                           makeDevice("a", "A2", 0, 2)};
    QVERIFY(!catalog().addDevices(twice));
    const QList<vms_sdk::DevInfo> clash = {makeDevice("c", "C", 0, 2),
                                           makeDevice("old", "Old", 0, 2)};
    QVERIFY(!catalog().addDevices(clash));
    QCOMPARE(reset.count(), 0);
    QCOMPARE(catalog().getAllDevices().size(), 1);
    QVERIFY(catalog().getDevInfoById(QStringLiteral("a")).devId.isEmpty());
    QVERIFY(catalog().getDevInfoById(QStringLiteral("c")).devId.isEmpty());
}

void tst_DevsMgrData::signalsCrossThreads()
{
    QVERIFY(catalog().addDevice(makeDevice(QStringLiteral("d1"), QStringLiteral("Gate"), 0, 2)));
    QObject receiver;
    QList<vms_sdk::ChannelStatus> received;
    QList<vms_sdk::DevChannelInfo> renamed;
    connect(
        &dataSignals(), &DataSignals::signalDevChannelsStatusChanged, &receiver,
        [&](const QString &, QList<vms_sdk::ChannelStatus> list) { received = list; },
        Qt::QueuedConnection);
    connect(
        &dataSignals(), &DataSignals::signalUpdateDevChannels, &receiver,
        [&](const QString &, const QList<vms_sdk::DevChannelInfo> &list) { renamed = list; },
        Qt::QueuedConnection);
    QVERIFY(catalog().setChannelStatus(Key("d1", 1), vms_sdk::ChannelOnline));
    QVERIFY(catalog().renameChannel(Key("d1", 0), QStringLiteral("Front")));
    QTRY_COMPARE(received.size(), 2);
    QCOMPARE(received.at(1), vms_sdk::ChannelOnline);
    QTRY_COMPARE(renamed.size(), 1);
    QCOMPARE(renamed.first().channelName, QStringLiteral("Front"));
}

QTEST_MAIN(tst_DevsMgrData)
#include "tst_DevsMgrData.moc"
