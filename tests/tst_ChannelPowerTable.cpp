#include <QCheckBox>
#include <QPointer>
#include <QPushButton>
#include <QtTest>

#include "BaseTools.h"
#include "ChannelPowerTable.h"
#include "DictDef.h"
#include "EditOperWt.h"
#include "SearchBox.h"
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

    void deleteButtonRemovesItsRow();
    void removeChannels();
    void keywordFilter_data();
    void keywordFilter();
    void headerClickSorting();
    void setEditable();
    void followsHostChanges();

private:
    static orlun_base::BaseTools &tools() { return orlun_base::BaseTools::_instance(); }
    // Channel n (zero-based) of the recorder, named "Lobby-<n+1>"; the
    // camera's one channel, "Gate-1".
    static QString lobby(int n) { return tools().formatChannelId("nvr1", n); }
    static QString gate() { return tools().formatChannelId("cam2", 0); }

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
    // Whether the row's delete button shows once its cell does (a cell makes
    // its buttons as it is polished).
    bool deleteBtShown(const QString &id) const
    {
        operOf(id)->ensurePolished();
        const QPushButton *bt = deleteBt(id);
        return bt && !bt->isHidden();
    }
    void addInOrder(const QStringList &list)
    {
        for (const QString &id : list)
            m_panel->setChannels(idSet(rowIds()) << id);
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
    QVERIFY(hostDevs().addDevice({"nvr1", "Lobby", "SN-1", 0, "10.0.0.1", 0, 0, 3, 12, ""}));
    QVERIFY(hostDevs().addDevice({"cam2", "Gate", "SN-2", 1, "10.0.0.2", 0, 1, 3, 1, ""}));
    m_panel.reset(new ChannelPowerTable);
    m_panel->resize(900, 500);
    m_panel->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_panel.get()));
}

void tst_ChannelPowerTable::deleteButtonRemovesItsRow()
{
    m_panel->setEditable(true);
    addInOrder({lobby(9), lobby(1), lobby(4)});
    QTest::mouseClick(m_panel->findChild<QWidget *>("channelIndex"), Qt::LeftButton);
    QTRY_VERIFY(deleteBt(lobby(4)) && deleteBt(lobby(4))->isVisible());
    // Made as its cell was polished, and polished right after it.
    QVERIFY(deleteBt(lobby(4))->testAttribute(Qt::WA_WState_Polished));

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
    typeKeyword("lobby");
    QSignalSpy removals(m_panel.get(), &ChannelPowerTable::signalRemoveChannels);
    QSignalSpy alerts(&orlun_worker::SystemAssistant::_instance(),
                      &orlun_worker::SystemAssistant::signalMessageAlerted);
    auto *removeBt = m_panel->findChild<QPushButton *>("removeChannelsBt");

    // Only the row the keyword hides is ticked: nothing to remove.
    QTest::mouseClick(removeBt, Qt::LeftButton);
    QCOMPARE(alerts, (QList<QVariantList>{{orlun_worker::DictDef::_instance().warningTitle,
                                           "Please select channels to delete"}}));
    QCOMPARE(idSet(rowIds()), all);

    cell(lobby(0), 0)->setCheckState(Qt::Checked);
    cell(lobby(2), 0)->setCheckState(Qt::Checked);
    QTest::mouseClick(removeBt, Qt::LeftButton);
    QCOMPARE(removals.count(), 1);
    QCOMPARE(removals.at(0).at(0).value<Ids>(), (Ids{lobby(0), lobby(2)}));
    QCOMPARE(shown(), QStringList{"1 Lobby-2"});
    QCOMPARE(alerts.count(), 1);
    QCOMPARE(cell(gate(), 0)->checkState(), Qt::Checked);
    // Removed ids are forgotten: handing them back makes new rows, while
    // rows that stay are not made again.
    QWidget *kept = operOf(lobby(1));
    m_panel->setChannels(all);
    QCOMPARE(table()->rowCount(), all.size());
    QCOMPARE(operOf(lobby(1)), kept);
    m_panel->setChannels({});
    QCOMPARE(table()->rowCount(), 0);
}

void tst_ChannelPowerTable::keywordFilter_data()
{
    QTest::addColumn<QStringList>("keywords");
    QTest::addColumn<QStringList>("names");

    using L = QStringList;
    QTest::newRow("name, in capitals") << L{"LOBBY-1"} << L{"Lobby-1", "Lobby-10"};
    QTest::newRow("brand") << L{"dahua"} << L{"Gate-1"};
    QTest::newRow("address") << L{"0.0.2"} << L{"Gate-1"};
    QTest::newRow("status not searched") << L{"offline"} << L{};
    QTest::newRow("narrow then widen")
        << L{"lobby-10", "lobby"} << L{"Lobby-1", "Lobby-2", "Lobby-10"};
    QTest::newRow("cleared") << L{"gate", ""} << L{"Lobby-1", "Lobby-2", "Lobby-10", "Gate-1"};
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
    // Only the channel header sorts; the right edge of the first cell is
    // clear of "All"'s check box.
    for (const char *name : {"orderNumWt", "oper"}) {
        auto *header = m_panel->findChild<QWidget *>(name);
        QTest::mouseClick(header, Qt::LeftButton, {}, QPoint(header->width() - 3, 5));
    }
    QCOMPARE(shown(), (QStringList{"1 Lobby-10", "2 Lobby-2", "3 Lobby-5"}));
    for (Qt::MouseButton button : {Qt::RightButton, Qt::LeftButton}) {
        QTest::mouseClick(m_panel->findChild<QWidget *>("channelIndex"), button);
        QCOMPARE(shown(), (QStringList{"1 Lobby-2", "2 Lobby-5", "3 Lobby-10"}));
    }
}

void tst_ChannelPowerTable::setEditable()
{
    auto *selAll = m_panel->findChild<QCheckBox *>("selAll");
    auto *removeBt = m_panel->findChild<QPushButton *>("removeChannelsBt");
    m_panel->setChannels({lobby(0)});
    QVERIFY(!deleteBtShown(lobby(0)));
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
            QCOMPARE(deleteBtShown(id), editable);
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
    cell(gate(), 5)->setText("untouched");
    cell(lobby(1), 5)->setText("stale");
    QVERIFY(hostDevs().setChannelStatus({"nvr1", 0}, vms_sdk::ChannelOnline));
    QCOMPARE(shown(5), (QStringList{"1 " + on, "2 " + off, "3 untouched"}));

    QVERIFY(hostDevs().renameChannel({"nvr1", 1}, "Hall"));
    QCOMPARE(shown(), (QStringList{"1 Lobby-1", "2 Hall", "3 Gate-1"}));
    QCOMPARE(cell(lobby(1), 1)->toolTip(), "Hall");

    QVERIFY(hostDevs().deleteChannels({{"nvr1", 0}}));
    QVERIFY(hostDevs().deleteDevice("cam2"));
    QCOMPARE(shown(), QStringList{"1 Hall"});
    QCOMPARE(removals.count(), 0);
}

QTEST_MAIN(tst_ChannelPowerTable)
#include "tst_ChannelPowerTable.moc"
