#include <QCheckBox>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QSignalSpy>
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
#include "TestSupport.h"

#include <memory>

using orlun_base::EditOperWt;
using orlun_userMgr::ChannelPowerTable;

namespace {

orlun_data::DevsMgrData &devs()
{
    return TAMCOMMON::TamSingleton<orlun_data::DevsMgrData>::_instance();
}

orlun_base::BaseTools &tools()
{
    return TAMCOMMON::TamSingleton<orlun_base::BaseTools>::_instance();
}

void addDevice(const QString &devId, const QString &name, int type, const QString &sn,
               const QString &ip, int snKind)
{
    vms_sdk::DevInfo info;
    info.devId = devId;
    info.devName = name;
    info.devType = type;
    info.devSn = sn;
    info.ip = ip;
    info.snBrandKind1 = snKind;
    info.snBrandKind2 = 3; // a brand the client knows
    info.channelCount = 12;
    QVERIFY(devs().addDevice(info));
}

QSet<QString> toSet(const QStringList &ids)
{
    return QSet<QString>(ids.cbegin(), ids.cend());
}

} // namespace

class tst_ChannelPowerTable : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup() { m_panel.reset(); }

    void setChannels_data();
    void setChannels();
    void rowShowsChannelAndDevice();
    void deleteButtonRemovesItsRow();
    void removeChannels_data();
    void removeChannels();
    void keywordFilter_data();
    void keywordFilter();
    void rowAddedWhileFilteredStaysShown();
    void headerClickSorting_data();
    void headerClickSorting();
    void setEditable();
    void followsHostChanges();
    void refreshesDevicesAfterShow();

private:
    // Channel n (zero-based) of the recorder, named "Lobby-<n+1>".
    static QString lobby(int n) { return tools().formatChannelId("nvr1", n); }
    // The camera's one channel, "Gate-1".
    static QString gate() { return tools().formatChannelId("cam2", 0); }
    // The order numbers "1" to "n".
    static QStringList numbers(int n);

    QTableWidget *table() const { return m_panel->findChild<QTableWidget *>("channelsTable"); }
    QStringList rowIds() const;
    // Texts of a column on the rows not hidden, top to bottom.
    QStringList visible(int column) const;
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
    void setIds(const QStringList &ids) { m_panel->setChannels(toSet(ids)); }
    // Grows the set one id at a time, so the rows are made in this order.
    void addInOrder(const QStringList &ids)
    {
        for (const QString &id : ids)
            m_panel->setChannels(toSet(rowIds()) << id);
    }
    void typeKeyword(const QString &keyword);

    std::unique_ptr<ChannelPowerTable> m_panel;
};

QStringList tst_ChannelPowerTable::numbers(int n)
{
    QStringList texts;
    for (int i = 1; i <= n; ++i)
        texts << QString::number(i);
    return texts;
}

QStringList tst_ChannelPowerTable::rowIds() const
{
    QStringList ids;
    for (int row = 0; row < table()->rowCount(); ++row)
        ids << table()->item(row, 0)->data(Qt::UserRole).toString();
    return ids;
}

QStringList tst_ChannelPowerTable::visible(int column) const
{
    QStringList texts;
    for (int row = 0; row < table()->rowCount(); ++row) {
        if (!table()->isRowHidden(row))
            texts << table()->item(row, column)->text();
    }
    return texts;
}

void tst_ChannelPowerTable::typeKeyword(const QString &keyword)
{
    auto *box = m_panel->findChild<orlun_base::SearchBox *>("searchBox");
    box->selectAll();
    if (keyword.isEmpty())
        QTest::keyClick(box, Qt::Key_Backspace);
    else
        QTest::keyClicks(box, keyword);
}

void tst_ChannelPowerTable::init()
{
    resetHostForTest();
    addDevice("nvr1", "Lobby", 0, "SN-1", "10.0.0.1", 0);
    addDevice("cam2", "Gate", 1, "SN-2", "10.0.0.2", 1); // a camera, shown by brand
    m_panel.reset(new ChannelPowerTable);
    m_panel->resize(900, 500);
    m_panel->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_panel.get()));
}

void tst_ChannelPowerTable::setChannels_data()
{
    QTest::addColumn<QStringList>("before");
    QTest::addColumn<QStringList>("after");
    QTest::addColumn<QStringList>("appended");

    QTest::newRow("same set") << QStringList{lobby(0), lobby(1), gate()}
                              << QStringList{lobby(0), lobby(1), gate()} << QStringList{};
    QTest::newRow("empty set") << QStringList{lobby(0), lobby(1)} << QStringList{} << QStringList{};
    QTest::newRow("differences") << QStringList{lobby(0), lobby(1), lobby(2)}
                                 << QStringList{lobby(1), lobby(2), lobby(3)}
                                 << QStringList{lobby(3)};
}

