#include <QMimeData>
#include <QPointer>
#include <QStyle>
#include <QStyleOptionViewItem>
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
    bool checkable = false;
    bool draggable = true;
    bool groupsVisible = true;
    bool hideOffline = false;
    bool rtspVisible = true;

    bool treeOption1() override { return checkable; }
    bool treeOption2() override { return draggable; }
    bool isLocalGroupsVisible() override { return groupsVisible; }
    bool treeOption4() override { return hideOffline; }
    bool isRtspVideoVisible() override { return rtspVisible; }
};

bool addDevice(const QString &id, const QString &name, int devType, int channelCount)
{
    vms_sdk::DevInfo info;
    info.devId = id;
    info.devName = name;
    info.devType = devType;
    info.channelCount = channelCount;
    info.devSn = QStringLiteral("SN-") + id;
    info.ip = QStringLiteral("10.0.0.1");
    info.brand = QStringLiteral("Orlun");
    return DevsMgrData::_instance().addDevice(info);
}

QString chId(const QString &devId, int no)
{
    return orlun_data::formatChannelId(devId, no);
}

QList<QTreeWidgetItem *> walk(QTreeWidget *tree, QTreeWidgetItemIterator::IteratorFlags flags)
{
    QList<QTreeWidgetItem *> items;
    for (QTreeWidgetItemIterator it(tree, flags); *it; ++it)
        items << *it;
    return items;
}

QStringList childIds(QTreeWidgetItem *parent)
{
    QStringList ids;
    for (int i = 0; i < parent->childCount(); ++i)
        ids << static_cast<TreeItem *>(parent->child(i))->getId();
    return ids;
}

QStringList childTexts(QTreeWidgetItem *parent)
{
    QStringList texts;
    for (int i = 0; i < parent->childCount(); ++i)
        texts << parent->child(i)->text(0);
    return texts;
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
    void configIsOwnedByTree();
    void clickingDeviceBoxChecksItsChannels();
    void dragCarriesChannelIds_data();
    void dragCarriesChannelIds();
    void offlineLeftOut();
    void statusShownAsColour();

    void followsAddedDevices();
    void followsDeletedDevice();
    void followsRenamedChannels();
    void followsDeletedChannels();
    void deletedChannelUpdatesDeviceCheck();
    void followsGroupChanges();
    void followsCatalogReset();

private:
    // Two NVRs, two cameras, one RTSP stream and two groups.
    void seedCatalog();
};

void tst_VideoPointTree::init()
{
    resetHostForTest();
    seedCatalog();
}

