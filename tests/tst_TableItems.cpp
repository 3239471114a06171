#include <QTableWidget>
#include <QtTest>

#include "ChannelTableItem.h"
#include "IpTableItem.h"

#include <algorithm>

using orlun_base::ChannelTableItem;
using orlun_base::IpTableItem;

namespace {

// Entries are written "address|port" and "name|devId|channelNo".
QTableWidgetItem *makeItem(const QString &entry)
{
    const QStringList parts = entry.split('|');
    if (parts.size() == 2)
        return new IpTableItem(parts.at(0), parts.at(1).toUInt(), 0);
    return new ChannelTableItem(parts.at(0), parts.at(1), parts.at(2).toInt());
}

QString entryOf(const QTableWidgetItem *item)
{
    if (const auto *ip = dynamic_cast<const IpTableItem *>(item))
        return ip->address() + '|' + QString::number(ip->port());
    const auto *channel = static_cast<const ChannelTableItem *>(item);
    return channel->text() + '|' + channel->devId() + '|' + QString::number(channel->channelNo());
}

} // namespace

class tst_TableItems : public QObject
{
    Q_OBJECT

private slots:
    void sortOrder_data();
    void sortOrder();
};

void tst_TableItems::sortOrder_data()
{
    QTest::addColumn<QStringList>("expected");

    QTest::newRow("octets by value")
        << QStringList{"9.255.255.255|80", "10.0.0.1|80", "192.168.1.9|80", "192.168.1.10|80"};
    QTest::newRow("then port") << QStringList{"10.0.0.0|9000", "10.0.0.1|554", "10.0.0.1|8000"};
    QTest::newRow("IPv4 before IPv6") << QStringList{"0.0.0.1|80", "255.255.255.255|80", "::1|80"};
    QTest::newRow("IPv6 by value")
        << QStringList{"::|0", "2001:db8::9|0", "2001:DB8::A|0", "2001:db8::10|0", "fe80::1|0"};
    QTest::newRow("hostnames after addresses")
        << QStringList{"1.2.3.4|80", "fe80::1|80", "Camera.example|80", "nvr-b.local|80"};
    QTest::newRow("not quite addresses are text")
        << QStringList{"2.2.2.2|0", "|0", "1.2.3.4.5|0", "10.1|0", "1:2|0", "300.1.1.1|0"};

    QTest::newRow("numbers by value")
        << QStringList{"cam 1|d|2", "cam 2|d|1", "cam 10|d|0", "cam 100|d|3"};
    QTest::newRow("letters then numbers")
        << QStringList{"Door|d|4", "door 2a|d|3", "door 2b|d|2", "Door 12|d|1", "Lobby|d|0"};
    QTest::newRow("several numbers")
        << QStringList{"floor 2 cam 9|d|2", "floor 2 cam 10|d|0", "floor 10 cam 1|d|1"};
    QTest::newRow("long numbers") << QStringList{"ch 3|d|1", "ch 99999999999999999999|d|0",
                                                 "ch 100000000000000000000|d|2"};
    QTest::newRow("same name by device")
        << QStringList{"Channel 1|dev-a|3", "Channel 1|dev-b|0", "channel 1|dev-c|0"};
    QTest::newRow("same name, any case, and device by channel")
        << QStringList{"ipc|dev|0", "IPC|dev|2", "IPC|dev|10"};
    QTest::newRow("leading zeros equal the number")
        << QStringList{"cam 1|z|0", "cam 2|a|0", "cam 02|b|0"};
}

void tst_TableItems::sortOrder()
{
    QFETCH(QStringList, expected);

    const int n = expected.size();
    QTableWidget table(n, 1);
    for (int row = 0; row < n; ++row)
        table.setItem(row, 0, makeItem(expected.at(row < n / 2 ? 2 * row + 1 : 2 * (row - n / 2))));
    for (Qt::SortOrder order : {Qt::AscendingOrder, Qt::DescendingOrder}) {
        table.sortItems(0, order);
        QStringList sorted;
        for (int row = 0; row < n; ++row)
            sorted.prepend(entryOf(table.item(row, 0)));
        // Ties aside, descending is the exact reverse.
        if (order == Qt::AscendingOrder)
            std::reverse(sorted.begin(), sorted.end());
        QCOMPARE(sorted, expected);
    }
}

QTEST_MAIN(tst_TableItems)
#include "tst_TableItems.moc"
