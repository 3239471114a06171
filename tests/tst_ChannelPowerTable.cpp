#include <QCheckBox>
#include <QPointer>
#include <QPushButton>
#include <QSqlQuery>
#include <QTableWidget>
#include <QtTest>

#include "BaseTools.h"
#include "ChannelPowerTable.h"
#include "DataStore.h"
#include "DevsMgrData.h"
#include "DictDef.h"
#include "EditOperWt.h"
#include "SearchBox.h"
#include "SystemAssistant.h"
#include "TamTableWidget.h"
#include "TestSupport.h"

#include <memory>

using orlun_base::EditOperWt;
using orlun_userMgr::ChannelPowerTable;
using Ids = QSet<QString>;

class tst_ChannelPowerTable : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup() { m_panel.reset(); }

    void setChannels();
    void deleteButtonRemovesItsRow();
    void removeChannels();
    void keywordFilter_data();
    void keywordFilter();
    void headerClickSorting();
    void setEditable();
    void followsHostChanges();
    void refreshesDevicesAfterShow();
    void busyCursorWhileLarge_data();
    void busyCursorWhileLarge();
    void largeTableKeepsRowsAndWidgetsTogether_data();
    void largeTableKeepsRowsAndWidgetsTogether();

private:
    static orlun_base::BaseTools &tools() { return orlun_base::BaseTools::_instance(); }
    static orlun_data::DevsMgrData &devs() { return orlun_data::DevsMgrData::_instance(); }
    // Channel n (zero-based) of the recorder, named "Lobby-<n+1>"; the
    // camera's one channel, "Gate-1".
    static QString lobby(int n) { return tools().formatChannelId("nvr1", n); }
    static QString gate() { return tools().formatChannelId("cam2", 0); }
    static Ids ids(const QStringList &list) { return Ids(list.cbegin(), list.cend()); }

    TAMCOMMON::TamTableWidget *table() const
    {
        return m_panel->findChild<TAMCOMMON::TamTableWidget *>("channelsTable");
    }
    QStringList rowIds() const
    {
        QStringList list;
        for (int row = 0; row < table()->rowCount(); ++row)
            list << table()->item(row, 0)->data(Qt::UserRole).toString();
        return list;
    }
    // The rows not hidden, top to bottom, as "<order number> <text of column>".
    QStringList shown(int column = 1) const
    {
        QStringList texts;
        for (int row = 0; row < table()->rowCount(); ++row) {
            if (!table()->isRowHidden(row))
                texts << table()->item(row, 0)->text() + ' ' + table()->item(row, column)->text();
        }
        return texts;
    }
    QTableWidgetItem *cell(const QString &id, int column) const
    {
        return table()->item(rowIds().indexOf(id), column);
    }
    EditOperWt *operOf(const QString &id) const
    {
        return qobject_cast<EditOperWt *>(table()->cellWidget(rowIds().indexOf(id), 6));
    }
    QPushButton *deleteBt(const QString &id) const
    {
        return operOf(id)->findChild<QPushButton *>("deleteBt");
    }
    // Grows the set one id at a time, so the rows are made in this order.
    void addInOrder(const QStringList &list)
    {
        for (const QString &id : list)
            m_panel->setChannels(ids(rowIds()) << id);
    }
    void typeKeyword(const QString &keyword)
    {
        auto *box = m_panel->findChild<orlun_base::SearchBox *>("searchBox");
        box->selectAll();
        if (keyword.isEmpty())
            QTest::keyClick(box, Qt::Key_Backspace);
        else
            QTest::keyClicks(box, keyword);
    }

    std::unique_ptr<ChannelPowerTable> m_panel;
};

