#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QStyle>
#include <QStyleOptionViewItem>
#include <QToolButton>
#include <QToolTip>
#include <QtTest>

#include <memory>

#include "BaseForm.h"
#include "ChannelId.h"
#include "DevsMgrData.h"
#include "DictDef.h"
#include "FormsMgr.h"
#include "FunctionPowerList.h"
#include "SystemAssistant.h"
#include "TestSupport.h"
#include "TreeItem.h"
#include "UserData.h"
#include "UserListWt.h"
#include "UserMgrInit.h"
#include "UserMgrSignals.h"
#include "VideoPointTree.h"

using orlun_base::TamMessageBox;
using orlun_data::UserData;
using orlun_userMgr::UserListWt;

namespace {

const QString kStrongPwd = QStringLiteral("Str0ng#Pass9");

UserData &users()
{
    return TAMCOMMON::TamSingleton<UserData>::_instance();
}

const orlun_worker::DictDef &dict()
{
    return TAMCOMMON::TamSingleton<orlun_worker::DictDef>::_instance();
}

void seedUser(const QString &name, const QString &describe, int mask,
              const QList<orlun_data::UserResInfo> &grants = {})
{
    orlun_data::UserInfo info;
    info.userName = name;
    info.userPwd = QStringLiteral("x7Qm#Lp2vR9t");
    info.userDescribe = describe;
    info.functionPower = mask;
    QVERIFY(users().addUser(info));
    QVERIFY(users().setUserRes(name, grants));
}

QStringList grantIds(const QString &user)
{
    QStringList ids;
    for (const orlun_data::UserResInfo &res : users().getUserRes(user))
        ids << res.resId;
    ids.sort();
    return ids;
}

} // namespace

class tst_UserMgrForm : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void addAsksToReuseShownUser_data();
    void addAsksToReuseShownUser();
    void addOnEmptyListAsksNothing();
    void saveReportsFirstFailedCheck_data();
    void saveReportsFirstFailedCheck();
    void saveWriteFailures_data();
    void saveWriteFailures();
    void cancel_data();
    void cancel();
    void deleteThroughRow_data();
    void deleteThroughRow();
    void deletingLastUserDisablesDelete();
    void narrowFormHidesTableWhileAdding();
    void hideAndShowKeepsAdding();
    void hubDeleteReachesEveryForm();
    void fieldsAndColumns();

private:
    orlun_base::BaseForm *createForm();
    template<class T>
    T *child(const char *name, orlun_base::BaseForm *form = nullptr)
    {
        T *w = (form ? form : m_forms.front().get())->findChild<T *>(QLatin1String(name));
        if (!w)
            qFatal("no child %s", name);
        return w;
    }
    QLineEdit *field(const char *name) { return child<QLineEdit>(name); }
    void click(const char *name)
    {
        QTest::mouseClick(child<QAbstractButton>(name), Qt::LeftButton);
    }
    QPushButton *rowButton(const QString &user, const char *name);
    void clickTreeBox(QTreeWidgetItem *item);
    bool inViewingMode() { return child<QWidget>("okBt")->isHidden(); }

    std::vector<std::unique_ptr<orlun_base::BaseForm>> m_forms;
    std::unique_ptr<QSignalSpy> m_alerts;
};

void tst_UserMgrForm::init()
{
    resetHostForTest();
    QToolTip::hideText();

    vms_sdk::DevInfo nvr;
    nvr.devId = QStringLiteral("nvr1");
    nvr.devName = QStringLiteral("Lobby NVR");
    nvr.devSn = QStringLiteral("SN-0001");
    nvr.ip = QStringLiteral("10.0.0.1");
    nvr.channelCount = 2;
    QVERIFY(TAMCOMMON::TamSingleton<orlun_data::DevsMgrData>::_instance().addDevice(nvr));

    seedUser(QStringLiteral("alice"), QStringLiteral("desk"), 0x3,
             {{orlun_data::formatChannelId(QStringLiteral("nvr1"), 0),
               orlun_data::UserResInfo::Channel}});
    seedUser(QStringLiteral("bob"), QStringLiteral("gate"), -1);

    m_alerts.reset(new QSignalSpy(&orlun_worker::SystemAssistant::_instance(),
                                  &orlun_worker::SystemAssistant::signalMessageAlerted));
}

