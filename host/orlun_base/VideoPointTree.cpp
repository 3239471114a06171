#include "VideoPointTree.h"

#include <QMimeData>
#include <QSet>
#include <QVBoxLayout>

#include "BaseIcons.h"
#include "ChannelId.h"
#include "DataSignals.h"
#include "DevsMgrData.h"
#include "TreeConfig.h"
#include "TreeItem.h"

#include <algorithm>

namespace orlun_base {

namespace {

// Folder ids live in their own name space so that no catalog id (device,
// channel or group) can ever equal one.
const QString kDevicesFolderId = QStringLiteral("orlun_base:folder:devices");
const QString kCamerasFolderId = QStringLiteral("orlun_base:folder:cameras");
const QString kStreamsFolderId = QStringLiteral("orlun_base:folder:streams");
const QString kGroupsFolderId = QStringLiteral("orlun_base:folder:groups");

enum DevType { MultiChannelDev = 0, CameraDev = 1, RtspDev = 2 };

// The tree widget of VideoPointTree: a drag carries the channel ids of the
// dragged items as text, which is what video windows accept.
class DeviceTreeWidget : public TAMCOMMON::TamTreeWidget
{
public:
    using TamTreeWidget::TamTreeWidget;

protected:
    QMimeData *mimeData(const QList<QTreeWidgetItem *> items) const override
    {
        QStringList ids;
        QSet<QString> seen;
        auto add = [&](const QString &id) {
            if (!seen.contains(id)) {
                seen.insert(id);
                ids.append(id);
            }
        };
        for (QTreeWidgetItem *item : items) {
            if (item->type() == ChannelItemType) {
                add(static_cast<ChannelItem *>(item)->getId());
            } else if (item->type() == DevItemType) {
                auto *dev = static_cast<DevItem *>(item);
                if (dev->childCount() == 0) {
                    add(orlun_data::formatChannelId(dev->getDevId(), 0));
                    continue;
                }
                for (int i = 0; i < dev->childCount(); ++i) {
                    if (dev->child(i)->type() == ChannelItemType)
                        add(static_cast<ChannelItem *>(dev->child(i))->getId());
                }
            }
        }
        QMimeData *mime = TamTreeWidget::mimeData(items);
        if (!mime)
            mime = new QMimeData;
        mime->setText(ids.join(QLatin1Char('\n')));
        return mime;
    }
};

} // namespace

VideoPointTree::VideoPointTree(QWidget *parent, TreeConfig *config)
    : QWidget(parent)
    , m_tree(new DeviceTreeWidget(this))
    , m_config(config ? config : new TreeConfig)
{
    m_config->setParent(this);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(m_tree);

    m_tree->setColumnCount(1);
    m_tree->setHeaderHidden(true);
    // Lets the view lay out 100,000 rows without asking each one its size.
    m_tree->setUniformRowHeights(true);

    // By vms_sdk::ChannelStatus; made once and shared by every channel row.
    for (BaseIcon icon :
         {BaseIcon::StatusOffline, BaseIcon::StatusOnline, BaseIcon::StatusRecording,
          BaseIcon::StatusAlarm, BaseIcon::StatusUnknown})
        m_statusIcons.append(baseIcon(icon, devicePixelRatioF()));

    auto &hub = orlun_data::DataSignals::_instance();
    connect(&hub, &orlun_data::DataSignals::signalAddDevice, this,
            [this](const QString &devId) { addDeviceItems(devId); });
    connect(&hub, &orlun_data::DataSignals::signalDeleteDevice, this,
            [this](const QString &devId) { removeDeviceItems(devId); });
    connect(&hub, &orlun_data::DataSignals::signalUpdateDevChannels, this,
            [this](const QString &devId) { renameChannels(devId); });
    connect(&hub, &orlun_data::DataSignals::signalDeleteChannels, this,
            [this](const QStringList &channelIds) { removeChannels(channelIds); });
    connect(&hub, &orlun_data::DataSignals::signalDevChannelsStatusChanged, this,
            [this](const QString &devId) { updateChannelStatus(devId); });
    connect(&hub, &orlun_data::DataSignals::signalGroupsChanged, this, [this] { rebuildGroups(); });
    connect(&hub, &orlun_data::DataSignals::signalCatalogReset, this, [this] { rebuild(); });

    rebuild();
}

VideoPointTree::~VideoPointTree() = default;

void VideoPointTree::rebuild()
{
    m_tree->clear();
    m_items.clear();
    m_devItems.clear();

    m_checkable = m_config->treeOption1();
    m_draggable = m_config->treeOption2();
    m_hideOffline = m_config->treeOption4();
    m_tree->setDragEnabled(m_draggable);
    m_tree->setDragDropMode(m_draggable ? QAbstractItemView::DragOnly
                                        : QAbstractItemView::NoDragDrop);

    m_devicesFolder = makeItem(new TreeItem(kDevicesFolderId), tr("Devices"));
    m_camerasFolder = makeItem(new TreeItem(kCamerasFolderId), tr("Cameras"));
    m_streamsFolder = makeItem(new TreeItem(kStreamsFolderId), tr("Video Streams"));
    m_groupsFolder = m_config->isLocalGroupsVisible()
                         ? makeItem(new TreeItem(kGroupsFolderId), tr("Channel Groups"))
                         : nullptr;

    // Everything is assembled off-view and handed over in one insertion, so
    // the model announces four rows instead of one per item.
    const auto &devsMgr = orlun_data::DevsMgrData::_instance();
    const QList<vms_sdk::DevInfo> devices = devsMgr.getAllDevices();
    m_devItems.reserve(devices.size());
    QList<QTreeWidgetItem *> devs, cameras, streams;
    for (const vms_sdk::DevInfo &info : devices) {
        DevItem *item = buildDevItem(info);
        if (!item)
            continue;
        TreeItem *folder = folderFor(info.devType);
        (folder == m_camerasFolder   ? cameras
         : folder == m_streamsFolder ? streams
                                     : devs)
            .append(item);
    }
    m_devicesFolder->addChildren(devs);
    m_camerasFolder->addChildren(cameras);
    m_streamsFolder->addChildren(streams);

    QList<QTreeWidgetItem *> folders{m_devicesFolder, m_camerasFolder, m_streamsFolder};
    if (m_groupsFolder) {
        m_groupsFolder->addChildren(buildGroupItems({}));
        folders.append(m_groupsFolder);
    }
    m_tree->addTopLevelItems(folders);

    m_streamsFolder->setHidden(!m_config->isRtspVideoVisible());
    for (QTreeWidgetItem *folder : qAsConst(folders))
        folder->setExpanded(true);
}

TreeItem *VideoPointTree::makeItem(TreeItem *item, const QString &text)
{
    item->setText(0, text);
    Qt::ItemFlags flags = Qt::ItemIsSelectable | Qt::ItemIsEnabled;
    if (m_draggable && (item->type() == DevItemType || item->type() == ChannelItemType))
        flags |= Qt::ItemIsDragEnabled;
    if (m_checkable) {
        flags |= Qt::ItemIsUserCheckable;
        item->setCheckState(0, Qt::Unchecked);
    }
    item->setFlags(flags);
    return item;
}

DevItem *VideoPointTree::buildDevItem(const vms_sdk::DevInfo &info)
{
    const auto &devsMgr = orlun_data::DevsMgrData::_instance();
    const QString &name = info.devName.isEmpty() ? info.devId : info.devName;

    const QList<vms_sdk::DevChannelInfo> channels = devsMgr.getDevChannels(info.devId);
    if (folderFor(info.devType) != m_devicesFolder) {
        // A single-channel device is a leaf standing for its channel 0, so
        // without that channel there is nothing it could stand for.
        const bool hasChannel0 =
            std::any_of(channels.begin(), channels.end(),
                        [](const vms_sdk::DevChannelInfo &c) { return c.channelKey.second == 0; });
        if (!hasChannel0)
            return nullptr;
        const int status = devsMgr.getChannelStatus(info.devId, 0);
        if (m_hideOffline && status == vms_sdk::ChannelOffline)
            return nullptr;
        auto *item = static_cast<DevItem *>(makeItem(new DevItem(info.devId), name));
        item->setIcon(0, statusIcon(status));
        m_devItems.insert(info.devId, item);
        return item;
    }

    QList<QTreeWidgetItem *> children;
    children.reserve(channels.size());
    for (const vms_sdk::DevChannelInfo &channel : channels) {
        const int no = channel.channelKey.second;
        const int status = devsMgr.getChannelStatus(info.devId, no);
        if (m_hideOffline && status == vms_sdk::ChannelOffline)
            continue;
        const QString id = orlun_data::formatChannelId(info.devId, no);
        auto *item = makeItem(new ChannelItem(id, info.devId, no), channel.channelName);
        item->setIcon(0, statusIcon(status));
        m_items.insert(id, item);
        children.append(item);
    }
    // A device without channels would be a leaf, and a device leaf counts as
    // its channel 0 for the panels that grant channels.
    if (children.isEmpty())
        return nullptr;
    auto *item = static_cast<DevItem *>(makeItem(new DevItem(info.devId), name));
    item->addChildren(children);
    m_devItems.insert(info.devId, item);
    return item;
}

QList<QTreeWidgetItem *> VideoPointTree::buildGroupItems(const QSet<QString> &checkedIds)
{
    QList<QTreeWidgetItem *> items;
    const QList<vms_sdk::GroupInfo> groups = orlun_data::DevsMgrData::_instance().getAllGroups();
    items.reserve(groups.size());
    for (const vms_sdk::GroupInfo &group : groups) {
        TreeItem *item = makeItem(new GroupItem(group.groupId), group.groupName);
        if (m_checkable && checkedIds.contains(group.groupId))
            item->setCheckState(0, Qt::Checked);
        items.append(item);
    }
    return items;
}

TreeItem *VideoPointTree::folderFor(int devType) const
{
    switch (devType) {
    case CameraDev:
        return m_camerasFolder;
    case RtspDev:
        return m_streamsFolder;
    default:
        return m_devicesFolder;
    }
}

const QIcon &VideoPointTree::statusIcon(int status) const
{
    if (status < 0 || status >= m_statusIcons.size())
        return m_statusIcons.at(vms_sdk::ChannelUnknown);
    return m_statusIcons.at(status);
}

void VideoPointTree::refreshParentCheckState(QTreeWidgetItem *parent)
{
    if (!m_checkable || !parent)
        return;
    if (parent->childCount() > 0)
        m_tree->updateParentItemsCheckState(parent->child(0));
    else
        m_tree->updateParentItemsCheckState(parent);
}

void VideoPointTree::addDeviceItems(const QString &devId)
{
    // A device announced twice is refreshed, not doubled.
    removeDeviceItems(devId);
    const vms_sdk::DevInfo info = orlun_data::DevsMgrData::_instance().getDevInfoById(devId);
    if (info.devId.isEmpty())
        return;
    DevItem *item = buildDevItem(info);
    if (!item)
        return;
    TreeItem *folder = folderFor(info.devType);
    folder->addChild(item);
    refreshParentCheckState(folder);
}

void VideoPointTree::removeDeviceItems(const QString &devId)
{
    DevItem *item = m_devItems.take(devId);
    if (!item)
        return;
    for (int i = 0; i < item->childCount(); ++i) {
        if (item->child(i)->type() != ChannelItemType)
            continue;
        auto *channel = static_cast<ChannelItem *>(item->child(i));
        if (m_items.value(channel->getId()) == channel)
            m_items.remove(channel->getId());
    }
    QTreeWidgetItem *parent = item->parent();
    delete item; // takes its channels with it and leaves the view
    refreshParentCheckState(parent);
}

void VideoPointTree::rebuildGroups()
{
    if (!m_groupsFolder)
        return;
    // Regrouping must not lose the marks on groups that are still there.
    QSet<QString> checkedIds;
    const QList<QTreeWidgetItem *> old = m_groupsFolder->takeChildren();
    for (QTreeWidgetItem *item : old) {
        if (item->checkState(0) == Qt::Checked)
            checkedIds.insert(static_cast<TreeItem *>(item)->getId());
    }
    qDeleteAll(old);
    m_groupsFolder->addChildren(buildGroupItems(checkedIds));
    if (m_checkable && m_groupsFolder->childCount() == 0)
        m_groupsFolder->setCheckState(0, Qt::Unchecked);
    refreshParentCheckState(m_groupsFolder);
}

void VideoPointTree::renameChannels(const QString &devId)
{
    DevItem *dev = m_devItems.value(devId);
    if (!dev) {
        // A device left out for want of channels comes back with them.
        addDeviceItems(devId);
        return;
    }
    const auto &devsMgr = orlun_data::DevsMgrData::_instance();
    const vms_sdk::DevInfo info = devsMgr.getDevInfoById(devId);
    if (!info.devName.isEmpty() && dev->text(0) != info.devName)
        dev->setText(0, info.devName);
    if (dev->parent() != m_devicesFolder)
        return;

    // Channels the device gained since it was built are appended.
    QList<QTreeWidgetItem *> added;
    const QList<vms_sdk::DevChannelInfo> channels = devsMgr.getDevChannels(devId);
    for (const vms_sdk::DevChannelInfo &channel : channels) {
        const int no = channel.channelKey.second;
        const QString id = orlun_data::formatChannelId(devId, no);
        if (TreeItem *item = m_items.value(id)) {
            if (item->text(0) != channel.channelName)
                item->setText(0, channel.channelName);
            continue;
        }
        const int status = devsMgr.getChannelStatus(devId, no);
        if (m_hideOffline && status == vms_sdk::ChannelOffline)
            continue;
        auto *item = makeItem(new ChannelItem(id, devId, no), channel.channelName);
        item->setIcon(0, statusIcon(status));
        m_items.insert(id, item);
        added.append(item);
    }
    if (!added.isEmpty()) {
        dev->addChildren(added);
        refreshParentCheckState(dev);
    }
}

void VideoPointTree::removeChannels(const QStringList &channelIds)
{
    QSet<QTreeWidgetItem *> parents;
    QStringList emptied; // devices left with no channel
    for (const QString &id : channelIds) {
        TreeItem *item = m_items.take(id);
        if (!item) {
            // A camera or stream leaf is its channel 0.
            const QPair<QString, int> key = orlun_data::parseChannelId(id);
            DevItem *dev = key.second == 0 ? m_devItems.value(key.first) : nullptr;
            if (dev && dev->childCount() == 0)
                emptied.append(key.first);
            continue;
        }
        QTreeWidgetItem *parent = item->parent();
        delete item;
        if (parent && parent->type() == DevItemType && parent->childCount() == 0)
            emptied.append(static_cast<DevItem *>(parent)->getDevId());
        else
            parents.insert(parent);
    }
    for (const QString &devId : qAsConst(emptied)) {
        parents.remove(m_devItems.value(devId));
        removeDeviceItems(devId);
    }
    for (QTreeWidgetItem *parent : qAsConst(parents))
        refreshParentCheckState(parent);
}

void VideoPointTree::updateChannelStatus(const QString &devId)
{
    DevItem *dev = m_devItems.value(devId);
    if (m_hideOffline) {
        // Going on- or offline changes which items exist at all.
        if (dev || !orlun_data::DevsMgrData::_instance().getDevInfoById(devId).devId.isEmpty())
            addDeviceItems(devId);
        return;
    }
    if (!dev)
        return;
    const auto &devsMgr = orlun_data::DevsMgrData::_instance();
    if (dev->childCount() == 0) {
        dev->setIcon(0, statusIcon(devsMgr.getChannelStatus(devId, 0)));
        return;
    }
    for (int i = 0; i < dev->childCount(); ++i) {
        if (dev->child(i)->type() != ChannelItemType)
            continue;
        auto *channel = static_cast<ChannelItem *>(dev->child(i));
        channel->setIcon(0, statusIcon(devsMgr.getChannelStatus(devId, channel->getChannelNo())));
    }
}

} // namespace orlun_base