void tst_ChannelPowerTable::init()
{
    resetHostForTest();
    // The recorder shows its serial number, the camera its brand (kind 3).
    QVERIFY(devs().addDevice({"nvr1", "Lobby", "SN-1", 0, "10.0.0.1", 0, 0, 3, 12, ""}));
    QVERIFY(devs().addDevice({"cam2", "Gate", "SN-2", 1, "10.0.0.2", 0, 1, 3, 1, ""}));
    m_panel.reset(new ChannelPowerTable);
    m_panel->resize(900, 500);
    m_panel->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_panel.get()));
}

void tst_ChannelPowerTable::setChannels()
{
    addInOrder({lobby(0), lobby(1), lobby(2)});
    QWidget *kept = operOf(lobby(1));

    // Only the differences change: rows that stay are not made again.
    m_panel->setChannels({lobby(3), lobby(1), lobby(2)});
    QCOMPARE(shown(), (QStringList{"1 Lobby-2", "2 Lobby-3", "3 Lobby-4"}));
    m_panel->setChannels({lobby(3), lobby(1), lobby(2)});
    QCOMPARE(rowIds(), (QStringList{lobby(1), lobby(2), lobby(3)}));
    QCOMPARE(operOf(lobby(1)), kept);
    m_panel->setChannels({});
    QCOMPARE(table()->rowCount(), 0);
}

void tst_ChannelPowerTable::deleteButtonRemovesItsRow()
{
    m_panel->setEditable(true);
    addInOrder({lobby(9), lobby(1), lobby(4)});
    // Sorting moves the rows away from where they were made.
    QTest::mouseClick(m_panel->findChild<QWidget *>("channelIndex"), Qt::LeftButton);
    QTRY_VERIFY(deleteBt(lobby(4))->isVisible());

    QPointer<EditOperWt> oper = operOf(lobby(4));
    QList<Ids> removed;
    connect(m_panel.get(), &ChannelPowerTable::signalRemoveChannels, this, [&](const Ids &set) {
        // The clicked row's widget is still emitting: it must outlive this.
        QVERIFY(oper);
        removed << set;
    });
    QTest::mouseClick(deleteBt(lobby(4)), Qt::LeftButton);

    QCOMPARE(removed, QList<Ids>{Ids{lobby(4)}});
    QCOMPARE(shown(), (QStringList{"1 Lobby-2", "2 Lobby-10"}));
    QTRY_VERIFY(oper.isNull());
}

void tst_ChannelPowerTable::removeChannels()
{
    const Ids all{lobby(0), lobby(1), lobby(2), gate()};
    m_panel->setEditable(true);
    m_panel->setChannels(all);
    cell(gate(), 0)->setCheckState(Qt::Checked);
    typeKeyword(QStringLiteral("lobby"));
    QSignalSpy removals(m_panel.get(), &ChannelPowerTable::signalRemoveChannels);
    QSignalSpy alerts(&orlun_worker::SystemAssistant::_instance(),
                      &orlun_worker::SystemAssistant::signalMessageAlerted);
    auto *removeBt = m_panel->findChild<QPushButton *>("removeChannelsBt");

    // Only the row the keyword hides is ticked: nothing to remove.
    QTest::mouseClick(removeBt, Qt::LeftButton);
    QCOMPARE(alerts, (QList<QVariantList>{{orlun_worker::DictDef::_instance().warningTitle,
                                           "Please select channels to delete"}}));
    QCOMPARE(ids(rowIds()), all);

    cell(lobby(0), 0)->setCheckState(Qt::Checked);
    cell(lobby(2), 0)->setCheckState(Qt::Checked);
    QTest::mouseClick(removeBt, Qt::LeftButton);
    QCOMPARE(removals.count(), 1);
    QCOMPARE(removals.at(0).at(0).value<Ids>(), (Ids{lobby(0), lobby(2)}));
    QCOMPARE(shown(), QStringList{"1 Lobby-2"});
    QCOMPARE(alerts.count(), 1);
    QCOMPARE(cell(gate(), 0)->checkState(), Qt::Checked);
    // Removed ids are forgotten: handing them back makes new rows.
    m_panel->setChannels(all);
    QCOMPARE(table()->rowCount(), all.size());
}

