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

    void channelIdRoundTrip_data();
    void channelIdRoundTrip();
    void malformedChannelId_data();
    void malformedChannelId();
    void devInfo();
    void snOrBrandText_data();
    void snOrBrandText();
    void snOrBrandTextIgnoresNullItem();
    void channelStatus_data();
    void channelStatus();
    void orderNumbers_data();
    void orderNumbers();
    void orderNumbersFollowSorting();

private:
    // Rows whose column 1 holds the given names; the order column is empty.
    static void fillTable(QTableWidget *table, const QStringList &names);
    static QStringList orderColumn(const QTableWidget *table);
};

void tst_BaseTools::fillTable(QTableWidget *table, const QStringList &names)
{
    table->setColumnCount(2);
    table->setRowCount(names.size());
    for (int row = 0; row < names.size(); ++row)
        table->setItem(row, 1, new QTableWidgetItem(names.at(row)));
}

QStringList tst_BaseTools::orderColumn(const QTableWidget *table)
{
    QStringList texts;
    for (int row = 0; row < table->rowCount(); ++row)
        texts << (table->item(row, 0) ? table->item(row, 0)->text() : QStringLiteral("<none>"));
    return texts;
}

void tst_BaseTools::channelIdRoundTrip_data()
{
    QTest::addColumn<QString>("devId");
    QTest::addColumn<int>("channelNo");

    QTest::newRow("plain, channel 0") << "dev1" << 0;
    QTest::newRow("separator inside") << "nvr#2" << 5;
    QTest::newRow("separator at the end") << "nvr#" << 1;
    QTest::newRow("only separators") << "##" << 3;
    QTest::newRow("looks like a channel id") << "dev#7" << 7;
    QTest::newRow("spaces") << " lobby cam " << 12;
    QTest::newRow("unicode") << QStringLiteral("摄像机-Ωé") << 9;
    QTest::newRow("largest channel number") << "big" << INT_MAX;
}

void tst_BaseTools::channelIdRoundTrip()
{
    QFETCH(QString, devId);
    QFETCH(int, channelNo);
    BaseTools &tools = BaseTools::_instance();

    const QString id = tools.formatChannelId(devId, channelNo);
    QCOMPARE(tools.formatChannelId(id), ChannelKey(devId, channelNo));
    // Different channels of one device must never share an id.
    QVERIFY(tools.formatChannelId(devId, channelNo == 0 ? 1 : 0) != id);
}

void tst_BaseTools::malformedChannelId_data()
{
    QTest::addColumn<QString>("channelId");

    QTest::newRow("empty") << "";
    QTest::newRow("no separator") << "dev1";
    QTest::newRow("no number") << "dev1#";
    QTest::newRow("empty device id") << "#5";
    QTest::newRow("not a number") << "dev1#x";
    QTest::newRow("negative") << "dev1#-1";
    QTest::newRow("fraction") << "dev1#1.5";
    QTest::newRow("leading zero") << "dev1#01";
    QTest::newRow("plus sign") << "dev1#+1";
    QTest::newRow("space before number") << "dev1# 1";
    QTest::newRow("overflow") << "dev1#99999999999";
}

void tst_BaseTools::malformedChannelId()
{
    QFETCH(QString, channelId);
    QCOMPARE(BaseTools::_instance().formatChannelId(channelId), ChannelKey(QString(), -1));
}

void tst_BaseTools::devInfo()
{
    vms_sdk::DevInfo info;
    info.devId = QStringLiteral("nvr#1");
    info.devName = QStringLiteral("Gate NVR");
    info.devSn = QStringLiteral("SN-0042");
    info.brand = QStringLiteral("Dahua");
    info.ip = QStringLiteral("10.0.0.7");
    info.port = 8000;
    info.snBrandKind1 = 1;
    info.snBrandKind2 = 3;
    info.channelCount = 4;
    QVERIFY(orlun_data::DevsMgrData::_instance().addDevice(info));

    const vms_sdk::DevInfo got = BaseTools::_instance().getDevInfo(QStringLiteral("nvr#1"));
    QCOMPARE(got.devId, info.devId);
    QCOMPARE(got.devSn, info.devSn);
    QCOMPARE(got.ip, info.ip);
    QCOMPARE(got.port, info.port);
    QCOMPARE(got.snBrandKind1, 1);
    QCOMPARE(got.snBrandKind2, 3);

    QVERIFY(BaseTools::_instance().getDevInfo(QStringLiteral("nvr")).devId.isEmpty());
}

