#include <QClipboard>
#include <QLineEdit>
#include <QPushButton>
#include <QSqlQuery>
#include <QToolTip>
#include <QtTest>

#include "BaseForm.h"
#include "ChannelId.h"
#include "DictDef.h"
#include "TestSupport.h"
#include "UserListWt.h"
#include "UserMgrInit.h"

#include <memory>

using orlun_base::TamMessageBox;
using orlun_data::UserData;
using orlun_userMgr::UserListWt;

static const QString kStrongPwd = "Str0ng#Pass9", kAlicePwd = "x7Qm#Lp2vR9t";

class tst_UserMgrForm : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup() { m_top.reset(); }

    void addReusesShownUserOnlyOnYes_data();
    void addReusesShownUserOnlyOnYes();
    void saveStopsAtFirstFailedCheck();
    void writeFailures_data();
    void writeFailures();
    void deleteRows();
    void hideShowAndCancelWhileAdding();
    void refusedInputSaysWhy_data();
    void refusedInputSaysWhy();
    void closingAsksWhileAddingOrEditing_data();
    void closingAsksWhileAddingOrEditing();
    void editNeverWritesWhatTheFormCut_data();
    void editNeverWritesWhatTheFormCut();

private:
    static QString ch(int n) { return orlun_data::formatChannelId("nvr1", n); }
    // What reached the store for an account: password, description, mask,
    // the super user who wrote it and the granted ids.
    static QStringList record(const QString &user)
    {
        const orlun_data::UserInfo info = hostUsers().getUserInfo(user);
        QStringList grants;
        for (const orlun_data::UserResInfo &res : hostUsers().getUserRes(user))
            grants << res.resId;
        grants.sort();
        return {info.userPwd, info.userDescribe, QString::number(info.functionPower),
                info.superUserName, grants.join(',')};
    }
    QStringList alerts() const { return alertTexts(m_alerts); }
    void createForm();
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
    QVERIFY(hostDevs().addDevice({"nvr1", "nvr1", "", 0, "", 0, 0, 0, 2, ""}));
    QVERIFY(hostUsers().addUser({"alice", kAlicePwd, 2, 0x3, "desk", QString()}));
    QVERIFY(hostUsers().setUserRes("alice", {{ch(0), 0}}));
    QVERIFY(hostUsers().addUser({"bob", kAlicePwd, 2, -1, "gate", QString()}));
    m_alerts.clear();
}

void tst_UserMgrForm::createForm()
{
    m_form = TAMCOMMON::TamSingleton<orlun_userMgr::UserMgrInit>::_instance().createUserMgrForm();
    m_top.reset(m_form);
    m_form->resize(1565, 795);
    m_top->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_top.get()));
}