void tst_ChannelPowerTable::keywordFilter_data()
{
    QTest::addColumn<QStringList>("keywords");
    QTest::addColumn<QStringList>("names");

    QTest::newRow("name, in capitals")
        << QStringList{"LOBBY-1"} << QStringList{"Lobby-1", "Lobby-10"};
    QTest::newRow("brand") << QStringList{"dahua"} << QStringList{"Gate-1"};
    QTest::newRow("address") << QStringList{"0.0.2"} << QStringList{"Gate-1"};
    QTest::newRow("status not searched") << QStringList{"offline"} << QStringList{};
    QTest::newRow("narrow then widen")
        << QStringList{"lobby-10", "lobby"} << QStringList{"Lobby-1", "Lobby-2", "Lobby-10"};
    QTest::newRow("cleared") << QStringList{"gate", ""}
                             << QStringList{"Lobby-1", "Lobby-2", "Lobby-10", "Gate-1"};
}

void tst_ChannelPowerTable::keywordFilter()
{
    QFETCH(QStringList, keywords);
    QFETCH(QStringList, names);

    addInOrder({lobby(0), lobby(1), lobby(9), gate()});
    for (const QString &keyword : keywords)
        typeKeyword(keyword);
    QStringList expected;
    for (const QString &name : names)
        expected << QString::number(expected.size() + 1) + ' ' + name;
    QCOMPARE(shown(), expected);

    // A row made later is shown whatever the keyword, until the next filter.
    addInOrder({lobby(5)});
    QCOMPARE(shown().mid(names.size()),
             QStringList{QString::number(names.size() + 1) + " Lobby-6"});
}

void tst_ChannelPowerTable::headerClickSorting()
{
    addInOrder({lobby(9), lobby(1), lobby(4)});
    auto clickHeader = [this](const char *name, Qt::MouseButton button) {
        auto *header = m_panel->findChild<QWidget *>(name);
        // Right edge of the cell: clear of "All"'s check box.
        QTest::mouseClick(header, button, Qt::NoModifier, QPoint(header->width() - 3, 5));
    };
    clickHeader("orderNumWt", Qt::LeftButton);
    clickHeader("oper", Qt::LeftButton);
    QCOMPARE(shown(), (QStringList{"1 Lobby-10", "2 Lobby-2", "3 Lobby-5"}));
    // Any button sorts, always ascending and by number.
    for (Qt::MouseButton button : {Qt::RightButton, Qt::LeftButton}) {
        clickHeader("channelIndex", button);
        QCOMPARE(shown(), (QStringList{"1 Lobby-2", "2 Lobby-5", "3 Lobby-10"}));
    }
}

void tst_ChannelPowerTable::setEditable()
{
    auto *selAll = m_panel->findChild<QCheckBox *>("selAll");
    auto *removeBt = m_panel->findChild<QPushButton *>("removeChannelsBt");
    m_panel->setChannels({lobby(0)});
    QVERIFY(deleteBt(lobby(0))->isHidden());
    m_panel->setEditable(true);
    addInOrder({lobby(1)});
    QTest::mouseClick(selAll, Qt::LeftButton, Qt::NoModifier, QPoint(5, selAll->height() / 2));
    QCOMPARE(cell(lobby(1), 0)->checkState(), Qt::Checked);

    for (bool editable : {false, true}) {
        m_panel->setEditable(editable);
        QCOMPARE(selAll->isChecked(), false);
        QCOMPARE(selAll->isCheckable(), editable);
        QCOMPARE(removeBt->isVisible(), editable);
        for (const QString &id : {lobby(0), lobby(1)}) {
            QCOMPARE(cell(id, 0)->checkState(), Qt::Unchecked);
            QCOMPARE(bool(cell(id, 0)->flags() & Qt::ItemIsUserCheckable), editable);
            QCOMPARE(deleteBt(id)->isHidden(), !editable);
        }
    }
}

