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
using Ids = QSet<QString>;

namespace {

void addDevice(const QString &id, int devType, int channelCount)
{
    const vms_sdk::DevInfo info{id, id.toUpper(), "SN-" + id, devType, "10.0.0.7", 8000, 0,
                                0,  channelCount, "Orlun"};
    QVERIFY(DevsMgrData::_instance().addDevice(info));
}

// A TreeItem that calls itself a device without being a DevItem.
class FakeDevice : public TreeItem
{
public:
    using TreeItem::TreeItem;
    bool isDevice() const override { return true; }
};

QTreeWidgetItem *checkable(QTreeWidgetItem *item, bool checked)
{
    item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
    item->setCheckState(0, checked ? Qt::Checked : Qt::Unchecked);
    return item;
}

QTreeWidgetItem *find(QTreeWidget *tree, const QString &id)
{
    for (QTreeWidgetItemIterator it(tree); *it; ++it) {
        if (auto *item = dynamic_cast<TreeItem *>(*it); item && item->getId() == id)
            return item;
    }
    return nullptr;
}

Ids ids(const QStringList &list)
{
    return Ids(list.begin(), list.end());
}

// Runs "set", "add" or "uncheck" with ids.
void run(ChannelTree &tree, const QString &op, const Ids &ids)
{
    if (op == "set")
        tree.setCheckedChannels(ids);
    else if (op == "add")
        tree.addCheckedChannels(ids);
    else if (op == "uncheck")
        tree.uncheckChannels(ids);
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
    void groups();
    void noGroupsFolder();
};

void tst_ChannelTree::init()
{
    resetHostForTest();
    // Devices: nvr1 (3 channels), nvr2 (2); Cameras: cam1, cam2 as leaves;
    // Channel Groups: g1, g2.
    addDevice("nvr1", 0, 3);
    addDevice("nvr2", 0, 2);
    addDevice("cam1", 1, 1);
    addDevice("cam2", 1, 1);
    QVERIFY(DevsMgrData::_instance().addGroup("g1", "Doors"));
    QVERIFY(DevsMgrData::_instance().addGroup("g2", "Yard"));
}

void tst_ChannelTree::configuration()
{
    orlun_userMgr::ChannelTreeConfig config;
    TreeConfig defaults;
    QVERIFY(config.treeOption1() && !config.treeOption2() && !config.treeOption4());
    QCOMPARE(config.isLocalGroupsVisible(), defaults.isLocalGroupsVisible());
    QCOMPARE(config.isRtspVideoVisible(), defaults.isRtspVideoVisible());
    QCOMPARE(config.canAddRtspVideo(), defaults.canAddRtspVideo());

    QPointer<TreeConfig> owned;
    {
        ChannelTree tree;
        owned = tree.config();
        QVERIFY(dynamic_cast<orlun_userMgr::ChannelTreeConfig *>(owned.data()));
        QCOMPARE(tree.getTreeWidget()->styleSheet(), "QTreeWidget{background-color:#101928;}");
    }
    QVERIFY(owned.isNull());
}

void tst_ChannelTree::channelBatches_data()
{
    QTest::addColumn<QStringList>("before"); // given to setCheckedChannels first
    QTest::addColumn<QString>("op");
    QTest::addColumn<QStringList>("ids");
    QTest::addColumn<QStringList>("checked");
    QTest::addColumn<QVector<int>>("states"); // nvr1, "Devices", "Cameras"

    const QStringList nvr1{"nvr1#0", "nvr1#1", "nvr1#2"};
    QTest::newRow("set camera leaf") << QStringList() << "set" << QStringList{"cam1#0", "fake#0"}
                                     << QStringList{"cam1#0"} << QVector<int>{0, 0, 1};
    QTest::newRow("set replaces") << QStringList{"nvr1#0", "cam1#0"} << "set"
                                  << QStringList{"nvr1#1"} << QStringList{"nvr1#1"}
                                  << QVector<int>{1, 1, 0};
    QTest::newRow("set whole device")
        << QStringList() << "set" << nvr1 << nvr1 << QVector<int>{2, 1, 0};
    QTest::newRow("set empty") << nvr1 + QStringList{"nvr2#0", "cam1#0", "cam2#0"} << "set"
                               << QStringList() << QStringList() << QVector<int>{0, 0, 0};
    QTest::newRow("add keeps") << QStringList{"nvr1#0"} << "add" << QStringList{"cam2#0", "nvr1#2"}
                               << QStringList{"nvr1#0", "nvr1#2", "cam2#0"}
                               << QVector<int>{1, 1, 1};
    QTest::newRow("add empty") << QStringList{"nvr1#0"} << "add" << QStringList()
                               << QStringList{"nvr1#0"} << QVector<int>{1, 1, 0};
    QTest::newRow("uncheck some") << nvr1 + QStringList{"cam1#0"} << "uncheck"
                                  << QStringList{"nvr1#2", "cam1#0"}
                                  << QStringList{"nvr1#0", "nvr1#1"} << QVector<int>{1, 1, 0};
    QTest::newRow("uncheck never checks") << QStringList() << "uncheck" << QStringList{"nvr1#0"}
                                          << QStringList() << QVector<int>{0, 0, 0};
}

void tst_ChannelTree::channelBatches()
{
    QFETCH(QStringList, before);
    QFETCH(QString, op);
    QFETCH(QStringList, ids);
    QFETCH(QStringList, checked);
    QFETCH(QVector<int>, states);

    ChannelTree tree;
    TAMCOMMON::TamTreeWidget *widget = tree.getTreeWidget();
    // Items the walks must pass over untouched.
    QTreeWidgetItem *plain = checkable(new QTreeWidgetItem({"plain"}), true);
    QTreeWidgetItem *fake = checkable(new FakeDevice("fake"), false);
    widget->topLevelItem(2)->insertChildren(0, {plain, fake});
    tree.setCheckedGroups({"g1"});
    tree.setCheckedChannels(::ids(before));
    run(tree, op, ::ids(ids));

    QCOMPARE(tree.getCheckedChannels(), ::ids(checked));
    const QVector<int> shown{tree.findDevItem("nvr1")->checkState(0),
                             widget->topLevelItem(0)->checkState(0),
                             widget->topLevelItem(1)->checkState(0)};
    QCOMPARE(shown, states);
    QCOMPARE(fake->checkState(0), Qt::Unchecked);
    QCOMPARE(plain->checkState(0), Qt::Checked);
    QCOMPARE(tree.getCheckedGroups(), Ids{"g1"});
    QVERIFY(widget->isAutoChangingItemsCheckState());
}

void tst_ChannelTree::groupLeafEndsWalks_data()
{
    QTest::addColumn<QString>("op");
    QTest::addColumn<QStringList>("ids");
    QTest::addColumn<bool>("lateBefore"); // a camera leaf after the groups
    QTest::addColumn<QString>("checkedGroup");
    QTest::addColumn<bool>("lateAfter");
    QTest::addColumn<bool>("lateReported");

    const QStringList late{"late#0", "cam2#0"};
    QTest::newRow("set does not check") << "set" << late << false << "" << false << false;
    QTest::newRow("set does not uncheck")
        << "set" << QStringList{"cam2#0"} << true << "" << true << true;
    QTest::newRow("add") << "add" << late << false << "" << false << false;
    QTest::newRow("uncheck") << "uncheck" << late << true << "" << true << true;
    QTest::newRow("checked group ends reading") << "" << late << true << "g2" << true << false;
}

void tst_ChannelTree::groupLeafEndsWalks()
{
    QFETCH(QString, op);
    QFETCH(QStringList, ids);
    QFETCH(bool, lateBefore);
    QFETCH(QString, checkedGroup);
    QFETCH(bool, lateAfter);
    QFETCH(bool, lateReported);

    ChannelTree tree;
    QTreeWidgetItem *late = checkable(new DevItem("late"), lateBefore);
    tree.getTreeWidget()->addTopLevelItem(late);
    tree.setCheckedGroups({checkedGroup});
    run(tree, op, ::ids(ids));

    QCOMPARE(late->checkState(0) == Qt::Checked, lateAfter);
    QCOMPARE(tree.getCheckedChannels().contains("late#0"), lateReported);
    // The leaves before the groups were reached.
    QCOMPARE(tree.findDevItem("cam2")->checkState(0) == Qt::Checked, op == "set" || op == "add");
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

    // A group after the fourth folder's subtree is still set and read.
    QTreeWidgetItem *g1 = find(widget, "g1");
    widget->addTopLevelItem(folder->takeChild(folder->indexOfChild(g1)));
    tree.setCheckedGroups({"g1"});
    QCOMPARE(tree.getCheckedGroups(), Ids{"g1"});
    // A partial mark is no grant.
    g1->setCheckState(0, Qt::PartiallyChecked);
    QCOMPARE(tree.getCheckedGroups(), Ids{});
}

void tst_ChannelTree::noGroupsFolder()
{
    ChannelTree tree;
    QTreeWidget *widget = tree.getTreeWidget();
    // Without the streams folder the groups folder is the third and last.
    delete widget->takeTopLevelItem(2);
    QTreeWidgetItem *g1 = find(widget, "g1");

    tree.setCheckedGroups({"g1"});
    QCOMPARE(g1->checkState(0), Qt::Unchecked);
    g1->setCheckState(0, Qt::Checked);
    QCOMPARE(tree.getCheckedGroups(), Ids{});
    tree.setCheckedChannels({"cam2#0"});
    QCOMPARE(tree.getCheckedChannels(), Ids{"cam2#0"});
}

QTEST_MAIN(tst_ChannelTree)
#include "tst_ChannelTree.moc"
