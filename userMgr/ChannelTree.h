#pragma once

#include <QSet>
#include <QString>

#include "VideoPointTree.h"

namespace orlun_userMgr {

// The client's device tree, configured for granting channels, with check
// marks read and written as sets of channel ids and group ids.
class ChannelTree : public orlun_base::VideoPointTree
{
public:
    explicit ChannelTree(QWidget *parent = nullptr);
    ~ChannelTree() override;

    void setCheckedChannels(const QSet<QString> &channelIds);
    void addCheckedChannels(const QSet<QString> &channelIds);
    void setCheckedGroups(const QSet<QString> &groupIds);
    void uncheckChannels(const QSet<QString> &channelIds);
    QSet<QString> getCheckedChannels();
    QSet<QString> getCheckedGroups();

private:
    void updateChannelsCheckState(const QSet<QString> &channelIds, bool onlyCheck);
};

} // namespace orlun_userMgr