void tst_BaseTools::snOrBrandText_data()
{
    QTest::addColumn<int>("kind1");
    QTest::addColumn<int>("kind2");
    QTest::addColumn<QString>("expected");

    QTest::newRow("serial number") << 0 << 3 << "SN-9F3A";
    QTest::newRow("brand 0") << 1 << 0 << "Unknown";
    QTest::newRow("brand 1") << 1 << 1 << "Orlun";
    QTest::newRow("brand 2") << 1 << 2 << "Hikvision";
    QTest::newRow("brand 3") << 1 << 3 << "Dahua";
    QTest::newRow("brand 4") << 1 << 4 << "Uniview";
    QTest::newRow("brand 5") << 1 << 5 << "Axis";
    QTest::newRow("brand 6") << 1 << 6 << "ONVIF";
    QTest::newRow("brand out of range") << 1 << 99 << "Unknown";
    QTest::newRow("negative brand") << 1 << -1 << "Unknown";
}

void tst_BaseTools::snOrBrandText()
{
    QFETCH(int, kind1);
    QFETCH(int, kind2);
    QFETCH(QString, expected);

    QTableWidgetItem item(QStringLiteral("stale"));
    BaseTools::_instance().updateItemSnOrBrandText(&item, QStringLiteral("SN-9F3A"), kind1, kind2);
    QCOMPARE(item.text(), expected);
    QCOMPARE(item.toolTip(), expected);
}

void tst_BaseTools::snOrBrandTextIgnoresNullItem()
{
    BaseTools::_instance().updateItemSnOrBrandText(nullptr, QStringLiteral("SN"), 0, 0);
    BaseTools::_instance().updateTableOrderNum(nullptr, 1);
}

void tst_BaseTools::channelStatus_data()
{
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("colour");

    QTest::newRow("offline") << int(vms_sdk::ChannelOffline) << "Offline"
                             << "#6c7586";
    QTest::newRow("online") << int(vms_sdk::ChannelOnline) << "Online"
                            << "#30a46c";
    QTest::newRow("recording") << int(vms_sdk::ChannelRecording) << "Recording"
                               << "#2d80d4";
    QTest::newRow("alarm") << int(vms_sdk::ChannelAlarm) << "Alarm"
                           << "#e5484d";
    QTest::newRow("unknown") << int(vms_sdk::ChannelUnknown) << "Unknown"
                             << "#6c7586";
    QTest::newRow("past the end") << 5 << "Unknown"
                                  << "#6c7586";
    QTest::newRow("negative") << -1 << "Unknown"
                              << "#6c7586";
}

void tst_BaseTools::channelStatus()
{
    QFETCH(int, status);
    QFETCH(QString, text);
    QFETCH(QString, colour);

    BaseTools &tools = BaseTools::_instance();
    QCOMPARE(tools.strChannelStatus(QStringLiteral("dev1"), status), text);
    QCOMPARE(tools.chanStatusTextColor(QStringLiteral("dev1"), status).name(), colour);
}

void tst_BaseTools::orderNumbers_data()
{
    QTest::addColumn<QList<int>>("hiddenRows");
    QTest::addColumn<int>("startNum");
    QTest::addColumn<QStringList>("expected");

    QTest::newRow("all shown") << QList<int>{} << 1 << QStringList{"1", "2", "3", "4", "5"};
    QTest::newRow("start at 10") << QList<int>{} << 10 << QStringList{"10", "11", "12", "13", "14"};
    QTest::newRow("hidden rows skipped")
        << QList<int>{0, 2} << 1 << QStringList{"", "1", "<none>", "2", "3"};
    QTest::newRow("all hidden") << QList<int>{0, 1, 2, 3, 4} << 1
                                << QStringList{"", "", "<none>", "", ""};
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