void tst_ChannelPowerTable::setChannels()
{
    QFETCH(QStringList, before);
    QFETCH(QStringList, after);
    QFETCH(QStringList, appended);

    setIds(before);
    QMap<QString, QTableWidgetItem *> items;
    QMap<QString, QWidget *> opers;
    for (const QString &id : before) {
        items.insert(id, cell(id, 1));
        opers.insert(id, operOf(id));
    }

    setIds(after);
    const QStringList ids = rowIds();
    QCOMPARE(toSet(ids), toSet(after));
    QCOMPARE(ids.mid(ids.size() - appended.size()), appended);
    for (const QString &id : after) {
        if (!before.contains(id))
            continue;
        QCOMPARE(cell(id, 1), items.value(id));
        QCOMPARE(operOf(id), opers.value(id));
    }
    QCOMPARE(visible(0), numbers(after.size()));
}

void tst_ChannelPowerTable::rowShowsChannelAndDevice()
{
    setIds({lobby(2), gate(), QStringLiteral("ghost#0")});
    QCOMPARE(table()->rowCount(), 3);

    QCOMPARE(cell(lobby(2), 1)->text(), QStringLiteral("Lobby-3"));
    QCOMPARE(cell(lobby(2), 1)->toolTip(), QStringLiteral("Lobby-3"));
    QCOMPARE(cell(lobby(2), 2)->text(), QStringLiteral("SN-1"));
    QCOMPARE(cell(lobby(2), 3)->text(), QStringLiteral("10.0.0.1"));
    QCOMPARE(cell(lobby(2), 4)->data(Qt::DisplayRole), QVariant(3));
    QCOMPARE(cell(lobby(2), 5)->text(), tools().strChannelStatus("nvr1", vms_sdk::ChannelOffline));
    QCOMPARE(cell(gate(), 2)->text(), QStringLiteral("Dahua"));

    // Not editable yet: nothing can be ticked or deleted.
    QTableWidgetItem *order = cell(lobby(2), 0);
    QCOMPARE(order->checkState(), Qt::Unchecked);
    QVERIFY(!(order->flags() & Qt::ItemIsUserCheckable));
    QVERIFY(deleteBt(lobby(2))->isHidden());
    QVERIFY(operOf(lobby(2))->findChild<QPushButton *>("editBt")->isHidden());
}

void tst_ChannelPowerTable::deleteButtonRemovesItsRow()
{
    m_panel->setEditable(true);
    addInOrder({lobby(9), lobby(1), lobby(4)});
    // Sorting moves the rows away from where they were made.
    QTest::mouseClick(m_panel->findChild<QLabel *>("channelIndex"), Qt::LeftButton);
    QTRY_VERIFY(deleteBt(lobby(4))->isVisible());

    QPointer<EditOperWt> oper = operOf(lobby(4));
    bool operAliveDuringEmission = false;
    QSignalSpy spy(m_panel.get(), &ChannelPowerTable::signalRemoveChannels);
    connect(m_panel.get(), &ChannelPowerTable::signalRemoveChannels, this,
            [&]() { operAliveDuringEmission = !oper.isNull(); });
    QTest::mouseClick(deleteBt(lobby(4)), Qt::LeftButton);

    QCOMPARE(spy.count(), 1);
    QCOMPARE(spy.at(0).at(0).value<QSet<QString>>(), QSet<QString>{lobby(4)});
    QVERIFY(operAliveDuringEmission);
    QCOMPARE(rowIds(), (QStringList{lobby(1), lobby(9)}));
    QCOMPARE(visible(0), numbers(2));
    QTRY_VERIFY(oper.isNull());
}

void tst_ChannelPowerTable::removeChannels_data()
{
    QTest::addColumn<QStringList>("checked");
    QTest::addColumn<QString>("keyword");
    QTest::addColumn<QStringList>("removed");

    QTest::newRow("checked rows") << QStringList{lobby(0), lobby(2)} << QString()
                                  << QStringList{lobby(0), lobby(2)};
    QTest::newRow("hidden checked rows stay")
        << QStringList{lobby(0), gate()} << QStringLiteral("gate") << QStringList{gate()};
    QTest::newRow("none checked") << QStringList{} << QString() << QStringList{};
    QTest::newRow("only hidden checked")
        << QStringList{lobby(0)} << QStringLiteral("gate") << QStringList{};
}

