#include <QTableWidget>
#include <QtTest>

#include "ChannelTableItem.h"
#include "IpTableItem.h"

#include <memory>
#include <vector>

using orlun_base::ChannelTableItem;
using orlun_base::IpTableItem;

namespace {

// Entries are written "address|port" and "name|devId|channelNo".
IpTableItem *makeIpItem(const QString &entry)
{
    const QStringList parts = entry.split(QLatin1Char('|'));
    return new IpTableItem(parts.at(0), parts.at(1).toUInt(), 0);
}

ChannelTableItem *makeChannelItem(const QString &entry)
{
    const QStringList parts = entry.split(QLatin1Char('|'));
    return new ChannelTableItem(parts.at(0), parts.at(1), parts.at(2).toInt());
}

QString ipEntry(const QTableWidgetItem *item)
{
    const auto *ip = static_cast<const IpTableItem *>(item);
    return ip->address() + QLatin1Char('|') + QString::number(ip->port());
}

QString channelEntry(const QTableWidgetItem *item)
{
    const auto *channel = static_cast<const ChannelTableItem *>(item);
    return channel->text() + QLatin1Char('|') + channel->devId() + QLatin1Char('|') +
           QString::number(channel->channelNo());
}

// Sorts a one-column table of the items the way a header click does and
// reads the column back.
template<typename Make, typename Read>
QStringList sortedColumn(const QStringList &entries, Make make, Read read, Qt::SortOrder order)
{
    QTableWidget table(entries.size(), 1);
    for (int row = 0; row < entries.size(); ++row)
        table.setItem(row, 0, make(entries.at(row)));
    table.sortItems(0, order);
    QStringList result;
    for (int row = 0; row < table.rowCount(); ++row)
        result << read(table.item(row, 0));
    return result;
}

// std::sort and QTableWidget's stable sort need a strict weak ordering:
// irreflexive, asymmetric, and transitive in both "less" and "equivalent".
template<typename Item>
void verifyStrictWeakOrdering(const std::vector<std::unique_ptr<Item>> &items)
{
    const size_t n = items.size();
    auto less = [&](size_t a, size_t b) {
        return *items[a] < *items[b];
    };
    auto equiv = [&](size_t a, size_t b) {
        return !less(a, b) && !less(b, a);
    };
    for (size_t a = 0; a < n; ++a) {
        QVERIFY2(!less(a, a), qPrintable(items[a]->text()));
        for (size_t b = 0; b < n; ++b) {
            QVERIFY(!(less(a, b) && less(b, a)));
            for (size_t c = 0; c < n; ++c) {
                if (less(a, b) && less(b, c))
                    QVERIFY2(less(a, c), qPrintable(items[a]->text() + " < " + items[b]->text() +
                                                    " < " + items[c]->text()));
                if (equiv(a, b) && equiv(b, c))
                    QVERIFY(equiv(a, c));
            }
        }
    }
}

} // namespace

class tst_TableItems : public QObject
{
    Q_OBJECT

private slots:
    void ipOrder_data();
    void ipOrder();
    void ipOrderIsStrictWeak();
    void setIpMovesTheRow();
    void ipShowsAddressOnly();

    void channelOrder_data();
    void channelOrder();
    void channelOrderIsStrictWeak();
    void renamedChannelSortsByNewName();
    void clonesKeepTheirOrder();
};

void tst_TableItems::ipOrder_data()
{
    QTest::addColumn<QStringList>("entries");
    QTest::addColumn<QStringList>("expected");

    QTest::newRow("octets by value")
        << QStringList{"192.168.1.10|80", "192.168.1.9|80", "10.0.0.1|80", "9.255.255.255|80"}
        << QStringList{"9.255.255.255|80", "10.0.0.1|80", "192.168.1.9|80", "192.168.1.10|80"};
    QTest::newRow("last octet") << QStringList{"10.0.0.100|1", "10.0.0.20|1", "10.0.0.3|1"}
                                << QStringList{"10.0.0.3|1", "10.0.0.20|1", "10.0.0.100|1"};
    QTest::newRow("then port") << QStringList{"10.0.0.1|8000", "10.0.0.1|554", "10.0.0.0|9000"}
                               << QStringList{"10.0.0.0|9000", "10.0.0.1|554", "10.0.0.1|8000"};
    QTest::newRow("IPv4 before IPv6") << QStringList{"::1|80", "255.255.255.255|80", "0.0.0.1|80"}
                                      << QStringList{"0.0.0.1|80", "255.255.255.255|80", "::1|80"};
    QTest::newRow("IPv6 by value")
        << QStringList{"fe80::1|0", "2001:db8::10|0", "2001:db8::9|0", "2001:DB8::A|0", "::|0"}
        << QStringList{"::|0", "2001:db8::9|0", "2001:DB8::A|0", "2001:db8::10|0", "fe80::1|0"};
    QTest::newRow("IPv6 spelled out")
        << QStringList{"2001:0db8:0:0:0:0:0:3|0", "2001:db8::2|0", "::ffff:10.0.0.1|0"}
        << QStringList{"::ffff:10.0.0.1|0", "2001:db8::2|0", "2001:0db8:0:0:0:0:0:3|0"};
    QTest::newRow("hostnames after addresses")
        << QStringList{"nvr-b.local|80", "fe80::1|80", "Camera.example|80", "1.2.3.4|80"}
        << QStringList{"1.2.3.4|80", "fe80::1|80", "Camera.example|80", "nvr-b.local|80"};
    QTest::newRow("not quite addresses are text")
        << QStringList{"300.1.1.1|0", "10.1|0", "1.2.3.4.5|0", "2.2.2.2|0", "1:2|0", "|0"}
        << QStringList{"2.2.2.2|0", "|0", "1.2.3.4.5|0", "10.1|0", "1:2|0", "300.1.1.1|0"};
}

