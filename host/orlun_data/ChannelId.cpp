#include "ChannelId.h"

namespace orlun_data {

namespace {
constexpr QChar kSeparator = QLatin1Char('#');
}

QString formatChannelId(const QString &devId, int channelNo)
{
    return devId + kSeparator + QString::number(channelNo);
}

QPair<QString, int> parseChannelId(const QString &channelId)
{
    const int sep = channelId.lastIndexOf(kSeparator);
    if (sep <= 0)
        return {QString(), -1};
    bool ok = false;
    const int channelNo = channelId.midRef(sep + 1).toInt(&ok);
    if (!ok || channelNo < 0)
        return {QString(), -1};
    return {channelId.left(sep), channelNo};
}

} // namespace orlun_data
