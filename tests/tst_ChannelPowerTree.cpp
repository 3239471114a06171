#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QTreeWidgetItemIterator>
#include <QtTest>

#include "ChannelPowerTable.h"
#include "ChannelPowerTree.h"
#include "ChannelTree.h"
#include "SearchBox.h"
#include "TamTableWidget.h"
#include "TamTreeWidget.h"
#include "TestSupport.h"
#include "TreeItem.h"

#include <memory>
#include <tuple>

using orlun_data::UserResInfo;
using namespace orlun_userMgr;
using Ids = QSet<QString>;

// Channels of nvr1 (A, B) and nvr2 (C, D); the group g1 holds C and D.
static const QString A = "nvr1#0", B = "nvr1#1", C = "nvr2#0", D = "nvr2#1";

class tst_ChannelPowerTree : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup()
    {
        waitForClearButtonFades(m_host.get());
        m_host.reset();
    }
    void loadAndSave();
    void checkingGroupExpandsIt();
    void removingInTableUnchecksTree();
    void searchHidesOnlyWhatDoesNotMatch();
    void groupsShownWhileViewing();
    void treeChannelBatches_data();
    void treeChannelBatches();
    void treeGroups();

private:
    // Grants written as "<resType>:<resId>", the way savedGrants reads them back.
    void load(const QStringList &entries)
    {
        QList<UserResInfo> list;
        for (const QString &entry : entries)
            list.append({entry.section(':', 1), entry.section(':', 0, 0).toInt()});
        m_panel->setUserRes(list);
    }
    Ids savedGrants() const
    {
        Ids saved;
        for (const UserResInfo &res : m_panel->getUserRes())
            saved.insert(QString::number(res.resType) + ':' + res.resId);
        return saved;
    }
    Ids tableIds() const
    {
        Ids ids;
        for (int row = 0; row < m_table->rowCount(); ++row)
            ids.insert(m_table->item(row, 0)->data(Qt::UserRole).toString());
        return ids;
    }
    QTreeWidgetItem *item(const QString &id) const
    {
        for (QTreeWidgetItemIterator it(m_tree->getTreeWidget()); *it; ++it) {
            if (auto *item = dynamic_cast<orlun_base::TreeItem *>(*it); item && item->getId() == id)
                return item;
        }
        return nullptr;
    }
    // Ticks or unticks a box from the keyboard, on the shown panel.
    void toggle(const QString &id)
    {
        m_host->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_host.get()));
        m_tree->getTreeWidget()->setCurrentItem(item(id));
        QTest::keyClick(m_tree->getTreeWidget(), Qt::Key_Space);
    }

    // Ids of the items below the top-level folders that are not hidden, and
    // of the checked ones, in tree order.
    QString seen() const
    {
        QStringList shown, checked;
        for (QTreeWidgetItemIterator it(m_tree->getTreeWidget()); *it; ++it) {
            auto *item = dynamic_cast<orlun_base::TreeItem *>(*it);
            if (!item || !item->parent())
                continue;
            if (!item->isHidden() && !item->parent()->isHidden())
                shown << item->getId();
            if (item->checkState(0) != Qt::Unchecked)
                checked << item->getId() + (item->checkState(0) == Qt::Checked ? "" : "~");
        }
        return shown.join(' ') + " | " + checked.join(' ');
    }
    QString summary() const
    {
        auto *groups = m_powerTable->findChild<QLabel *>("grantedGroups");
        return (groups->isVisible() ? groups->text() : "-") + " | " +
               m_powerTable->findChild<QLabel *>("grantedCount")->text();
    }

    std::unique_ptr<QWidget> m_host;
    ChannelPowerTree *m_panel = nullptr;
    ChannelPowerTable *m_powerTable = nullptr;
    TAMCOMMON::TamTableWidget *m_table = nullptr;
    ChannelTree *m_tree = nullptr;
};

void tst_ChannelPowerTree::init()
{
    resetHostForTest();
    auto &data = hostDevs();
    using Dev = std::tuple<QString, int, int>;
    for (const auto &[id, type, channels] :
         {Dev{"nvr1", 0, 3}, Dev{"nvr2", 0, 2}, Dev{"cam1", 1, 1}})
        QVERIFY(data.addDevice({id, id, "SN", type, "10.0.0.9", 37777, 0, 0, channels, ""}));
    QVERIFY(data.addGroup("g1", "Doors") && data.addGroup("g2", "Yard"));
    QVERIFY(data.addGroupChannel("g1", {"nvr2", 0}) && data.addGroupChannel("g1", {"nvr2", 1}));
    QVERIFY(data.addGroupChannel("g2", {"nvr1", 2}));

    // As on the user form: the panel beside its table, hidden until shown.
    m_host = std::make_unique<QWidget>();
    auto *layout = new QHBoxLayout(m_host.get());
    layout->addWidget(m_panel = new ChannelPowerTree(m_host.get()));
    layout->addWidget(m_powerTable = new ChannelPowerTable(m_host.get()));
    m_panel->setChannelPowerTable(m_powerTable);
    m_table = m_powerTable->findChild<TAMCOMMON::TamTableWidget *>("channelsTable");
    m_tree = m_panel->findChild<ChannelTree *>("channelsTree");
    m_host->resize(1200, 800);
}

