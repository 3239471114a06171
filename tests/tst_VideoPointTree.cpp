#include <QMimeData>
#include <QPointer>
#include <QTreeWidgetItemIterator>
#include <QtTest>

#include "ChannelId.h"
#include "DataSignals.h"
#include "DevsMgrData.h"
#include "TestSupport.h"
#include "TreeConfig.h"
#include "TreeItem.h"
#include "VideoPointTree.h"

using namespace orlun_base;
using orlun_data::DevsMgrData;

namespace {

// A configuration whose answers the test chooses.
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
    vms_sdk::DevInfo info;
    info.devId = id;
    info.devName = name;
    info.devType = devType;
    info.channelCount = channelCount;
    info.devSn = QStringLiteral("SN-") + id;
    info.ip = QStringLiteral("10.0.0.1");
    info.brand = QStringLiteral("Orlun");
    return info;
}

bool addDevice(const QString &id, const QString &name, int devType, int channelCount)
{
    return DevsMgrData::_instance().addDevice(devInfo(id, name, devType, channelCount));
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

QModelIndex indexOf(QTreeWidget *tree, QTreeWidgetItem *item)
{
    if (!item->parent())
        return tree->model()->index(tree->indexOfTopLevelItem(item), 0);
    return tree->model()->index(item->parent()->indexOfChild(item), 0,
                                indexOf(tree, item->parent()));
}

} // namespace

class tst_VideoPointTree : public QObject
{
    Q_OBJECT

private slots:
    void init();

    void arrangement();
    void configuration_data();
    void configuration();
    void spaceOnDeviceChecksItsChannels();
    void dragCarriesChannelIds();
    void offlineLeftOutAndStatusShown();

    void followsDataSignals();
    void deviceWithoutChannelsHasNoEntry();
};

// Two NVRs (one with the id separator in its id), two cameras, one RTSP
// stream and two groups.
void tst_VideoPointTree::init()
{
    resetHostForTest();
    auto &data = DevsMgrData::_instance();
    QVERIFY(addDevice(QStringLiteral("nvr1"), QStringLiteral("Gate"), 0, 3));
    QVERIFY(addDevice(QStringLiteral("cam1"), QStringLiteral("Lobby"), 1, 1));
    QVERIFY(addDevice(QStringLiteral("nvr#2"), QStringLiteral("Yard"), 0, 2));
    QVERIFY(addDevice(QStringLiteral("cam2"), QStringLiteral("Hall"), 1, 1));
    QVERIFY(addDevice(QStringLiteral("rtsp1"), QStringLiteral("Street"), 2, 1));
    QVERIFY(data.addGroup(QStringLiteral("g1"), QStringLiteral("Entrances")));
    QVERIFY(data.addGroup(QStringLiteral("g2"), QStringLiteral("Outside")));
    QVERIFY(data.addGroupChannel(QStringLiteral("g1"), {QStringLiteral("nvr1"), 0}));
    QVERIFY(data.addGroupChannel(QStringLiteral("g2"), {QStringLiteral("cam1"), 0}));
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

    // The panels tell devices, channels and groups apart by item class alone.
    for (QTreeWidgetItemIterator it(tree); *it; ++it) {
        auto *item = static_cast<TreeItem *>(*it);
        const int depth = !item->parent() ? 0 : item->parent()->parent() ? 2 : 1;
        const bool group = depth == 1 && tree->indexOfTopLevelItem(item->parent()) == 3;
        QCOMPARE(DevsMgrData::_instance().isGroup(item->getId()), group);
        QCOMPARE(item->type(), int(depth == 0   ? AreaItemType
                                   : group      ? GroupItemType
                                   : depth == 1 ? DevItemType
                                                : ChannelItemType));
        QCOMPARE(item->isDevice(), depth == 1 && !group);
        QCOMPARE(item->isChannel(), depth == 2);
        if (auto *dev = dynamic_cast<DevItem *>(item))
            QCOMPARE(view.findDevItem(dev->getDevId()), dev);
        if (auto *channel = dynamic_cast<ChannelItem *>(item)) {
            QCOMPARE(channel->getDevId(), static_cast<TreeItem *>(item->parent())->getId());
            QCOMPARE(channel->getId(),
                     orlun_data::formatChannelId(channel->getDevId(), channel->getChannelNo()));
            QCOMPARE(view.findChannelItem(channel->getId()), channel);
        }
    }
}

void tst_VideoPointTree::configuration_data()
{
    QTest::addColumn<bool>("checkable");
    QTest::addColumn<bool>("groupsVisible");
    QTest::addColumn<bool>("rtspVisible");

    QTest::newRow("module tree") << true << true << true;
    QTest::newRow("preview tree without groups") << false << false << true;
    QTest::newRow("no streams") << true << true << false;
}