void tst_UserMgrForm::cleanup()
{
    m_forms.clear();
}

orlun_base::BaseForm *tst_UserMgrForm::createForm()
{
    m_forms.emplace_back(
        TAMCOMMON::TamSingleton<orlun_userMgr::UserMgrInit>::_instance().createUserMgrForm());
    orlun_base::BaseForm *form = m_forms.back().get();
    orlun_base::FormsMgr::_instance().registerForm(form);
    form->resize(1565, 795);
    form->show();
    if (!QTest::qWaitForWindowExposed(form))
        qFatal("form not exposed");
    return form;
}

QPushButton *tst_UserMgrForm::rowButton(const QString &user, const char *name)
{
    auto *list = child<UserListWt>("userListWt");
    for (int r = 0; r < list->count(); ++r) {
        if (list->item(r)->data(Qt::UserRole).toString() != user)
            continue;
        QWidget *row = list->itemWidget(list->item(r));
        // The row's buttons appear while the pointer is over it.
        QEvent enter(QEvent::Enter);
        QApplication::sendEvent(row, &enter);
        return row->findChild<QPushButton *>(QLatin1String(name));
    }
    return nullptr;
}

void tst_UserMgrForm::clickTreeBox(QTreeWidgetItem *item)
{
    QTreeWidget *tree = item->treeWidget();
    tree->scrollToItem(item);
    QStyleOptionViewItem option;
    option.initFrom(tree->viewport());
    option.rect = tree->visualItemRect(item);
    option.features |= QStyleOptionViewItem::HasCheckIndicator;
    const QRect box =
        tree->style()->subElementRect(QStyle::SE_ItemViewItemCheckIndicator, &option, tree);
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, box.center());
}

void tst_UserMgrForm::addAsksToReuseShownUser_data()
{
    QTest::addColumn<int>("answer");
    QTest::addColumn<QString>("storedPwd");
    QTest::addColumn<QString>("storedDescribe");
    QTest::addColumn<int>("storedMask");
    QTest::addColumn<QStringList>("storedGrants");

    const QString ch0 = orlun_data::formatChannelId(QStringLiteral("nvr1"), 0);
    const QString ch1 = orlun_data::formatChannelId(QStringLiteral("nvr1"), 1);
    // Reusing keeps alice's data and adds the channel ticked in the tree.
    QTest::newRow("yes reuses") << int(orlun_base::Yes) << QStringLiteral("x7Qm#Lp2vR9t")
                                << QStringLiteral("desk") << 0x3 << QStringList{ch0, ch1};
    QTest::newRow("no starts empty")
        << int(orlun_base::No) << kStrongPwd << QStringLiteral("night") << -1 << QStringList{ch1};
}

void tst_UserMgrForm::addAsksToReuseShownUser()
{
    QFETCH(int, answer);
    QFETCH(QString, storedPwd);
    QFETCH(QString, storedDescribe);
    QFETCH(int, storedMask);
    QFETCH(QStringList, storedGrants);

    orlun_base::BaseForm *form = createForm();
    TamMessageBox::setNextAnswers({answer});
    click("addUserBt");

    const QList<TamMessageBox::Question> asked = TamMessageBox::askedQuestions();
    QCOMPARE(asked.size(), 1);
    QCOMPARE(asked.at(0).text, QStringLiteral("Whether to reuse the data of the current account?"));
    QCOMPARE(asked.at(0).buttons, short(192));
    QCOMPARE(asked.at(0).parent.data(), form);
    QCOMPARE(field("userName")->text(), QString());
    QVERIFY(!child<QWidget>("userMgrWt")->isEnabled());
    QCOMPARE(child<QPushButton>("okBt")->text(), QStringLiteral("Add"));

    QTest::keyClicks(field("userName"), QStringLiteral("carol"));
    if (field("userPwd")->text().isEmpty())
        QTest::keyClicks(field("userPwd"), kStrongPwd);
    if (field("userDescribe")->text().isEmpty())
        QTest::keyClicks(field("userDescribe"), QStringLiteral("  night  "));
    auto *tree = child<orlun_base::VideoPointTree>("channelsTree");
    tree->getTreeWidget()->expandAll();
    clickTreeBox(tree->findChannelItem(orlun_data::formatChannelId(QStringLiteral("nvr1"), 1)));
    click("okBt");

    QCOMPARE(m_alerts->count(), 0);
    const orlun_data::UserInfo stored = users().getUserInfo(QStringLiteral("carol"));
    QCOMPARE(stored.userName, QStringLiteral("carol"));
    QCOMPARE(stored.userPwd, storedPwd);
    QCOMPARE(stored.userDescribe, storedDescribe);
    QCOMPARE(stored.functionPower, storedMask);
    QCOMPARE(stored.superUserName, QStringLiteral("admin"));
    QCOMPARE(grantIds(QStringLiteral("carol")), storedGrants);

    auto *list = child<UserListWt>("userListWt");
    QCOMPARE(list->getCurUser(), QStringLiteral("carol"));
    QCOMPARE(list->getUserCount(), 3);
    QVERIFY(inViewingMode());
    QVERIFY(child<QWidget>("userMgrWt")->isEnabled());
    QVERIFY(field("userName")->isReadOnly());
}

