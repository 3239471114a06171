#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QSqlQuery>
#include <QTableWidget>
#include <QToolTip>
#include <QtTest>

#include "BaseForm.h"
#include "ChannelId.h"
#include "DataStore.h"
#include "DevsMgrData.h"
#include "DictDef.h"
#include "SystemAssistant.h"
#include "TestSupport.h"
#include "UserData.h"
#include "UserListWt.h"
#include "UserMgrInit.h"
#include "VideoPointTree.h"

#include <memory>

using orlun_base::TamMessageBox;
using orlun_data::UserData;
using orlun_userMgr::UserListWt;

namespace {

const QString kStrongPwd = QStringLiteral("Str0ng#Pass9");
const QString kAlicePwd = QStringLiteral("x7Qm#Lp2vR9t");

} // namespace

class tst_UserMgrForm : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup() { m_top.reset(); }

    void addReusesShownUserOnlyOnYes_data();
    void addReusesShownUserOnlyOnYes();
    void saveStopsAtFirstFailedCheck();
    void editWriteFailures();
    void deleteAnotherUsersRow();
    void deletingLastUser();
    void narrowFormHidesTableWhileAdding();
    void hideShowAndCancelWhileAdding();
    void editNeverWritesWhatTheFormCut_data();
    void editNeverWritesWhatTheFormCut();
    void failedAddLeavesNoGrants();
    void deletedChannelsCannotBeGranted();

private:
    static UserData &users() { return UserData::_instance(); }
    static QString ch(int n) { return orlun_data::formatChannelId(QStringLiteral("nvr1"), n); }
    // What reached the store for an account: password, description, mask,
    // the super user who wrote it and the granted ids.
    static QStringList record(const QString &user)
    {
        const orlun_data::UserInfo info = users().getUserInfo(user);
        QStringList grants;
        for (const orlun_data::UserResInfo &res : users().getUserRes(user))
            grants << res.resId;
        grants.sort();
        return {info.userPwd, info.userDescribe, QString::number(info.functionPower),
                info.superUserName, grants.join(',')};
    }
    // Questions asked and alerts raised, as "<text> /<buttons>" and "<title>: <text>".
    static QStringList asked()
    {
        QStringList texts;
        for (const TamMessageBox::Question &q : TamMessageBox::askedQuestions())
            texts << q.text + " /" + QString::number(q.buttons);
        return texts;
    }
    QStringList alerts() const
    {
        QStringList texts;
        for (const QList<QVariant> &a : m_alerts)
            texts << a.at(0).toString() + ": " + a.at(1).toString();
        return texts;
    }

    // Embedded shows the form inside a wider window, as the client does, so
    // that it can be made narrower than its layout asks for.
    void createForm(bool embedded = false);
    template<class T>
    T *child(const char *name)
    {
        return m_form->findChild<T *>(QLatin1String(name));
    }
    QLineEdit *field(const char *name) { return child<QLineEdit>(name); }
    void click(const char *name)
    {
        QTest::mouseClick(child<QAbstractButton>(name), Qt::LeftButton);
    }
    void answerAndClick(int answer, const char *name)
    {
        TamMessageBox::clearAskedQuestions();
        TamMessageBox::setNextAnswers({answer});
        click(name);
    }
    void clickRowButton(const QString &user, const char *name);
    bool inViewingMode() { return child<QWidget>("okBt")->isHidden(); }
    bool leftPanelEnabled() { return child<QWidget>("userMgrWt")->isEnabled(); }

    std::unique_ptr<QWidget> m_top;
    orlun_base::BaseForm *m_form = nullptr;
    QSignalSpy m_alerts{&orlun_worker::SystemAssistant::_instance(),
                        &orlun_worker::SystemAssistant::signalMessageAlerted};
};

void tst_UserMgrForm::init()
{
    resetHostForTest();
    QToolTip::hideText();
    vms_sdk::DevInfo nvr;
    nvr.devId = QStringLiteral("nvr1");
    nvr.channelCount = 2;
    QVERIFY(orlun_data::DevsMgrData::_instance().addDevice(nvr));
    QVERIFY(users().addUser({"alice", kAlicePwd, 2, 0x3, "desk", QString()}));
    QVERIFY(users().setUserRes("alice", {{ch(0), 0}}));
    QVERIFY(users().addUser({"bob", kAlicePwd, 2, -1, "gate", QString()}));
    m_alerts.clear();
}