void tst_ChannelPowerTree::loadAndSave()
{
    // Loaded while hidden, as when a user is only viewed, each over the last.
    load({"0:" + D, "0:cam1#0", "2:g2"});
    // g1's channels are not granted themselves, so they stay unchecked.
    load({"0:" + A, "2:g1", "0:" + B, "5:nvr1#2"});
    QCOMPARE(savedGrants(), (Ids{"0:" + A, "0:" + B, "2:g1"}));
    QCOMPARE(tableIds(), (Ids{A, B}));
    // What the tree does not show is listed as stored, but not saved.
    load({"0:" + A, "0:ghost#3", "2:lost"});
    QCOMPARE(savedGrants(), Ids{"0:" + A});
    QCOMPARE(tableIds(), (Ids{A, "ghost#3"}));
    load({});
    QCOMPARE(savedGrants(), Ids{});
    QCOMPARE(tableIds(), Ids{});
}

void tst_ChannelPowerTree::checkingGroupExpandsIt()
{
    // Emptied grants forget g1, so checking it counts as new.
    load({"2:g1"});
    load({});

    toggle("g1");
    QCOMPARE(tableIds(), (Ids{C, D}));
    QCOMPARE(item("nvr2")->checkState(0), Qt::Checked);
    toggle("g1");
    QCOMPARE(savedGrants(), (Ids{"0:" + C, "0:" + D}));
    QCOMPARE(tableIds(), (Ids{C, D}));

    // Checked once more, g1 is expanded once, not at every later change.
    toggle("g1");
    toggle(D);
    QCOMPARE(tableIds(), Ids{C});
    toggle("g1");
    toggle("g1");
    QCOMPARE(savedGrants(), (Ids{"0:" + C, "0:" + D, "2:g1"}));
}

void tst_ChannelPowerTree::removingInTableUnchecksTree()
{
    load({"0:" + C, "0:" + D, "2:g1"});
    m_powerTable->setEditable(true);
    m_host->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_host.get()));
    const int row = m_table->item(0, 0)->data(Qt::UserRole) == C ? 0 : 1;
    QTest::mouseClick(m_table->cellWidget(row, 6)->findChild<QPushButton *>("deleteBt"),
                      Qt::LeftButton);

    QCOMPARE(tableIds(), Ids{D});
    QCOMPARE(item(C)->checkState(0), Qt::Unchecked);
    QCOMPARE(item("nvr2")->checkState(0), Qt::PartiallyChecked);
    QCOMPARE(m_tree->getTreeWidget()->topLevelItem(0)->checkState(0), Qt::PartiallyChecked);

    // g1 keeps its mark and is not expanded again by the next change.
    toggle(A);
    QCOMPARE(tableIds(), (Ids{A, D}));
    QCOMPARE(savedGrants(), (Ids{"0:" + A, "0:" + D, "2:g1"}));
}

void tst_ChannelPowerTree::searchHidesOnlyWhatDoesNotMatch()
{
    load({"0:" + A, "2:g2"});
    m_host->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_host.get()));
    auto *search = m_panel->findChild<orlun_base::SearchBox *>("treeSearchBox");
    const QString all = "nvr1 nvr1#0 nvr1#1 nvr1#2 nvr2 nvr2#0 nvr2#1 cam1 g1 g2";
    QCOMPARE(seen(), all + " | nvr1~ nvr1#0 g2");

    // Channels named like the keyword, with their devices to reach them.
    QTest::keyClicks(search, "-2");
    QCOMPARE(seen(), "nvr1 nvr1#1 nvr2 nvr2#1 | nvr1~ nvr1#0 g2");
    QVERIFY(item("nvr2")->isExpanded());
    // A device that matches brings all its channels; case does not matter.
    search->clear();
    QTest::keyClicks(search, "NVR2");
    QCOMPARE(seen(), "nvr2 nvr2#0 nvr2#1 | nvr1~ nvr1#0 g2");
    // Ticking a shown device reaches its channels and the folder above as
    // always, and a group ticked while filtered brings its hidden channels.
    toggle("nvr2");
    search->clear();
    QTest::keyClicks(search, "doors");
    QCOMPARE(seen(), "g1 | nvr1~ nvr1#0 nvr2 nvr2#0 nvr2#1 g2");
    toggle("g1");
    search->clear();
    QTest::keyClicks(search, "nvr2");
    toggle("nvr2");
    QCOMPARE(seen(), "nvr2 nvr2#0 nvr2#1 | nvr1~ nvr1#0 g1 g2");
    QCOMPARE(m_tree->getTreeWidget()->topLevelItem(0)->checkState(0), Qt::PartiallyChecked);
    QCOMPARE(tableIds(), Ids{A});

    search->clear();
    QCOMPARE(seen(), all + " | nvr1~ nvr1#0 g1 g2");
}