void tst_UserMgrForm::addOnEmptyListAsksNothing()
{
    QVERIFY(users().deleteUser(QStringLiteral("alice")));
    QVERIFY(users().deleteUser(QStringLiteral("bob")));
    createForm();
    QToolButton *deleteBt = child<QToolButton>("deleteUserBt");
    QVERIFY(!deleteBt->isEnabled());

    click("addUserBt");
    QVERIFY(TamMessageBox::askedQuestions().isEmpty());
    QCOMPARE(child<orlun_userMgr::FunctionPowerList>("functionPowerList")->getMask(), -1);

    QTest::keyClicks(field("userName"), QStringLiteral("first"));
    QTest::keyClicks(field("userPwd"), kStrongPwd);
    click("okBt");

    QVERIFY(users().isUserExist(QStringLiteral("first")));
    QCOMPARE(child<UserListWt>("userListWt")->getCurUser(), QStringLiteral("first"));
    QVERIFY(deleteBt->isEnabled());
}

void tst_UserMgrForm::saveReportsFirstFailedCheck_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("pwd");
    QTest::addColumn<QString>("tip");
    QTest::addColumn<QString>("tipField");

    const QString weak = QStringLiteral("User password strength is too weak");
    QTest::newRow("empty name, weak password")
        << QString() << QStringLiteral("abc") << weak << "userPwd";
    QTest::newRow("empty password") << QStringLiteral("carol") << QString() << weak << "userPwd";
    QTest::newRow("empty name") << QString() << kStrongPwd
                                << QStringLiteral("User name can not be empty") << "userName";
    QTest::newRow("taken name") << QStringLiteral("bob") << kStrongPwd
                                << QStringLiteral("User name has been exist") << "userName";
}

void tst_UserMgrForm::saveReportsFirstFailedCheck()
{
    QFETCH(QString, name);
    QFETCH(QString, pwd);
    QFETCH(QString, tip);
    QFETCH(QString, tipField);

    createForm();
    TamMessageBox::setNextAnswers({orlun_base::No});
    click("addUserBt");
    QTest::keyClicks(field("userName"), name);
    QTest::keyClicks(field("userPwd"), pwd);
    click("okBt");

    QTRY_COMPARE(QToolTip::text(), tip);
    QWidget *tipLabel = nullptr;
    for (QWidget *w : QApplication::topLevelWidgets()) {
        if (w->inherits("QTipLabel") && w->isVisible())
            tipLabel = w;
    }
    QVERIFY(tipLabel);
    // The tip hangs just below the top-left corner of the offending field.
    const QPoint offset = tipLabel->pos() - field(qPrintable(tipField))->mapToGlobal(QPoint(0, 0));
    QVERIFY2(offset.x() >= 0 && offset.x() < 10 && offset.y() >= 0 && offset.y() < 30,
             qPrintable(QStringLiteral("%1,%2").arg(offset.x()).arg(offset.y())));
    QCOMPARE(m_alerts->count(), 0);
    QCOMPARE(users().getAllUsers(QStringLiteral("admin")).size(), 2);
    QVERIFY(!inViewingMode());
    QCOMPARE(field("userName")->text(), name);
}