void tst_UserMgrForm::createForm(bool embedded)
{
    m_form = TAMCOMMON::TamSingleton<orlun_userMgr::UserMgrInit>::_instance().createUserMgrForm();
    m_top.reset(embedded ? new QWidget : m_form);
    m_form->setParent(embedded ? m_top.get() : nullptr);
    m_top->resize(1900, 795);
    m_form->resize(embedded ? 1480 : 1565, 795);
    m_top->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_top.get()));
}

void tst_UserMgrForm::clickRowButton(const QString &user, const char *name)
{
    auto *list = child<UserListWt>("userListWt");
    for (int r = 0; r < list->count(); ++r) {
        if (QWidget *row = list->itemWidget(list->item(r));
            list->item(r)->data(Qt::UserRole) == user) {
            // The row's buttons appear while the pointer is over it.
            QEvent enter(QEvent::Enter);
            QApplication::sendEvent(row, &enter);
            QTest::mouseClick(row->findChild<QPushButton *>(QLatin1String(name)), Qt::LeftButton);
        }
    }
}

void tst_UserMgrForm::addReusesShownUserOnlyOnYes_data()
{
    QTest::addColumn<int>("answer");
    QTest::addColumn<QStringList>("stored");

    QTest::newRow("yes reuses") << int(orlun_base::Yes)
                                << QStringList{kAlicePwd, "desk", "3", "admin", ch(0)};
    QTest::newRow("no starts empty")
        << int(orlun_base::No) << QStringList{kStrongPwd, "night", "-1", "admin", ""};
}

void tst_UserMgrForm::addReusesShownUserOnlyOnYes()
{
    QFETCH(int, answer);
    QFETCH(QStringList, stored);

    createForm();
    answerAndClick(answer, "addUserBt");
    QCOMPARE(asked(), QStringList{"Whether to reuse the data of the current account? /192"});

    // The name takes no blanks; blanks around the other entries are not stored.
    QTest::keyClicks(field("userName"), QStringLiteral("car ol"));
    if (field("userPwd")->text().isEmpty())
        QTest::keyClicks(field("userPwd"), " " + kStrongPwd + " ");
    if (field("userDescribe")->text().isEmpty())
        QTest::keyClicks(field("userDescribe"), QStringLiteral("  night  "));
    click("okBt");

    QCOMPARE(alerts(), QStringList());
    QCOMPARE(record("carol"), stored);
    QCOMPARE(child<UserListWt>("userListWt")->getCurUser(), QStringLiteral("carol"));
    QVERIFY(inViewingMode());
    QVERIFY(leftPanelEnabled());
}

void tst_UserMgrForm::saveStopsAtFirstFailedCheck()
{
    createForm();
    answerAndClick(orlun_base::No, "addUserBt");
    auto refused = [this](const QString &tip) {
        QToolTip::hideText();
        click("okBt");
        QTRY_COMPARE(QToolTip::text(), tip);
        QVERIFY(!inViewingMode());
    };
    // Both the name and the password are wrong: the password is reported.
    QTest::keyClicks(field("userPwd"), QStringLiteral("abc"));
    refused(QStringLiteral("User password strength is too weak"));
    QTest::keyClicks(field("userPwd"), kStrongPwd);
    refused(QStringLiteral("User name can not be empty"));
    QTest::keyClicks(field("userName"), QStringLiteral("bob"));
    refused(QStringLiteral("User name has been exist"));
    QCOMPARE(alerts(), QStringList());
    QCOMPARE(users().getAllUsers(QStringLiteral("admin")).size(), 2);
}

void tst_UserMgrForm::editWriteFailures()
{
    createForm();
    clickRowButton("bob", "editUserBt");
    QVERIFY(field("userName")->isReadOnly());
    QCOMPARE(child<QPushButton>("okBt")->text(), QStringLiteral("Save"));
    QTest::keyClicks(field("userDescribe"), QStringLiteral("2 "));
    const QString error = orlun_worker::DictDef::_instance().errorTitle + ": ";

    // A refused account write keeps the entries for another try.
    users().failNextWrite(UserData::UpdateUser);
    click("okBt");
    QCOMPARE(alerts(), QStringList{error + "Failed to edit user"});
    QCOMPARE(record("bob").at(1), QStringLiteral("gate"));
    QVERIFY(!inViewingMode());
    QVERIFY(!leftPanelEnabled());

    // Grants that fail to store do not hold back the account.
    m_alerts.clear();
    users().failNextWrite(UserData::SetUserRes);
    click("okBt");
    QCOMPARE(alerts(), QStringList{error + "Failed to save channel power"});
    QCOMPARE(record("bob").at(1), QStringLiteral("gate2"));
    QVERIFY(inViewingMode());
    QVERIFY(leftPanelEnabled());
    QCOMPARE(field("userDescribe")->text(), QStringLiteral("gate2 "));
}

