#include "IpTableItem.h"

#include <QHostAddress>
#include <QStringList>

#include <iterator>

namespace orlun_base {

namespace {

enum AddressKind { KindIpv4 = 0, KindIpv6 = 1, KindOther = 2 };

// QHostAddress follows inet_aton: "10.1" is 10.0.0.1 and "010.0.0.1" is octal.
// A device address is always written as four decimal parts, so only that form
// counts as IPv4, with leading zeros read as decimal.
QString decimalDottedQuad(const QString &text)
{
    const QStringList parts = text.split(QLatin1Char('.'));
    if (parts.size() != 4)
        return QString();
    QStringList decimal;
    for (const QString &part : parts) {
        if (part.isEmpty() || part.size() > 3)
            return QString();
        for (QChar c : part) {
            if (c < QLatin1Char('0') || c > QLatin1Char('9'))
                return QString();
        }
        decimal << QString::number(part.toInt());
    }
    return decimal.join(QLatin1Char('.'));
}

} // namespace

IpTableItem::IpTableItem(const QString &address, unsigned int port, int type)
    : QTableWidgetItem(type)
    , m_port(port)
{
    setText(address);
}

void IpTableItem::setIp(const QString &address, unsigned int port)
{
    m_port = port;
    // A change makes the table look the item up: none when nothing changed.
    if (text() != address)
        setText(address);
}

void IpTableItem::setData(int role, const QVariant &value)
{
    QTableWidgetItem::setData(role, value);
    if (role == Qt::DisplayRole || role == Qt::EditRole) {
        m_address = text();
        updateKey();
    }
}

void IpTableItem::updateKey()
{
    m_value.fill(0);
    m_kind = KindOther;
    QString trimmed = m_address.trimmed();

    QHostAddress host;
    if (trimmed.contains(QLatin1Char(':'))) {
        if (trimmed.startsWith(QLatin1Char('[')) && trimmed.endsWith(QLatin1Char(']')))
            trimmed = trimmed.mid(1, trimmed.size() - 2);
        if (!host.setAddress(trimmed) || host.protocol() != QAbstractSocket::IPv6Protocol)
            return;
        m_kind = KindIpv6;
    } else {
        const QString quad = decimalDottedQuad(trimmed);
        if (quad.isEmpty() || !host.setAddress(quad))
            return;
        m_kind = KindIpv4;
    }
    // IPv4 comes back mapped (::ffff:a.b.c.d); the kind keeps it before IPv6.
    const Q_IPV6ADDR key = host.toIPv6Address();
    std::copy(std::begin(key.c), std::end(key.c), m_value.begin());
}

bool IpTableItem::operator<(const QTableWidgetItem &other) const
{
    const auto *that = dynamic_cast<const IpTableItem *>(&other);
    if (!that)
        return QTableWidgetItem::operator<(other);

    if (m_kind != that->m_kind)
        return m_kind < that->m_kind;
    if (m_kind == KindOther) {
        const int byText = m_address.compare(that->m_address, Qt::CaseInsensitive);
        if (byText != 0)
            return byText < 0;
        const int exact = m_address.compare(that->m_address, Qt::CaseSensitive);
        if (exact != 0)
            return exact < 0;
    } else if (m_value != that->m_value) {
        return m_value < that->m_value;
    }
    return m_port < that->m_port;
}

QTableWidgetItem *IpTableItem::clone() const
{
    return new IpTableItem(*this);
}

} // namespace orlun_base
