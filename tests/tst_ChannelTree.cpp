#include <QTreeWidgetItemIterator>
#include <QtTest>

#include "ChannelTree.h"
#include "ChannelTreeConfig.h"
#include "DevsMgrData.h"
#include "TamTreeWidget.h"
#include "TestSupport.h"
#include "TreeItem.h"

using namespace orlun_base;
using orlun_data::DevsMgrData;
using orlun_userMgr::ChannelTree;
using orlun_userMgr::ChannelTreeConfig;

namespace {

using Ids = QSet<QString>;

void addDevice(const QString &id, int devType, int channelCount)
{
    vms_sdk::DevInfo info;
    info.devId = id;
    info.devName = id.toUpper();
    info.devType = devType;
    info.channelCount = channelCount;
    info.devSn = QStringLiteral("SN-") + id;
    info.ip = QStringLiteral("10.0.0.7");
    info.port = 8000;
    QVERIFY(DevsMgrData::_instance().addDevice(info));
}

// A TreeItem that calls itself a device without being a DevItem.
class FakeDevice : public TreeItem
{
public:
    using TreeItem::TreeItem;
    bool isDevice() const override { return true; }
};

template<class Item>
Item *checkable(Item *item, Qt::CheckState state)
{
    item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
    item->setCheckState(0, state);
    return item;
}

TreeItem *groupItem(QTreeWidget *tree, const QString &id)
{
    for (QTreeWidgetItemIterator it(tree); *it; ++it) {
        auto *item = dynamic_cast<TreeItem *>(*it);
        if (item && item->getId() == id)
            return item;
    }
    return nullptr;
}

} // namespace

class tst_ChannelTree : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void configuration();
    void channelBatches_data();
    void channelBatches();
    void groupLeafEndsWalks_data();
    void groupLeafEndsWalks();
    void foreignItemsIgnored();
    void groups();
    void noGroupsFolder();
};

void tst_ChannelTree::init()
{
    resetHostForTest();
    // Devices: nvr1 (3 channels), nvr2 (2); Cameras: cam1, cam2 as leaves;
    // Channel Groups: g1, g2.
    addDevice(QStringLiteral("nvr1"), 0, 3);
    addDevice(QStringLiteral("nvr2"), 0, 2);
    addDevice(QStringLiteral("cam1"), 1, 1);
    addDevice(QStringLiteral("cam2"), 1, 1);
    auto &data = DevsMgrData::_instance();
    QVERIFY(data.addGroup(QStringLiteral("g1"), QStringLiteral("Doors")));
    QVERIFY(data.addGroup(QStringLiteral("g2"), QStringLiteral("Yard")));
    QVERIFY(data.addGroupChannel(QStringLiteral("g1"), {QStringLiteral("nvr1"), 0}));
}

void tst_ChannelTree::configuration()
{
    ChannelTreeConfig config;
    TreeConfig defaults;
    QVERIFY(config.treeOption1());
    QVERIFY(!config.treeOption2());
    QVERIFY(!config.treeOption4());
    QCOMPARE(config.isLocalGroupsVisible(), defaults.isLocalGroupsVisible());
    QCOMPARE(config.isRtspVideoVisible(), defaults.isRtspVideoVisible());
    QCOMPARE(config.canAddRtspVideo(), defaults.canAddRtspVideo());

    QPointer<TreeConfig> owned;
    {
        ChannelTree tree;
        owned = tree.config();
        QVERIFY(dynamic_cast<ChannelTreeConfig *>(owned.data()));
        QCOMPARE(tree.getTreeWidget()->styleSheet(),
                 QStringLiteral("QTreeWidget{background-color:#101928;}"));
        QCOMPARE(tree.getTreeWidget()->topLevelItemCount(), 4);
        QVERIFY(tree.findChannelItem("nvr1#0")->flags() & Qt::ItemIsUserCheckable);
        QVERIFY(!(tree.findChannelItem("nvr1#0")->flags() & Qt::ItemIsDragEnabled));
    }
    QVERIFY(owned.isNull());
}