void tst_UserMgrForm::saveWriteFailures_data()
{
    QTest::addColumn<bool>("adding");
    QTest::addColumn<int>("failing");
    QTest::addColumn<QString>("alert");
    QTest::addColumn<bool>("stored");

    QTest::newRow("add, grants fail") << true << int(UserData::SetUserRes)
                                      << QStringLiteral("Failed to save channel power") << true;
    QTest::newRow("add, account fails")
        << true << int(UserData::AddUser) << QStringLiteral("Failed to add user") << false;
    QTest::newRow("edit, grants fail") << false << int(UserData::SetUserRes)
                                       << QStringLiteral("Failed to save channel power") << true;
    QTest::newRow("edit, account fails")
        << false << int(UserData::UpdateUser) << QStringLiteral("Failed to edit user") << false;
}

void tst_UserMgrForm::saveWriteFailures()
{
    QFETCH(bool, adding);
    QFETCH(int, failing);
    QFETCH(QString, alert);
    QFETCH(bool, stored);

    createForm();
    const QString user = adding ? QStringLiteral("carol") : QStringLiteral("bob");
    if (adding) {
        TamMessageBox::setNextAnswers({orlun_base::No});
        click("addUserBt");
        QTest::keyClicks(field("userName"), user);
        QTest::keyClicks(field("userPwd"), kStrongPwd);
    } else {
        QTest::mouseClick(rowButton(user, "editUserBt"), Qt::LeftButton);
        QVERIFY(field("userName")->isReadOnly());
        QVERIFY(!field("userPwd")->isReadOnly());
        QCOMPARE(child<QPushButton>("okBt")->text(), QStringLiteral("Save"));
        field("userDescribe")->clear();
    }
    QTest::keyClicks(field("userDescribe"), QStringLiteral(" changed "));
    users().failNextWrite(UserData::WriteOp(failing));
    click("okBt");

    QCOMPARE(m_alerts->count(), 1);
    QCOMPARE(m_alerts->at(0).at(0).toString(), dict().errorTitle);
    QCOMPARE(m_alerts->at(0).at(1).toString(), alert);
    QCOMPARE(users().getUserInfo(user).userDescribe == QStringLiteral("changed"), stored);
    // A refused account write keeps the entries for another try.
    QCOMPARE(inViewingMode(), stored);
    QCOMPARE(child<QWidget>("userMgrWt")->isEnabled(), stored);
    QCOMPARE(field("userName")->text(), user);
}

void tst_UserMgrForm::cancel_data()
{
    QTest::addColumn<bool>("adding");
    QTest::addColumn<int>("answer");
    QTest::addColumn<QString>("question");

    const QString creation = QStringLiteral("Do you want to cancel user creation?");
    const QString editing = QStringLiteral("Do you want to cancel user editing?");
    QTest::newRow("add, confirmed") << true << int(orlun_base::Ok) << creation;
    QTest::newRow("add, declined") << true << int(orlun_base::Cancel) << creation;
    QTest::newRow("edit, confirmed") << false << int(orlun_base::Ok) << editing;
    QTest::newRow("edit, declined") << false << int(orlun_base::Cancel) << editing;
}

