#include "IpTableItem.h"

#include <QStringList>
#include <QVector>

namespace orlun_base {

namespace {

enum AddressKind { KindIpv4 = 0, KindIpv6 = 1, KindOther = 2 };

// Strict dotted quad: four decimal parts of 0 to 255 (no shortened forms such
// as "10.1", which a device address never is).
bool parseIpv4(const QString &text, quint32 *value)
{
    const QStringList parts = text.split(QLatin1Char('.'));
    if (parts.size() != 4)
        return false;
    quint32 result = 0;
    for (const QString &part : parts) {
        if (part.isEmpty() || part.size() > 3)
            return false;
        int octet = 0;
        for (QChar c : part) {
            if (c < QLatin1Char('0') || c > QLatin1Char('9'))
                return false;
            octet = octet * 10 + (c.unicode() - '0');
        }
        if (octet > 255)
            return false;
        result = (result << 8) | quint32(octet);
    }
    *value = result;
    return true;
}

int hexDigit(QChar c)
{
    const ushort u = c.unicode();
    if (u >= '0' && u <= '9')
        return u - '0';
    if (u >= 'a' && u <= 'f')
        return u - 'a' + 10;
    if (u >= 'A' && u <= 'F')
        return u - 'A' + 10;
    return -1;
}

// RFC 4291 text forms: eight hex groups, "::" for one run of zero groups, an
// optional dotted quad in the last 32 bits, an optional zone ("%eth0") and
// optional brackets.
bool parseIpv6(QString text, std::array<quint8, 16> *value)
{
    if (text.startsWith(QLatin1Char('[')) && text.endsWith(QLatin1Char(']')))
        text = text.mid(1, text.size() - 2);
    const int zone = text.indexOf(QLatin1Char('%'));
    if (zone >= 0)
        text.truncate(zone);
    if (text.isEmpty())
        return false;

    QVector<quint16> head;
    QVector<quint16> tail;
    bool compressed = false;
    const int gap = text.indexOf(QStringLiteral("::"));
    QString headText = text;
    QString tailText;
    if (gap >= 0) {
        if (text.indexOf(QStringLiteral("::"), gap + 1) >= 0)
            return false;
        compressed = true;
        headText = text.left(gap);
        tailText = text.mid(gap + 2);
    }

    auto parseGroups = [](const QString &part, QVector<quint16> *groups, bool mayEndInIpv4) {
        if (part.isEmpty())
            return true;
        const QStringList pieces = part.split(QLatin1Char(':'));
        for (int i = 0; i < pieces.size(); ++i) {
            const QString &piece = pieces.at(i);
            if (mayEndInIpv4 && i == pieces.size() - 1 && piece.contains(QLatin1Char('.'))) {
                quint32 v4 = 0;
                if (!parseIpv4(piece, &v4))
                    return false;
                groups->append(quint16(v4 >> 16));
                groups->append(quint16(v4 & 0xffff));
                continue;
            }
            if (piece.isEmpty() || piece.size() > 4)
                return false;
            uint group = 0;
            for (QChar c : piece) {
                const int digit = hexDigit(c);
                if (digit < 0)
                    return false;
                group = group * 16 + uint(digit);
            }
            groups->append(quint16(group));
        }
        return true;
    };

    if (!parseGroups(headText, &head, !compressed) || !parseGroups(tailText, &tail, true))
        return false;
    const int groups = head.size() + tail.size();
    if (compressed ? groups > 7 : groups != 8)
        return false;

    QVector<quint16> all = head;
    all.resize(8 - tail.size());
    all += tail;
    for (int i = 0; i < 8; ++i) {
        (*value)[2 * i] = quint8(all.at(i) >> 8);
        (*value)[2 * i + 1] = quint8(all.at(i) & 0xff);
    }
    return true;
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
    const QString trimmed = m_address.trimmed();

    quint32 v4 = 0;
    if (parseIpv4(trimmed, &v4)) {
        m_kind = KindIpv4;
        for (int i = 0; i < 4; ++i)
            m_value[12 + i] = quint8(v4 >> (24 - 8 * i));
        return;
    }

    if (trimmed.contains(QLatin1Char(':')) && parseIpv6(trimmed, &m_value)) {
        m_kind = KindIpv6;
        return;
    }
    m_value.fill(0);

    m_kind = KindOther;
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