void tst_UserMgrForm::deleteAnotherUsersRow()
{
    createForm();
    auto *list = child<UserListWt>("userListWt");
    const QStringList notice{orlun_worker::DictDef::_instance().noticeTitle +
                             ": Failed to delete user"};
    users().failNextWrite(UserData::DeleteUser);
    // Declined, refused by the host, done. bob is not the shown user, so
    // alice stays loaded throughout.
    int step = 0;
    for (int answer : {int(orlun_base::Cancel), int(orlun_base::Ok), int(orlun_base::Ok)}) {
        TamMessageBox::clearAskedQuestions();
        TamMessageBox::setNextAnswers({answer});
        clickRowButton("bob", "deleteUserBt");
        QCOMPARE(asked(), QStringList{"Do you want to delete user:bob? /3"});
        QCOMPARE(alerts(), step == 0 ? QStringList() : notice);
        QCOMPARE(list->getUserCount(), step++ == 2 ? 1 : 2);
        QCOMPARE(field("userName")->text(), QStringLiteral("alice"));
        QVERIFY(inViewingMode());
    }
    QVERIFY(!users().isUserExist(QStringLiteral("bob")));
    QVERIFY(child<QWidget>("deleteUserBt")->isEnabled());
}

void tst_UserMgrForm::deletingLastUser()
{
    QVERIFY(users().deleteUser(QStringLiteral("bob")));
    createForm();
    QVERIFY(child<QWidget>("deleteUserBt")->isEnabled());

    answerAndClick(orlun_base::Ok, "deleteUserBt");
    QCOMPARE(asked(), QStringList{"Do you want to delete user:alice? /3"});
    QVERIFY(!users().isUserExist(QStringLiteral("alice")));
    QVERIFY(!child<QWidget>("deleteUserBt")->isEnabled());
    QCOMPARE(field("userName")->text() + field("userPwd")->text() + field("userDescribe")->text(),
             QString());

    // With nobody shown there is nothing to reuse, so adding asks nothing.
    answerAndClick(orlun_base::Yes, "addUserBt");
    QCOMPARE(asked(), QStringList());
    QVERIFY(!inViewingMode());
}

void tst_UserMgrForm::narrowFormHidesTableWhileAdding()
{
    createForm(true);
    auto *table = child<QWidget>("channelPowerTable");
    auto *powerLayout = child<QHBoxLayout>("powerLayout");
    // Viewing: the tree is down, so the table keeps its place.
    QVERIFY(table->isVisible());

    answerAndClick(orlun_base::Yes, "addUserBt");
    QVERIFY(!table->isVisible());
    for (int w : {1499, 1200, 1480})
        m_form->resize(w, 795);
    QVERIFY(!table->isVisible());
    QCOMPARE(powerLayout->count(), 4);

    m_form->resize(1500, 795);
    QVERIFY(table->isVisible());
    QCOMPARE(powerLayout->count(), 3);
    QTRY_VERIFY(table->width() > 300);
}

void tst_UserMgrForm::hideShowAndCancelWhileAdding()
{
    createForm();
    answerAndClick(orlun_base::No, "addUserBt");
    QTest::keyClicks(field("userName"), QStringLiteral("carol"));
    QTest::keyClicks(field("userDescribe"), QStringLiteral("pending"));
    auto stillAdding = [this] {
        return !inViewingMode() && child<QWidget>("channelPowerTree")->isVisible() &&
               !leftPanelEnabled() && field("userName")->text() == "carol" &&
               field("userDescribe")->text() == "pending";
    };
    m_form->hide();
    m_form->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_form));
    QVERIFY(stillAdding());

    answerAndClick(orlun_base::Cancel, "cancelBt");
    QCOMPARE(asked(), QStringList{"Do you want to cancel user creation? /3"});
    QVERIFY(stillAdding());

    answerAndClick(orlun_base::Ok, "cancelBt");
    QVERIFY(inViewingMode());
    QVERIFY(leftPanelEnabled());
    QCOMPARE(field("userDescribe")->text(), QStringLiteral("desk"));
}

