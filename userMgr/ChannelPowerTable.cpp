#include "ChannelPowerTable.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QHash>
#include <QHeaderView>
#include <QLabel>
#include <QPair>
#include <QTableWidgetItem>
#include <QTimer>

#include "BaseTools.h"
#include "BusyCursor.h"
#include "ChannelTableItem.h"
#include "DataSignals.h"
#include "DevsMgrData.h"
#include "DictDef.h"
#include "EditOperWt.h"
#include "IpTableItem.h"
#include "SystemAssistant.h"
#include "TableOperWtStyle.h"

#include "ui_ChannelPowerTable.h"

namespace orlun_userMgr {

namespace {

enum Column {
    OrderColumn = 0,
    NameColumn = 1,
    SnColumn = 2,
    IpColumn = 3,
    IndexColumn = 4,
    StatusColumn = 5,
    OperColumn = 6,
};

constexpr int OrderColumnWidth = 65;
constexpr int OperColumnWidth = 85;
constexpr int DeviceRefreshDelayMs = 50;

orlun_base::BaseTools &baseTools()
{
    return TAMCOMMON::TamSingleton<orlun_base::BaseTools>::_instance();
}

orlun_data::DevsMgrData &devsMgrData()
{
    return TAMCOMMON::TamSingleton<orlun_data::DevsMgrData>::_instance();
}

orlun_data::DataSignals &dataSignals()
{
    return TAMCOMMON::TamSingleton<orlun_data::DataSignals>::_instance();
}

void registerChannelSetType()
{
    static const int id = qRegisterMetaType<QSet<QString>>("QSet<QString>");
    Q_UNUSED(id)
}

// Every change of an item makes QTableWidget look the item up, which scans
// the table once rows have been removed or sorted: rows already right are
// left alone.
void setUserCheckable(QTableWidgetItem *item, bool checkable)
{
    const Qt::ItemFlags flags = checkable ? item->flags() | Qt::ItemIsUserCheckable
                                          : item->flags() & ~Qt::ItemIsUserCheckable;
    if (flags != item->flags())
        item->setFlags(flags);
}

QString channelIdOf(const QTableWidgetItem *orderItem)
{
    return orderItem ? orderItem->data(Qt::UserRole).toString() : QString();
}

void showStatus(QTableWidgetItem *item, const QString &devId, int status)
{
    item->setText(baseTools().strChannelStatus(devId, status));
    item->setData(Qt::ForegroundRole, baseTools().chanStatusTextColor(devId, status));
}

} // namespace

ChannelPowerTable::ChannelPowerTable(QWidget *parent)
    : QWidget(parent)
    , m_ui(new Ui::ChannelPowerTable)
    , m_operWtStyle(new orlun_base::TableOperWtStyle(this))
{
    registerChannelSetType();
    m_ui->setupUi(this);

    orlun_base::TableWidget *table = m_ui->channelsTable;
    table->setBackgroudColor(QColor(QRgb(0x101928)));
    table->setStyleSheet(QStringLiteral("QTableWidget{background-color:#101928;}"));
    // Reachable with Tab, so that rows can be ticked and removed without a
    // mouse, and left with Tab again (arrows move between rows); screen
    // readers name the table and its search box.
    table->setFocusPolicy(Qt::StrongFocus);
    table->setTabKeyNavigation(false);
    m_ui->label->setBuddy(table);
    table->setAccessibleName(m_ui->label->text());
    m_ui->searchBox->setAccessibleName(tr("Search selected channels"));
    buildGrantSummary();

    m_ui->removeChannelsBt->setIcons(QStringLiteral(":/images/images/delete_iconBt_n.png"),
                                     QStringLiteral(":/images/images/delete_iconBt_n.png"));
    m_ui->removeChannelsBt->setProperty("common_bt_style2", true);
    m_ui->removeChannelsBt->setVisible(m_editable);

    // The fixed widths are those of the header strip's first and last cells.
    QHeaderView *header = table->horizontalHeader();
    header->setSectionResizeMode(OrderColumn, QHeaderView::Fixed);
    header->resizeSection(OrderColumn, OrderColumnWidth);
    header->setSectionResizeMode(OperColumn, QHeaderView::Fixed);
    header->resizeSection(OperColumn, OperColumnWidth);
    for (int column = NameColumn; column < OperColumn; ++column)
        header->setSectionResizeMode(column, QHeaderView::Stretch);

    // "All" and the strip's widths are the host's business; only the header
    // cells' click sorting is done here.
    m_operWtStyle->setWts(m_ui->selAll, table, m_ui->headerLayout, {OperColumn});

    m_headerWts = {m_ui->orderNumWt, m_ui->channelName,  m_ui->devSn,
                   m_ui->Ip,         m_ui->channelIndex, m_ui->status};
    for (int column = NameColumn; column < m_headerWts.size(); ++column)
        m_headerWts.at(column)->installEventFilter(this);

    connect(m_ui->removeChannelsBt, &QAbstractButton::clicked, this,
            [this]() { removeCheckedChannels(); });
    connect(m_ui->searchBox, &orlun_base::SearchBox::signalSearchByKeyword, this,
            [this](const QString &keyword) { filterByKeyword(keyword); });
    connect(&dataSignals(), &orlun_data::DataSignals::signalDevChannelsStatusChanged, this,
            [this](const QString &devId, const QList<vms_sdk::ChannelStatus> &) {
                refreshStatus(devId);
            });
    connect(&dataSignals(), &orlun_data::DataSignals::signalUpdateDevChannels, this,
            [this](const QString &, const QList<vms_sdk::DevChannelInfo> &channels) {
                renameChannels(channels);
            });
    connect(&dataSignals(), &orlun_data::DataSignals::signalDeleteChannels, this,
            [this](const QStringList &channelIds) { removeDeletedChannels(channelIds); });
}

ChannelPowerTable::~ChannelPowerTable()
{
    delete m_ui;
}

void ChannelPowerTable::setChannels(const QSet<QString> &channels)
{
    const TAMCOMMON::BusyCursor busy(channels.size() + m_channelItems.size());
    for (const QString &channelId : channels) {
        if (!m_channelItems.contains(channelId))
            appendChannelRow(channelId);
    }

    TAMCOMMON::TamTableWidget *table = m_ui->channelsTable;
    const QMap<QString, QTableWidgetItem *> shown = m_channelItems;
    for (auto it = shown.cbegin(); it != shown.cend(); ++it) {
        if (channels.contains(it.key()))
            continue;
        table->removeRow(table->row(it.value()));
        m_channelItems.remove(it.key());
    }

    baseTools().updateTableOrderNum(table, 1);
    updateChannelCount();
}

void ChannelPowerTable::setEditable(bool editable)
{
    m_editable = editable;
    if (!editable)
        m_ui->selAll->setChecked(false);
    m_ui->selAll->setCheckable(editable);
    m_ui->removeChannelsBt->setVisible(editable);
    updateGrantSummary();

    // The kit holds the cell widgets; Qt's own cellWidget() does not see them.
    TAMCOMMON::TamTableWidget *table = m_ui->channelsTable;
    for (int row = 0; row < table->rowCount(); ++row) {
        if (auto *oper = qobject_cast<orlun_base::EditOperWt *>(table->cellWidget(row, OperColumn)))
            oper->setDeleteBtVisible(editable);
        QTableWidgetItem *orderItem = table->item(row, OrderColumn);
        if (!orderItem)
            continue;
        setUserCheckable(orderItem, editable);
        if (!editable && orderItem->checkState() != Qt::Unchecked)
            orderItem->setCheckState(Qt::Unchecked);
    }
}

void ChannelPowerTable::setGrantedGroups(const QSet<QString> &groupIds)
{
    m_grantedGroups = groupIds;
    updateGrantSummary();
}

void ChannelPowerTable::buildGrantSummary()
{
    m_grantSummaryWt = new QWidget(this);
    m_grantSummaryWt->setObjectName(QStringLiteral("grantSummaryWt"));
    auto *row = new QHBoxLayout(m_grantSummaryWt);
    row->setContentsMargins(10, 0, 10, 0);
    row->setSpacing(12);
    const QString captionStyle = QStringLiteral(
        "QLabel{background-color:transparent;color:#6C7586;font-family:microsoft yahei;"
        "font-size:13px;}");
    m_groupsLabel = new QLabel(m_grantSummaryWt);
    m_groupsLabel->setObjectName(QStringLiteral("grantedGroups"));
    m_groupsLabel->setStyleSheet(captionStyle);
    m_groupsLabel->setWordWrap(true);
    m_groupsLabel->setToolTip(tr("Channel groups granted, with the number of channels in each"));
    m_groupsLabel->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_countLabel = new QLabel(m_grantSummaryWt);
    m_countLabel->setObjectName(QStringLiteral("grantedCount"));
    m_countLabel->setStyleSheet(captionStyle);
    row->addWidget(m_groupsLabel, 1);
    row->addWidget(m_countLabel, 0, Qt::AlignRight | Qt::AlignTop);
    // Between the title row and the table; the table keeps the stretch.
    m_ui->verticalLayout_2->insertWidget(1, m_grantSummaryWt, 0);

    updateGrantSummary();
}

void ChannelPowerTable::updateChannelCount()
{
    m_countLabel->setText(tr("Channels: %1").arg(m_ui->channelsTable->rowCount()));
}

void ChannelPowerTable::updateGrantSummary()
{
    QStringList groups;
    // In the catalog's order, the order in which the tree lists them.
    const QList<vms_sdk::GroupInfo> allGroups = devsMgrData().getAllGroups();
    for (const vms_sdk::GroupInfo &group : allGroups) {
        if (!m_grantedGroups.contains(group.groupId))
            continue;
        const int channels = devsMgrData().getGroupsChannels({group.groupId}).size();
        groups << QStringLiteral("%1 (%2)").arg(group.groupName, QString::number(channels));
    }
    m_groupsLabel->setText(tr("Groups: %1").arg(groups.join(QStringLiteral(", "))));
    m_groupsLabel->setVisible(!m_editable && !groups.isEmpty());
    updateChannelCount();
}

bool ChannelPowerTable::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::MouseButtonRelease) {
        auto *widget = qobject_cast<QWidget *>(watched);
        const int column = widget ? m_headerWts.indexOf(widget) : -1;
        if (column >= 0) {
            const TAMCOMMON::BusyCursor busy(m_ui->channelsTable->rowCount());
            m_ui->channelsTable->sortByColumn(column, Qt::AscendingOrder);
            baseTools().updateTableOrderNum(m_ui->channelsTable, 1);
        }
    }
    // The header cell still gets its release.
    return QObject::eventFilter(watched, event);
}

