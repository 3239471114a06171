#include "UserMgrForm.h"

#include "ui_UserMgrForm.h"

#include <QLayoutItem>
#include <QPoint>
#include <QRegExp>
#include <QRegExpValidator>
#include <QResizeEvent>
#include <QShowEvent>
#include <QToolTip>

#include "DictDef.h"
#include "InputRefusalTip.h"
#include "PwdStrength.h"
#include "SystemAssistant.h"
#include "SystemWorker.h"
#include "TamMessageBox.h"
#include "TamSingleton.h"
#include "UserData.h"
#include "UserInfo.h"
#include "UserMgrSignals.h"

namespace orlun_userMgr {

namespace {

// Below this width the tree and the table do not both fit beside the
// function list, so the table gives way while the tree is up.
constexpr int NarrowFormWidth = 1500;
// Function list, tree, table; a fourth item is the stretch that takes the
// table's place on a narrow form.
constexpr int PowerRowItems = 3;

const orlun_worker::DictDef &dict()
{
    return TAMCOMMON::TamSingleton<orlun_worker::DictDef>::_instance();
}

void alert(const QString &title, const QString &message)
{
    TAMCOMMON::TamSingleton<orlun_worker::SystemAssistant>::_instance().messageAlert(title,
                                                                                     message);
}

orlun_data::UserData &users()
{
    return TAMCOMMON::TamSingleton<orlun_data::UserData>::_instance();
}

} // namespace

UserMgrForm::UserMgrForm(QWidget *parent)
    : orlun_base::BaseForm(parent)
    , ui(new Ui::UserMgrForm)
    , m_editState(StateNone)
{
    ui->setupUi(this);

    ui->okBt->setProperty("common_bt_style1", true);
    ui->cancelBt->setProperty("common_bt_style2", true);

    ui->userName->setValidator(
        new QRegExpValidator(QRegExp(QStringLiteral("^[A-Za-z0-9]+$")), ui->userName));
    // A composing input method would bypass the validator.
    ui->userName->setAttribute(Qt::WA_InputMethodEnabled, false);

    // Refused characters would otherwise vanish without a word.
    auto *refusalTip = new InputRefusalTip(this);
    refusalTip->watch(ui->userName, tr("Only letters and digits"));
    refusalTip->watch(ui->userPwd, tr("No spaces in a password"));
    refusalTip->watch(ui->userDescribe, QString());

    ui->channelPowerTree->setChannelPowerTable(ui->channelPowerTable);
    setEditable(false);
    setUpKeyboardAccess();

    connect(ui->userPwd, &QLineEdit::textChanged, ui->pwdStrength,
            &orlun_base::PwdStrengthWt::setPwd);
    connect(ui->searchBox, &orlun_base::SearchBox::signalSearchByKeyword, ui->userListWt,
            &UserListWt::slotSearchByKeyword);
    connect(ui->userListWt, &UserListWt::signalCurUserChanged, this,
            [this](const QString &, const QString &curUser) { loadUser(curUser); });
    connect(ui->addUserBt, &QToolButton::clicked, this, [this] { addUser(); });
    connect(ui->deleteUserBt, &QToolButton::clicked, this, [this] { deleteCurrentUser(); });
    connect(ui->okBt, &QPushButton::clicked, this, [this] { saveUser(); });
    connect(ui->cancelBt, &QPushButton::clicked, this, [this] { cancelEdit(); });

    UserMgrSignals &hub = TAMCOMMON::TamSingleton<UserMgrSignals>::_instance();
    // The row that asks for editing has made itself current already, so the
    // account shown is the one to edit and the carried name is not needed.
    connect(&hub, &UserMgrSignals::signalEditUser, this, [this](const QString &) { editUser(); });
    connect(&hub, &UserMgrSignals::signalDeleteUser, this,
            [this](const QString &userName) { deleteUser(userName); });
}

UserMgrForm::~UserMgrForm()
{
    delete ui;
}

orlun_base::FormType UserMgrForm::getFormType() const
{
    return orlun_base::FormUserMgr;
}

bool UserMgrForm::requestClose()
{
    // Viewing: nothing is pending.
    if (ui->okBt->isHidden())
        return true;
    const QString text = m_editState == StateAdding
                             ? tr("The new account has not been added. Add it before closing?")
                             : tr("The account's changes have not been saved. Save them before "
                                  "closing?");
    switch (orlun_base::TamMessageBox::question(
        this, text, orlun_base::Save | orlun_base::Discard | orlun_base::Cancel, false)) {
    case orlun_base::Save:
        // A refused check or write keeps the form open on the entries, with
        // the same tip or alert as the confirm button gives.
        saveUser();
        return ui->okBt->isHidden();
    case orlun_base::Discard:
        return true;
    default:
        return false;
    }
}

void UserMgrForm::resizeEvent(QResizeEvent *event)
{
    adjustPowerLayout();
    orlun_base::BaseForm::resizeEvent(event);
}

void UserMgrForm::showEvent(QShowEvent *event)
{
    ui->deleteUserBt->setEnabled(ui->userListWt->getUserCount() > 0);
    orlun_base::BaseForm::showEvent(event);
}

void UserMgrForm::setUpKeyboardAccess()
{
    // Screen readers name a field after its caption; the icon-only buttons,
    // the search box and the list need names of their own.
    ui->label->setBuddy(ui->userName);
    ui->label_2->setBuddy(ui->userPwd);
    ui->label_3->setBuddy(ui->userDescribe);
    ui->addUserBt->setAccessibleName(tr("Add user"));
    ui->deleteUserBt->setAccessibleName(tr("Delete user"));
    ui->searchBox->setAccessibleName(tr("Search users"));
    ui->userListWt->setAccessibleName(tr("Users"));

    // The widgets are created panel by panel, so without help Tab would
    // reach the add and delete buttons before the list they act on, and the
    // panels' inner controls in no particular relation to the fields.
    //
    // The search box goes just before the list, and the rest follows the
    // list's last row: the rows follow the list in the focus chain, and
    // moving the list on its own would leave thousands of row widgets behind
    // the last field, for every focus search from there to walk.
    QWidget *list = ui->userListWt;
    if (list->previousInFocusChain() != ui->searchBox)
        setTabOrder(list->previousInFocusChain(), ui->searchBox);
    QWidget *lastOfList = list;
    while (list->isAncestorOf(lastOfList->nextInFocusChain()))
        lastOfList = lastOfList->nextInFocusChain();

    QList<QWidget *> chain{ui->addUserBt, ui->deleteUserBt, ui->userName, ui->userPwd,
                           ui->userDescribe};
    for (QWidget *panel : {static_cast<QWidget *>(ui->functionPowerList),
                           static_cast<QWidget *>(ui->channelPowerTree),
                           static_cast<QWidget *>(ui->channelPowerTable)}) {
        // Inside a panel the order the panel was built in is its reading order.
        for (QWidget *w = panel->nextInFocusChain(); w != panel && panel->isAncestorOf(w);
             w = w->nextInFocusChain()) {
            if (w->focusPolicy() & Qt::TabFocus)
                chain << w;
        }
    }
    chain << ui->okBt << ui->cancelBt;

    QWidget *previous = lastOfList;
    for (QWidget *w : qAsConst(chain)) {
        setTabOrder(previous, w);
        previous = w;
    }
}

void UserMgrForm::setEditable(bool editable)
{
    ui->userPwd->setAttribute(Qt::WA_InputMethodEnabled, false);

    ui->userName->setReadOnly(!editable);
    ui->userPwd->setReadOnly(!editable);
    ui->userDescribe->setReadOnly(!editable);

    ui->okBt->setVisible(editable);
    ui->cancelBt->setVisible(editable);

    ui->functionPowerList->setEditable(editable);
    ui->channelPowerTree->setVisible(editable);
    ui->channelPowerTable->setEditable(editable);

    adjustPowerLayout();
}

void UserMgrForm::adjustPowerLayout()
{
    QHBoxLayout *row = ui->powerLayout;
    // Asked relative to the form, so that a form resized while it is off
    // screen still lays out the power row for the mode it is in.
    if (ui->channelPowerTree->isVisibleTo(this) && width() < NarrowFormWidth) {
        ui->channelPowerTable->hide();
        const bool hasStretch =
            row->count() == PowerRowItems + 1 && row->itemAt(PowerRowItems)->spacerItem();
        if (!hasStretch)
            row->addStretch(1);
    } else {
        ui->channelPowerTable->show();
        if (row->count() == PowerRowItems + 1)
            delete row->takeAt(PowerRowItems);
    }
}

void UserMgrForm::loadUser(const QString &userName)
{
    const orlun_data::UserInfo info = users().getUserInfo(userName);

    setEditable(false);

    ui->userName->setText(info.userName);
    ui->userPwd->setText(info.userPwd);
    ui->userPwd->setUserName(info.userName);
    ui->userDescribe->setText(info.userDescribe);
    ui->functionPowerList->setMask(info.functionPower);

    ui->channelPowerTree->setUserRes(users().getUserRes(userName));
}

void UserMgrForm::addUser()
{
    m_editState = StateAdding;

    if (!ui->userListWt->getCurUser().isEmpty()) {
        const int answer = orlun_base::TamMessageBox::question(
            this, QObject::tr("Whether to reuse the data of the current account?"),
            orlun_base::No | orlun_base::Yes, false);
        // Yes keeps the shown account's password, description and grants as
        // the starting point of the new one.
        if (answer != orlun_base::Yes) {
            ui->userPwd->clear();
            ui->userDescribe->clear();
            ui->functionPowerList->setMask(-1);
            ui->channelPowerTree->setUserRes({});
        }
    } else {
        ui->functionPowerList->setMask(-1);
    }

    ui->userName->clear();
    ui->userName->setFocus();
    // No account exists yet to which a gesture password could belong.
    ui->userPwd->setUserName(QString());

    setEditable(true);
    ui->okBt->setText(QObject::tr("Add"));
    ui->userMgrWt->setEnabled(false);
}

void UserMgrForm::editUser()
{
    m_editState = StateEditing;

    setEditable(true);
    // The name is the account's key and cannot change.
    ui->userName->setReadOnly(true);
    ui->userPwd->setFocus();
    ui->okBt->setText(QObject::tr("Save"));
    ui->userMgrWt->setEnabled(false);
}

void UserMgrForm::saveUser()
{
    orlun_data::UserInfo info;
    info.userName = ui->userName->text().trimmed();
    info.userPwd = ui->userPwd->text().trimmed();
    info.userType = orlun_data::OrdinaryUserType;
    info.functionPower = ui->functionPowerList->getMask();
    info.userDescribe = ui->userDescribe->text().trimmed();
    info.superUserName =
        TAMCOMMON::TamSingleton<orlun_worker::SystemWorker>::_instance().getSuperUserName();

    if (TAMCOMMON::checkPwdStrength(info.userPwd) <= TAMCOMMON::PwdWeak) {
        showFieldTip(ui->userPwd, QObject::tr("User password strength is too weak"));
        return;
    }

    if (m_editState == StateAdding) {
        if (info.userName.isEmpty()) {
            showFieldTip(ui->userName, QObject::tr("User name can not be empty"));
            return;
        }
        if (users().isUserExist(info.userName)) {
            showFieldTip(ui->userName, QObject::tr("User name has been exist"));
            return;
        }
        // Grants go first: the account is worth creating even if they fail.
        if (!users().setUserRes(info.userName, ui->channelPowerTree->getUserRes()))
            alert(dict().errorTitle, QObject::tr("Failed to save channel power"));

        if (users().addUser(info)) {
            ui->userListWt->addUserItem(info.userName);
            // Making the new row current reloads it and returns to viewing.
            ui->userListWt->setCurUser(info.userName);
            ui->deleteUserBt->setEnabled(true);
            ui->userMgrWt->setEnabled(true);
        } else {
            alert(dict().errorTitle, QObject::tr("Failed to add user"));
        }
    } else if (m_editState == StateEditing) {
        if (!users().setUserRes(info.userName, ui->channelPowerTree->getUserRes()))
            alert(dict().errorTitle, QObject::tr("Failed to save channel power"));

        if (users().updateUser(info)) {
            // The fields already show what was stored; no reload needed.
            setEditable(false);
            ui->userMgrWt->setEnabled(true);
        } else {
            alert(dict().errorTitle, QObject::tr("Failed to edit user"));
        }
    }
}

void UserMgrForm::cancelEdit()
{
    int answer = orlun_base::NoButton;
    const short okCancel = orlun_base::Ok | orlun_base::Cancel;
    if (m_editState == StateAdding) {
        answer = orlun_base::TamMessageBox::question(
            this, QObject::tr("Do you want to cancel user creation?"), okCancel, false);
    } else if (m_editState == StateEditing) {
        answer = orlun_base::TamMessageBox::question(
            this, QObject::tr("Do you want to cancel user editing?"), okCancel, false);
    }
    if (answer != orlun_base::Ok)
        return;

    ui->userMgrWt->setEnabled(true);
    loadUser(ui->userListWt->getCurUser());
}

void UserMgrForm::deleteCurrentUser()
{
    const QString curUser = ui->userListWt->getCurUser();
    if (curUser.isEmpty()) {
        alert(dict().warningTitle, QObject::tr("Please select user to delete"));
        return;
    }
    // Through the hub, so that the button and the rows share one delete path.
    emit TAMCOMMON::TamSingleton<UserMgrSignals>::_instance().signalDeleteUser(curUser);
}

void UserMgrForm::deleteUser(const QString &userName)
{
    const int answer = orlun_base::TamMessageBox::question(
        this, QObject::tr("Do you want to delete user:%1?").arg(userName),
        orlun_base::Ok | orlun_base::Cancel, false);
    if (answer != orlun_base::Ok)
        return;

    if (!users().deleteUser(userName)) {
        alert(dict().noticeTitle, QObject::tr("Failed to delete user"));
        return;
    }
    // Removing the current user makes the list announce its successor (or
    // nobody), which reloads the fields.
    ui->userListWt->removeUserItem(userName);
    ui->deleteUserBt->setEnabled(ui->userListWt->getUserCount() > 0);
}

void UserMgrForm::showFieldTip(QWidget *field, const QString &text)
{
    QToolTip::showText(field->mapToGlobal(QPoint(0, 0)), text, field);
}

} // namespace orlun_userMgr
