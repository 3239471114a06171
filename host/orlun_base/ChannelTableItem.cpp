#include "ChannelTableItem.h"

#include <QCollator>
#include <QLocale>

namespace orlun_base {

namespace {

const QCollator &nameCollator()
{
    static const QCollator collator = [] {
        // The C locale's collator compares code points and ignores numeric
        // mode; names still sort naturally when no locale is set.
        QLocale locale;
        if (locale.language() == QLocale::C)
            locale = QLocale(QLocale::English, QLocale::UnitedStates);
        QCollator c(locale);
        c.setNumericMode(true);
        c.setCaseSensitivity(Qt::CaseInsensitive);
        return c;
    }();
    return collator;
}

} // namespace

ChannelTableItem::ChannelTableItem(const QString &name, const QString &devId, int channelNo)
    : QTableWidgetItem(name)
    , m_devId(devId)
    , m_channelNo(channelNo)
{}

int ChannelTableItem::compareNames(const QString &left, const QString &right)
{
    return nameCollator().compare(left, right);
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