void ChannelPowerTable::showEvent(QShowEvent *event)
{
    // Device data may have changed while the panel was hidden; waiting lets
    // the panel paint first.
    QTimer::singleShot(DeviceRefreshDelayMs, this, [this]() { refreshDevices(); });
    QWidget::showEvent(event);
}

void ChannelPowerTable::appendChannelRow(const QString &channelId)
{
    TAMCOMMON::TamTableWidget *table = m_ui->channelsTable;
    const int row = table->rowCount();
    table->insertRow(row);

    auto *orderItem = new QTableWidgetItem;
    setUserCheckable(orderItem, m_editable);
    orderItem->setTextAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    orderItem->setCheckState(Qt::Unchecked);
    orderItem->setData(Qt::UserRole, channelId);
    table->setItem(row, OrderColumn, orderItem);
    m_channelItems.insert(channelId, orderItem);

    // The record's own key fills the row, also for ids the host does not know.
    const vms_sdk::DevChannelInfo channel =
        devsMgrData().getDevChannelInfo(baseTools().formatChannelId(channelId));
    const QString &devId = channel.channelKey.first;
    const int channelNo = channel.channelKey.second;

    auto *nameItem = new orlun_base::ChannelTableItem(channel.channelName, devId, channelNo);
    nameItem->setToolTip(nameItem->text());
    nameItem->setTextAlignment(Qt::AlignCenter);
    table->setItem(row, NameColumn, nameItem);

    const vms_sdk::DevInfo device = devsMgrData().getDevInfoById(devId);
    auto *snItem = new QTableWidgetItem;
    baseTools().updateItemSnOrBrandText(snItem, device.devSn, device.snBrandKind1,
                                        device.snBrandKind2);
    snItem->setTextAlignment(Qt::AlignCenter);
    table->setItem(row, SnColumn, snItem);

    auto *ipItem = new orlun_base::IpTableItem(device.ip, device.port, 0);
    ipItem->setTextAlignment(Qt::AlignCenter);
    table->setItem(row, IpColumn, ipItem);

    // An int, so that channel 10 sorts after channel 2.
    auto *indexItem = new QTableWidgetItem;
    indexItem->setData(Qt::DisplayRole, channelNo + 1);
    indexItem->setTextAlignment(Qt::AlignCenter);
    table->setItem(row, IndexColumn, indexItem);

    const int status = devsMgrData().getChannelStatus(channel.channelKey);
    auto *statusItem = new QTableWidgetItem(baseTools().strChannelStatus(devId, status));
    statusItem->setData(Qt::ForegroundRole, baseTools().chanStatusTextColor(devId, status));
    statusItem->setTextAlignment(Qt::AlignCenter);
    table->setItem(row, StatusColumn, statusItem);

    table->setItem(row, OperColumn, new QTableWidgetItem);
    auto *oper = new orlun_base::EditOperWt(channelId, table);
    oper->setEditBtVisible(false);
    oper->setDeleteBtVisible(m_editable);
    table->setCellWidget(row, OperColumn, oper);
    // Sorting moves rows, so the row is found again through its name item.
    connect(oper, &orlun_base::EditOperWt::signalDeleteBtClicked, this,
            [this, nameItem](const QString &id) { removeSingleChannel(nameItem, id); });
}