void tst_TableItems::ipOrder()
{
    QFETCH(QStringList, entries);
    QFETCH(QStringList, expected);

    QCOMPARE(sortedColumn(entries, makeIpItem, ipEntry, Qt::AscendingOrder), expected);
    // Ties aside, descending is the exact reverse.
    QStringList reversed(expected.rbegin(), expected.rend());
    QCOMPARE(sortedColumn(entries, makeIpItem, ipEntry, Qt::DescendingOrder), reversed);
}

void tst_TableItems::ipOrderIsStrictWeak()
{
    const QStringList entries{
        "10.0.0.1|80",    "10.0.0.1|80",    "010.0.0.1|80", "10.0.0.1|81", "::1|0", "0:0::1|0",
        "fe80::1%eth0|0", "host|1",         "HOST|1",       "host|0",      "",      "1.1.1.1|0",
        "2001:db8::|5",   "[2001:db8::]|5", "a:b|0"};
    std::vector<std::unique_ptr<IpTableItem>> items;
    for (const QString &entry : entries)
        items.emplace_back(makeIpItem(entry.isEmpty() ? QStringLiteral("|0") : entry));
    verifyStrictWeakOrdering(items);

    // Different spellings of one address with one port are equivalent.
    QVERIFY(!(*items[0] < *items[2]) && !(*items[2] < *items[0]));
    QVERIFY(!(*items[4] < *items[5]) && !(*items[5] < *items[4]));
    QVERIFY(!(*items[12] < *items[13]) && !(*items[13] < *items[12]));
}

void tst_TableItems::setIpMovesTheRow()
{
    QTableWidget table(3, 1);
    table.setItem(0, 0, new IpTableItem(QStringLiteral("10.0.0.5"), 80));
    auto *moving = new IpTableItem(QStringLiteral("10.0.0.9"), 80);
    table.setItem(1, 0, moving);
    table.setItem(2, 0, new IpTableItem(QStringLiteral("10.0.0.7"), 80));

    // A device that moved to another address takes its new place on the next
    // sort.
    moving->setIp(QStringLiteral("10.0.0.1"), 8000);
    QCOMPARE(moving->text(), QStringLiteral("10.0.0.1"));
    QCOMPARE(moving->port(), 8000u);
    table.sortItems(0);
    QCOMPARE(table.item(0, 0), moving);

    // The same through the plain text setter.
    moving->setText(QStringLiteral("10.0.0.6"));
    QCOMPARE(moving->address(), QStringLiteral("10.0.0.6"));
    table.sortItems(0);
    QCOMPARE(table.item(1, 0), moving);
}

void tst_TableItems::ipShowsAddressOnly()
{
    IpTableItem item(QStringLiteral("192.168.0.64"), 8000, 0);
    QCOMPARE(item.text(), QStringLiteral("192.168.0.64"));
    QCOMPARE(item.data(Qt::DisplayRole).toString(), QStringLiteral("192.168.0.64"));
    QCOMPARE(item.type(), int(QTableWidgetItem::Type));
}

