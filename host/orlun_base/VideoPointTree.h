#pragma once

#include <QHash>
#include <QIcon>
#include <QVector>
#include <QWidget>

#include "TamTreeWidget.h"
#include "VmsSdkTypes.h"

namespace orlun_base {

class TreeConfig;
class TreeItem;
class DevItem;

// The client's device tree, built from DevsMgrData and kept up to date from
// DataSignals. Top-level items, in this order:
//   0 "Devices"       multi-channel devices (NVR/DVR) with their channels
//   1 "Cameras"       single-channel cameras, as leaf DevItems
//   2 "Video Streams" RTSP streams (hidden unless isRtspVideoVisible)
//   3 "Channel Groups" with the groups as leaf GroupItems (only when
//                     isLocalGroupsVisible)
// The folders are TreeItems whose ids are never group ids, so every device
// and channel leaf comes before the first group leaf in depth-first order.
// With treeOption1 every item, folders included, has a user-checkable box in
// column 0 (a folder click then reaches all its items). With treeOption2
// device and channel items can be dragged out; the drag's text is the
// dragged channel ids, one per line.
//
// The tree takes ownership of config: it becomes the config's Qt parent and
// is deleted with the tree. A null config means the default TreeConfig.
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

    // The channel item of a channel id, or null (leaf DevItems are not
    // channel items; look them up with findDevItem).
    TreeItem *findChannelItem(const QString &channelId) const { return m_items.value(channelId); }
    DevItem *findDevItem(const QString &devId) const { return m_devItems.value(devId); }

private:
    void addDeviceItems(const QString &devId);
    void removeDeviceItems(const QString &devId);
    void rebuildGroups();
    void renameChannels(const QString &devId);
    void removeChannels(const QStringList &channelIds);
    void updateChannelStatus(const QString &devId);
    TreeItem *makeItem(TreeItem *item, const QString &text);

    // Builds a device with its channels, not yet in the tree; null when the
    // configuration leaves it out.
    DevItem *buildDevItem(const vms_sdk::DevInfo &info);
    QList<QTreeWidgetItem *> buildGroupItems(const QSet<QString> &checkedIds);
    TreeItem *folderFor(int devType) const;
    const QIcon &statusIcon(int status) const;
    // Brings the check boxes of item's ancestors in line after items below
    // them came or went.
    void refreshParentCheckState(QTreeWidgetItem *parent);

    TAMCOMMON::TamTreeWidget *m_tree = nullptr;
    TreeConfig *m_config = nullptr;
    QHash<QString, TreeItem *> m_items;   // channel items by channel id
    QHash<QString, DevItem *> m_devItems; // device items by device id
    TreeItem *m_devicesFolder = nullptr;
    TreeItem *m_camerasFolder = nullptr;
    TreeItem *m_streamsFolder = nullptr;
    TreeItem *m_groupsFolder = nullptr;
    QVector<QIcon> m_statusIcons; // by vms_sdk::ChannelStatus
    // The configuration's answers, asked once per build.
    bool m_checkable = false;
    bool m_draggable = false;
    bool m_hideOffline = false;
};

} // namespace orlun_base