void ChannelPowerTable::removeSingleChannel(QTableWidgetItem *nameItem, const QString &channelId)
{
    // Called from the row's own delete button: Qt releases the removed row's
    // cell widget later, so the emitting widget outlives this call.
    TAMCOMMON::TamTableWidget *table = m_ui->channelsTable;
    table->removeRow(table->row(nameItem));
    m_channelItems.remove(channelId);
    baseTools().updateTableOrderNum(table, 1);
    updateChannelCount();
    emit signalRemoveChannels(QSet<QString>{channelId});
}

void ChannelPowerTable::removeCheckedChannels()
{
    TAMCOMMON::TamTableWidget *table = m_ui->channelsTable;
    const TAMCOMMON::BusyCursor busy(table->rowCount());
    QSet<QString> removed;
    for (int row = table->rowCount() - 1; row >= 0; --row) {
        const QTableWidgetItem *orderItem = table->item(row, OrderColumn);
        // Rows the keyword hides stay, even when ticked.
        if (!orderItem || orderItem->checkState() != Qt::Checked || table->isRowHidden(row))
            continue;
        const QString channelId = channelIdOf(orderItem);
        removed.insert(channelId);
        table->removeRow(row);
        m_channelItems.remove(channelId);
    }

    if (removed.isEmpty()) {
        TAMCOMMON::TamSingleton<orlun_worker::SystemAssistant>::_instance().messageAlert(
            TAMCOMMON::TamSingleton<orlun_worker::DictDef>::_instance().warningTitle,
            tr("Please select channels to delete"));
        return;
    }
    baseTools().updateTableOrderNum(table, 1);
    updateChannelCount();
    emit signalRemoveChannels(removed);
}