void tst_UserMgrForm::clickRowButton(const QString &user, const char *name)
{
    auto *list = child<UserListWt>("userListWt");
    for (int r = 0; r < list->count(); ++r) {
        if (QWidget *row = list->itemWidget(list->item(r));
            list->item(r)->data(Qt::UserRole) == user) {
            sendHover(row);
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
    QCOMPARE(askedTexts(), QStringList{"Whether to reuse the data of the current account? /192"});

    // The name takes no blanks; blanks around the other entries are not stored.
    QTest::keyClicks(field("userName"), "car ol");
    if (field("userPwd")->text().isEmpty())
        QTest::keyClicks(field("userPwd"), " " + kStrongPwd + " ");
    if (field("userDescribe")->text().isEmpty())
        QTest::keyClicks(field("userDescribe"), "  night  ");
    click("okBt");

    QCOMPARE(alerts(), QStringList());
    QCOMPARE(record("carol"), stored);
    QCOMPARE(child<UserListWt>("userListWt")->getCurUser(), "carol");
    QVERIFY(inViewingMode() && leftPanelEnabled());
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
    QTest::keyClicks(field("userPwd"), "abc");
    refused("User password strength is too weak");
    QTest::keyClicks(field("userPwd"), kStrongPwd);
    refused("User name can not be empty");
    QTest::keyClicks(field("userName"), "bob");
    refused("User name has been exist");
    QCOMPARE(alerts(), QStringList());
    QCOMPARE(hostUsers().getAllUsers("admin").size(), 2);
}

void tst_UserMgrForm::writeFailures_data()
{
    QTest::addColumn<QString>("mode");
    QTest::addColumn<QString>("user");
    QTest::addColumn<int>("firstFailure");
    QTest::addColumn<QString>("firstAlert");
    QTest::addColumn<QStringList>("stored");

    // A refused account write keeps the entries; failed grants do not hold back the account.
    QTest::newRow("edit") << "edit"
                          << "bob" << int(UserData::UpdateUser) << "Failed to edit user"
                          << QStringList{kAlicePwd, "gate2", "-1", "admin", ""};
    QTest::newRow("add") << "add"
                         << "carol" << int(UserData::AddUser) << "Failed to add user"
                         << QStringList{kAlicePwd, "desk2", "3", "admin", ""};
}

void tst_UserMgrForm::writeFailures()
{
    QFETCH(QString, mode);
    QFETCH(QString, user);
    QFETCH(int, firstFailure);
    QFETCH(QString, firstAlert);
    QFETCH(QStringList, stored);

    createForm();
    if (mode == "edit") {
        clickRowButton(user, "editUserBt");
        QVERIFY(field("userName")->isReadOnly());
        QCOMPARE(child<QPushButton>("okBt")->text(), "Save");
    } else {
        answerAndClick(orlun_base::Yes, "addUserBt");
        QTest::keyClicks(field("userName"), user);
    }
    QTest::keyClicks(field("userDescribe"), "2 ");
    const QString error = orlun_worker::DictDef::_instance().errorTitle + ": ";
    const QStringList before = record(user);

    hostUsers().failNextWrite(UserData::WriteOp(firstFailure));
    click("okBt");
    QCOMPARE(alerts(), QStringList{error + firstAlert});
    QCOMPARE(record(user), before);
    QVERIFY(!inViewingMode() && !leftPanelEnabled());

    m_alerts.clear();
    hostUsers().failNextWrite(UserData::SetUserRes);
    click("okBt");
    QCOMPARE(alerts(), QStringList{error + "Failed to save channel power"});
    QCOMPARE(record(user), stored);
    QVERIFY(inViewingMode() && leftPanelEnabled());
}

void tst_UserMgrForm::deleteRows()
{
    createForm();
    auto *list = child<UserListWt>("userListWt");
    const QStringList notice{orlun_worker::DictDef::_instance().noticeTitle +
                             ": Failed to delete user"};
    hostUsers().failNextWrite(UserData::DeleteUser);
    // bob's row: declined, refused by the host, done; alice stays shown.
    int step = 0;
    for (int answer : {int(orlun_base::Cancel), int(orlun_base::Ok), int(orlun_base::Ok)}) {
        TamMessageBox::clearAskedQuestions();
        TamMessageBox::setNextAnswers({answer});
        clickRowButton("bob", "deleteUserBt");
        QCOMPARE(askedTexts(), QStringList{"Do you want to delete user:bob? /3"});
        QCOMPARE(alerts(), step == 0 ? QStringList() : notice);
        QCOMPARE(list->getUserCount(), step++ == 2 ? 1 : 2);
        QCOMPARE(field("userName")->text(), "alice");
        QVERIFY(inViewingMode());
    }
    QVERIFY(!hostUsers().isUserExist("bob"));

    // The last account, shown, goes from the form's own button.
    QVERIFY(child<QWidget>("deleteUserBt")->isEnabled());
    answerAndClick(orlun_base::Ok, "deleteUserBt");
    QCOMPARE(askedTexts(), QStringList{"Do you want to delete user:alice? /3"});
    QVERIFY(!hostUsers().isUserExist("alice"));
    QVERIFY(!child<QWidget>("deleteUserBt")->isEnabled());
    QCOMPARE(field("userName")->text() + field("userPwd")->text() + field("userDescribe")->text(),
             QString());
    // With nobody shown there is nothing to reuse, so adding asks nothing.
    answerAndClick(orlun_base::Yes, "addUserBt");
    QCOMPARE(askedTexts(), QStringList());
    QVERIFY(!inViewingMode());
}

void tst_UserMgrForm::hideShowAndCancelWhileAdding()
{
    createForm();
    answerAndClick(orlun_base::No, "addUserBt");
    QTest::keyClicks(field("userName"), "carol");
    QTest::keyClicks(field("userDescribe"), "pending");
    m_form->hide();
    m_form->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_form));
    answerAndClick(orlun_base::Cancel, "cancelBt");
    QCOMPARE(askedTexts(), QStringList{"Do you want to cancel user creation? /3"});
    QVERIFY(!inViewingMode() && child<QWidget>("channelPowerTree")->isVisible());
    QVERIFY(!leftPanelEnabled() && field("userDescribe")->text() == "pending");

    answerAndClick(orlun_base::Ok, "cancelBt");
    QVERIFY(inViewingMode() && leftPanelEnabled());
    QCOMPARE(field("userDescribe")->text(), "desk");

    // Hiding the focused cancel button looks for the next focus from there:
    // the account rows stay with their list, before that search ends.
    auto *list = child<QWidget>("userListWt");
    QWidget *search = child<QWidget>("userMgrWt")->findChild<QWidget *>("searchBox");
    for (QWidget *w = child<QWidget>("cancelBt"); w != search; w = w->nextInFocusChain())
        QVERIFY2(!list->isAncestorOf(w), qPrintable(w->objectName()));
}