void tst_VideoPointTree::seedCatalog()
{
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

    QCOMPARE(tree->topLevelItemCount(), 4);
    const QStringList folderTexts{"Devices", "Cameras", "Video Streams", "Channel Groups"};
    for (int i = 0; i < 4; ++i) {
        auto *folder = dynamic_cast<TreeItem *>(tree->topLevelItem(i));
        QVERIFY(folder);
        QCOMPARE(folder->text(0), folderTexts.at(i));
        QVERIFY(!folder->isDevice());
        QVERIFY(!folder->isChannel());
        QVERIFY(!folder->isHidden());
    }

    // Devices: NVRs in catalog order, each with its channels.
    QTreeWidgetItem *devices = tree->topLevelItem(0);
    QCOMPARE(childIds(devices), (QStringList{"nvr1", "nvr#2"}));
    QCOMPARE(childTexts(devices), (QStringList{"Gate", "Yard"}));
    for (int i = 0; i < devices->childCount(); ++i) {
        auto *dev = dynamic_cast<DevItem *>(devices->child(i));
        QVERIFY(dev);
        QVERIFY(dev->isDevice());
        QCOMPARE(dev->type(), int(DevItemType));
        for (int no = 0; no < dev->childCount(); ++no) {
            auto *channel = dynamic_cast<ChannelItem *>(dev->child(no));
            QVERIFY(channel);
            QVERIFY(channel->isChannel());
            QVERIFY(!channel->isDevice());
            QCOMPARE(channel->getId(), chId(dev->getDevId(), no));
            QCOMPARE(channel->getDevId(), dev->getDevId());
            QCOMPARE(channel->getChannelNo(), no);
            QCOMPARE(view.findChannelItem(channel->getId()), channel);
        }
    }
    QCOMPARE(childTexts(devices->child(0)), (QStringList{"Gate-1", "Gate-2", "Gate-3"}));
    QCOMPARE(childIds(devices->child(1)), (QStringList{"nvr#2#0", "nvr#2#1"}));

    // Cameras and streams are leaf devices standing for their channel 0.
    for (int folder : {1, 2}) {
        QTreeWidgetItem *parent = tree->topLevelItem(folder);
        for (int i = 0; i < parent->childCount(); ++i) {
            auto *dev = dynamic_cast<DevItem *>(parent->child(i));
            QVERIFY(dev);
            QCOMPARE(dev->childCount(), 0);
            QCOMPARE(view.findDevItem(dev->getDevId()), dev);
        }
    }
    QCOMPARE(childIds(tree->topLevelItem(1)), (QStringList{"cam1", "cam2"}));
    QCOMPARE(childTexts(tree->topLevelItem(1)), (QStringList{"Lobby", "Hall"}));
    QCOMPARE(childIds(tree->topLevelItem(2)), (QStringList{"rtsp1"}));

    // Groups are leaves of the fourth folder.
    QTreeWidgetItem *groups = tree->topLevelItem(3);
    QCOMPARE(childIds(groups), (QStringList{"g1", "g2"}));
    QCOMPARE(childTexts(groups), (QStringList{"Entrances", "Outside"}));
    for (int i = 0; i < groups->childCount(); ++i) {
        QCOMPARE(groups->child(i)->type(), int(GroupItemType));
        QCOMPARE(groups->child(i)->childCount(), 0);
    }

    // In depth-first order every device and channel leaf precedes the first
    // group leaf, and the host's group test holds exactly for group items.
    bool groupSeen = false;
    for (QTreeWidgetItem *leaf : walk(tree, QTreeWidgetItemIterator::All)) {
        auto *item = dynamic_cast<TreeItem *>(leaf);
        QVERIFY(item);
        const bool isGroup = DevsMgrData::_instance().isGroup(item->getId());
        QCOMPARE(isGroup, item->type() == GroupItemType);
        groupSeen |= isGroup;
        if (item->childCount() == 0 && (item->isDevice() || item->isChannel()))
            QVERIFY2(!groupSeen, qPrintable(item->getId()));
    }
    QVERIFY(groupSeen);
}

void tst_VideoPointTree::configuration_data()
{
    QTest::addColumn<bool>("checkable");
    QTest::addColumn<bool>("groupsVisible");
    QTest::addColumn<bool>("rtspVisible");

    QTest::newRow("module tree") << true << true << true;
    QTest::newRow("preview tree") << false << true << true;
    QTest::newRow("no groups") << true << false << true;
    QTest::newRow("no streams") << false << true << false;
    QTest::newRow("neither") << true << false << false;
}

void tst_VideoPointTree::configuration()
{
    QFETCH(bool, checkable);
    QFETCH(bool, groupsVisible);
    QFETCH(bool, rtspVisible);

    auto *config = new TestConfig;
    config->checkable = checkable;
    config->groupsVisible = groupsVisible;
    config->rtspVisible = rtspVisible;
    VideoPointTree view(nullptr, config);
    QTreeWidget *tree = view.getTreeWidget();

    // Without the groups folder there is nothing at index 3 at all.
    QCOMPARE(tree->topLevelItemCount(), groupsVisible ? 4 : 3);
    // Streams keep their place even when hidden, so groups stay at index 3.
    QCOMPARE(tree->topLevelItem(2)->text(0), QStringLiteral("Video Streams"));
    QCOMPARE(tree->topLevelItem(2)->isHidden(), !rtspVisible);
    QCOMPARE(tree->topLevelItem(2)->childCount(), 1);

    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    const QRect streamRect = tree->visualItemRect(tree->topLevelItem(2));
    QCOMPARE(streamRect.isEmpty(), !rtspVisible);

    for (QTreeWidgetItem *item : walk(tree, QTreeWidgetItemIterator::All)) {
        const QString id = static_cast<TreeItem *>(item)->getId();
        QCOMPARE(bool(item->flags() & Qt::ItemIsUserCheckable), checkable);
        if (checkable)
            QCOMPARE(item->checkState(0), Qt::Unchecked);
        else
            QVERIFY2(!item->data(0, Qt::CheckStateRole).isValid(), qPrintable(id));
    }
}

void tst_VideoPointTree::configIsOwnedByTree()
{
    QPointer<TreeConfig> config = new TestConfig;
    auto *view = new VideoPointTree(nullptr, config);
    QCOMPARE(view->config(), config.data());
    QCOMPARE(config->parent(), view);
    delete view;
    QVERIFY(config.isNull());
}