void tst_ChannelPowerTable::removeChannels()
{
    QFETCH(QStringList, checked);
    QFETCH(QString, keyword);
    QFETCH(QStringList, removed);

    const QStringList all{lobby(0), lobby(1), lobby(2), gate()};
    m_panel->setEditable(true);
    setIds(all);
    for (const QString &id : checked)
        cell(id, 0)->setCheckState(Qt::Checked);
    typeKeyword(keyword);

    QSignalSpy removals(m_panel.get(), &ChannelPowerTable::signalRemoveChannels);
    QSignalSpy alerts(&TAMCOMMON::TamSingleton<orlun_worker::SystemAssistant>::_instance(),
                      &orlun_worker::SystemAssistant::signalMessageAlerted);
    QTest::mouseClick(m_panel->findChild<QPushButton *>("removeChannelsBt"), Qt::LeftButton);

    QCOMPARE(toSet(rowIds()), toSet(all) - toSet(removed));
    if (removed.isEmpty()) {
        QCOMPARE(removals.count(), 0);
        QCOMPARE(alerts.count(), 1);
        QCOMPARE(alerts.at(0).at(0).toString(),
                 TAMCOMMON::TamSingleton<orlun_worker::DictDef>::_instance().warningTitle);
        QCOMPARE(alerts.at(0).at(1).toString(), QStringLiteral("Please select channels to delete"));
    } else {
        QCOMPARE(alerts.count(), 0);
        QCOMPARE(removals.count(), 1);
        QCOMPARE(removals.at(0).at(0).value<QSet<QString>>(), toSet(removed));
    }
    // What the keyword hid is still ticked.
    for (const QString &id : rowIds())
        QCOMPARE(cell(id, 0)->checkState(), checked.contains(id) ? Qt::Checked : Qt::Unchecked);
    // Removed ids are forgotten: handing them back makes new rows.
    setIds(all);
    QCOMPARE(table()->rowCount(), all.size());
}

void tst_ChannelPowerTable::keywordFilter_data()
{
    QTest::addColumn<QStringList>("keywords");
    QTest::addColumn<QStringList>("shown");

    QTest::newRow("capitals") << QStringList{"LOBBY-1"} << QStringList{"Lobby-1", "Lobby-10"};
    QTest::newRow("brand column") << QStringList{"dahua"} << QStringList{"Gate-1"};
    QTest::newRow("serial column")
        << QStringList{"sn-1"} << QStringList{"Lobby-1", "Lobby-2", "Lobby-10"};
    QTest::newRow("address column") << QStringList{"0.0.2"} << QStringList{"Gate-1"};
    QTest::newRow("status not searched") << QStringList{"offline"} << QStringList{};
    QTest::newRow("narrow then widen")
        << QStringList{"lobby-10", "lobby"} << QStringList{"Lobby-1", "Lobby-2", "Lobby-10"};
    QTest::newRow("cleared") << QStringList{"gate", ""}
                             << QStringList{"Lobby-1", "Lobby-2", "Lobby-10", "Gate-1"};
}

void tst_ChannelPowerTable::keywordFilter()
{
    QFETCH(QStringList, keywords);
    QFETCH(QStringList, shown);

    addInOrder({lobby(0), lobby(1), lobby(9), gate()});
    for (const QString &keyword : keywords)
        typeKeyword(keyword);

    QCOMPARE(visible(1), shown);
    QCOMPARE(visible(0), numbers(shown.size()));
}

void tst_ChannelPowerTable::rowAddedWhileFilteredStaysShown()
{
    setIds({gate(), lobby(0)});
    typeKeyword(QStringLiteral("gate"));
    setIds({gate(), lobby(0), lobby(5)});
    QCOMPARE(visible(1), (QStringList{"Gate-1", "Lobby-6"}));
}

void tst_ChannelPowerTable::headerClickSorting_data()
{
    QTest::addColumn<QString>("cell");
    QTest::addColumn<int>("button"); // Qt::MouseButton
    QTest::addColumn<QList<int>>("channels");

    QTest::newRow("channel index") << "channelIndex" << int(Qt::LeftButton) << QList<int>{1, 4, 9};
    QTest::newRow("right button") << "channelIndex" << int(Qt::RightButton) << QList<int>{1, 4, 9};
    QTest::newRow("channel name") << "channelName" << int(Qt::LeftButton) << QList<int>{1, 4, 9};
    QTest::newRow("all cell") << "orderNumWt" << int(Qt::LeftButton) << QList<int>{9, 1, 4};
    QTest::newRow("operation") << "oper" << int(Qt::LeftButton) << QList<int>{9, 1, 4};
}