void tst_ChannelPowerTree::groupsShownWhileViewing()
{
    // Viewing: the groups held, with their sizes, above the table.
    load({"0:" + A, "0:" + B, "2:g2", "2:g1"});
    m_host->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_host.get()));
    QCOMPARE(summary(), "Groups: Doors (2), Yard (1) | Channels: 2");
    load({"0:" + A});
    QCOMPARE(summary(), "- | Channels: 1");

    // Editing: the tree shows the groups; the count follows every change.
    m_powerTable->setEditable(true);
    toggle("g2");
    QCOMPARE(summary(), "- | Channels: 2");
    // Back to viewing after a save, the line shows what the tree holds.
    m_powerTable->setEditable(false);
    QCOMPARE(summary(), "Groups: Yard (1) | Channels: 2");
}

void tst_ChannelPowerTree::treeChannelBatches_data()
{
    QTest::addColumn<QStringList>("before"); // given to setCheckedChannels first
    QTest::addColumn<QString>("op");
    QTest::addColumn<QStringList>("ids");
    QTest::addColumn<QStringList>("checked");
    QTest::addColumn<QString>("states"); // nvr1, "Devices", "Cameras"

    using L = QStringList;
    const L nvr1{"nvr1#0", "nvr1#1", "nvr1#2"};
    QTest::newRow("set camera leaf")
        << L{"nvr1#0"} << "set" << L{"cam1#0", "ghost#0"} << L{"cam1#0"} << "UUC";
    QTest::newRow("set whole device") << L{} << "set" << nvr1 << nvr1 << "CPU";
    QTest::newRow("set empty") << nvr1 + L{"nvr2#0", "cam1#0"} << "set" << L{} << L{} << "UUU";
    QTest::newRow("add keeps") << L{"nvr1#0"} << "add" << L{"cam1#0", "nvr1#2"}
                               << L{"nvr1#0", "nvr1#2", "cam1#0"} << "PPC";
    QTest::newRow("add empty") << L{"nvr1#0"} << "add" << L{} << L{"nvr1#0"} << "PPU";
    QTest::newRow("uncheck some") << nvr1 + L{"cam1#0"} << "uncheck" << L{"nvr1#2", "cam1#0"}
                                  << L{"nvr1#0", "nvr1#1"} << "PPU";
}

void tst_ChannelPowerTree::treeChannelBatches()
{
    QFETCH(QStringList, before);
    QFETCH(QString, op);
    QFETCH(QStringList, ids);
    QFETCH(QStringList, checked);
    QFETCH(QString, states);

    ChannelTree tree;
    TAMCOMMON::TamTreeWidget *widget = tree.getTreeWidget();
    tree.setCheckedGroups({"g1"});
    tree.setCheckedChannels(idSet(before));
    using Batch = void (ChannelTree::*)(const Ids &);
    const QMap<QString, Batch> batches{{"set", &ChannelTree::setCheckedChannels},
                                       {"add", &ChannelTree::addCheckedChannels},
                                       {"uncheck", &ChannelTree::uncheckChannels}};
    QVERIFY(batches.contains(op));
    (tree.*batches.value(op))(idSet(ids));

    QCOMPARE(tree.getCheckedChannels(), idSet(checked));
    QCOMPARE(QString() + checkLetter(tree.findDevItem("nvr1")->checkState(0)) +
                 checkLetter(widget->topLevelItem(0)->checkState(0)) +
                 checkLetter(widget->topLevelItem(1)->checkState(0)),
             states);
    // Channel batches leave the groups alone.
    QCOMPARE(tree.getCheckedGroups(), Ids{"g1"});
    QVERIFY(widget->isAutoChangingItemsCheckState());
}

void tst_ChannelPowerTree::treeGroups()
{
    ChannelTree tree;
    QTreeWidgetItem *folder = tree.getTreeWidget()->topLevelItem(3);
    tree.setCheckedChannels({B});
    // Ids that are no group are passed over.
    tree.setCheckedGroups({"g1", "g2", B});
    QCOMPARE(tree.getCheckedGroups(), (Ids{"g1", "g2"}));
    QCOMPARE(folder->checkState(0), Qt::Checked);
    tree.setCheckedGroups({"g2"});
    QCOMPARE(tree.getCheckedGroups(), Ids{"g2"});
    QCOMPARE(folder->checkState(0), Qt::PartiallyChecked);
    QCOMPARE(tree.getCheckedChannels(), Ids{B});
    // A partial mark is no grant.
    folder->child(1)->setCheckState(0, Qt::PartiallyChecked);
    QCOMPARE(tree.getCheckedGroups(), Ids{});
}

QTEST_MAIN(tst_ChannelPowerTree)
#include "tst_ChannelPowerTree.moc"
