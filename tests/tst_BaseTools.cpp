#include <QTableWidget>
#include <QtTest>

#include "BaseTools.h"
#include "DevsMgrData.h"
#include "TestSupport.h"

#include <climits>

using orlun_base::BaseTools;
using ChannelKey = QPair<QString, int>;

class tst_BaseTools : public QObject
{
    Q_OBJECT

private slots:
    void init() { resetHostForTest(); }

    void channelId();
    void devInfo();
    void snOrBrandText();
    void channelStatus();
    void orderNumbers_data();
    void orderNumbers();
    void orderNumbersFollowSorting();
};

namespace {

// Rows whose column 1 holds the given names; the order column is empty.
void fillTable(QTableWidget *table, const QStringList &names)
{
    table->setColumnCount(2);
    table->setRowCount(names.size());
    for (int row = 0; row < names.size(); ++row)
        table->setItem(row, 1, new QTableWidgetItem(names.at(row)));
}

QStringList orderColumn(const QTableWidget *table)
{
    QStringList texts;
    for (int row = 0; row < table->rowCount(); ++row)
        texts << (table->item(row, 0) ? table->item(row, 0)->text() : QStringLiteral("<none>"));
    return texts;
}

} // namespace

void tst_BaseTools::channelId()
{
    BaseTools &tools = BaseTools::_instance();
    QCOMPARE(tools.formatChannelId(QStringLiteral("nvr#2"), 5), QStringLiteral("nvr#2#5"));
    // The last separator splits: device ids may contain it.
    for (const ChannelKey &key : {ChannelKey("dev1", 0), ChannelKey("nvr#2", 5),
                                  ChannelKey("##", 3), ChannelKey("big", INT_MAX)})
        QCOMPARE(tools.formatChannelId(tools.formatChannelId(key.first, key.second)), key);
    for (const char *bad :
         {"", "dev1", "dev1#", "#5", "dev1#x", "dev1#01", "dev1#+1", "dev1# 1", "dev1#99999999999"})
        QVERIFY2(tools.formatChannelId(QString::fromUtf8(bad)) == ChannelKey(QString(), -1), bad);
}

void tst_BaseTools::devInfo()
{
    vms_sdk::DevInfo info;
    info.devId = QStringLiteral("nvr#1");
    info.devSn = QStringLiteral("SN-0042");
    info.ip = QStringLiteral("10.0.0.7");
    info.port = 8000;
    info.snBrandKind1 = 1;
    info.snBrandKind2 = 3;
    info.channelCount = 1;
    QVERIFY(orlun_data::DevsMgrData::_instance().addDevice(info));

    const vms_sdk::DevInfo got = BaseTools::_instance().getDevInfo(QStringLiteral("nvr#1"));
    QCOMPARE(QStringList({got.devId, got.devSn, got.ip}),
             QStringList({"nvr#1", "SN-0042", "10.0.0.7"}));
    QCOMPARE(QList<int>({int(got.port), got.snBrandKind1, got.snBrandKind2}),
             QList<int>({8000, 1, 3}));

    QVERIFY(BaseTools::_instance().getDevInfo(QStringLiteral("nvr")).devId.isEmpty());
}

void tst_BaseTools::snOrBrandText()
{
    auto shown = [](int kind1, int kind2) {
        QTableWidgetItem item(QStringLiteral("stale"));
        BaseTools::_instance().updateItemSnOrBrandText(&item, QStringLiteral("SN-9F3A"), kind1,
                                                       kind2);
        return item.text() + QLatin1Char('|') + item.toolTip();
    };
    QCOMPARE(shown(0, 3), QStringLiteral("SN-9F3A|SN-9F3A"));
    QCOMPARE(shown(1, 1), QStringLiteral("Orlun|Orlun"));
    QCOMPARE(shown(1, 6), QStringLiteral("ONVIF|ONVIF"));
    QCOMPARE(shown(1, 99), QStringLiteral("Unknown|Unknown"));
    // Callers pass rows that may have no item yet.
    BaseTools::_instance().updateItemSnOrBrandText(nullptr, QStringLiteral("SN"), 0, 0);
    BaseTools::_instance().updateTableOrderNum(nullptr, 1);
}

void tst_BaseTools::channelStatus()
{
    auto shown = [](int status) {
        BaseTools &tools = BaseTools::_instance();
        return tools.strChannelStatus(QStringLiteral("dev1"), status) + QLatin1Char(' ') +
               tools.chanStatusTextColor(QStringLiteral("dev1"), status).name();
    };
    QCOMPARE(shown(vms_sdk::ChannelOffline), QStringLiteral("Offline #6c7586"));
    QCOMPARE(shown(vms_sdk::ChannelOnline), QStringLiteral("Online #30a46c"));
    QCOMPARE(shown(vms_sdk::ChannelAlarm), QStringLiteral("Alarm #e5484d"));
    QCOMPARE(shown(5), QStringLiteral("Unknown #6c7586"));
}

void tst_BaseTools::orderNumbers_data()
{
    QTest::addColumn<QList<int>>("hiddenRows");
    QTest::addColumn<int>("startNum");
    QTest::addColumn<QStringList>("expected");

    QTest::newRow("all shown") << QList<int>{} << 1 << QStringList{"1", "2", "3", "4", "5"};
    QTest::newRow("hidden rows skipped")
        << QList<int>{0, 2} << 10 << QStringList{"", "10", "<none>", "11", "12"};
}

void tst_BaseTools::orderNumbers()
{
    QFETCH(QList<int>, hiddenRows);
    QFETCH(int, startNum);
    QFETCH(QStringList, expected);

    QTableWidget table;
    fillTable(&table, {"a", "b", "c", "d", "e"});
    // Rows 0 and 3 carry numbers left over from an earlier count; row 2 has
    // no order item at all. A hidden row loses its old number (it would show
    // twice once the row is shown again) and gets no new item.
    table.setItem(0, 0, new QTableWidgetItem(QStringLiteral("9")));
    table.setItem(1, 0, new QTableWidgetItem);
    table.setItem(3, 0, new QTableWidgetItem(QStringLiteral("1")));
    table.setItem(4, 0, new QTableWidgetItem);
    for (int row : hiddenRows)
        table.setRowHidden(row, true);

    BaseTools::_instance().updateTableOrderNum(&table, startNum);

    QCOMPARE(orderColumn(&table), expected);
}

void tst_BaseTools::orderNumbersFollowSorting()
{
    QTableWidget table;
    fillTable(&table, {"delta", "alpha", "charlie", "bravo"});
    table.setRowHidden(2, true); // "charlie"
    BaseTools::_instance().updateTableOrderNum(&table, 1);

    table.sortByColumn(1, Qt::AscendingOrder);
    BaseTools::_instance().updateTableOrderNum(&table, 1);

    // alpha, bravo, charlie (hidden, so never given an order item), delta
    QCOMPARE(table.item(0, 1)->text(), QStringLiteral("alpha"));
    QCOMPARE(orderColumn(&table), (QStringList{"1", "2", "<none>", "3"}));

    // A table that sorts itself must keep its rows where they are while the
    // numbers are written, even when it sorts by the number column.
    table.setSortingEnabled(true);
    table.sortByColumn(1, Qt::DescendingOrder);
    BaseTools::_instance().updateTableOrderNum(&table, 1);
    QCOMPARE(table.item(0, 1)->text(), QStringLiteral("delta"));
    QCOMPARE(orderColumn(&table), (QStringList{"1", "<none>", "2", "3"}));
}

QTEST_MAIN(tst_BaseTools)
#include "tst_BaseTools.moc"