void ChannelPowerTable::filterByKeyword(const QString &keyword)
{
    TAMCOMMON::TamTableWidget *table = m_ui->channelsTable;
    const TAMCOMMON::BusyCursor busy(table->rowCount());
    for (int row = 0; row < table->rowCount(); ++row) {
        bool matches = keyword.isEmpty();
        for (int column = NameColumn; !matches && column <= IpColumn; ++column) {
            const QTableWidgetItem *item = table->item(row, column);
            matches = item && item->text().contains(keyword, Qt::CaseInsensitive);
        }
        table->setRowHidden(row, !matches);
    }
    baseTools().updateTableOrderNum(table, 1);
}

void ChannelPowerTable::refreshDevices()
{
    TAMCOMMON::TamTableWidget *table = m_ui->channelsTable;
    // Rows of one device are usually adjacent, so one cached record spares
    // most look-ups.
    vms_sdk::DevInfo device;
    for (int row = 0; row < table->rowCount(); ++row) {
        const QString devId =
            baseTools().formatChannelId(channelIdOf(table->item(row, OrderColumn))).first;
        if (devId.isEmpty())
            continue;
        if (devId != device.devId)
            device = baseTools().getDevInfo(devId);
        if (device.devId.isEmpty())
            continue;
        baseTools().updateItemSnOrBrandText(table->item(row, SnColumn), device.devSn,
                                            device.snBrandKind1, device.snBrandKind2);
        if (auto *ipItem = dynamic_cast<orlun_base::IpTableItem *>(table->item(row, IpColumn)))
            ipItem->setIp(device.ip, device.port);
    }
}