void tst_UserMgrForm::cancel()
{
    QFETCH(bool, adding);
    QFETCH(int, answer);
    QFETCH(QString, question);

    createForm();
    if (adding) {
        TamMessageBox::setNextAnswers({orlun_base::No});
        click("addUserBt");
    } else {
        QTest::mouseClick(rowButton(QStringLiteral("alice"), "editUserBt"), Qt::LeftButton);
    }
    field("userDescribe")->clear();
    QTest::keyClicks(field("userDescribe"), QStringLiteral("typed"));
    TamMessageBox::clearAskedQuestions();
    TamMessageBox::setNextAnswers({answer});
    click("cancelBt");

    const QList<TamMessageBox::Question> asked = TamMessageBox::askedQuestions();
    QCOMPARE(asked.size(), 1);
    QCOMPARE(asked.at(0).text, question);
    QCOMPARE(asked.at(0).buttons, short(3));
    const bool confirmed = answer == orlun_base::Ok;
    QCOMPARE(inViewingMode(), confirmed);
    QCOMPARE(child<QWidget>("userMgrWt")->isEnabled(), confirmed);
    QCOMPARE(field("userDescribe")->text(),
             confirmed ? QStringLiteral("desk") : QStringLiteral("typed"));
    QCOMPARE(field("userName")->text(), confirmed || !adding ? QStringLiteral("alice") : QString());
    QCOMPARE(users().getUserInfo(QStringLiteral("alice")).userDescribe, QStringLiteral("desk"));
}

void tst_UserMgrForm::deleteThroughRow_data()
{
    QTest::addColumn<int>("answer");
    QTest::addColumn<bool>("failWrite");
    QTest::addColumn<bool>("deleted");

    QTest::newRow("confirmed") << int(orlun_base::Ok) << false << true;
    QTest::newRow("declined") << int(orlun_base::Cancel) << false << false;
    QTest::newRow("refused by host") << int(orlun_base::Ok) << true << false;
}

void tst_UserMgrForm::deleteThroughRow()
{
    QFETCH(int, answer);
    QFETCH(bool, failWrite);
    QFETCH(bool, deleted);

    createForm();
    if (failWrite)
        users().failNextWrite(UserData::DeleteUser);
    TamMessageBox::setNextAnswers({answer});
    // bob is not the shown user: alice stays loaded whatever happens.
    QTest::mouseClick(rowButton(QStringLiteral("bob"), "deleteUserBt"), Qt::LeftButton);

    const QList<TamMessageBox::Question> asked = TamMessageBox::askedQuestions();
    QCOMPARE(asked.size(), 1);
    QCOMPARE(asked.at(0).text, QStringLiteral("Do you want to delete user:bob?"));
    QCOMPARE(asked.at(0).buttons, short(3));
    QCOMPARE(users().isUserExist(QStringLiteral("bob")), !deleted);
    QCOMPARE(child<UserListWt>("userListWt")->getUserCount(), deleted ? 1 : 2);
    QCOMPARE(m_alerts->count(), failWrite ? 1 : 0);
    if (failWrite) {
        QCOMPARE(m_alerts->at(0).at(0).toString(), dict().noticeTitle);
        QCOMPARE(m_alerts->at(0).at(1).toString(), QStringLiteral("Failed to delete user"));
    }
    QCOMPARE(child<UserListWt>("userListWt")->getCurUser(), QStringLiteral("alice"));
    QCOMPARE(field("userName")->text(), QStringLiteral("alice"));
    QVERIFY(inViewingMode());
    QVERIFY(child<QToolButton>("deleteUserBt")->isEnabled());
}

void tst_UserMgrForm::deletingLastUserDisablesDelete()
{
    QVERIFY(users().deleteUser(QStringLiteral("bob")));
    createForm();
    QToolButton *deleteBt = child<QToolButton>("deleteUserBt");
    QVERIFY(deleteBt->isEnabled());

    TamMessageBox::setNextAnswers({orlun_base::Ok});
    click("deleteUserBt");

    QCOMPARE(TamMessageBox::askedQuestions().size(), 1);
    QCOMPARE(TamMessageBox::askedQuestions().at(0).text,
             QStringLiteral("Do you want to delete user:alice?"));
    QVERIFY(!users().isUserExist(QStringLiteral("alice")));
    QVERIFY(!deleteBt->isEnabled());
    QCOMPARE(field("userName")->text(), QString());
    QCOMPARE(field("userDescribe")->text(), QString());
    QCOMPARE(field("userPwd")->text(), QString());
}

