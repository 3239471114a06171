#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidgetItemIterator>
#include <QtTest>

#include "ChannelPowerTable.h"
#include "ChannelPowerTree.h"
#include "ChannelTree.h"
#include "SearchBox.h"
#include "TamTableWidget.h"
#include "TestSupport.h"
#include "TreeItem.h"

#include <memory>
#include <tuple>

using orlun_data::UserResInfo;
using namespace orlun_userMgr;
using Ids = QSet<QString>;

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
    void scenario_data();
    void scenario();

private:
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
    void showHost()
    {
        m_host->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_host.get()));
    }
    void toggle(const QString &id)
    {
        showHost();
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

    m_host = std::make_unique<QWidget>();
    auto *layout = new QHBoxLayout(m_host.get());
    layout->addWidget(m_panel = new ChannelPowerTree(m_host.get()));
    layout->addWidget(m_powerTable = new ChannelPowerTable(m_host.get()));
    m_panel->setChannelPowerTable(m_powerTable);
    m_table = m_powerTable->findChild<TAMCOMMON::TamTableWidget *>("channelsTable");
    m_tree = m_panel->findChild<ChannelTree *>("channelsTree");
    m_host->resize(1200, 800);
}

void tst_ChannelPowerTree::scenario_data()
{
    QTest::addColumn<QStringList>("steps");

    // Steps: "load <resType>:<resId>..." grants into the panel (hidden until
    // a step shows it); "toggle <id>" ticks or unticks a box from the
    // keyboard; "search <keyword>" types a fresh keyword ("search" clears
    // it); "edit on|off" the table; "delete <id>" through the table row's
    // button; "=saved", "=table", "=seen", "=summary" check what the panel
    // saves, the table's ids, the tree (see seen()) and the line above the
    // table; "=marks <id>... <states>" check marks, "@0" being the first
    // folder; "=expanded <id>".
    using L = QStringList;
    const QString all = "=seen nvr1 nvr1#0 nvr1#1 nvr1#2 nvr2 nvr2#0 nvr2#1 cam1 g1 g2";
    // clang-format off
    // Each load replaces the last. g1's channels are not granted themselves,
    // so they stay unchecked; what the tree does not show is listed as
    // stored, but not saved.
    QTest::newRow("load and save")
        << L{"load 0:nvr2#1 0:cam1#0 2:g2", "load 0:nvr1#0 2:g1 0:nvr1#1 5:nvr1#2",
             "=saved 0:nvr1#0 0:nvr1#1 2:g1", "=table nvr1#0 nvr1#1",
             "load 0:nvr1#0 0:ghost#3 2:lost", "=saved 0:nvr1#0", "=table nvr1#0 ghost#3",
             "load", "=saved", "=table"};
    // Emptied grants forget g1, so checking it counts as new; checked once
    // more, it is expanded once, not at every later change.
    QTest::newRow("checking a group expands it")
        << L{"load 2:g1", "load", "toggle g1", "=table nvr2#0 nvr2#1", "=marks nvr2 C",
             "toggle g1", "=saved 0:nvr2#0 0:nvr2#1", "=table nvr2#0 nvr2#1",
             "toggle g1", "toggle nvr2#1", "=table nvr2#0",
             "toggle g1", "toggle g1", "=saved 0:nvr2#0 0:nvr2#1 2:g1"};
    // g1 keeps its mark and is not expanded again by the next change.
    QTest::newRow("removing in the table unchecks the tree")
        << L{"load 0:nvr2#0 0:nvr2#1 2:g1", "edit on", "delete nvr2#0", "=table nvr2#1",
             "=marks nvr2#0 nvr2 @0 UPP", "toggle nvr1#0", "=table nvr1#0 nvr2#1",
             "=saved 0:nvr1#0 0:nvr2#1 2:g1"};
    // Channels named like the keyword show with their devices, a matching
    // device with all its channels, whatever the case. Ticking a shown
    // device reaches its channels and the folder above as always, and a
    // group ticked while filtered brings its hidden channels.
    QTest::newRow("search hides only what does not match")
        << L{"load 0:nvr1#0 2:g2", all + " | nvr1~ nvr1#0 g2",
             "search -2", "=seen nvr1 nvr1#1 nvr2 nvr2#1 | nvr1~ nvr1#0 g2", "=expanded nvr2",
             "search NVR2", "=seen nvr2 nvr2#0 nvr2#1 | nvr1~ nvr1#0 g2",
             "toggle nvr2", "search doors", "=seen g1 | nvr1~ nvr1#0 nvr2 nvr2#0 nvr2#1 g2",
             "toggle g1", "search nvr2", "toggle nvr2",
             "=seen nvr2 nvr2#0 nvr2#1 | nvr1~ nvr1#0 g1 g2", "=marks @0 P", "=table nvr1#0",
             "search", all + " | nvr1~ nvr1#0 g1 g2"};
    // Viewing shows the groups held, with their sizes, above the table;
    // editing shows them in the tree, and the count follows every change.
    QTest::newRow("groups shown while viewing")
        << L{"load 0:nvr1#0 0:nvr1#1 2:g2 2:g1", "=summary Groups: Doors (2), Yard (1) | Channels: 2",
             "load 0:nvr1#0", "=summary - | Channels: 1",
             "edit on", "toggle g2", "=summary - | Channels: 2",
             "edit off", "=summary Groups: Yard (1) | Channels: 2"};
    // clang-format on
}

void tst_ChannelPowerTree::scenario()
{
    QFETCH(QStringList, steps);

    auto *search = m_panel->findChild<orlun_base::SearchBox *>("treeSearchBox");
    for (const QString &step : qAsConst(steps)) {
        const QString verb = step.section(' ', 0, 0), rest = step.section(' ', 1);
        const QStringList args = rest.split(' ', Qt::SkipEmptyParts);
        if (verb == "load") {
            load(args);
        } else if (verb == "toggle") {
            toggle(rest);
        } else if (verb == "search") {
            search->clear();
            QTest::keyClicks(search, rest);
        } else if (verb == "edit") {
            m_powerTable->setEditable(rest == "on");
        } else if (verb == "delete") {
            showHost();
            for (int row = 0; row < m_table->rowCount(); ++row) {
                if (m_table->item(row, 0)->data(Qt::UserRole) == rest)
                    QTest::mouseClick(
                        m_table->cellWidget(row, 6)->findChild<QPushButton *>("deleteBt"),
                        Qt::LeftButton);
            }
        } else if (verb == "=saved") {
            QCOMPARE(savedGrants(), idSet(args));
        } else if (verb == "=table") {
            QCOMPARE(tableIds(), idSet(args));
        } else if (verb == "=seen") {
            QCOMPARE(seen(), rest);
        } else if (verb == "=summary") {
            showHost();
            QCOMPARE(summary(), rest);
        } else if (verb == "=marks") {
            QString marks;
            for (const QString &id : args.mid(0, args.size() - 1)) {
                QTreeWidgetItem *it =
                    id == "@0" ? m_tree->getTreeWidget()->topLevelItem(0) : item(id);
                marks += checkLetter(it->checkState(0));
            }
            QCOMPARE(marks, args.last());
        } else if (verb == "=expanded") {
            QVERIFY(item(rest)->isExpanded());
        } else {
            FAIL_UNKNOWN_STEP(step);
        }
    }
}

QTEST_MAIN(tst_ChannelPowerTree)
#include "tst_ChannelPowerTree.moc"
