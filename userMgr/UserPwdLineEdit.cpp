#include "UserPwdLineEdit.h"

#include <QAction>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QKeySequence>
#include <QRegExp>
#include <QRegExpValidator>

#include "CustomIconStyle.h"
#include "DictDef.h"
#include "FormsMgr.h"
#include "LoginAccess.h"
#include "SystemAssistant.h"
#include "TamMessageBox.h"
#include "TamSingleton.h"
#include "UserData.h"
#include "UserMgrIcons.h"

namespace orlun_userMgr {

namespace {

const int kActionIconSize = 20;

} // namespace

UserPwdLineEdit::UserPwdLineEdit(QWidget *parent)
    : TamLineEdit(parent)
    , m_iconStyle(new CustomIconStyle(kActionIconSize))
{
    // A password must not pass through an input method's preedit, history or
    // prediction.
    setAttribute(Qt::WA_InputMethodEnabled, false);
    setContextMenuPolicy(Qt::NoContextMenu);
    setStyle(m_iconStyle);
    installEventFilter(this);
    setValidator(new QRegExpValidator(QRegExp(QStringLiteral("^\\S+$")), this));

    m_gestureAction = new QAction(this);
    m_gestureAction->setCheckable(true);
    m_gestureAction->setChecked(false);
    m_gestureAction->setVisible(false);
    addAction(m_gestureAction, QLineEdit::TrailingPosition);

    // Added after the gesture action, so it sits just inside it, or at the
    // outer end while the gesture action is hidden.
    m_pwdAction = new QAction(this);
    m_pwdAction->setCheckable(true);
    m_pwdAction->setChecked(false);
    m_pwdAction->setVisible(true);
    addAction(m_pwdAction, QLineEdit::TrailingPosition);

    // Keyboard users reach both actions while the field has focus: Ctrl+H
    // shows or hides the password as in common password managers, Ctrl+G
    // adds or removes the gesture. A hidden action's shortcut does nothing.
    m_pwdAction->setShortcut(QKeySequence(Qt::CTRL + Qt::Key_H));
    m_pwdAction->setShortcutContext(Qt::WidgetShortcut);
    m_gestureAction->setShortcut(QKeySequence(Qt::CTRL + Qt::Key_G));
    m_gestureAction->setShortcutContext(Qt::WidgetShortcut);

    setEchoMode(QLineEdit::Password);
    updateActionIcons(IconNormal);

    connect(m_pwdAction, &QAction::triggered, this, &UserPwdLineEdit::slotPwdActionTriggered);
    connect(m_gestureAction, &QAction::triggered, this,
            &UserPwdLineEdit::slotGestureActionTriggered);
}

UserPwdLineEdit::~UserPwdLineEdit()
{
    // The widget (and, under a style sheet, its proxy style and the action
    // buttons that inherit it) still refer to the style until it is swapped
    // back to the application style; only then may it go.
    setStyle(nullptr);
    delete m_iconStyle;
    m_iconStyle = nullptr;
}

void UserPwdLineEdit::setUserName(const QString &userName)
{
    m_userName = userName;
    m_gestureAction->setVisible(!userName.isEmpty());
    // Only triggered starts a gesture flow, so setting the state is quiet.
    m_gestureAction->setChecked(
        TAMCOMMON::TamSingleton<orlun_data::UserData>::_instance().isUserConfigureGesture(
            userName));
    updateGestureToolTip();
    updateActionIcons(IconNormal);
}

bool UserPwdLineEdit::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == this && event->type() == QEvent::KeyPress) {
        auto *keyEvent = static_cast<QKeyEvent *>(event);
        if (keyEvent->matches(QKeySequence::Paste) || keyEvent->matches(QKeySequence::Copy) ||
            keyEvent->matches(QKeySequence::Cut)) {
            keyEvent->accept();
            return true;
        }
    }
    return TamLineEdit::eventFilter(watched, event);
}

