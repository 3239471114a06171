#include "BaseTools.h"

#include <QCoreApplication>
#include <QTableWidget>

#include "ChannelId.h"
#include "DevsMgrData.h"
#include "TamTableWidget.h"

namespace orlun_base {

namespace {

// Brand codes as the device SDK reports them; codes outside the table read
// as unknown.
QString brandName(int code)
{
    switch (code) {
    case 1:
        return QStringLiteral("Orlun");
    case 2:
        return QStringLiteral("Hikvision");
    case 3:
        return QStringLiteral("Dahua");
    case 4:
        return QStringLiteral("Uniview");
    case 5:
        return QStringLiteral("Axis");
    case 6:
        return QStringLiteral("ONVIF");
    default:
        return QCoreApplication::translate("orlun_base::BaseTools", "Unknown");
    }
}

} // namespace

QString BaseTools::formatChannelId(const QString &devId, int channelNo)
{
    return orlun_data::formatChannelId(devId, channelNo);
}

QPair<QString, int> BaseTools::formatChannelId(const QString &channelId)
{
    const QPair<QString, int> key = orlun_data::parseChannelId(channelId);
    // The number parser is lenient ("a#01", "a# 1", "a#+1"); only the exact
    // text formatChannelId makes is a channel id, otherwise two spellings
    // would name one channel and set look-ups by id would miss.
    if (key.second < 0 || orlun_data::formatChannelId(key.first, key.second) != channelId)
        return {QString(), -1};
    return key;
}

vms_sdk::DevInfo BaseTools::getDevInfo(const QString &devId)
{
    return orlun_data::DevsMgrData::_instance().getDevInfoById(devId);
}

void BaseTools::updateItemSnOrBrandText(QTableWidgetItem *item, const QString &sn, int snBrandKind1,
                                        int snBrandKind2)
{
    if (!item)
        return;
    const QString text = snBrandKind1 == 1 ? brandName(snBrandKind2) : sn;
    // Refreshed for every row after each show; a change makes the table look
    // the item up, so unchanged texts are left alone.
    if (item->text() != text)
        item->setText(text);
    // Serial numbers are long and the column is narrow.
    if (item->toolTip() != text)
        item->setToolTip(text);
}

QString BaseTools::strChannelStatus(const QString &devId, int status)
{
    Q_UNUSED(devId)
    switch (status) {
    case vms_sdk::ChannelOffline:
        return QCoreApplication::translate("orlun_base::BaseTools", "Offline");
    case vms_sdk::ChannelOnline:
        return QCoreApplication::translate("orlun_base::BaseTools", "Online");
    case vms_sdk::ChannelRecording:
        return QCoreApplication::translate("orlun_base::BaseTools", "Recording");
    case vms_sdk::ChannelAlarm:
        return QCoreApplication::translate("orlun_base::BaseTools", "Alarm");
    default:
        return QCoreApplication::translate("orlun_base::BaseTools", "Unknown");
    }
}

QColor BaseTools::chanStatusTextColor(const QString &devId, int status)
{
    Q_UNUSED(devId)
    switch (status) {
    case vms_sdk::ChannelOnline:
        return QColor(QRgb(0x30A46C));
    case vms_sdk::ChannelRecording:
        return QColor(QRgb(0x2D80D4));
    case vms_sdk::ChannelAlarm:
        return QColor(QRgb(0xE5484D));
    default: // offline and unknown
        return QColor(QRgb(0x6C7586));
    }
}

void BaseTools::updateTableOrderNum(QTableWidget *table, int startNum)
{
    if (!table)
        return;
    // A sorting table would move the row under our feet on every write.
    const bool sorting = table->isSortingEnabled();
    if (sorting)
        table->setSortingEnabled(false);

    // The kit's table: rows removed just before leave Qt's model first, so
    // that QTableWidget's own row functions below see the same rows, and
    // item() gives the items their positions back before the first change.
    auto *tamTable = qobject_cast<TAMCOMMON::TamTableWidget *>(table);
    if (tamTable)
        tamTable->flushRemovals();
    int num = startNum;
    const int rows = table->rowCount();
    for (int row = 0; row < rows; ++row) {
        QTableWidgetItem *item = tamTable ? tamTable->item(row, 0) : table->item(row, 0);
        if (table->isRowHidden(row)) {
            // A stale number would show twice once the row is shown again.
            if (item && !item->text().isEmpty())
                item->setText(QString());
            continue;
        }
        if (!item) {
            item = new QTableWidgetItem;
            table->setItem(row, 0, item);
        }
        // Each change makes the table look the item up, which scans the
        // whole table once rows were removed or sorted: numbers already right
        // are left alone.
        const QString text = QString::number(num++);
        if (item->text() != text)
            item->setText(text);
    }

    if (sorting)
        table->setSortingEnabled(true);
}

} // namespace orlun_base

template class TAMCOMMON::TamSingleton<orlun_base::BaseTools>;