void tst_VideoPointTree::configuration()
{
    QFETCH(bool, checkable);
    QFETCH(bool, groupsVisible);
    QFETCH(bool, rtspVisible);

    QPointer<TestConfig> config = new TestConfig(checkable);
    config->groupsVisible = groupsVisible;
    config->rtspVisible = rtspVisible;
    {
        VideoPointTree view(nullptr, config);
        QTreeWidget *tree = view.getTreeWidget();

        // Without the groups folder there is nothing at index 3 at all;
        // streams keep their place even when hidden, so groups stay at 3.
        QCOMPARE(tree->topLevelItemCount(), groupsVisible ? 4 : 3);
        QCOMPARE(ids(tree->topLevelItem(2)), QStringLiteral("rtsp1"));
        QCOMPARE(tree->topLevelItem(2)->isHidden(), !rtspVisible);

        for (QTreeWidgetItemIterator it(tree); *it; ++it) {
            QCOMPARE(bool((*it)->flags() & Qt::ItemIsUserCheckable), checkable);
            QCOMPARE((*it)->data(0, Qt::CheckStateRole),
                     checkable ? QVariant(int(Qt::Unchecked)) : QVariant());
        }
    }
    QVERIFY2(config.isNull(), "the tree owns its configuration");
}

void tst_VideoPointTree::spaceOnDeviceChecksItsChannels()
{
    VideoPointTree view(nullptr, new TestConfig(true));
    TAMCOMMON::TamTreeWidget *tree = view.getTreeWidget();
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));

    QSignalSpy changed(tree, &TAMCOMMON::TamTreeWidget::signalItemsCheckStateChanged);
    tree->setCurrentItem(view.findDevItem(QStringLiteral("nvr1")));
    QTest::keyClick(tree, Qt::Key_Space);
    QCOMPARE(ids(tree->invisibleRootItem(), Checks),
             QStringLiteral("P[C[C C C] U[U U]] U[U U] U[U] U[U U]"));
    QCOMPARE(changed.count(), 1);
}

void tst_VideoPointTree::dragCarriesChannelIds()
{
    VideoPointTree view(nullptr, new TestConfig);
    QTreeWidget *tree = view.getTreeWidget();
    QCOMPARE(tree->dragDropMode(), QAbstractItemView::DragOnly);
    auto dragged = [tree](QTreeWidgetItem *item) {
        QScopedPointer<QMimeData> mime(tree->model()->mimeData({indexOf(tree, item)}));
        return item->flags().testFlag(Qt::ItemIsDragEnabled) ? mime->text() : QString();
    };
    QCOMPARE(dragged(view.findChannelItem(QStringLiteral("nvr#2#1"))), QStringLiteral("nvr#2#1"));
    QCOMPARE(dragged(view.findDevItem(QStringLiteral("nvr1"))),
             QStringLiteral("nvr1#0\nnvr1#1\nnvr1#2"));
    QCOMPARE(dragged(view.findDevItem(QStringLiteral("cam2"))), QStringLiteral("cam2#0"));
}

void tst_VideoPointTree::offlineLeftOutAndStatusShown()
{
    auto &data = DevsMgrData::_instance();
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
    QCOMPARE(ids(tree->topLevelItem(0)), QStringLiteral("nvr1[nvr1#1 nvr1#2]"));
    QCOMPARE(ids(tree->topLevelItem(1)), QStringLiteral("cam1"));

    // Coming online brings the device in.
    QVERIFY(set("cam2", 0, vms_sdk::ChannelOnline));
    QCOMPARE(ids(tree->topLevelItem(1)), QStringLiteral("cam1 cam2"));

    // The status shows as the colour of the item's icon.
    VideoPointTree all(nullptr, new TestConfig);
    auto centre = [&](const QString &id) {
        return all.findChannelItem(id)->icon(0).pixmap(10, 10).toImage().pixelColor(5, 5).name();
    };
    QCOMPARE(centre(QStringLiteral("nvr1#1")), QStringLiteral("#30a46c"));
    QCOMPARE(centre(QStringLiteral("nvr1#0")), QStringLiteral("#6c7586"));
    QVERIFY(set("nvr1", 0, vms_sdk::ChannelAlarm));
    QCOMPARE(centre(QStringLiteral("nvr1#0")), QStringLiteral("#e5484d"));
}

