#pragma once

#include <QHash>
#include <QWidget>

#include "TamTreeWidget.h"

namespace orlun_base {

class TreeConfig;
class TreeItem;

// The client's device tree, built from DevsMgrData and kept up to date from
// DataSignals. Top-level items, in this order:
//   0 "Devices"       multi-channel devices (NVR/DVR) with their channels
//   1 "Cameras"       single-channel cameras, as leaf DevItems
//   2 "Video Streams" RTSP streams (hidden unless isRtspVideoVisible)
//   3 "Channel Groups" with the groups as leaf GroupItems (only when
//                     isLocalGroupsVisible)
// With treeOption1 every device, channel and group item has a user-checkable
// box in column 0. The tree takes ownership of config.
class VideoPointTree : public QWidget
{
    Q_OBJECT
public:
    VideoPointTree(QWidget *parent, TreeConfig *config);
    ~VideoPointTree() override;

    TAMCOMMON::TamTreeWidget *getTreeWidget() const { return m_tree; }
    TreeConfig *config() const { return m_config; }

    // Rebuilds every item from DevsMgrData.
    void rebuild();

private:
    void addDeviceItems(const QString &devId);
    void removeDeviceItems(const QString &devId);
    void rebuildGroups();
    void renameChannels(const QString &devId);
    void removeChannels(const QStringList &channelIds);
    TreeItem *makeItem(TreeItem *item, const QString &text);

    TAMCOMMON::TamTreeWidget *m_tree = nullptr;
    TreeConfig *m_config = nullptr;
    QHash<QString, TreeItem *> m_items; // device and channel items by id
};

} // namespace orlun_base
