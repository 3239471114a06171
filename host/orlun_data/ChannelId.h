#pragma once

#include <QPair>
#include <QString>

namespace orlun_data {

// The one text form of a channel: "<devId>#<channelNo>". The channel number
// is split off at the last separator, so device ids may contain '#'.
// BaseTools::formatChannelId is the client's public face of these.
QString formatChannelId(const QString &devId, int channelNo);
// (device id, channel number), or (empty, -1) when text is no channel id.
QPair<QString, int> parseChannelId(const QString &channelId);

} // namespace orlun_data
