#include "ChannelTableItem.h"

namespace orlun_base {

namespace {

bool isAsciiDigit(QChar c)
{
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

} // namespace

ChannelTableItem::ChannelTableItem(const QString &name, const QString &devId, int channelNo)
    : QTableWidgetItem(name)
    , m_devId(devId)
    , m_channelNo(channelNo)
{}

int ChannelTableItem::compareNames(const QString &left, const QString &right)
{
    // The names are cut into tokens: a run of digits is one token valued by
    // its number, every other character one token valued by its case-folded
    // code. A digit run and a character compare like a digit and that
    // character, which keeps the order total and transitive.
    const int leftSize = left.size();
    const int rightSize = right.size();
    int i = 0;
    int j = 0;
    while (i < leftSize && j < rightSize) {
        const QChar a = left.at(i);
        const QChar b = right.at(j);
        if (isAsciiDigit(a) && isAsciiDigit(b)) {
            // Skip leading zeros, then the longer run is the larger number; at
            // equal length the first differing digit decides.
            while (i < leftSize && left.at(i) == QLatin1Char('0'))
                ++i;
            while (j < rightSize && right.at(j) == QLatin1Char('0'))
                ++j;
            int leftEnd = i;
            while (leftEnd < leftSize && isAsciiDigit(left.at(leftEnd)))
                ++leftEnd;
            int rightEnd = j;
            while (rightEnd < rightSize && isAsciiDigit(right.at(rightEnd)))
                ++rightEnd;
            const int leftDigits = leftEnd - i;
            const int rightDigits = rightEnd - j;
            if (leftDigits != rightDigits)
                return leftDigits < rightDigits ? -1 : 1;
            for (; i < leftEnd; ++i, ++j) {
                if (left.at(i) != right.at(j))
                    return left.at(i) < right.at(j) ? -1 : 1;
            }
            continue;
        }
        const ushort fa = a.toCaseFolded().unicode();
        const ushort fb = b.toCaseFolded().unicode();
        if (fa != fb)
            return fa < fb ? -1 : 1;
        ++i;
        ++j;
    }
    if (i < leftSize)
        return 1;
    if (j < rightSize)
        return -1;
    return 0;
}

bool ChannelTableItem::operator<(const QTableWidgetItem &other) const
{
    const auto *that = dynamic_cast<const ChannelTableItem *>(&other);
    if (!that)
        return QTableWidgetItem::operator<(other);

    // The name is read at each comparison, so a rename through setText()
    // sorts correctly at once.
    const int byName = compareNames(text(), that->text());
    if (byName != 0)
        return byName < 0;
    const int byDevice = m_devId.compare(that->m_devId);
    if (byDevice != 0)
        return byDevice < 0;
    return m_channelNo < that->m_channelNo;
}

QTableWidgetItem *ChannelTableItem::clone() const
{
    return new ChannelTableItem(*this);
}

} // namespace orlun_base
