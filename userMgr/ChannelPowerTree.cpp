#include "ChannelPowerTree.h"

#include <QStringList>

#include "BaseTools.h"
#include "ChannelPowerTable.h"
#include "ChannelTree.h"
#include "DevsMgrData.h"
#include "SearchBox.h"
#include "TamTreeWidget.h"

#include "ui_ChannelPowerTree.h"

namespace orlun_userMgr {

ChannelPowerTree::ChannelPowerTree(QWidget *parent)
    : QWidget(parent)
    , ui(new Ui::ChannelPowerTree)
{
    ui->setupUi(this);
    // Screen readers name the tree after the panel's caption; item views
    // take no name from a buddy label.
    ui->label->setBuddy(ui->channelsTree->getTreeWidget());
    ui->channelsTree->getTreeWidget()->setAccessibleName(ui->label->text());

    // A site may hold hundreds of cameras in one folder; the search box
    // narrows the tree to the names that contain a keyword.
    m_searchBox = new orlun_base::SearchBox(this);
    m_searchBox->setObjectName(QStringLiteral("treeSearchBox"));
    m_searchBox->setAccessibleName(tr("Search channels"));
    m_searchBox->setFixedHeight(28);
    ui->verticalLayout->insertWidget(1, m_searchBox, 0);
    setTabOrder(m_searchBox, ui->channelsTree->getTreeWidget());
    connect(m_searchBox, &orlun_base::SearchBox::signalSearchByKeyword, this,
            [this](const QString &keyword) { filterByKeyword(keyword); });
    connect(ui->channelsTree->getTreeWidget(),
            &TAMCOMMON::TamTreeWidget::signalItemsCheckStateChanged, this,
            &ChannelPowerTree::slotItemsCheckStateChanged, Qt::UniqueConnection);
}

ChannelPowerTree::~ChannelPowerTree()
{
    delete ui;
}

void ChannelPowerTree::setChannelPowerTable(ChannelPowerTable *table)
{
    channelPowerTable = table;
    connect(table, &ChannelPowerTable::signalRemoveChannels, this,
            [this](const QSet<QString> &channels) { onChannelsRemoved(channels); });
}

void ChannelPowerTree::setUserRes(const QList<orlun_data::UserResInfo> &resList)
{
    TAMCOMMON::TamTreeWidget *tree = ui->channelsTree->getTreeWidget();
    disconnect(tree, &TAMCOMMON::TamTreeWidget::signalItemsCheckStateChanged, this,
               &ChannelPowerTree::slotItemsCheckStateChanged);

    QSet<QString> channels;
    QSet<QString> groups;
    for (const orlun_data::UserResInfo &res : resList) {
        if (res.resType == orlun_data::UserResInfo::Channel)
            channels.insert(res.resId);
        else if (res.resType == orlun_data::UserResInfo::Group)
            groups.insert(res.resId);
    }

    checkedGroups = groups;
    // A granted group's channels stay as stored: only checking a group by
    // hand expands it.
    ui->channelsTree->setCheckedChannels(channels);
    ui->channelsTree->setCheckedGroups(groups);
    // The stored ids as they are, also those the tree does not show, so the
    // administrator sees every stored grant.
    if (channelPowerTable) {
        channelPowerTable->setChannels(channels);
        channelPowerTable->setGrantedGroups(groups);
    }

    connect(tree, &TAMCOMMON::TamTreeWidget::signalItemsCheckStateChanged, this,
            &ChannelPowerTree::slotItemsCheckStateChanged, Qt::UniqueConnection);
}

QList<orlun_data::UserResInfo> ChannelPowerTree::getUserRes()
{
    const QSet<QString> channels = ui->channelsTree->getCheckedChannels();
    const QSet<QString> groups = ui->channelsTree->getCheckedGroups();

    QList<orlun_data::UserResInfo> resList;
    resList.reserve(channels.size() + groups.size());
    for (const QString &id : channels)
        resList.append({id, orlun_data::UserResInfo::Channel});
    for (const QString &id : groups)
        resList.append({id, orlun_data::UserResInfo::Group});
    return resList;
}

void ChannelPowerTree::slotItemsCheckStateChanged()
{
    // Hidden while a user is only viewed; nothing the tree does then is an
    // administrator's choice.
    if (!isVisible())
        return;

    const QSet<QString> groups = ui->channelsTree->getCheckedGroups();
    QStringList addedGroups;
    for (const QString &id : groups) {
        if (!checkedGroups.contains(id))
            addedGroups.append(id);
    }
    const QList<vms_sdk::GroupChannelInfo> members =
        TAMCOMMON::TamSingleton<orlun_data::DevsMgrData>::_instance().getGroupsChannels(
            addedGroups);
    // Updated before the tree changes below, so a report caused by them finds
    // no newly checked group and does not expand it again.
    checkedGroups = groups;

    QSet<QString> memberChannels;
    auto &tools = TAMCOMMON::TamSingleton<orlun_base::BaseTools>::_instance();
    for (const vms_sdk::GroupChannelInfo &member : members)
        memberChannels.insert(tools.formatChannelId(member.devId, member.channelNo));
    ui->channelsTree->addCheckedChannels(memberChannels);

    if (channelPowerTable) {
        channelPowerTable->setChannels(ui->channelsTree->getCheckedChannels());
        // Shown once the form is back to viewing after a save.
        channelPowerTable->setGrantedGroups(checkedGroups);
    }
}

void ChannelPowerTree::onChannelsRemoved(const QSet<QString> &channels)
{
    // The table has dropped the rows itself; it must not hear back from us.
    TAMCOMMON::TamTreeWidget *tree = ui->channelsTree->getTreeWidget();
    disconnect(tree, &TAMCOMMON::TamTreeWidget::signalItemsCheckStateChanged, this,
               &ChannelPowerTree::slotItemsCheckStateChanged);
    ui->channelsTree->uncheckChannels(channels);
    connect(tree, &TAMCOMMON::TamTreeWidget::signalItemsCheckStateChanged, this,
            &ChannelPowerTree::slotItemsCheckStateChanged, Qt::UniqueConnection);
}

void ChannelPowerTree::filterByKeyword(const QString &keyword)
{
    QTreeWidget *tree = ui->channelsTree->getTreeWidget();
    // The top-level sections stay: the host hides some of them itself.
    for (int i = 0; i < tree->topLevelItemCount(); ++i) {
        QTreeWidgetItem *section = tree->topLevelItem(i);
        const bool sectionMatches =
            !keyword.isEmpty() && section->text(0).contains(keyword, Qt::CaseInsensitive);
        bool anyShown = false;
        for (int c = 0; c < section->childCount(); ++c)
            anyShown |= filterItem(section->child(c), keyword, sectionMatches);
        if (!keyword.isEmpty() && anyShown)
            section->setExpanded(true);
    }
}

bool ChannelPowerTree::filterItem(QTreeWidgetItem *item, const QString &keyword,
                                  bool ancestorMatches)
{
    const bool matches = keyword.isEmpty() || ancestorMatches ||
                         item->text(0).contains(keyword, Qt::CaseInsensitive);
    bool childShown = false;
    for (int c = 0; c < item->childCount(); ++c)
        childShown |= filterItem(item->child(c), keyword, matches);
    const bool shown = matches || childShown;
    if (item->isHidden() == shown)
        item->setHidden(!shown);
    // A match deep down is of no use in a closed folder.
    if (!keyword.isEmpty() && childShown && !matches)
        item->setExpanded(true);
    return shown;
}

} // namespace orlun_userMgr