void tst_ChannelPowerTable::followsHostChanges()
{
    addInOrder({lobby(0), lobby(1), gate()});
    QSignalSpy removals(m_panel.get(), &ChannelPowerTable::signalRemoveChannels);
    const QString on = tools().strChannelStatus("nvr1", vms_sdk::ChannelOnline);
    const QString off = tools().strChannelStatus("nvr1", vms_sdk::ChannelOffline);
    QCOMPARE(shown(5), (QStringList{"1 " + off, "2 " + off, "3 " + off}));

    // Marks that only a refresh of that very row would overwrite.
    cell(gate(), 5)->setText(QStringLiteral("untouched"));
    cell(lobby(1), 5)->setText(QStringLiteral("stale"));
    QVERIFY(devs().setChannelStatus({"nvr1", 0}, vms_sdk::ChannelOnline));
    QCOMPARE(shown(5), (QStringList{"1 " + on, "2 " + off, "3 untouched"}));
    QCOMPARE(cell(lobby(0), 5)->data(Qt::ForegroundRole).value<QColor>(),
             tools().chanStatusTextColor("nvr1", vms_sdk::ChannelOnline));

    QVERIFY(devs().renameChannel({"nvr1", 1}, QStringLiteral("Hall")));
    QCOMPARE(shown(), (QStringList{"1 Lobby-1", "2 Hall", "3 Gate-1"}));
    QCOMPARE(cell(lobby(1), 1)->toolTip(), QStringLiteral("Hall"));

    QVERIFY(devs().deleteChannels({{"nvr1", 0}}));
    QVERIFY(devs().deleteDevice(QStringLiteral("cam2")));
    QCOMPARE(shown(), QStringList{"1 Hall"});
    QCOMPARE(removals.count(), 0);
}

void tst_ChannelPowerTable::refreshesDevicesAfterShow()
{
    m_panel->hide();
    addInOrder({lobby(0), gate(), lobby(1), QStringLiteral("ghost#0")});
    // Serial number or brand, and address, as the rows were made.
    QCOMPARE(shown(2), (QStringList{"1 SN-1", "2 Dahua", "3 SN-1", "4 "}));
    QCOMPARE(shown(3), (QStringList{"1 10.0.0.1", "2 10.0.0.2", "3 10.0.0.1", "4 "}));
    QSqlQuery query(orlun_data::DataStore::_instance().database());
    QVERIFY(query.exec(QStringLiteral("UPDATE devices SET sn = 'SN-9', ip = '10.9.9.9'"
                                      " WHERE dev_id = 'nvr1'")));
    devs().reload();

    m_panel->show();
    QTRY_COMPARE(shown(2), (QStringList{"1 SN-9", "2 Dahua", "3 SN-9", "4 "}));
    QTRY_COMPARE(shown(3), (QStringList{"1 10.9.9.9", "2 10.0.0.2", "3 10.9.9.9", "4 "}));
}

void tst_ChannelPowerTable::largeTableKeepsRowsAndWidgetsTogether_data()
{
    QTest::addColumn<QString>("before");
    QTest::newRow("sorted by name") << "sort";
    QTest::newRow("filtered by a keyword") << "filter";
    QTest::newRow("other rows removed meanwhile") << "remove others";
    QTest::newRow("scrolled to the end") << "scroll";
}

