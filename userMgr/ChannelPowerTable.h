#pragma once

#include <QList>
#include <QMap>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QWidget>

#include "VmsSdkTypes.h"

class QLabel;
class QTableWidgetItem;

namespace orlun_base {
class TableOperWtStyle;
}

namespace orlun_userMgr {

namespace Ui {
class ChannelPowerTable;
}

// The channels granted to the user being shown or edited, one row per
// channel id, with device data and live status. The channel permission tree
// owns the set and pushes it here; removals made here are reported back.
class ChannelPowerTable : public QWidget
{
    Q_OBJECT
public:
    explicit ChannelPowerTable(QWidget *parent = nullptr);
    ~ChannelPowerTable() override;

    // Makes the rows match channels: adds the missing ones, drops the others.
    void setChannels(const QSet<QString> &channels);
    void setEditable(bool editable);
    // The channel groups the user holds, shown read-only above the table
    // while it is not editable; while editing the tree shows them.
    void setGrantedGroups(const QSet<QString> &groupIds);

signals:
    void signalRemoveChannels(QSet<QString> channels);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    void appendChannelRow(const QString &channelId);
    void removeSingleChannel(QTableWidgetItem *nameItem, const QString &channelId);
    void removeCheckedChannels();
    void filterByKeyword(const QString &keyword);
    void refreshDevices();
    void renameChannels(const QList<vms_sdk::DevChannelInfo> &channels);
    void removeDeletedChannels(const QStringList &channelIds);
    void refreshStatus(const QString &devId);
    void buildGrantSummary();
    void updateGrantSummary();
    void updateChannelCount();

    Ui::ChannelPowerTable *m_ui;
    orlun_base::TableOperWtStyle *m_operWtStyle;
    // Channel id to the row's column-0 item; one entry per row.
    QMap<QString, QTableWidgetItem *> m_channelItems;
    // Header cells in column order; the operation column has none.
    QList<QWidget *> m_headerWts;
    bool m_editable = false;
    QSet<QString> m_grantedGroups;
    QWidget *m_grantSummaryWt = nullptr;
    QLabel *m_groupsLabel = nullptr;
    QLabel *m_countLabel = nullptr;
};

} // namespace orlun_userMgr

Q_DECLARE_METATYPE(QSet<QString>)