void tst_VideoPointTree::clickingDeviceBoxChecksItsChannels()
{
    auto *config = new TestConfig;
    config->checkable = true;
    VideoPointTree view(nullptr, config);
    TAMCOMMON::TamTreeWidget *tree = view.getTreeWidget();
    view.resize(300, 400);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));

    QSignalSpy changed(tree, &TAMCOMMON::TamTreeWidget::signalItemsCheckStateChanged);
    QTreeWidgetItem *nvr = view.findDevItem(QStringLiteral("nvr1"));
    QStyleOptionViewItem option;
    option.initFrom(tree->viewport());
    option.rect = tree->visualItemRect(nvr);
    option.features |= QStyleOptionViewItem::HasCheckIndicator;
    const QRect box =
        tree->style()->subElementRect(QStyle::SE_ItemViewItemCheckIndicator, &option, tree);
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, box.center());

    QCOMPARE(nvr->checkState(0), Qt::Checked);
    for (int i = 0; i < nvr->childCount(); ++i)
        QCOMPARE(nvr->child(i)->checkState(0), Qt::Checked);
    QCOMPARE(tree->topLevelItem(0)->checkState(0), Qt::PartiallyChecked);
    QCOMPARE(view.findDevItem(QStringLiteral("nvr#2"))->child(0)->checkState(0), Qt::Unchecked);
    QVERIFY(changed.count() >= 1);
}

void tst_VideoPointTree::dragCarriesChannelIds_data()
{
    QTest::addColumn<QString>("devId");
    QTest::addColumn<int>("channelNo"); // -1: drag the device item
    QTest::addColumn<QString>("text");

    QTest::newRow("channel") << "nvr#2" << 1 << "nvr#2#1";
    QTest::newRow("nvr") << "nvr1" << -1 << "nvr1#0\nnvr1#1\nnvr1#2";
    QTest::newRow("camera") << "cam2" << -1 << "cam2#0";
}

void tst_VideoPointTree::dragCarriesChannelIds()
{
    QFETCH(QString, devId);
    QFETCH(int, channelNo);
    QFETCH(QString, text);

    VideoPointTree view(nullptr, new TestConfig);
    QTreeWidget *tree = view.getTreeWidget();
    QCOMPARE(tree->dragDropMode(), QAbstractItemView::DragOnly);

    QTreeWidgetItem *dev = view.findDevItem(devId);
    QTreeWidgetItem *item = channelNo < 0 ? dev : dev->child(channelNo);
    QVERIFY(item->flags() & Qt::ItemIsDragEnabled);
    const QModelIndex parent = tree->model()->index(tree->indexOfTopLevelItem(dev->parent()), 0);
    QModelIndex index = tree->model()->index(dev->parent()->indexOfChild(dev), 0, parent);
    if (channelNo >= 0)
        index = tree->model()->index(channelNo, 0, index);
    QScopedPointer<QMimeData> mime(tree->model()->mimeData({index}));
    QVERIFY(mime);
    QCOMPARE(mime->text(), text);
}

void tst_VideoPointTree::offlineLeftOut()
{
    auto &data = DevsMgrData::_instance();
    QVERIFY(data.setChannelStatus({QStringLiteral("nvr1"), 0}, vms_sdk::ChannelOffline));
    QVERIFY(data.setChannelStatus({QStringLiteral("nvr1"), 1}, vms_sdk::ChannelOnline));
    QVERIFY(data.setChannelStatus({QStringLiteral("nvr1"), 2}, vms_sdk::ChannelRecording));
    QVERIFY(data.setChannelStatus({QStringLiteral("nvr#2"), 0}, vms_sdk::ChannelOffline));
    QVERIFY(data.setChannelStatus({QStringLiteral("nvr#2"), 1}, vms_sdk::ChannelOffline));
    QVERIFY(data.setChannelStatus({QStringLiteral("cam1"), 0}, vms_sdk::ChannelAlarm));
    QVERIFY(data.setChannelStatus({QStringLiteral("cam2"), 0}, vms_sdk::ChannelOffline));

    auto *config = new TestConfig;
    config->hideOffline = true;
    config->draggable = false;
    VideoPointTree view(nullptr, config);
    QTreeWidget *tree = view.getTreeWidget();

    QCOMPARE(tree->dragDropMode(), QAbstractItemView::NoDragDrop);
    QCOMPARE(childIds(tree->topLevelItem(0)), (QStringList{"nvr1"}));
    QCOMPARE(childIds(tree->topLevelItem(0)->child(0)), (QStringList{"nvr1#1", "nvr1#2"}));
    QCOMPARE(childIds(tree->topLevelItem(1)), (QStringList{"cam1"}));
    QVERIFY(!view.findChannelItem(QStringLiteral("nvr1#0")));

    // Coming online brings the device in.
    QVERIFY(data.setChannelStatus({QStringLiteral("cam2"), 0}, vms_sdk::ChannelOnline));
    QCOMPARE(childIds(tree->topLevelItem(1)), (QStringList{"cam1", "cam2"}));
}

