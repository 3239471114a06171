#pragma once

#include <QListWidget>
#include <QMap>
#include <QString>

namespace orlun_userMgr {

class UserItem;

// The list of local accounts. Tracks the current account and announces each
// change of it; rows can be filtered by a name keyword.
class UserListWt : public QListWidget
{
    Q_OBJECT
public:
    explicit UserListWt(QWidget *parent = nullptr);
    ~UserListWt() override;

    // Appends a row; selects nothing and emits nothing.
    void addUserItem(const QString &userName);
    // Removing the current user's row moves the selection to the row that
    // followed it (to row 0 when it was the last one), or reports that no
    // user is current when the list becomes empty.
    void removeUserItem(const QString &userName);
    // Ignored for a name that is not listed.
    void setCurUser(const QString &userName);
    QString getCurUser() const;
    int getUserCount() const;

    // Shows only the rows whose names contain the keyword, case-insensitively;
    // an empty keyword shows every row. The current user is left alone.
    void slotSearchByKeyword(const QString &keyword);

signals:
    // Emitted while getCurUser() still returns preUser.
    void signalCurUserChanged(QString preUser, QString curUser);

protected:
    void showEvent(QShowEvent *event) override;
    // Arrows, Home, End and the page keys select rows as a click does; Enter
    // and F2 edit the current user, Delete asks to delete it, each as the
    // row's own button does.
    void keyPressEvent(QKeyEvent *event) override;

private:
    void slotCurUserItem(QString userName);
    void selectRow(int row);
    int currentUserRow() const;
    // The first row not hidden by the filter from row from on, walking in
    // direction dir (1 or -1); -1 if there is none.
    int firstVisibleRow(int from, int dir) const;
    // The visible row steps visible rows past from (negative: upwards), or
    // the last one there is on the way; -1 if there is none.
    int visibleRowAfter(int from, int steps) const;
    void clickCurrentRowButton(const char *buttonName);

    // Not owning: the view owns every installed row widget.
    QMap<QString, UserItem *> m_userItems;
    QString m_curUser;
    bool m_isFirstShow;
};

} // namespace orlun_userMgr