void tst_VideoPointTree::followsDataSignals()
{
    auto &data = DevsMgrData::_instance();
    VideoPointTree view(nullptr, new TestConfig(true));
    TAMCOMMON::TamTreeWidget *tree = view.getTreeWidget();
    QTreeWidgetItem *nvr = view.findDevItem(QStringLiteral("nvr1"));
    nvr->child(0)->setCheckState(0, Qt::Checked);
    nvr->child(1)->setCheckState(0, Qt::Checked);
    tree->updateParentItemsCheckState(nvr->child(0));
    QCOMPARE(nvr->checkState(0), Qt::PartiallyChecked);

    QVERIFY(addDevice(QStringLiteral("nvr3"), QStringLiteral("Dock"), 0, 2));
    QVERIFY(addDevice(QStringLiteral("cam3"), QStringLiteral("Roof"), 1, 1));
    QVERIFY(addDevice(QStringLiteral("rtsp2"), QStringLiteral("Mall"), 2, 1));
    QVERIFY(data.deleteDevice(QStringLiteral("cam2")));
    QVERIFY(data.renameChannel({QStringLiteral("nvr1"), 1}, QStringLiteral("Gate left")));
    QVERIFY(data.deleteChannels({{QStringLiteral("nvr1"), 2}, {QStringLiteral("nvr#2"), 1}}));
    // A channel the tree never showed is ignored.
    emit orlun_data::DataSignals::_instance().signalDeleteChannels({QStringLiteral("nvr9#0")});

    QCOMPARE(ids(tree->topLevelItem(0)),
             QStringLiteral("nvr1[nvr1#0 nvr1#1] nvr#2[nvr#2#0] nvr3[nvr3#0 nvr3#1]"));
    QCOMPARE(ids(tree->topLevelItem(1)), QStringLiteral("cam1 cam3"));
    QCOMPARE(ids(tree->topLevelItem(2)), QStringLiteral("rtsp1 rtsp2"));
    QCOMPARE(tree->topLevelItemCount(), 4);
    QCOMPARE(ids(nvr, Texts), QStringLiteral("Gate-1 Gate left"));
    QCOMPARE(ids(view.findDevItem(QStringLiteral("nvr3")), Texts), QStringLiteral("Dock-1 Dock-2"));
    QVERIFY(!view.findChannelItem(QStringLiteral("nvr1#2")));
    QVERIFY(!view.findDevItem(QStringLiteral("cam2")));
    // The unticked channel went, so the rest of the device is all ticked.
    QCOMPARE(nvr->checkState(0), Qt::Checked);
    QCOMPARE(view.findChannelItem(QStringLiteral("nvr3#0"))->checkState(0), Qt::Unchecked);

    QVERIFY(data.deleteDevice(QStringLiteral("nvr1")));
    QVERIFY(!view.findDevItem(QStringLiteral("nvr1")));
    QVERIFY(!view.findChannelItem(QStringLiteral("nvr1#0")));
    QCOMPARE(ids(tree->topLevelItem(0)), QStringLiteral("nvr#2[nvr#2#0] nvr3[nvr3#0 nvr3#1]"));

    QTreeWidgetItem *groups = tree->topLevelItem(3);
    groups->child(1)->setCheckState(0, Qt::Checked); // g2
    QVERIFY(data.addGroup(QStringLiteral("g3"), QStringLiteral("Parking")));
    QCOMPARE(ids(groups), QStringLiteral("g1 g2 g3"));
    QVERIFY(data.deleteGroup(QStringLiteral("g1")));
    QCOMPARE(ids(groups, Texts), QStringLiteral("Outside Parking"));
    // Surviving groups keep their marks.
    QCOMPARE(groups->child(0)->checkState(0), Qt::Checked);
    QCOMPARE(groups->child(1)->checkState(0), Qt::Unchecked);
    QCOMPARE(groups->checkState(0), Qt::PartiallyChecked);

    QVERIFY(data.addDevices({devInfo(QStringLiteral("bulk"), QStringLiteral("Bulk"), 0, 2)}));
    QVERIFY(ids(tree->topLevelItem(0)).endsWith(QStringLiteral("] bulk[bulk#0 bulk#1]")));
    // A fresh store empties the tree but keeps its folders.
    resetHostForTest();
    emit orlun_data::DataSignals::_instance().signalCatalogReset();
    QCOMPARE(ids(tree->invisibleRootItem(), Texts),
             QStringLiteral("Devices Cameras Video Streams Channel Groups"));
    QVERIFY(!view.findChannelItem(QStringLiteral("nvr#2#0")));
}

void tst_VideoPointTree::deviceWithoutChannelsHasNoEntry()
{
    auto &data = DevsMgrData::_instance();
    VideoPointTree view(nullptr, new TestConfig(true));
    TAMCOMMON::TamTreeWidget *tree = view.getTreeWidget();
    // A leaf device counts as its channel 0, so none may stay without it.
    QVERIFY(data.deleteChannels({{QStringLiteral("cam1"), 0},
                                 {QStringLiteral("rtsp1"), 0},
                                 {QStringLiteral("nvr#2"), 0},
                                 {QStringLiteral("nvr#2"), 1}}));
    const QString shown = ids(tree->topLevelItem(0)) + " | " + ids(tree->topLevelItem(1)) + " | " +
                          ids(tree->topLevelItem(2));
    QCOMPARE(shown, QStringLiteral("nvr1[nvr1#0 nvr1#1 nvr1#2] | cam2 | "));
    QVERIFY(!view.findDevItem(QStringLiteral("cam1")));
    view.rebuild();
    QCOMPARE(ids(tree->topLevelItem(0)) + " | " + ids(tree->topLevelItem(1)) + " | " +
                 ids(tree->topLevelItem(2)),
             shown);
}

QTEST_MAIN(tst_VideoPointTree)
#include "tst_VideoPointTree.moc"
