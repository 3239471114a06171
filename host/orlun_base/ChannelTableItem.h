#pragma once

#include <QTableWidgetItem>

namespace orlun_base {

// Shows a channel name; sorts names in natural order ("cam 2" before
// "cam 10"), then by device id, then by channel number.
class ChannelTableItem : public QTableWidgetItem
{
public:
    ChannelTableItem(const QString &name, const QString &devId, int channelNo);

    QString devId() const { return m_devId; }
    int channelNo() const { return m_channelNo; }

    bool operator<(const QTableWidgetItem &other) const override;
    QTableWidgetItem *clone() const override;

    // Natural, case-insensitive order of two names by the locale's collation:
    // runs of digits compare by value ("cam 2" before "cam 10"). Negative,
    // zero or positive like QString::compare.
    static int compareNames(const QString &left, const QString &right);

private:
    QString m_devId;
    int m_channelNo = 0;
};

} // namespace orlun_base