void tst_ChannelTree::channelBatches_data()
{
    QTest::addColumn<QStringList>("before"); // given to setCheckedChannels first
    QTest::addColumn<QString>("op");
    QTest::addColumn<QStringList>("ids");
    QTest::addColumn<QStringList>("checked");
    QTest::addColumn<int>("nvr1State");
    QTest::addColumn<int>("devicesState");
    QTest::addColumn<int>("camerasState");

    const QStringList nvr1All{"nvr1#0", "nvr1#1", "nvr1#2"};
    QTest::newRow("set camera leaf") << QStringList() << "set" << QStringList{"cam1#0", "ghost#0"}
                                     << QStringList{"cam1#0"} << 0 << 0 << 1;
    QTest::newRow("set replaces") << QStringList{"nvr1#0", "cam1#0"} << "set"
                                  << QStringList{"nvr1#1"} << QStringList{"nvr1#1"} << 1 << 1 << 0;
    QTest::newRow("set whole device")
        << QStringList() << "set" << nvr1All << nvr1All << 2 << 1 << 0;
    QTest::newRow("set empty") << (nvr1All + QStringList{"nvr2#0", "cam1#0", "cam2#0"}) << "set"
                               << QStringList() << QStringList() << 0 << 0 << 0;
    QTest::newRow("add keeps") << QStringList{"nvr1#0"} << "add" << QStringList{"cam2#0", "nvr1#2"}
                               << QStringList{"nvr1#0", "nvr1#2", "cam2#0"} << 1 << 1 << 1;
    QTest::newRow("add empty") << QStringList{"nvr1#0"} << "add" << QStringList()
                               << QStringList{"nvr1#0"} << 1 << 1 << 0;
    QTest::newRow("uncheck some") << (nvr1All + QStringList{"cam1#0"}) << "uncheck"
                                  << QStringList{"nvr1#2", "cam1#0"}
                                  << QStringList{"nvr1#0", "nvr1#1"} << 1 << 1 << 0;
    QTest::newRow("uncheck never checks")
        << QStringList() << "uncheck" << QStringList{"nvr1#0"} << QStringList() << 0 << 0 << 0;
}

void tst_ChannelTree::channelBatches()
{
    QFETCH(QStringList, before);
    QFETCH(QString, op);
    QFETCH(QStringList, ids);
    QFETCH(QStringList, checked);
    QFETCH(int, nvr1State);
    QFETCH(int, devicesState);
    QFETCH(int, camerasState);

    ChannelTree tree;
    TAMCOMMON::TamTreeWidget *widget = tree.getTreeWidget();
    tree.setCheckedGroups({"g1"});
    tree.setCheckedChannels(Ids(before.begin(), before.end()));
    const Ids set(ids.begin(), ids.end());
    if (op == "set")
        tree.setCheckedChannels(set);
    else if (op == "add")
        tree.addCheckedChannels(set);
    else
        tree.uncheckChannels(set);

    QCOMPARE(tree.getCheckedChannels(), Ids(checked.begin(), checked.end()));
    QCOMPARE(int(tree.findDevItem("nvr1")->checkState(0)), nvr1State);
    QCOMPARE(int(widget->topLevelItem(0)->checkState(0)), devicesState);
    QCOMPARE(int(widget->topLevelItem(1)->checkState(0)), camerasState);
    // The batches leave the group section alone, and restore propagation.
    QCOMPARE(tree.getCheckedGroups(), Ids{"g1"});
    QVERIFY(widget->isAutoChangingItemsCheckState());
}

void tst_ChannelTree::groupLeafEndsWalks_data()
{
    QTest::addColumn<QString>("op");
    QTest::addColumn<bool>("lateBefore");
    QTest::addColumn<QString>("checkedGroup");
    QTest::addColumn<bool>("lateAfter");
    QTest::addColumn<bool>("lateReported");

    QTest::newRow("set does not check") << "set" << false << "" << false << false;
    QTest::newRow("set does not uncheck") << "set-empty" << true << "" << true << true;
    QTest::newRow("add") << "add" << false << "" << false << false;
    QTest::newRow("uncheck") << "uncheck" << true << "" << true << true;
    QTest::newRow("checked group stops") << "none" << true << "g2" << true << false;
}

