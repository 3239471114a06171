// Builds the device tree for large catalogs and compares it with the same
// items put into a plain, hidden QTreeWidget in the same run.
#include <QApplication>
#include <QPainter>
#include <QPixmap>
#include <QTreeWidget>

#include "BaseTools.h"
#include "BenchSupport.h"
#include "ChannelId.h"
#include "DataStore.h"
#include "DevsMgrData.h"
#include "TreeConfig.h"
#include "VideoPointTree.h"

#include <algorithm>

namespace {

class CheckableConfig : public orlun_base::TreeConfig
{
public:
    bool treeOption1() override { return true; }
};

struct Catalog
{
    int nvrs;
    int channelsPerNvr;
    int cameras;
    int groups;

    int items() const { return 4 + nvrs * (1 + channelsPerNvr) + cameras + groups; }
};

bool seed(const Catalog &catalog)
{
    if (!orlun_data::DataStore::_instance().open(QStringLiteral(":memory:")))
        return false;
    QList<vms_sdk::DevInfo> infos;
    infos.reserve(catalog.nvrs + catalog.cameras);
    for (int i = 0; i < catalog.nvrs; ++i) {
        vms_sdk::DevInfo info;
        info.devId = QStringLiteral("nvr-%1").arg(i);
        info.devName = QStringLiteral("NVR %1").arg(i);
        info.devType = 0;
        info.channelCount = catalog.channelsPerNvr;
        info.devSn = QStringLiteral("SN-NVR-%1").arg(i);
        info.ip = QStringLiteral("10.1.%1.%2").arg(i / 250).arg(i % 250 + 1);
        info.brand = QStringLiteral("Orlun");
        infos << info;
    }
    for (int i = 0; i < catalog.cameras; ++i) {
        vms_sdk::DevInfo info;
        info.devId = QStringLiteral("cam-%1").arg(i);
        info.devName = QStringLiteral("Camera %1").arg(i);
        info.devType = 1;
        info.channelCount = 1;
        info.devSn = QStringLiteral("SN-CAM-%1").arg(i);
        info.ip = QStringLiteral("10.2.%1.%2").arg(i / 250).arg(i % 250 + 1);
        info.brand = QStringLiteral("Orlun");
        infos << info;
    }
    auto &data = orlun_data::DevsMgrData::_instance();
    if (!data.addDevices(infos))
        return false;
    for (int i = 0; i < catalog.groups; ++i) {
        if (!data.addGroup(QStringLiteral("grp-%1").arg(i), QStringLiteral("Group %1").arg(i)))
            return false;
    }
    return true;
}

QVector<QIcon> statusIcons()
{
    QVector<QIcon> icons;
    for (int status = 0; status <= vms_sdk::ChannelUnknown; ++status) {
        QPixmap dot(10, 10);
        dot.fill(Qt::transparent);
        QPainter painter(&dot);
        painter.setBrush(orlun_base::BaseTools::_instance().chanStatusTextColor(QString(), status));
        painter.drawEllipse(1, 1, 8, 8);
        painter.end();
        icons << QIcon(dot);
    }
    return icons;
}

// What a straightforward plain-QTreeWidget version of the same tree does:
// the same items with their texts, ids (as Qt::UserRole), status icons and,
// when asked, check boxes, built off-view and inserted in one go.
QTreeWidget *buildReference(bool checkable)
{
    const QVector<QIcon> icons = statusIcons();
    auto *tree = new QTreeWidget;
    tree->setColumnCount(1);
    tree->setHeaderHidden(true);
    tree->setUniformRowHeights(true);
    auto make = [&](const QString &id, const QString &text) {
        auto *item = new QTreeWidgetItem;
        item->setText(0, text);
        item->setData(0, Qt::UserRole, id);
        if (checkable)
            item->setCheckState(0, Qt::Unchecked);
        return item;
    };
    QList<QTreeWidgetItem *> folders{make(QStringLiteral("devices"), QStringLiteral("Devices")),
                                     make(QStringLiteral("cameras"), QStringLiteral("Cameras")),
                                     make(QStringLiteral("streams"), QStringLiteral("Streams")),
                                     make(QStringLiteral("groups"), QStringLiteral("Groups"))};
    const auto &data = orlun_data::DevsMgrData::_instance();
    QList<QTreeWidgetItem *> devs, cameras;
    for (const vms_sdk::DevInfo &info : data.getAllDevices()) {
        QTreeWidgetItem *dev = make(info.devId, info.devName);
        if (info.devType == 1) {
            dev->setIcon(0, icons.at(data.getChannelStatus(info.devId, 0)));
            cameras << dev;
            continue;
        }
        QList<QTreeWidgetItem *> channels;
        for (const vms_sdk::DevChannelInfo &channel : data.getDevChannels(info.devId)) {
            const int no = channel.channelKey.second;
            QTreeWidgetItem *item =
                make(orlun_data::formatChannelId(info.devId, no), channel.channelName);
            item->setIcon(0, icons.at(data.getChannelStatus(info.devId, no)));
            channels << item;
        }
        dev->addChildren(channels);
        devs << dev;
    }
    QList<QTreeWidgetItem *> groups;
    for (const vms_sdk::GroupInfo &group : data.getAllGroups())
        groups << make(group.groupId, group.groupName);
    folders[0]->addChildren(devs);
    folders[1]->addChildren(cameras);
    folders[3]->addChildren(groups);
    tree->addTopLevelItems(folders);
    return tree;
}

// Best of a few runs: the machine is shared and the first run pays for
// allocator warm-up.
double bestOf(int runs, const std::function<double()> &fn)
{
    double best = 1e300;
    for (int i = 0; i < runs; ++i)
        best = std::min(best, fn());
    return best;
}

bool measure(const QString &name, const Catalog &catalog, bool checkable)
{
    const double treeMs = bestOf(3, [&] {
        orlun_base::VideoPointTree *view = nullptr;
        const double ms = benchMs([&] {
            view = new orlun_base::VideoPointTree(nullptr, checkable ? new CheckableConfig
                                                                     : new orlun_base::TreeConfig);
            view->resize(400, 800);
            view->show();
        });
        delete view;
        return ms;
    });
    const double refMs = bestOf(3, [&] {
        QTreeWidget *ref = nullptr;
        const double ms = benchMs([&] { ref = buildReference(checkable); });
        delete ref;
        return ms;
    });
    return reportRatio(name, catalog.items(), treeMs, refMs, 1.5);
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);

    bool ok = true;
    const Catalog nvrs{2000, 16, 300, 200};
    if (!seed(nvrs))
        return 2;
    ok &= measure(QStringLiteral("VideoPointTree 2000x16 NVRs"), nvrs, false);
    ok &= measure(QStringLiteral("VideoPointTree 2000x16 NVRs, checkable"), nvrs, true);

    const Catalog large{5800, 16, 1000, 400};
    if (!seed(large))
        return 2;
    ok &= measure(QStringLiteral("VideoPointTree ~100k items"), large, false);
    ok &= measure(QStringLiteral("VideoPointTree ~100k items, checkable"), large, true);
    return ok ? 0 : 1;
}
