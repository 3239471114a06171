#pragma once

#include <QString>

#include "PEWidget.h"

namespace orlun_userMgr {

namespace Ui {
class UserItem;
}

// One row of the user list: a flag, the user icon, the account name and,
// while the pointer is over the row, its edit and delete buttons.
class UserItem : public TAMCOMMON::PEWidget
{
    Q_OBJECT
public:
    enum ItemState {
        ItemNormal = 0,
        ItemHovered = 1,
        ItemSelected = 2,
        // Matches no look, so that the first setState(ItemNormal) styles the row.
        ItemUnstyled = 3,
    };

    explicit UserItem(const QString &userName, QWidget *parent = nullptr);
    ~UserItem() override;

    void setState(int state);

signals:
    void signalCurUserItem(QString userName);

protected:
    void mouseReleaseEvent(QMouseEvent *event) override;
    void enterEvent(QEvent *event) override;
    void leaveEvent(QEvent *event) override;

private:
    Ui::UserItem *ui;
    int m_state;
    QString m_userName;
};

} // namespace orlun_userMgr
