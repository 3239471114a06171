#pragma once

#include <QColor>
#include <QPair>
#include <QString>

#include "TamSingleton.h"
#include "VmsSdkTypes.h"

class QTableWidget;
class QTableWidgetItem;

namespace orlun_base {

// Helpers shared by the client's forms.
class BaseTools : public TAMCOMMON::TamSingleton<BaseTools>
{
public:
    // Channel id of a device's zero-based channel (see orlun_data::formatChannelId).
    QString formatChannelId(const QString &devId, int channelNo);
    // The (device id, channel number) of a channel id; (empty, -1) when the
    // text is no channel id. Splits at the last separator, so device ids may
    // contain it.
    QPair<QString, int> formatChannelId(const QString &channelId);

    vms_sdk::DevInfo getDevInfo(const QString &devId);

    // Writes the serial number (snBrandKind1 0), or the brand name of code
    // snBrandKind2 (snBrandKind1 1), as the item's text and tool tip.
    void updateItemSnOrBrandText(QTableWidgetItem *item, const QString &sn, int snBrandKind1,
                                 int snBrandKind2);

    QString strChannelStatus(const QString &devId, int status);
    QColor chanStatusTextColor(const QString &devId, int status);

    // Rewrites the running numbers (from startNum) in column 0 of the visible
    // rows, in the table's current row order, creating missing items. Hidden
    // rows get an empty text, so no number shows twice when one is shown
    // again before the next count.
    void updateTableOrderNum(QTableWidget *table, int startNum);

private:
    friend class TAMCOMMON::TamSingleton<BaseTools>;
    BaseTools() = default;
    ~BaseTools() = default;
};

} // namespace orlun_base