void tst_ChannelTree::groupLeafEndsWalks()
{
    QFETCH(QString, op);
    QFETCH(bool, lateBefore);
    QFETCH(QString, checkedGroup);
    QFETCH(bool, lateAfter);
    QFETCH(bool, lateReported);

    ChannelTree tree;
    // A camera leaf placed after the group leaves.
    auto *late = checkable(new DevItem("late"), lateBefore ? Qt::Checked : Qt::Unchecked);
    tree.getTreeWidget()->addTopLevelItem(late);
    if (!checkedGroup.isEmpty())
        tree.setCheckedGroups({checkedGroup});

    const Ids ids{"late#0", "cam2#0"};
    if (op == "set")
        tree.setCheckedChannels(ids);
    else if (op == "set-empty")
        tree.setCheckedChannels({});
    else if (op == "add")
        tree.addCheckedChannels(ids);
    else if (op == "uncheck")
        tree.uncheckChannels(ids);

    QCOMPARE(late->checkState(0) == Qt::Checked, lateAfter);
    QCOMPARE(tree.getCheckedChannels().contains("late#0"), lateReported);
    // Leaves before the groups were reached.
    QCOMPARE(tree.findDevItem("cam2")->checkState(0) == Qt::Checked, op == "set" || op == "add");
}

void tst_ChannelTree::foreignItemsIgnored()
{
    ChannelTree tree;
    QTreeWidgetItem *cameras = tree.getTreeWidget()->topLevelItem(1);
    auto *plain = checkable(new QTreeWidgetItem({"plain"}), Qt::Checked);
    auto *fake = checkable(new FakeDevice("fake"), Qt::Unchecked);
    cameras->insertChildren(0, {plain, fake});

    tree.setCheckedChannels({"fake#0", "fake", "cam1#0"});
    QCOMPARE(fake->checkState(0), Qt::Unchecked);
    QCOMPARE(plain->checkState(0), Qt::Checked);
    fake->setCheckState(0, Qt::Checked);
    QCOMPARE(tree.getCheckedChannels(), Ids{"cam1#0"});
}

void tst_ChannelTree::groups()
{
    ChannelTree tree;
    QTreeWidget *widget = tree.getTreeWidget();
    QTreeWidgetItem *folder = widget->topLevelItem(3);
    tree.setCheckedChannels({"nvr1#1"});

    tree.setCheckedGroups({"g1", "g2", "nvr1#1"});
    QCOMPARE(tree.getCheckedGroups(), (Ids{"g1", "g2"}));
    QCOMPARE(folder->checkState(0), Qt::Checked);

    tree.setCheckedGroups({"g2"});
    QCOMPARE(tree.getCheckedGroups(), Ids{"g2"});
    QCOMPARE(folder->checkState(0), Qt::PartiallyChecked);
    QCOMPARE(tree.getCheckedChannels(), Ids{"nvr1#1"});

    // A group outside the fourth folder's subtree is still found and set.
    TreeItem *g1 = groupItem(widget, "g1");
    widget->addTopLevelItem(folder->takeChild(folder->indexOfChild(g1)));
    tree.setCheckedGroups({"g1"});
    QCOMPARE(g1->checkState(0), Qt::Checked);
    QCOMPARE(tree.getCheckedGroups(), Ids{"g1"});

    // A partial mark is no grant.
    g1->setCheckState(0, Qt::PartiallyChecked);
    QCOMPARE(tree.getCheckedGroups(), Ids{});
}

void tst_ChannelTree::noGroupsFolder()
{
    ChannelTree tree;
    QTreeWidget *widget = tree.getTreeWidget();
    // With the streams folder gone the groups folder is the third and last.
    delete widget->takeTopLevelItem(2);
    QCOMPARE(widget->topLevelItemCount(), 3);
    TreeItem *g1 = groupItem(widget, "g1");

    tree.setCheckedGroups({"g1"});
    QCOMPARE(g1->checkState(0), Qt::Unchecked);
    g1->setCheckState(0, Qt::Checked);
    QCOMPARE(tree.getCheckedGroups(), Ids{});
    tree.setCheckedGroups({});
    QCOMPARE(g1->checkState(0), Qt::Checked);

    tree.setCheckedChannels({"cam2#0"});
    QCOMPARE(tree.getCheckedChannels(), Ids{"cam2#0"});
}

QTEST_MAIN(tst_ChannelTree)
#include "tst_ChannelTree.moc"
