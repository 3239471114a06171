#include <QtTest>

#include "ChannelTree.h"
#include "DevsMgrData.h"
#include "TamTreeWidget.h"
#include "TestSupport.h"
#include "TreeItem.h"

#include <tuple>

using namespace orlun_base;
using orlun_data::DevsMgrData;
using orlun_userMgr::ChannelTree;
using Ids = QSet<QString>;

// A TreeItem that calls itself a device without being a DevItem.
class FakeDevice : public TreeItem
{
public:
    using TreeItem::TreeItem;
    bool isDevice() const override { return true; }
};

class tst_ChannelTree : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void channelBatches_data();
    void channelBatches();
    void groupLeafEndsWalks();
    void groups();

private:
    static Ids ids(const QStringList &list) { return Ids(list.begin(), list.end()); }
    static QTreeWidgetItem *checkable(QTreeWidgetItem *item, bool checked)
    {
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(0, checked ? Qt::Checked : Qt::Unchecked);
        return item;
    }
};

void tst_ChannelTree::init()
{
    resetHostForTest();
    // Devices: nvr1 (3 channels), nvr2 (2); Cameras: cam1, cam2 as leaves;
    // streams; Channel Groups: g1, g2.
    for (const auto &[id, type, channels] : {std::tuple{"nvr1", 0, 3}, std::tuple{"nvr2", 0, 2},
                                             std::tuple{"cam1", 1, 1}, std::tuple{"cam2", 1, 1}})
        QVERIFY(
            DevsMgrData::_instance().addDevice({id, id, "SN", type, "", 0, 0, 0, channels, ""}));
    QVERIFY(DevsMgrData::_instance().addGroup("g1", "Doors"));
    QVERIFY(DevsMgrData::_instance().addGroup("g2", "Yard"));
}

void tst_ChannelTree::channelBatches_data()
{
    QTest::addColumn<QStringList>("before"); // given to setCheckedChannels first
    QTest::addColumn<QString>("op");
    QTest::addColumn<QStringList>("ids");
    QTest::addColumn<QStringList>("checked");
    QTest::addColumn<QVector<int>>("states"); // nvr1, "Devices", "Cameras"

    const QStringList nvr1{"nvr1#0", "nvr1#1", "nvr1#2"};
    QTest::newRow("set camera leaf")
        << QStringList{"nvr1#0"} << "set" << QStringList{"cam1#0", "fake#0"}
        << QStringList{"cam1#0"} << QVector<int>{0, 0, 1};
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
                                  << QStringList{"nvr1#2", "cam1#0", "cam2#0"}
                                  << QStringList{"nvr1#0", "nvr1#1"} << QVector<int>{1, 1, 0};
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
    tree.setCheckedChannels(tst_ChannelTree::ids(before));
    using Batch = void (ChannelTree::*)(const Ids &);
    const QMap<QString, Batch> batches{{"set", &ChannelTree::setCheckedChannels},
                                       {"add", &ChannelTree::addCheckedChannels},
                                       {"uncheck", &ChannelTree::uncheckChannels}};
    (tree.*batches.value(op))(tst_ChannelTree::ids(ids));

    QCOMPARE(tree.getCheckedChannels(), tst_ChannelTree::ids(checked));
    const QVector<int> shown{tree.findDevItem("nvr1")->checkState(0),
                             widget->topLevelItem(0)->checkState(0),
                             widget->topLevelItem(1)->checkState(0)};
    QCOMPARE(shown, states);
    QCOMPARE(fake->checkState(0), Qt::Unchecked);
    QCOMPARE(plain->checkState(0), Qt::Checked);
    QCOMPARE(tree.getCheckedGroups(), Ids{"g1"});
    QVERIFY(widget->isAutoChangingItemsCheckState());
}

void tst_ChannelTree::groupLeafEndsWalks()
{
    ChannelTree tree;
    // Device leaves after the groups, checked, unchecked, checked; the
    // channel walks end at the first group leaf and never reach them.
    QList<QTreeWidgetItem *> late;
    for (bool checked : {true, false, true}) {
        late << checkable(new DevItem("late" + QString::number(late.size())), checked);
        tree.getTreeWidget()->addTopLevelItem(late.last());
    }
    const Ids named{"late0#0", "late1#0"};
    tree.setCheckedChannels(named + Ids{"cam2#0"});
    tree.uncheckChannels(named);
    tree.addCheckedChannels(named);
    const QVector<int> states{late[0]->checkState(0), late[1]->checkState(0),
                              late[2]->checkState(0)};
    QCOMPARE(states, (QVector<int>{Qt::Checked, Qt::Unchecked, Qt::Checked}));

    // Reading passes unchecked group leaves and ends at a checked one.
    QCOMPARE(tree.getCheckedChannels(), (Ids{"cam2#0", "late0#0", "late2#0"}));
    tree.setCheckedGroups({"g2"});
    QCOMPARE(tree.getCheckedChannels(), Ids{"cam2#0"});
}

void tst_ChannelTree::groups()
{
    ChannelTree tree;
    QTreeWidget *widget = tree.getTreeWidget();
    QTreeWidgetItem *folder = widget->topLevelItem(3);
    auto *g1 = dynamic_cast<TreeItem *>(folder->child(0));
    QCOMPARE(g1->getId(), QStringLiteral("g1"));
    tree.setCheckedChannels({"nvr1#1"});

    tree.setCheckedGroups({"g1", "g2", "nvr1#1"});
    QCOMPARE(tree.getCheckedGroups(), (Ids{"g1", "g2"}));
    QCOMPARE(folder->checkState(0), Qt::Checked);
    tree.setCheckedGroups({"g2"});
    QCOMPARE(tree.getCheckedGroups(), Ids{"g2"});
    QCOMPARE(folder->checkState(0), Qt::PartiallyChecked);
    QCOMPARE(tree.getCheckedChannels(), Ids{"nvr1#1"});

    // A group after the fourth folder's subtree is still set and read.
    widget->addTopLevelItem(folder->takeChild(0));
    tree.setCheckedGroups({"g1"});
    QCOMPARE(tree.getCheckedGroups(), Ids{"g1"});
    // A partial mark is no grant.
    g1->setCheckState(0, Qt::PartiallyChecked);
    QCOMPARE(tree.getCheckedGroups(), Ids{});

    // Down to three top-level items, the tree has no groups at all; the
    // channels still work.
    delete widget->takeTopLevelItem(4);
    delete widget->takeTopLevelItem(2);
    QTreeWidgetItem *g2 = folder->child(0);
    tree.setCheckedGroups({"g2"});
    QCOMPARE(g2->checkState(0), Qt::Unchecked);
    g2->setCheckState(0, Qt::Checked);
    QCOMPARE(tree.getCheckedGroups(), Ids{});
    tree.setCheckedChannels({"cam2#0"});
    QCOMPARE(tree.getCheckedChannels(), Ids{"cam2#0"});
}

QTEST_MAIN(tst_ChannelTree)
#include "tst_ChannelTree.moc"