void UserPwdLineEdit::focusOutEvent(QFocusEvent *event)
{
    // Focus has already left, so the resting icons apply.
    updateActionIcons(IconNormal);
    // Through TamLineEdit rather than straight to QLineEdit: its focus-in
    // sets the "focused" style property, and only its focus-out clears it
    // again, so skipping it would leave the field looking focused.
    TamLineEdit::focusOutEvent(event);
}

void UserPwdLineEdit::enterEvent(QEvent *event)
{
    updateActionIcons(IconHover);
    TamLineEdit::enterEvent(event);
}

void UserPwdLineEdit::leaveEvent(QEvent *event)
{
    updateActionIcons(IconNormal);
    TamLineEdit::leaveEvent(event);
}

void UserPwdLineEdit::updateActionIcons(IconMode mode)
{
    // A focused field keeps the icons it had when it got focus; only the end
    // of a gesture flow repaints them then.
    if (mode != IconFocused && hasFocus())
        return;
    const bool highlighted = mode != IconNormal;
    m_pwdAction->setIcon(userMgrIcon(
        m_pwdAction->isChecked() ? UserMgrIcon::ShowPwd : UserMgrIcon::HidePwd, highlighted));
    m_gestureAction->setIcon(userMgrIcon(m_gestureAction->isChecked() ? UserMgrIcon::DeleteGesture
                                                                      : UserMgrIcon::AddGesture,
                                         highlighted));
}

void UserPwdLineEdit::updateGestureToolTip()
{
    m_gestureAction->setToolTip(m_gestureAction->isChecked()
                                    ? QObject::tr("Remove gesture password")
                                    : QObject::tr("Add gesture pasword"));
}

void UserPwdLineEdit::slotPwdActionTriggered(bool checked)
{
    setAttribute(Qt::WA_InputMethodEnabled, false);
    if (checked) {
        setEchoMode(QLineEdit::Normal);
        m_pwdAction->setIcon(userMgrIcon(UserMgrIcon::ShowPwd, true));
    } else {
        setEchoMode(QLineEdit::Password);
        m_pwdAction->setIcon(userMgrIcon(UserMgrIcon::HidePwd, true));
    }
}

void UserPwdLineEdit::slotGestureActionTriggered(bool checked)
{
    QWidget *dialogParent =
        TAMCOMMON::TamSingleton<orlun_base::FormsMgr>::_instance().getForm(orlun_base::FormUserMgr);

    if (checked) {
        // The click already checked the action; it stays unchecked until the
        // host reports a stored gesture.
        m_gestureAction->setChecked(false);
        TAMCOMMON::TamSingleton<orlun_login::LoginAccess>::_instance().addUserGesture(dialogParent,
                                                                                      m_userName);
        if (TAMCOMMON::TamSingleton<orlun_data::UserData>::_instance().isUserConfigureGesture(
                m_userName)) {
            m_gestureAction->setChecked(true);
            m_gestureAction->setIcon(userMgrIcon(UserMgrIcon::DeleteGesture, false));
            TAMCOMMON::TamSingleton<orlun_worker::SystemAssistant>::_instance().messageAlert(
                TAMCOMMON::TamSingleton<orlun_worker::DictDef>::_instance().noticeTitle,
                QObject::tr("Add the user's gesture password success"));
        }
    } else {
        // Likewise the gesture stays until the removal has been confirmed and
        // has succeeded.
        m_gestureAction->setChecked(true);
        const orlun_base::MessageBoxButton answer = orlun_base::TamMessageBox::question(
            dialogParent, QObject::tr("Do you want to remove the user's gesture password?"),
            orlun_base::Ok | orlun_base::Cancel, false);
        if (answer == orlun_base::Ok &&
            TAMCOMMON::TamSingleton<orlun_login::LoginAccess>::_instance().deleteUserGesture(
                m_userName)) {
            m_gestureAction->setChecked(false);
            m_gestureAction->setIcon(userMgrIcon(UserMgrIcon::AddGesture, false));
        }
    }

    if (hasFocus())
        updateActionIcons(IconFocused);
    updateGestureToolTip();
}

} // namespace orlun_userMgr
