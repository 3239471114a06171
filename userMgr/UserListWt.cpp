#include "UserListWt.h"

#include <QShowEvent>

#include "BusyCursor.h"
#include "OutOfViewFilter.h"
#include "SystemWorker.h"
#include "UserData.h"
#include "UserItem.h"

namespace orlun_userMgr {

UserListWt::UserListWt(QWidget *parent)
    : QListWidget(parent)
    , m_isFirstShow(true)
{
    // The client's application style sheet selects on this property.
    setProperty("common_listView_style1", true);
    setStyleSheet(QStringLiteral(
        "QListWidget{background-color:#101928;} QListWidget::item{min-height:38px;}"));
    // Disabling the form's left panel reaches every row; only the rows in
    // view have anything to repaint.
    new TAMCOMMON::OutOfViewFilter(this);

    // Filled before the list is ever shown: a visible view re-lays out all of
    // its item widgets on every inserted row.
    const QString superUserName =
        TAMCOMMON::TamSingleton<orlun_worker::SystemWorker>::_instance().getSuperUserName();
    const QList<orlun_data::UserInfo> users =
        TAMCOMMON::TamSingleton<orlun_data::UserData>::_instance().getAllUsers(superUserName);
    for (const orlun_data::UserInfo &user : users)
        addUserItem(user.userName);
}

UserListWt::~UserListWt() = default;

void UserListWt::addUserItem(const QString &userName)
{
    auto *item = new QListWidgetItem;
    item->setData(Qt::UserRole, QVariant(userName));
    addItem(item);

    auto *row = new UserItem(userName);
    setItemWidget(item, row);
    m_userItems.insert(userName, row);
    connect(row, &UserItem::signalCurUserItem, this, &UserListWt::slotCurUserItem);
}

void UserListWt::removeUserItem(const QString &userName)
{
    int removedRow = 0;
    for (int r = 0; r < count(); ++r) {
        if (item(r)->data(Qt::UserRole).toString() != userName)
            continue;
        removedRow = r;
        // Deleting the item makes the view release (and delete) its row widget.
        delete takeItem(r);
        m_userItems.remove(userName);
        break;
    }

    if (userName != m_curUser)
        return;

    if (count() > 0) {
        // The row that followed the removed one; after the last row, the first.
        selectRow(removedRow <= count() - 1 ? removedRow : 0);
        return;
    }

    emit signalCurUserChanged(m_curUser, QString());
    m_curUser = QString();
}

void UserListWt::setCurUser(const QString &userName)
{
    if (UserItem *row = m_userItems.value(userName))
        row->setState(UserItem::ItemSelected);
}

QString UserListWt::getCurUser() const
{
    return m_curUser;
}

int UserListWt::getUserCount() const
{
    return m_userItems.size();
}

void UserListWt::slotSearchByKeyword(const QString &keyword)
{
    const TAMCOMMON::BusyCursor busy(count());
    if (keyword.isEmpty()) {
        for (int r = 0; r < count(); ++r)
            setRowHidden(r, false);
        return;
    }
    for (int r = 0; r < count(); ++r) {
        const QString name = item(r)->data(Qt::UserRole).toString();
        setRowHidden(r, !name.contains(keyword, Qt::CaseInsensitive));
    }
}

void UserListWt::showEvent(QShowEvent *event)
{
    if (m_isFirstShow) {
        m_isFirstShow = false;
        if (count() > 0)
            selectRow(0);
    }
    QListWidget::showEvent(event);
}

void UserListWt::slotCurUserItem(QString userName)
{
    // Also clears the hover look that a row may still carry.
    for (auto it = m_userItems.cbegin(); it != m_userItems.cend(); ++it) {
        if (it.key() != userName)
            it.value()->setState(UserItem::ItemNormal);
    }
    emit signalCurUserChanged(m_curUser, userName);
    m_curUser = userName;
}

void UserListWt::selectRow(int row)
{
    // A row hidden by the keyword filter is selected all the same.
    const QString name = item(row)->data(Qt::UserRole).toString();
    if (UserItem *rowWidget = m_userItems.value(name))
        rowWidget->setState(UserItem::ItemSelected);
}

} // namespace orlun_userMgr