void ChannelPowerTable::renameChannels(const QList<vms_sdk::DevChannelInfo> &channels)
{
    QHash<QPair<QString, int>, QString> names;
    for (const vms_sdk::DevChannelInfo &channel : channels)
        names.insert(channel.channelKey, channel.channelName);

    TAMCOMMON::TamTableWidget *table = m_ui->channelsTable;
    for (int row = 0; row < table->rowCount(); ++row) {
        const auto it = names.constFind(
            baseTools().formatChannelId(channelIdOf(table->item(row, OrderColumn))));
        QTableWidgetItem *nameItem = table->item(row, NameColumn);
        if (it == names.constEnd() || !nameItem)
            continue;
        nameItem->setText(it.value());
        nameItem->setToolTip(it.value());
    }
}

void ChannelPowerTable::removeDeletedChannels(const QStringList &channelIds)
{
    const QSet<QString> deleted(channelIds.cbegin(), channelIds.cend());
    TAMCOMMON::TamTableWidget *table = m_ui->channelsTable;
    for (int row = table->rowCount() - 1; row >= 0; --row) {
        const QString channelId = channelIdOf(table->item(row, OrderColumn));
        if (!deleted.contains(channelId))
            continue;
        table->removeRow(row);
        m_channelItems.remove(channelId);
    }
    baseTools().updateTableOrderNum(table, 1);
    updateChannelCount();
}

void ChannelPowerTable::refreshStatus(const QString &devId)
{
    TAMCOMMON::TamTableWidget *table = m_ui->channelsTable;
    for (int row = 0; row < table->rowCount(); ++row) {
        const QPair<QString, int> key =
            baseTools().formatChannelId(channelIdOf(table->item(row, OrderColumn)));
        QTableWidgetItem *statusItem = table->item(row, StatusColumn);
        if (key.first != devId || !statusItem)
            continue;
        showStatus(statusItem, devId, devsMgrData().getChannelStatus(devId, key.second));
    }
}

} // namespace orlun_userMgr