void tst_VideoPointTree::statusShownAsColour()
{
    auto &data = DevsMgrData::_instance();
    QVERIFY(data.setChannelStatus({QStringLiteral("nvr1"), 1}, vms_sdk::ChannelOnline));
    VideoPointTree view(nullptr, new TestConfig);

    auto centre = [&](const QString &id) {
        return view.findChannelItem(id)->icon(0).pixmap(10, 10).toImage().pixelColor(5, 5).name();
    };
    QCOMPARE(centre(QStringLiteral("nvr1#1")), QStringLiteral("#30a46c"));
    QCOMPARE(centre(QStringLiteral("nvr1#0")), QStringLiteral("#6c7586"));

    QVERIFY(data.setChannelStatus({QStringLiteral("nvr1"), 0}, vms_sdk::ChannelAlarm));
    QCOMPARE(centre(QStringLiteral("nvr1#0")), QStringLiteral("#e5484d"));
}

void tst_VideoPointTree::followsAddedDevices()
{
    auto *config = new TestConfig;
    config->checkable = true;
    VideoPointTree view(nullptr, config);
    QTreeWidget *tree = view.getTreeWidget();

    QVERIFY(addDevice(QStringLiteral("nvr3"), QStringLiteral("Dock"), 0, 2));
    QVERIFY(addDevice(QStringLiteral("cam3"), QStringLiteral("Roof"), 1, 1));
    QVERIFY(addDevice(QStringLiteral("rtsp2"), QStringLiteral("Mall"), 2, 1));

    QCOMPARE(childIds(tree->topLevelItem(0)), (QStringList{"nvr1", "nvr#2", "nvr3"}));
    QCOMPARE(childTexts(view.findDevItem(QStringLiteral("nvr3"))),
             (QStringList{"Dock-1", "Dock-2"}));
    QVERIFY(view.findChannelItem(QStringLiteral("nvr3#1")));
    QCOMPARE(childIds(tree->topLevelItem(1)), (QStringList{"cam1", "cam2", "cam3"}));
    QCOMPARE(childIds(tree->topLevelItem(2)), (QStringList{"rtsp1", "rtsp2"}));
    QCOMPARE(view.findChannelItem(QStringLiteral("nvr3#0"))->checkState(0), Qt::Unchecked);
    QCOMPARE(tree->topLevelItemCount(), 4);
}

void tst_VideoPointTree::followsDeletedDevice()
{
    VideoPointTree view(nullptr, new TestConfig);
    QTreeWidget *tree = view.getTreeWidget();

    QVERIFY(DevsMgrData::_instance().deleteDevice(QStringLiteral("nvr1")));
    QVERIFY(DevsMgrData::_instance().deleteDevice(QStringLiteral("cam2")));

    QCOMPARE(childIds(tree->topLevelItem(0)), (QStringList{"nvr#2"}));
    QCOMPARE(childIds(tree->topLevelItem(1)), (QStringList{"cam1"}));
    QVERIFY(!view.findDevItem(QStringLiteral("nvr1")));
    QVERIFY(!view.findChannelItem(QStringLiteral("nvr1#0")));
    QVERIFY(view.findChannelItem(QStringLiteral("nvr#2#0")));
}

void tst_VideoPointTree::followsRenamedChannels()
{
    VideoPointTree view(nullptr, new TestConfig);
    QVERIFY(DevsMgrData::_instance().renameChannel({QStringLiteral("nvr1"), 1},
                                                   QStringLiteral("Gate left")));
    QCOMPARE(childTexts(view.findDevItem(QStringLiteral("nvr1"))),
             (QStringList{"Gate-1", "Gate left", "Gate-3"}));
    QCOMPARE(childTexts(view.findDevItem(QStringLiteral("nvr#2"))),
             (QStringList{"Yard-1", "Yard-2"}));
}