void tst_UserMgrForm::editNeverWritesWhatTheFormCut_data()
{
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QString>("description");
    // Stored by an older client; the form can show neither as it is.
    QTest::newRow("description of 33") << "dave" << QString(33, 'd');
    QTest::newRow("name with a blank") << " alice"
                                       << "lobby";
}

void tst_UserMgrForm::editNeverWritesWhatTheFormCut()
{
    QFETCH(QString, shown);
    QFETCH(QString, description);
    {
        QSqlQuery query(orlun_data::DataStore::_instance().database());
        query.prepare(
            QStringLiteral("INSERT INTO users (name, pwd, description) VALUES (?, ?, ?)"));
        query.addBindValue(shown);
        query.addBindValue(kStrongPwd);
        query.addBindValue(description);
        QVERIFY(query.exec());
    }
    users().reload();
    QVERIFY(users().setUserRes(shown, {{ch(1), 0}}));
    const QStringList before = record(shown) + record("alice");

    createForm();
    clickRowButton(shown, "editUserBt");
    QCOMPARE(field("userName")->text(), shown);
    click("okBt");
    QCOMPARE(alerts(),
             QStringList{orlun_worker::DictDef::_instance().errorTitle + ": Failed to edit user"});
    QCOMPARE(record(shown) + record("alice"), before);
    QVERIFY(!inViewingMode());
}

void tst_UserMgrForm::failedAddLeavesNoGrants()
{
    createForm();
    // Reusing alice's data brings her channel grant into the new account.
    answerAndClick(orlun_base::Yes, "addUserBt");
    QTest::keyClicks(field("userName"), QStringLiteral("carol"));
    users().failNextWrite(UserData::AddUser);
    click("okBt");
    const QString error = orlun_worker::DictDef::_instance().errorTitle + ": ";
    QCOMPARE(alerts(), QStringList{error + "Failed to add user"});
    QVERIFY(users().getUserRes("carol").isEmpty());

    // The retry's grants are refused; the account comes without the first
    // attempt's grants.
    m_alerts.clear();
    users().failNextWrite(UserData::SetUserRes);
    click("okBt");
    QCOMPARE(alerts(), QStringList{error + "Failed to save channel power"});
    QCOMPARE(record("carol"), (QStringList{kAlicePwd, "desk", "3", "admin", ""}));
    QSqlQuery query(orlun_data::DataStore::_instance().database());
    QVERIFY(query.exec(QStringLiteral("SELECT count(*) FROM user_res WHERE user_name = 'carol'")));
    QVERIFY(query.next());
    QCOMPARE(query.value(0).toInt(), 0);
}

void tst_UserMgrForm::deletedChannelsCannotBeGranted()
{
    auto &data = orlun_data::DevsMgrData::_instance();
    vms_sdk::DevInfo camera;
    camera.devId = QStringLiteral("cam1");
    camera.devType = 1;
    camera.channelCount = 1;
    QVERIFY(data.addDevice(camera));
    const QString cam = orlun_data::formatChannelId(camera.devId, 0);
    QVERIFY(users().setUserRes("bob", {{cam, 0}, {ch(1), 0}}));
    // The camera loses its one channel, the NVR all of its channels.
    QVERIFY(data.deleteChannels({{camera.devId, 0}, {"nvr1", 0}, {"nvr1", 1}}));

    createForm();
    clickRowButton("bob", "editUserBt");
    auto *tree = child<orlun_base::VideoPointTree>("channelsTree");
    QVERIFY(!tree->findDevItem(camera.devId));
    QVERIFY(!tree->findDevItem("nvr1"));
    QCOMPARE(child<QWidget>("channelPowerTable")->findChild<QTableWidget *>()->rowCount(), 0);
    // Ticking the whole camera folder grants nothing.
    QTreeWidgetItem *cameras = tree->getTreeWidget()->topLevelItem(1);
    cameras->setCheckState(0, Qt::Checked);
    click("okBt");
    QCOMPARE(alerts(), QStringList());
    QCOMPARE(record("bob").last(), QString());
    QCOMPARE(record("alice").last(), QString());
}

QTEST_MAIN(tst_UserMgrForm)
#include "tst_UserMgrForm.moc"
