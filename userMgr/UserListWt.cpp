#include "UserListWt.h"

#include <QKeyEvent>
#include <QPushButton>
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

void UserListWt::keyPressEvent(QKeyEvent *event)
{
    if (event->modifiers() & ~Qt::KeypadModifier) {
        QListWidget::keyPressEvent(event);
        return;
    }
    const int cur = currentUserRow();
    // Rows are about the same height, so a page is the rows that fit.
    const int rowHeight = qMax(1, sizeHintForRow(0));
    const int page = qMax(1, viewport()->height() / rowHeight - 1);
    int target = -1;
    switch (event->key()) {
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown: {
        const bool up = event->key() == Qt::Key_Up || event->key() == Qt::Key_PageUp;
        const bool byPage = event->key() == Qt::Key_PageUp || event->key() == Qt::Key_PageDown;
        // With nobody current any move starts at the first row.
        target = cur < 0 ? firstVisibleRow(0, 1)
                         : visibleRowAfter(cur, (byPage ? page : 1) * (up ? -1 : 1));
        break;
    }
    case Qt::Key_Home:
        target = firstVisibleRow(0, 1);
        break;
    case Qt::Key_End:
        target = firstVisibleRow(count() - 1, -1);
        break;
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_F2:
        clickCurrentRowButton("editUserBt");
        event->accept();
        return;
    case Qt::Key_Delete:
        clickCurrentRowButton("deleteUserBt");
        event->accept();
        return;
    default:
        QListWidget::keyPressEvent(event);
        return;
    }
    event->accept();
    if (target < 0)
        return;
    selectRow(target);
    // The view's own current row follows, so that paging and scrolling
    // start from the account just chosen and the row comes into sight.
    setCurrentRow(target);
    scrollToItem(item(target));
}

int UserListWt::currentUserRow() const
{
    if (m_curUser.isEmpty())
        return -1;
    for (int r = 0; r < count(); ++r) {
        if (item(r)->data(Qt::UserRole).toString() == m_curUser)
            return r;
    }
    return -1;
}

int UserListWt::firstVisibleRow(int from, int dir) const
{
    for (int r = from; r >= 0 && r < count(); r += dir) {
        if (!isRowHidden(r))
            return r;
    }
    return -1;
}

int UserListWt::visibleRowAfter(int from, int steps) const
{
    const int dir = steps < 0 ? -1 : 1;
    int found = -1;
    int left = qAbs(steps);
    for (int r = from + dir; left > 0 && r >= 0 && r < count(); r += dir) {
        if (!isRowHidden(r)) {
            found = r;
            --left;
        }
    }
    return found;
}

void UserListWt::clickCurrentRowButton(const char *buttonName)
{
    UserItem *row = m_userItems.value(m_curUser);
    if (!row || !isEnabled())
        return;
    // The row's own button, even while hidden: the same request, in the
    // same order, as a click on it.
    if (auto *button = row->findChild<QPushButton *>(QLatin1String(buttonName)))
        button->click();
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