void tst_VideoPointTree::followsDeletedChannels()
{
    VideoPointTree view(nullptr, new TestConfig);
    QVERIFY(DevsMgrData::_instance().deleteChannels(
        {{QStringLiteral("nvr1"), 0}, {QStringLiteral("nvr#2"), 1}}));
    QCOMPARE(childIds(view.findDevItem(QStringLiteral("nvr1"))), (QStringList{"nvr1#1", "nvr1#2"}));
    QCOMPARE(childIds(view.findDevItem(QStringLiteral("nvr#2"))), (QStringList{"nvr#2#0"}));
    QVERIFY(!view.findChannelItem(QStringLiteral("nvr1#0")));

    // A channel the tree never showed is ignored.
    emit orlun_data::DataSignals::_instance().signalDeleteChannels({QStringLiteral("nvr9#0")});
    QCOMPARE(view.getTreeWidget()->topLevelItem(0)->childCount(), 2);
}

void tst_VideoPointTree::deletedChannelUpdatesDeviceCheck()
{
    auto *config = new TestConfig;
    config->checkable = true;
    VideoPointTree view(nullptr, config);
    TAMCOMMON::TamTreeWidget *tree = view.getTreeWidget();
    QTreeWidgetItem *nvr = view.findDevItem(QStringLiteral("nvr1"));
    nvr->child(0)->setCheckState(0, Qt::Checked);
    nvr->child(1)->setCheckState(0, Qt::Checked);
    tree->updateParentItemsCheckState(nvr->child(0));
    QCOMPARE(nvr->checkState(0), Qt::PartiallyChecked);

    QVERIFY(DevsMgrData::_instance().deleteChannels({{QStringLiteral("nvr1"), 2}}));
    QCOMPARE(nvr->checkState(0), Qt::Checked);
}

void tst_VideoPointTree::followsGroupChanges()
{
    auto *config = new TestConfig;
    config->checkable = true;
    VideoPointTree view(nullptr, config);
    QTreeWidget *tree = view.getTreeWidget();
    QTreeWidgetItem *groups = tree->topLevelItem(3);
    groups->child(1)->setCheckState(0, Qt::Checked); // g2

    auto &data = DevsMgrData::_instance();
    QVERIFY(data.addGroup(QStringLiteral("g3"), QStringLiteral("Parking")));
    QCOMPARE(childIds(groups), (QStringList{"g1", "g2", "g3"}));
    QVERIFY(data.deleteGroup(QStringLiteral("g1")));
    QCOMPARE(childIds(groups), (QStringList{"g2", "g3"}));
    QCOMPARE(childTexts(groups), (QStringList{"Outside", "Parking"}));
    // Surviving groups keep their marks.
    QCOMPARE(groups->child(0)->checkState(0), Qt::Checked);
    QCOMPARE(groups->child(1)->checkState(0), Qt::Unchecked);
    QCOMPARE(groups->checkState(0), Qt::PartiallyChecked);
    QCOMPARE(tree->topLevelItem(0)->childCount(), 2);
}

void tst_VideoPointTree::followsCatalogReset()
{
    VideoPointTree view(nullptr, new TestConfig);
    QTreeWidget *tree = view.getTreeWidget();

    QList<vms_sdk::DevInfo> infos;
    for (int i = 0; i < 3; ++i) {
        vms_sdk::DevInfo info;
        info.devId = QStringLiteral("bulk%1").arg(i);
        info.devName = QStringLiteral("Bulk %1").arg(i);
        info.devType = 0;
        info.channelCount = 4;
        info.devSn = QStringLiteral("SN-") + info.devId;
        info.ip = QStringLiteral("10.0.1.1");
        info.brand = QStringLiteral("Orlun");
        infos << info;
    }
    QVERIFY(DevsMgrData::_instance().addDevices(infos));

    QCOMPARE(tree->topLevelItemCount(), 4);
    QCOMPARE(childIds(tree->topLevelItem(0)),
             (QStringList{"nvr1", "nvr#2", "bulk0", "bulk1", "bulk2"}));
    QCOMPARE(view.findDevItem(QStringLiteral("bulk2"))->childCount(), 4);
    QCOMPARE(childIds(tree->topLevelItem(3)), (QStringList{"g1", "g2"}));

    // A fresh store empties the tree but keeps its folders.
    resetHostForTest();
    emit orlun_data::DataSignals::_instance().signalCatalogReset();
    QCOMPARE(tree->topLevelItemCount(), 4);
    for (int i = 0; i < 4; ++i)
        QCOMPARE(tree->topLevelItem(i)->childCount(), 0);
    QVERIFY(!view.findChannelItem(QStringLiteral("nvr1#0")));
}

QTEST_MAIN(tst_VideoPointTree)
#include "tst_VideoPointTree.moc"
