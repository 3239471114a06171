#include <QMimeData>
#include <QTreeWidgetItemIterator>
#include <QtTest>

#include "DataSignals.h"
#include "TestSupport.h"
#include "TreeConfig.h"
#include "TreeItem.h"
#include "VideoPointTree.h"

using namespace orlun_base;

namespace {

class TestConfig : public TreeConfig
{
public:
    explicit TestConfig(bool checkable = false)
        : checkable(checkable)
    {}
    bool checkable, draggable = true, groupsVisible = true, hideOffline = false, rtspVisible = true;

    bool treeOption1() override { return checkable; }
    bool treeOption2() override { return draggable; }
    bool isLocalGroupsVisible() override { return groupsVisible; }
    bool treeOption4() override { return hideOffline; }
    bool isRtspVideoVisible() override { return rtspVisible; }
};

vms_sdk::DevInfo devInfo(const QString &id, const QString &name, int devType, int channelCount)
{
    return {id, name, "SN-" + id, devType, "10.0.0.1", 0, 0, 0, channelCount, "Orlun"};
}

bool addDevice(const QString &id, const QString &name, int devType, int channelCount)
{
    return hostDevs().addDevice(devInfo(id, name, devType, channelCount));
}

// What the items below an item show, nested ones in brackets:
// "nvr1[nvr1#0 nvr1#1] cam1".
enum Shown { Ids, Texts, Checks };
QString ids(QTreeWidgetItem *parent, Shown shown = Ids)
{
    QStringList parts;
    for (int i = 0; i < parent->childCount(); ++i) {
        QTreeWidgetItem *child = parent->child(i);
        parts << (shown == Ids     ? static_cast<TreeItem *>(child)->getId()
                  : shown == Texts ? child->text(0)
                                   : QString(QLatin1String("UPC").at(child->checkState(0)))) +
                     (child->childCount() ? '[' + ids(child, shown) + ']' : QString());
    }
    return parts.join(QLatin1Char(' '));
}

} // namespace

class tst_VideoPointTree : public QObject
{
    Q_OBJECT

private slots:
    void init();

    void arrangement();
    void offlineLeftOut();

    void followsDataSignals();
    void deviceWithoutChannelsHasNoEntry();
};

// Two NVRs (one with the id separator in its id), two cameras, one RTSP stream, two groups.
void tst_VideoPointTree::init()
{
    resetHostForTest();
    QVERIFY(addDevice("nvr1", "Gate", 0, 3) && addDevice("cam1", "Lobby", 1, 1) &&
            addDevice("nvr#2", "Yard", 0, 2) && addDevice("cam2", "Hall", 1, 1) &&
            addDevice("rtsp1", "Street", 2, 1));
    QVERIFY(hostDevs().addGroup("g1", "Entrances") && hostDevs().addGroup("g2", "Outside"));
    QVERIFY(hostDevs().addGroupChannel("g1", {"nvr1", 0}) &&
            hostDevs().addGroupChannel("g2", {"cam1", 0}));
}

void tst_VideoPointTree::arrangement()
{
    VideoPointTree view(nullptr, new TestConfig);
    QTreeWidget *tree = view.getTreeWidget();

    QCOMPARE(ids(tree->invisibleRootItem(), Texts),
             QStringLiteral("Devices[Gate[Gate-1 Gate-2 Gate-3] Yard[Yard-1 Yard-2]] "
                            "Cameras[Lobby Hall] Video Streams[Street] Channel Groups[Entrances "
                            "Outside]"));
    const QStringList shapes{"nvr1[nvr1#0 nvr1#1 nvr1#2] nvr#2[nvr#2#0 nvr#2#1]", "cam1 cam2",
                             "rtsp1", "g1 g2"};
    for (int i = 0; i < 4; ++i)
        QCOMPARE(ids(tree->topLevelItem(i)), shapes.at(i));

    // The panels tell folders (0), devices (1), channels (2) and groups (3)
    // apart by item type alone.
    QString types;
    for (QTreeWidgetItemIterator it(tree); *it; ++it)
        types += QString::number((*it)->type() - AreaItemType);
    QCOMPARE(types, "0122212201101033");
    auto *channel = dynamic_cast<ChannelItem *>(view.findChannelItem("nvr#2#1"));
    QVERIFY(channel && channel == view.findDevItem("nvr#2")->child(1));
    QCOMPARE(channel->getDevId() + '/' + QString::number(channel->getChannelNo()), "nvr#2/1");
}

void tst_VideoPointTree::offlineLeftOut()
{
    auto &data = hostDevs();
    auto set = [&data](const char *devId, int no, vms_sdk::ChannelStatus status) {
        return data.setChannelStatus({QString::fromLatin1(devId), no}, status);
    };
    QVERIFY(set("nvr1", 0, vms_sdk::ChannelOffline) && set("nvr1", 1, vms_sdk::ChannelOnline) &&
            set("nvr1", 2, vms_sdk::ChannelRecording) && set("nvr#2", 0, vms_sdk::ChannelOffline) &&
            set("nvr#2", 1, vms_sdk::ChannelOffline) && set("cam1", 0, vms_sdk::ChannelAlarm) &&
            set("cam2", 0, vms_sdk::ChannelOffline));

    auto *config = new TestConfig;
    config->hideOffline = true;
    config->draggable = false;
    VideoPointTree view(nullptr, config);
    QTreeWidget *tree = view.getTreeWidget();
    QCOMPARE(tree->dragDropMode(), QAbstractItemView::NoDragDrop);
    QCOMPARE(ids(tree->topLevelItem(0)), "nvr1[nvr1#1 nvr1#2]");
    QCOMPARE(ids(tree->topLevelItem(1)), "cam1");

    QVERIFY(set("cam2", 0, vms_sdk::ChannelOnline));
    QCOMPARE(ids(tree->topLevelItem(1)), "cam1 cam2");
}

