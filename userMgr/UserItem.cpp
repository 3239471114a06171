#include "UserItem.h"

#include "ui_UserItem.h"

#include "UserMgrSignals.h"

namespace orlun_userMgr {

namespace {

const char kSelectedBackground[] = "QWidget{background-color:#213147;}";
const char kTransparentBackground[] = "QWidget{background-color:transparent;}";
const char kSelectedFlag[] = "QWidget{background-color:#2D80D4;}";
const char kBrightName[] = "QLabel{background-color:transparent;color:#ffffff;font-family:"
                           "microsoft yahei;font-size:13px;}";
const char kDimName[] = "QLabel{background-color:transparent;color:#6C7586;font-family:"
                        "microsoft yahei;font-size:13px;}";

} // namespace

UserItem::UserItem(const QString &userName, QWidget *parent)
    : TAMCOMMON::PEWidget(parent)
    , ui(new Ui::UserItem)
    , m_state(ItemUnstyled)
    , m_userName(userName)
{
    ui->setupUi(this);
    ui->userName->setText(userName);
    setState(ItemNormal);
    ui->operWt->hide();

    connect(ui->editUserBt, &QPushButton::clicked, this, [this] {
        // Selecting first lets the form load this account before it is
        // asked to edit "the current user".
        setState(ItemSelected);
        emit TAMCOMMON::TamSingleton<UserMgrSignals>::_instance().signalEditUser(m_userName);
    });
    connect(ui->deleteUserBt, &QPushButton::clicked, this, [this] {
        emit TAMCOMMON::TamSingleton<UserMgrSignals>::_instance().signalDeleteUser(m_userName);
    });
}

UserItem::~UserItem()
{
    delete ui;
}

void UserItem::setState(int state)
{
    if (state == m_state)
        return;
    m_state = state;

    switch (state) {
    case ItemSelected:
        // Announced before restyling: the list and the form react while this
        // row still shows its previous look.
        emit signalCurUserItem(m_userName);
        setStyleSheet(QLatin1String(kSelectedBackground));
        ui->flagWt->setStyleSheet(QLatin1String(kSelectedFlag));
        ui->userName->setStyleSheet(QLatin1String(kBrightName));
        break;
    case ItemHovered:
        setStyleSheet(QLatin1String(kSelectedBackground));
        ui->flagWt->setStyleSheet(QLatin1String(kTransparentBackground));
        ui->userName->setStyleSheet(QLatin1String(kBrightName));
        break;
    default:
        setStyleSheet(QLatin1String(kTransparentBackground));
        ui->flagWt->setStyleSheet(QLatin1String(kTransparentBackground));
        ui->userName->setStyleSheet(QLatin1String(kDimName));
        break;
    }
}

void UserItem::mouseReleaseEvent(QMouseEvent *event)
{
    if (m_state != ItemSelected)
        setState(ItemSelected);
    TAMCOMMON::PEWidget::mouseReleaseEvent(event);
}

void UserItem::enterEvent(QEvent *event)
{
    if (m_state != ItemSelected)
        setState(ItemHovered);
    ui->operWt->setVisible(isEnabled());
    TAMCOMMON::PEWidget::enterEvent(event);
}

void UserItem::leaveEvent(QEvent *event)
{
    if (m_state != ItemSelected)
        setState(ItemNormal);
    ui->operWt->hide();
    TAMCOMMON::PEWidget::leaveEvent(event);
}

} // namespace orlun_userMgr
