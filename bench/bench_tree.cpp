// A device tree (devices with channels under one folder) in a visible
// TamTreeWidget, checked the way a user does it, against the same tree in a
// plain QTreeWidget that is never shown, with every check state set by code.
// Times include everything left for the event loop until it is idle again.

#include <QApplication>
#include <QMouseEvent>
#include <QStyle>
#include <QStyleOptionViewItem>
#include <QTextStream>
#include <QTreeWidget>
#include <QWindow>

#include "TamTreeWidget.h"

#include "BenchSupport.h"

namespace {

constexpr int kDevices = 2000;
constexpr int kChannels = 16;
constexpr double kTarget = 1.5;

QTreeWidgetItem *buildTree(QTreeWidget *tree)
{
    auto *folder = new QTreeWidgetItem(QStringList(QStringLiteral("Devices")));
    folder->setCheckState(0, Qt::Unchecked);
    for (int d = 0; d < kDevices; ++d) {
        auto *device = new QTreeWidgetItem(folder, QStringList(QStringLiteral("NVR %1").arg(d)));
        device->setCheckState(0, Qt::Unchecked);
        for (int c = 0; c < kChannels; ++c) {
            auto *channel =
                new QTreeWidgetItem(device, QStringList(QStringLiteral("Channel %1").arg(c + 1)));
            channel->setCheckState(0, Qt::Unchecked);
        }
    }
    tree->addTopLevelItem(folder);
    tree->expandAll();
    return folder;
}

void checkByCode(QTreeWidgetItem *folder)
{
    for (int d = 0; d < folder->childCount(); ++d) {
        QTreeWidgetItem *device = folder->child(d);
        device->setCheckState(0, Qt::Checked);
        for (int c = 0; c < device->childCount(); ++c)
            device->child(c)->setCheckState(0, Qt::Checked);
    }
    folder->setCheckState(0, Qt::Checked);
}

// A left click on the item's check box, as the mouse delivers it.
void clickCheckBox(QTreeWidget *tree, QTreeWidgetItem *item)
{
    tree->scrollToItem(item);
    QStyleOptionViewItem option;
    option.initFrom(tree);
    option.rect = tree->visualItemRect(item);
    option.features = QStyleOptionViewItem::HasCheckIndicator | QStyleOptionViewItem::HasDisplay;
    option.text = item->text(0);
    const QPoint pos = tree->style()
                           ->subElementRect(QStyle::SE_ItemViewItemCheckIndicator, &option, tree)
                           .center();
    QWidget *viewport = tree->viewport();
    QMouseEvent press(QEvent::MouseButtonPress, pos, viewport->mapToGlobal(pos), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(viewport, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, pos, viewport->mapToGlobal(pos), Qt::LeftButton,
                        Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(viewport, &release);
}

void showAndWait(QWidget *widget)
{
    widget->show();
    while (!widget->windowHandle() || !widget->windowHandle()->isExposed())
        QApplication::processEvents(QEventLoop::AllEvents, 10);
    settleEvents();
}

bool allChecked(QTreeWidgetItem *folder)
{
    for (int d = 0; d < folder->childCount(); ++d) {
        QTreeWidgetItem *device = folder->child(d);
        if (device->checkState(0) != Qt::Checked ||
            device->child(kChannels - 1)->checkState(0) != Qt::Checked)
            return false;
    }
    return folder->checkState(0) == Qt::Checked;
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    const int items = 1 + kDevices * (1 + kChannels);
    QTextStream(stdout) << "TamTreeWidget, " << kDevices << " devices x " << kChannels
                        << " channels; reference: hidden QTreeWidget with uniform row heights, "
                           "states set by code\n";

    QTreeWidget reference;
    reference.resize(400, 700);
    // Without uniform row heights a plain tree spends most of its time on
    // size hints; with them the reference is the cost of the items alone.
    reference.setUniformRowHeights(true);
    QTreeWidgetItem *refFolder = nullptr;
    const double refBuildMs = benchSettledMs([&] { refFolder = buildTree(&reference); });
    const double refCheckMs = benchSettledMs([&] { checkByCode(refFolder); });

    TAMCOMMON::TamTreeWidget tree;
    tree.resize(400, 700);
    showAndWait(&tree);
    QTreeWidgetItem *folder = nullptr;
    const double buildMs = benchSettledMs([&] { folder = buildTree(&tree); });
    bool ok = reportRatio(QStringLiteral("build and expand all, visible"), items, buildMs,
                          refBuildMs, kTarget);

    const double clickDevicesMs = benchSettledMs([&] {
        for (int d = 0; d < folder->childCount(); ++d)
            clickCheckBox(&tree, folder->child(d));
    });
    ok &= allChecked(folder);

    // The same clicks cost the same in any view; what is compared is what
    // follows them: a visible plain tree toggles only the clicked device, and
    // code then sets its channels and the folder.
    QTreeWidget plain;
    plain.resize(400, 700);
    plain.setUniformRowHeights(true);
    showAndWait(&plain);
    QTreeWidgetItem *plainFolder = buildTree(&plain);
    settleEvents();
    const double plainClicksMs = benchSettledMs([&] {
        for (int d = 0; d < plainFolder->childCount(); ++d) {
            QTreeWidgetItem *device = plainFolder->child(d);
            clickCheckBox(&plain, device);
            for (int c = 0; c < device->childCount(); ++c)
                device->child(c)->setCheckState(0, device->checkState(0));
            plainFolder->setCheckState(
                0, d + 1 == plainFolder->childCount() ? Qt::Checked : Qt::PartiallyChecked);
        }
    });
    plain.hide();
    ok &= allChecked(plainFolder);
    ok &= reportRatio(QStringLiteral("click every device (ref: visible, by code)"), items,
                      clickDevicesMs, plainClicksMs, kTarget);

    // Unchecks everything and checks it again from the top.
    clickCheckBox(&tree, folder);
    settleEvents();
    const double clickFolderMs = benchSettledMs([&] { clickCheckBox(&tree, folder); });
    ok &= allChecked(folder);
    ok &= reportRatio(QStringLiteral("click the folder's check box (ref: by code)"), items,
                      clickFolderMs, refCheckMs, kTarget);
    if (!allChecked(folder))
        QTextStream(stdout) << "check states wrong after the clicks\n";
    return ok ? 0 : 1;
}
