#pragma once

#include <QList>
#include <QSet>
#include <QString>
#include <QWidget>

#include "UserInfo.h"

class QTreeWidgetItem;

namespace orlun_base {
class SearchBox;
}

namespace orlun_userMgr {

namespace Ui {
class ChannelPowerTree;
}

class ChannelPowerTable;

// The panel on which channels and channel groups are granted. Keeps the
// bound table in step with the tree's check marks.
class ChannelPowerTree : public QWidget
{
    Q_OBJECT
public:
    explicit ChannelPowerTree(QWidget *parent = nullptr);
    ~ChannelPowerTree() override;

    void setChannelPowerTable(ChannelPowerTable *table);
    void setUserRes(const QList<orlun_data::UserResInfo> &resList);
    QList<orlun_data::UserResInfo> getUserRes();

private slots:
    void slotItemsCheckStateChanged();

private:
    void onChannelsRemoved(const QSet<QString> &channels);
    void filterByKeyword(const QString &keyword);

    // Only hides and shows items: check marks and their propagation are
    // the same for hidden items as for shown ones.
    static bool filterItem(QTreeWidgetItem *item, const QString &keyword, bool ancestorMatches);

    Ui::ChannelPowerTree *ui;
    ChannelPowerTable *channelPowerTable = nullptr;
    orlun_base::SearchBox *m_searchBox = nullptr;
    // Groups checked at the last load or the last reported change.
    QSet<QString> checkedGroups;
};

} // namespace orlun_userMgr