void tst_VideoPointTree::followsDataSignals()
{
    auto &data = hostDevs();
    VideoPointTree view(nullptr, new TestConfig(true));
    TAMCOMMON::TamTreeWidget *tree = view.getTreeWidget();
    QTreeWidgetItem *nvr = view.findDevItem("nvr1");
    nvr->child(0)->setCheckState(0, Qt::Checked);
    nvr->child(1)->setCheckState(0, Qt::Checked);
    tree->updateParentItemsCheckState(nvr->child(0));
    QCOMPARE(nvr->checkState(0), Qt::PartiallyChecked);

    QVERIFY(addDevice("nvr3", "Dock", 0, 2) && addDevice("cam3", "Roof", 1, 1) &&
            addDevice("rtsp2", "Mall", 2, 1) && data.deleteDevice("cam2"));
    QVERIFY(data.renameChannel({"nvr1", 1}, "Gate left"));
    QVERIFY(data.deleteChannels({{"nvr1", 2}, {"nvr#2", 1}}));
    // A channel the tree never showed is ignored.
    emit orlun_data::DataSignals::_instance().signalDeleteChannels({"nvr9#0"});

    QCOMPARE(ids(tree->topLevelItem(0)), "nvr1[nvr1#0 nvr1#1] nvr#2[nvr#2#0] nvr3[nvr3#0 nvr3#1]");
    QCOMPARE(ids(tree->topLevelItem(1)), "cam1 cam3");
    QCOMPARE(ids(tree->topLevelItem(2)), "rtsp1 rtsp2");
    QCOMPARE(ids(nvr, Texts) + ", " + ids(view.findDevItem("nvr3"), Texts),
             "Gate-1 Gate left, Dock-1 Dock-2");
    QVERIFY(!view.findChannelItem("nvr1#2") && !view.findDevItem("cam2"));
    // The unticked channel went, so the rest of the device is all ticked.
    QCOMPARE(ids(tree->topLevelItem(0), Checks), "C[C C] U[U] U[U U]");

    QVERIFY(data.deleteDevice("nvr1"));
    QVERIFY(!view.findDevItem("nvr1") && !view.findChannelItem("nvr1#0"));
    QCOMPARE(ids(tree->topLevelItem(0)), "nvr#2[nvr#2#0] nvr3[nvr3#0 nvr3#1]");

    QTreeWidgetItem *groups = tree->topLevelItem(3);
    groups->child(1)->setCheckState(0, Qt::Checked); // g2
    QVERIFY(data.addGroup("g3", "Parking"));
    QCOMPARE(ids(groups), "g1 g2 g3");
    QVERIFY(data.deleteGroup("g1"));
    QCOMPARE(ids(groups, Texts), "Outside Parking");
    QCOMPARE(ids(tree->invisibleRootItem(), Checks).right(6), "P[C U]");

    QVERIFY(data.addDevices({devInfo("bulk", "Bulk", 0, 2)}));
    QVERIFY(ids(tree->topLevelItem(0)).endsWith("] bulk[bulk#0 bulk#1]"));
    resetHostForTest();
    emit orlun_data::DataSignals::_instance().signalCatalogReset();
    QCOMPARE(ids(tree->invisibleRootItem(), Texts), "Devices Cameras Video Streams Channel Groups");
    QVERIFY(!view.findChannelItem("nvr#2#0"));
}

void tst_VideoPointTree::deviceWithoutChannelsHasNoEntry()
{
    auto &data = hostDevs();
    VideoPointTree view(nullptr, new TestConfig(true));
    TAMCOMMON::TamTreeWidget *tree = view.getTreeWidget();
    // A leaf device counts as its channel 0, so none may stay without it.
    QVERIFY(data.deleteChannels({{"cam1", 0}, {"rtsp1", 0}, {"nvr#2", 0}, {"nvr#2", 1}}));
    const QString shown = ids(tree->topLevelItem(0)) + " | " + ids(tree->topLevelItem(1)) + " | " +
                          ids(tree->topLevelItem(2));
    QCOMPARE(shown, "nvr1[nvr1#0 nvr1#1 nvr1#2] | cam2 | ");
    QVERIFY(!view.findDevItem("cam1"));
    view.rebuild();
    QCOMPARE(ids(tree->topLevelItem(0)) + " | " + ids(tree->topLevelItem(1)) + " | " +
                 ids(tree->topLevelItem(2)),
             shown);
}

QTEST_MAIN(tst_VideoPointTree)
#include "tst_VideoPointTree.moc"
