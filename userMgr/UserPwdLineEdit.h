#pragma once

#include <QString>

#include "TamLineEdit.h"

class QAction;

namespace orlun_userMgr {

class CustomIconStyle;

// Password entry of the user management form: hides what is typed, refuses
// white space, copy, cut and paste, and carries two trailing actions, one
// to show or hide the password and one to add or remove the gesture
// password of the account bound with setUserName.
class UserPwdLineEdit : public TAMCOMMON::TamLineEdit
{
    Q_OBJECT
public:
    enum IconMode {
        IconNormal = 0,  // resting icons, only while the field has no focus
        IconHover = 1,   // highlighted icons, only while the field has no focus
        IconFocused = 2, // highlighted icons, always
    };

    explicit UserPwdLineEdit(QWidget *parent = nullptr);
    ~UserPwdLineEdit() override;

    // Binds the gesture action to an account; an empty name hides it.
    void setUserName(const QString &userName);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void enterEvent(QEvent *event) override;
    void leaveEvent(QEvent *event) override;

private:
    void updateActionIcons(IconMode mode);
    void updateGestureToolTip();
    void slotPwdActionTriggered(bool checked);
    void slotGestureActionTriggered(bool checked);

    QAction *m_pwdAction = nullptr;
    QAction *m_gestureAction = nullptr;
    CustomIconStyle *m_iconStyle = nullptr;
    QString m_userName;
};

} // namespace orlun_userMgr
