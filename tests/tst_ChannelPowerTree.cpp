#include <QHBoxLayout>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionViewItem>
#include <QTableWidget>
#include <QTreeWidgetItemIterator>
#include <QtTest>

#include <memory>

#include "ChannelPowerTable.h"
#include "ChannelPowerTree.h"
#include "ChannelTree.h"
#include "DevsMgrData.h"
#include "TamTreeWidget.h"
#include "TestSupport.h"
#include "TreeItem.h"

using orlun_data::DevsMgrData;
using orlun_data::UserResInfo;
using namespace orlun_userMgr;
using Ids = QSet<QString>;

namespace {

// Channels of nvr1 (A, B) and nvr2 (C, D); the group g1 holds C and D.
const QString A = "nvr1#0", B = "nvr1#1", C = "nvr2#0", D = "nvr2#1";

void addDevice(const QString &id, int devType, int channelCount)
{
    const vms_sdk::DevInfo info{id, id.toUpper(), "SN-" + id, devType, "10.0.0.9", 37777, 0,
                                0,  channelCount, "Orlun"};
    QVERIFY(DevsMgrData::_instance().addDevice(info));
}

// Grants written as "<resType>:<resId>".
QList<UserResInfo> grants(const QStringList &entries)
{
    QList<UserResInfo> list;
    for (const QString &entry : entries)
        list.append({entry.section(':', 1), entry.section(':', 0, 0).toInt()});
    return list;
}

Ids ids(const QStringList &list)
{
    return Ids(list.begin(), list.end());
}

} // namespace

class tst_ChannelPowerTree : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup() { m_host.reset(); }
    void loadAndSave_data();
    void loadAndSave();
    void checkingGroupExpandsIt();
    void removingInTableUnchecksTree();
    void checkingLeafDeviceDropsUnknownGrant();
    void hiddenPanelIgnoresChanges();

private:
    Ids tableIds() const;
    Ids savedGrants() const;
    QTreeWidgetItem *item(const QString &id) const;
    void clickBox(const QString &id);

    std::unique_ptr<QWidget> m_host;
    ChannelPowerTree *m_panel = nullptr;
    ChannelPowerTable *m_table = nullptr;
    ChannelTree *m_tree = nullptr;
};

void tst_ChannelPowerTree::init()
{
    resetHostForTest();
    addDevice("nvr1", 0, 3);
    addDevice("nvr2", 0, 2);
    addDevice("cam1", 1, 1);
    auto &data = DevsMgrData::_instance();
    QVERIFY(data.addGroup("g1", "Doors") && data.addGroup("g2", "Yard"));
    QVERIFY(data.addGroupChannel("g1", {"nvr2", 0}) && data.addGroupChannel("g1", {"nvr2", 1}));
    QVERIFY(data.addGroupChannel("g2", {"nvr1", 2}));

    // As on the user form: the panel beside its table, hidden until shown.
    m_host = std::make_unique<QWidget>();
    auto *layout = new QHBoxLayout(m_host.get());
    layout->addWidget(m_panel = new ChannelPowerTree(m_host.get()));
    layout->addWidget(m_table = new ChannelPowerTable(m_host.get()));
    m_panel->setChannelPowerTable(m_table);
    m_tree = m_panel->findChild<ChannelTree *>("channelsTree");
    QVERIFY(m_tree);
    m_host->resize(1200, 800);
}

Ids tst_ChannelPowerTree::tableIds() const
{
    auto *table = m_table->findChild<QTableWidget *>("channelsTable");
    Ids ids;
    for (int row = 0; row < table->rowCount(); ++row)
        ids.insert(table->item(row, 0)->data(Qt::UserRole).toString());
    return ids;
}

Ids tst_ChannelPowerTree::savedGrants() const
{
    Ids saved;
    for (const UserResInfo &res : m_panel->getUserRes())
        saved.insert(QString::number(res.resType) + ':' + res.resId);
    return saved;
}

QTreeWidgetItem *tst_ChannelPowerTree::item(const QString &id) const
{
    for (QTreeWidgetItemIterator it(m_tree->getTreeWidget()); *it; ++it) {
        if (auto *item = dynamic_cast<orlun_base::TreeItem *>(*it); item && item->getId() == id)
            return item;
    }
    return nullptr;
}

void tst_ChannelPowerTree::clickBox(const QString &id)
{
    if (!m_host->isVisible()) {
        m_host->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_host.get()));
    }
    QTreeWidget *widget = m_tree->getTreeWidget();
    QTreeWidgetItem *target = item(id);
    QVERIFY(target);
    widget->scrollToItem(target);
    QStyleOptionViewItem option;
    option.initFrom(widget->viewport());
    option.rect = widget->visualItemRect(target);
    option.features |= QStyleOptionViewItem::HasCheckIndicator;
    const QRect box =
        widget->style()->subElementRect(QStyle::SE_ItemViewItemCheckIndicator, &option, widget);
    QTest::mouseClick(widget->viewport(), Qt::LeftButton, {}, box.center());
}