void tst_TableItems::channelOrder_data()
{
    QTest::addColumn<QStringList>("entries");
    QTest::addColumn<QStringList>("expected");

    QTest::newRow("numbers by value")
        << QStringList{"cam 10|d|0", "cam 2|d|1", "cam 1|d|2", "cam 100|d|3"}
        << QStringList{"cam 1|d|2", "cam 2|d|1", "cam 10|d|0", "cam 100|d|3"};
    QTest::newRow("ignores case") << QStringList{"cam 10|d|0", "Cam 3|d|1", "CAM 2|d|2"}
                                  << QStringList{"CAM 2|d|2", "Cam 3|d|1", "cam 10|d|0"};
    QTest::newRow("letters then numbers")
        << QStringList{"Lobby|d|0", "Door 12|d|1", "door 2b|d|2", "door 2a|d|3", "Door|d|4"}
        << QStringList{"Door|d|4", "door 2a|d|3", "door 2b|d|2", "Door 12|d|1", "Lobby|d|0"};
    QTest::newRow("several numbers")
        << QStringList{"floor 2 cam 10|d|0", "floor 10 cam 1|d|1", "floor 2 cam 9|d|2"}
        << QStringList{"floor 2 cam 9|d|2", "floor 2 cam 10|d|0", "floor 10 cam 1|d|1"};
    QTest::newRow("long numbers") << QStringList{"ch 99999999999999999999|d|0", "ch 3|d|1",
                                                 "ch 100000000000000000000|d|2"}
                                  << QStringList{"ch 3|d|1", "ch 99999999999999999999|d|0",
                                                 "ch 100000000000000000000|d|2"};
    QTest::newRow("same name by device")
        << QStringList{"Channel 1|dev-b|0", "Channel 1|dev-a|3", "channel 1|dev-c|0"}
        << QStringList{"Channel 1|dev-a|3", "Channel 1|dev-b|0", "channel 1|dev-c|0"};
    QTest::newRow("same name and device by channel")
        << QStringList{"IPC|dev|10", "IPC|dev|2", "ipc|dev|0"}
        << QStringList{"ipc|dev|0", "IPC|dev|2", "IPC|dev|10"};
    QTest::newRow("leading zeros equal the number")
        << QStringList{"cam 02|b|0", "cam 2|a|0", "cam 1|z|0"}
        << QStringList{"cam 1|z|0", "cam 2|a|0", "cam 02|b|0"};
}

void tst_TableItems::channelOrder()
{
    QFETCH(QStringList, entries);
    QFETCH(QStringList, expected);

    QCOMPARE(sortedColumn(entries, makeChannelItem, channelEntry, Qt::AscendingOrder), expected);
    QStringList reversed(expected.rbegin(), expected.rend());
    QCOMPARE(sortedColumn(entries, makeChannelItem, channelEntry, Qt::DescendingOrder), reversed);
}

void tst_TableItems::channelOrderIsStrictWeak()
{
    const QStringList entries{"cam 2|d|0", "Cam 2|d|0", "cam 02|d|0", "cam 10|d|0", "cam|d|0",
                              "cam2|d|0",  "cam-2|d|0", "cam 2|e|0",  "cam 2|d|1",  "2 cam|d|0",
                              "|d|0",      "Ä 1|d|0",   "ä 1|d|0",    "z|d|0",      "~|d|0",
                              "0|d|0",     "00|d|0",    "a0b|d|0",    "a00b|d|0",   "a1|d|0"};
    std::vector<std::unique_ptr<ChannelTableItem>> items;
    for (const QString &entry : entries)
        items.emplace_back(makeChannelItem(entry));
    verifyStrictWeakOrdering(items);
}

void tst_TableItems::renamedChannelSortsByNewName()
{
    QTableWidget table(3, 1);
    table.setItem(0, 0, new ChannelTableItem(QStringLiteral("cam 1"), QStringLiteral("d"), 0));
    auto *renamed = new ChannelTableItem(QStringLiteral("cam 2"), QStringLiteral("d"), 1);
    table.setItem(1, 0, renamed);
    table.setItem(2, 0, new ChannelTableItem(QStringLiteral("cam 3"), QStringLiteral("d"), 2));

    renamed->setText(QStringLiteral("Cam 20"));
    table.sortItems(0);
    QCOMPARE(table.item(2, 0), renamed);
}

void tst_TableItems::clonesKeepTheirOrder()
{
    const ChannelTableItem channel(QStringLiteral("cam 2"), QStringLiteral("d"), 4);
    std::unique_ptr<QTableWidgetItem> channelCopy(channel.clone());
    auto *asChannel = dynamic_cast<ChannelTableItem *>(channelCopy.get());
    QVERIFY(asChannel);
    QCOMPARE(asChannel->channelNo(), 4);
    QVERIFY(*asChannel < ChannelTableItem(QStringLiteral("cam 10"), QStringLiteral("a"), 0));

    const IpTableItem ip(QStringLiteral("10.0.0.9"), 80);
    std::unique_ptr<QTableWidgetItem> ipCopy(ip.clone());
    auto *asIp = dynamic_cast<IpTableItem *>(ipCopy.get());
    QVERIFY(asIp);
    QCOMPARE(asIp->port(), 80u);
    QVERIFY(*asIp < IpTableItem(QStringLiteral("10.0.0.10"), 80));
}

QTEST_MAIN(tst_TableItems)
#include "tst_TableItems.moc"