void tst_ChannelPowerTable::headerClickSorting()
{
    QFETCH(QString, cell);
    QFETCH(int, button);
    QFETCH(QList<int>, channels);

    addInOrder({lobby(9), lobby(1), lobby(4)});
    auto *header = m_panel->findChild<QWidget *>(cell);
    // Right edge of the cell: clear of "All"'s check box.
    QTest::mouseClick(header, Qt::MouseButton(button), Qt::NoModifier,
                      QPoint(header->width() - 3, 5));

    QStringList expected;
    for (int n : channels)
        expected << lobby(n);
    QCOMPARE(rowIds(), expected);
    QCOMPARE(visible(0), numbers(3));
}

void tst_ChannelPowerTable::setEditable()
{
    auto *selAll = m_panel->findChild<QCheckBox *>("selAll");
    auto *removeBt = m_panel->findChild<QPushButton *>("removeChannelsBt");
    QVERIFY(!removeBt->isVisible());

    m_panel->setEditable(true);
    setIds({lobby(0), lobby(1)});
    QTest::mouseClick(selAll, Qt::LeftButton, Qt::NoModifier, QPoint(5, selAll->height() / 2));
    QVERIFY(selAll->isChecked());
    QCOMPARE(table()->item(0, 0)->checkState(), Qt::Checked);

    for (bool editable : {false, true}) {
        m_panel->setEditable(editable);
        QCOMPARE(selAll->isChecked(), false);
        QCOMPARE(selAll->isCheckable(), editable);
        QCOMPARE(removeBt->isVisible(), editable);
        for (int row = 0; row < table()->rowCount(); ++row) {
            const QTableWidgetItem *item = table()->item(row, 0);
            QCOMPARE(item->checkState(), Qt::Unchecked);
            QCOMPARE(bool(item->flags() & Qt::ItemIsUserCheckable), editable);
            QCOMPARE(deleteBt(rowIds().at(row))->isHidden(), !editable);
        }
    }
}

void tst_ChannelPowerTable::followsHostChanges()
{
    setIds({lobby(0), lobby(1), gate()});
    QSignalSpy removals(m_panel.get(), &ChannelPowerTable::signalRemoveChannels);

    // Marks that only a refresh of that very row would overwrite.
    cell(gate(), 5)->setText(QStringLiteral("untouched"));
    cell(lobby(1), 5)->setText(QStringLiteral("stale"));
    QVERIFY(devs().setChannelStatus({"nvr1", 0}, vms_sdk::ChannelOnline));
    QCOMPARE(cell(lobby(0), 5)->text(), tools().strChannelStatus("nvr1", vms_sdk::ChannelOnline));
    QCOMPARE(cell(lobby(0), 5)->data(Qt::ForegroundRole).value<QColor>(),
             tools().chanStatusTextColor("nvr1", vms_sdk::ChannelOnline));
    QCOMPARE(cell(lobby(1), 5)->text(), tools().strChannelStatus("nvr1", vms_sdk::ChannelOffline));
    QCOMPARE(cell(gate(), 5)->text(), QStringLiteral("untouched"));

    QVERIFY(devs().renameChannel({"nvr1", 1}, QStringLiteral("Hall")));
    QCOMPARE(cell(lobby(1), 1)->text(), QStringLiteral("Hall"));
    QCOMPARE(cell(lobby(1), 1)->toolTip(), QStringLiteral("Hall"));
    QCOMPARE(cell(lobby(0), 1)->text(), QStringLiteral("Lobby-1"));

    QVERIFY(devs().deleteChannels({{"nvr1", 0}}));
    QVERIFY(devs().deleteDevice(QStringLiteral("cam2")));
    QCOMPARE(rowIds(), QStringList{lobby(1)});
    QCOMPARE(visible(0), numbers(1));
    QCOMPARE(removals.count(), 0);
}

void tst_ChannelPowerTable::refreshesDevicesAfterShow()
{
    m_panel->hide();
    setIds({lobby(0), gate(), lobby(1), QStringLiteral("ghost#0")});
    QSqlQuery query(TAMCOMMON::TamSingleton<orlun_data::DataStore>::_instance().database());
    QVERIFY(query.exec(QStringLiteral("UPDATE devices SET sn = 'SN-9', ip = '10.9.9.9'"
                                      " WHERE dev_id = 'nvr1'")));
    devs().reload();

    m_panel->show();
    for (const QString &id : {lobby(0), lobby(1)}) {
        QTRY_COMPARE(cell(id, 2)->text(), QStringLiteral("SN-9"));
        QTRY_COMPARE(cell(id, 3)->text(), QStringLiteral("10.9.9.9"));
    }
    // A channel of a device the host does not know keeps its row as made.
    QCOMPARE(cell(QStringLiteral("ghost#0"), 3)->text(), QString());
}

QTEST_MAIN(tst_ChannelPowerTable)
#include "tst_ChannelPowerTable.moc"