void tst_ChannelPowerTree::loadAndSave_data()
{
    QTest::addColumn<QStringList>("stored");
    QTest::addColumn<QStringList>("checked"); // in the tree, as saved again
    QTest::addColumn<QStringList>("listed");  // in the table

    QTest::newRow("empty") << QStringList() << QStringList() << QStringList();
    QTest::newRow("A, B and G") << QStringList{"0:" + A, "2:g1", "0:" + B, "5:nvr1#2"}
                                << QStringList{"0:" + A, "0:" + B, "2:g1"} << QStringList{A, B};
    QTest::newRow("unknown channel and group")
        << QStringList{"0:" + A, "0:ghost#3", "2:lost"} << QStringList{"0:" + A}
        << QStringList{A, "ghost#3"};
}

void tst_ChannelPowerTree::loadAndSave()
{
    QFETCH(QStringList, stored);
    QFETCH(QStringList, checked);
    QFETCH(QStringList, listed);

    // Loaded while hidden, as when a user is only viewed, over another user.
    m_panel->setUserRes(grants({"0:" + D, "0:cam1#0", "2:g2"}));
    m_panel->setUserRes(grants(stored));

    QCOMPARE(savedGrants(), ids(checked));
    QCOMPARE(tableIds(), ids(listed));
    QCOMPARE(item("g2")->checkState(0), Qt::Unchecked);
    // Channel grants come first.
    const QList<UserResInfo> saved = m_panel->getUserRes();
    for (int i = 1; i < saved.size(); ++i)
        QVERIFY(saved.at(i - 1).resType <= saved.at(i).resType);
}

void tst_ChannelPowerTree::checkingGroupExpandsIt()
{
    // Emptied grants forget g1, so checking it counts as new.
    m_panel->setUserRes(grants({"2:g1"}));
    m_panel->setUserRes({});

    clickBox("g1");
    QCOMPARE(m_tree->getCheckedChannels(), (Ids{C, D}));
    QCOMPARE(item("nvr2")->checkState(0), Qt::Checked);
    QCOMPARE(tableIds(), (Ids{C, D}));

    clickBox("g1");
    QCOMPARE(savedGrants(), (Ids{"0:" + C, "0:" + D}));
    QCOMPARE(tableIds(), (Ids{C, D}));

    // Checked once more, g1 is expanded once, not at every later change.
    clickBox("g1");
    clickBox(D);
    QCOMPARE(tableIds(), Ids{C});
    clickBox("g1");
    clickBox("g1");
    QCOMPARE(tableIds(), (Ids{C, D}));
    QCOMPARE(savedGrants(), (Ids{"0:" + C, "0:" + D, "2:g1"}));
}

void tst_ChannelPowerTree::removingInTableUnchecksTree()
{
    m_panel->setUserRes(grants({"0:" + C, "0:" + D, "2:g1"}));
    m_table->setEditable(true);
    m_host->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_host.get()));

    auto *table = m_table->findChild<QTableWidget *>("channelsTable");
    int row = 0;
    while (row < table->rowCount() && table->item(row, 0)->data(Qt::UserRole) != C)
        ++row;
    QVERIFY(row < table->rowCount());
    QTest::mouseClick(table->cellWidget(row, 6)->findChild<QPushButton *>("deleteBt"),
                      Qt::LeftButton);

    QCOMPARE(tableIds(), Ids{D});
    QCOMPARE(item(C)->checkState(0), Qt::Unchecked);
    QCOMPARE(item("nvr2")->checkState(0), Qt::PartiallyChecked);
    QCOMPARE(m_tree->getTreeWidget()->topLevelItem(0)->checkState(0), Qt::PartiallyChecked);

    // g1 keeps its mark and is not expanded again by the next change.
    clickBox(A);
    QCOMPARE(tableIds(), (Ids{A, D}));
    QCOMPARE(savedGrants(), (Ids{"0:" + A, "0:" + D, "2:g1"}));
}

void tst_ChannelPowerTree::checkingLeafDeviceDropsUnknownGrant()
{
    m_panel->setUserRes(grants({"0:" + A, "0:ghost#0"}));
    clickBox("cam1");
    QCOMPARE(tableIds(), (Ids{A, "cam1#0"}));
    QCOMPARE(savedGrants(), (Ids{"0:" + A, "0:cam1#0"}));
}

void tst_ChannelPowerTree::hiddenPanelIgnoresChanges()
{
    m_panel->setUserRes(grants({"0:" + A}));
    m_host->show();
    m_panel->hide();

    // g1 checked while the panel cannot see it.
    item("g1")->setCheckState(0, Qt::Checked);
    emit m_tree->getTreeWidget()->signalItemsCheckStateChanged();
    QCOMPARE(tableIds(), Ids{A});
    QCOMPARE(item(C)->checkState(0), Qt::Unchecked);

    // Shown again, g1 is still new to the panel.
    m_panel->show();
    clickBox(B);
    QCOMPARE(tableIds(), (Ids{A, B, C, D}));
}

QTEST_MAIN(tst_ChannelPowerTree)
#include "tst_ChannelPowerTree.moc"