// Far more rows than fit in view, so most operation widgets are not placed;
// a person clicks the delete button of the first row in view.
void tst_ChannelPowerTable::largeTableKeepsRowsAndWidgetsTogether()
{
    QFETCH(QString, before);
    constexpr int Channels = 400;
    QVERIFY(devs().addDevice({"nvr9", "Hall", "SN-9", 0, "10.0.0.9", 0, 0, 0, Channels, ""}));
    Ids all;
    for (int n = 0; n < Channels; ++n)
        all << tools().formatChannelId("nvr9", n);
    m_panel->setEditable(true);
    m_panel->setChannels(all);
    // A removal first, so that rows are no longer where they were made.
    m_panel->setChannels(Ids(all).subtract({tools().formatChannelId("nvr9", 7)}));
    QSignalSpy removed(m_panel.get(), &ChannelPowerTable::signalRemoveChannels);

    if (before == QLatin1String("sort")) {
        QTest::mouseClick(m_panel->findChild<QWidget *>("channelName"), Qt::LeftButton);
    } else if (before == QLatin1String("filter")) {
        typeKeyword(QStringLiteral("hall-2"));
    } else if (before == QLatin1String("remove others")) {
        // Whoever hears of the removal drops half of the rows at once.
        connect(m_panel.get(), &ChannelPowerTable::signalRemoveChannels, m_panel.get(), [&] {
            Ids half;
            for (const QString &id : rowIds()) {
                if (qHash(id) % 2)
                    half << id;
            }
            m_panel->setChannels(half);
        });
    } else if (before == QLatin1String("scroll")) {
        table()->scrollToBottom();
    } else {
        QFAIL(qPrintable(before));
    }

    int top = -1;
    QTRY_VERIFY((top = table()->rowAt(5)) >= 0 && operOf(rowIds().at(top))->isVisible());
    const QString clicked = rowIds().at(top);
    QTest::mouseClick(deleteBt(clicked), Qt::LeftButton);
    QCOMPARE(removed.count(), 1);
    QCOMPARE(removed.at(0).at(0).value<Ids>(), Ids{clicked});
    QVERIFY(!rowIds().contains(clicked));

    // Every row still has its own widget; those in view are shown and placed.
    for (int row = 0; row < table()->rowCount(); ++row) {
        auto *oper = qobject_cast<EditOperWt *>(table()->cellWidget(row, 6));
        QVERIFY(oper);
        QCOMPARE(oper->id(), rowIds().at(row));
        QCOMPARE(table()->row(table()->item(row, 1)), row);
        const QRect cellRect = table()->visualRect(table()->model()->index(row, 6));
        if (!table()->isRowHidden(row) && cellRect.intersects(table()->viewport()->rect())) {
            QTRY_VERIFY(oper->isVisible());
            QCOMPARE(oper->geometry(), cellRect);
        }
    }
}

void tst_ChannelPowerTable::busyCursorWhileLarge_data()
{
    QTest::addColumn<int>("channels");
    QTest::addColumn<bool>("busy");
    QTest::newRow("a few rows") << 40 << false;
    QTest::newRow("a large site's rows") << 2100 << true;
}

void tst_ChannelPowerTable::busyCursorWhileLarge()
{
    QFETCH(int, channels);
    QFETCH(bool, busy);
    QVERIFY(devs().addDevice({"nvr9", "Hall", "SN-9", 0, "10.0.0.9", 0, 0, 0, channels, ""}));
    Ids all;
    for (int n = 0; n < channels; ++n)
        all << tools().formatChannelId("nvr9", n);
    // What the cursor is while rows are being made and while they go.
    QList<bool> busyMeanwhile;
    const auto note = [&] {
        const QCursor *cursor = QApplication::overrideCursor();
        busyMeanwhile << (cursor && cursor->shape() == Qt::BusyCursor);
    };
    connect(table()->model(), &QAbstractItemModel::rowsInserted, this, note);
    connect(table()->model(), &QAbstractItemModel::rowsRemoved, this, note);
    m_panel->setChannels(all);
    m_panel->setChannels({});
    QCOMPARE(busyMeanwhile.size(), 2 * channels);
    QCOMPARE(busyMeanwhile.count(busy), 2 * channels);
    QVERIFY(!QApplication::overrideCursor());
}

QTEST_MAIN(tst_ChannelPowerTable)
#include "tst_ChannelPowerTable.moc"