void tst_UserMgrForm::refusedInputSaysWhy_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("pasted");
    QTest::addColumn<QString>("kept");
    QTest::addColumn<QString>("tip");

    const QString a64(64, 'a'), letters = "Only letters and digits";
    auto row = [](const char *title, const char *field, const QString &typed, const QString &pasted,
                  const QString &kept, const QString &tip) {
        QTest::newRow(title) << field << typed << pasted << kept << tip;
    };
    row("name, accent", "userName", "Jos\u00e9", "", "Jos", letters);
    row("name, pasted", "userName", "Li", "Zo\u00eb", "Li", letters);
    row("name, length", "userName", a64 + "b", "", a64, "At most 64 characters");
    row("password, space", "userPwd", "Blue Horse", "", "BlueHorse", "No spaces in a password");
    row("password, length", "userPwd", "Abcdefgh12345678X", "", "Abcdefgh12345678",
        "At most 16 characters");
    row("description, length", "userDescribe", QString(33, 'd'), "", QString(32, 'd'),
        "At most 32 characters");
    row("all taken", "userDescribe", "Front gate", "", "Front gate", "");
}

void tst_UserMgrForm::refusedInputSaysWhy()
{
    QFETCH(QString, name);
    QFETCH(QString, typed);
    QFETCH(QString, pasted);
    QFETCH(QString, kept);
    QFETCH(QString, tip);

    createForm();
    answerAndClick(orlun_base::No, "addUserBt");
    QLineEdit *edit = field(name.toLatin1());
    edit->setFocus();
    typeText(edit, typed);
    if (!pasted.isEmpty()) {
        QGuiApplication::clipboard()->setText(pasted);
        QTest::keySequence(edit, QKeySequence::Paste);
    }
    QCOMPARE(edit->text(), kept);
    if (tip.isEmpty()) {
        QVERIFY(!QToolTip::isVisible());
        return;
    }
    QVERIFY(QToolTip::isVisible());
    QCOMPARE(QToolTip::text(), tip);
    QTest::keyClick(edit, Qt::Key_Backspace);
    QTRY_VERIFY(!QToolTip::isVisible());
}

void tst_UserMgrForm::closingAsksWhileAddingOrEditing_data()
{
    QTest::addColumn<QString>("mode");
    QTest::addColumn<int>("answer");
    QTest::addColumn<QString>("password");
    QTest::addColumn<bool>("closed");
    QTest::addColumn<QString>("stored");

    using namespace orlun_base;
    QTest::newRow("viewing") << "view" << 0 << "" << true << "";
    QTest::newRow("adding, back") << "add" << int(Cancel) << kStrongPwd << false << "";
    QTest::newRow("adding, discard") << "add" << int(Discard) << kStrongPwd << true << "";
    QTest::newRow("adding, save") << "add" << int(Save) << kStrongPwd << true << kStrongPwd;
    // A refused check keeps the form open on the entries.
    QTest::newRow("adding, save refused") << "add" << int(Save) << "abc" << false << "";
    QTest::newRow("editing, save") << "edit" << int(Save) << "" << true << kAlicePwd + "9";
    QTest::newRow("editing, discard") << "edit" << int(Discard) << "" << true << kAlicePwd;
}

void tst_UserMgrForm::closingAsksWhileAddingOrEditing()
{
    QFETCH(QString, mode);
    QFETCH(int, answer);
    QFETCH(QString, password);
    QFETCH(bool, closed);
    QFETCH(QString, stored);

    createForm();
    const QString user = mode == "edit" ? "alice" : "carol";
    if (mode == "add") {
        answerAndClick(orlun_base::No, "addUserBt");
        QTest::keyClicks(field("userName"), user);
        QTest::keyClicks(field("userPwd"), password);
    } else if (mode == "edit") {
        clickRowButton(user, "editUserBt");
        QTest::keyClick(field("userPwd"), Qt::Key_End);
        QTest::keyClick(field("userPwd"), Qt::Key_9);
    }
    TamMessageBox::clearAskedQuestions();
    TamMessageBox::setNextAnswers({answer});
    QCOMPARE(m_form->close(), closed);

    const QStringList texts{"The new account has not been added. Add it before closing? /770",
                            "The account's changes have not been saved. Save them before "
                            "closing? /770"};
    QCOMPARE(askedTexts(), mode == "view" ? QStringList() : texts.mid(mode == "edit", 1));
    QCOMPARE(m_form->isVisible(), !closed);
    QCOMPARE(hostUsers().getUserInfo(user).userPwd, stored);
    if (!closed)
        QVERIFY(!inViewingMode());
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
    QSqlQuery query(orlun_data::DataStore::_instance().database());
    query.prepare("INSERT INTO users (name, pwd, description) VALUES (?, ?, ?)");
    query.addBindValue(shown);
    query.addBindValue(kStrongPwd);
    query.addBindValue(description);
    QVERIFY(query.exec());
    hostUsers().reload();
    QVERIFY(hostUsers().setUserRes(shown, {{ch(1), 0}}));
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

QTEST_MAIN(tst_UserMgrForm)
#include "tst_UserMgrForm.moc"