void tst_UserMgrForm::narrowFormHidesTableWhileAdding()
{
    // Embedded, as the client shows it: a window would not go below the
    // layout's minimum width, which the fonts here put above 1500.
    QWidget host;
    orlun_base::BaseForm *form =
        TAMCOMMON::TamSingleton<orlun_userMgr::UserMgrInit>::_instance().createUserMgrForm();
    form->setParent(&host);
    host.resize(1900, 795);
    form->resize(1480, 795);
    host.show();
    QVERIFY(QTest::qWaitForWindowExposed(&host));
    auto *table = child<QWidget>("channelPowerTable", form);
    auto *powerLayout = child<QHBoxLayout>("powerLayout", form);
    // Viewing: the tree is down, so the table keeps its place.
    QVERIFY(table->isVisible());

    TamMessageBox::setNextAnswers({orlun_base::Yes});
    QTest::mouseClick(child<QToolButton>("addUserBt", form), Qt::LeftButton);
    QVERIFY(!table->isVisible());
    for (int w : {1499, 1200, 1480})
        form->resize(w, 795);
    QVERIFY(!table->isVisible());
    QCOMPARE(powerLayout->count(), 4);

    form->resize(1500, 795);
    QVERIFY(table->isVisible());
    QCOMPARE(powerLayout->count(), 3);
    QTRY_VERIFY(table->width() > 300);
}

void tst_UserMgrForm::hideAndShowKeepsAdding()
{
    orlun_base::BaseForm *form = createForm();
    TamMessageBox::setNextAnswers({orlun_base::No});
    click("addUserBt");
    QTest::keyClicks(field("userName"), QStringLiteral("carol"));
    QTest::keyClicks(field("userDescribe"), QStringLiteral("pending"));

    form->hide();
    form->show();
    QVERIFY(QTest::qWaitForWindowExposed(form));

    QVERIFY(!inViewingMode());
    QVERIFY(child<QWidget>("channelPowerTree")->isVisible());
    QVERIFY(!child<QWidget>("userMgrWt")->isEnabled());
    QCOMPARE(field("userName")->text(), QStringLiteral("carol"));
    QCOMPARE(field("userDescribe")->text(), QStringLiteral("pending"));
}

void tst_UserMgrForm::hubDeleteReachesEveryForm()
{
    orlun_base::BaseForm *first = createForm();
    orlun_base::BaseForm *second = createForm();
    TamMessageBox::setNextAnswers({orlun_base::Ok, orlun_base::Cancel});

    emit TAMCOMMON::TamSingleton<orlun_userMgr::UserMgrSignals>::_instance().signalDeleteUser(
        QStringLiteral("bob"));

    const QList<TamMessageBox::Question> asked = TamMessageBox::askedQuestions();
    QCOMPARE(asked.size(), 2);
    QCOMPARE(asked.at(0).parent.data(), first);
    QCOMPARE(asked.at(1).parent.data(), second);
    QVERIFY(!users().isUserExist(QStringLiteral("bob")));
    QCOMPARE(child<UserListWt>("userListWt", first)->getUserCount(), 1);
    QCOMPARE(child<UserListWt>("userListWt", second)->getUserCount(), 2);
}

void tst_UserMgrForm::fieldsAndColumns()
{
    orlun_base::BaseForm *form = createForm();
    form->resize(1900, 795);
    QTRY_COMPARE(form->width(), 1900);
    TamMessageBox::setNextAnswers({orlun_base::No});
    click("addUserBt");

    // The validator drops blanks and punctuation; the limits cap the length.
    QTest::keyClicks(field("userName"), QStringLiteral("ab c_d1") + QString(70, 'x'));
    QCOMPARE(field("userName")->text(), QStringLiteral("abcd1") + QString(59, 'x'));
    QTest::keyClicks(field("userPwd"), QString(20, 'p'));
    QCOMPARE(field("userPwd")->text().size(), 16);
    QTest::keyClicks(field("userDescribe"), QString(40, 'd'));
    QCOMPARE(field("userDescribe")->text().size(), 32);

    QTRY_COMPARE(child<QWidget>("userMgrWt")->width(), 258);
    QCOMPARE(child<QWidget>("functionPowerList")->width(), 240);
    QCOMPARE(child<QWidget>("channelPowerTree")->width(), 300);
    QVERIFY(child<QWidget>("channelPowerTable")->width() > 700);
}

QTEST_MAIN(tst_UserMgrForm)
#include "tst_UserMgrForm.moc"
