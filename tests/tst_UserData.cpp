#include <QSqlQuery>
#include <QTemporaryDir>
#include <QtTest>

#include "DataStore.h"
#include "SystemWorker.h"
#include "TestSupport.h"
#include "UserData.h"

using orlun_data::DataStore;
using orlun_data::UserData;
using orlun_data::UserInfo;
using orlun_data::UserResInfo;

Q_DECLARE_METATYPE(UserData::WriteOp)

namespace {

UserData &users()
{
    return UserData::_instance();
}

UserInfo makeUser(const QString &name, const QString &pwd = QStringLiteral("Secret#1"),
                  int mask = 0x3)
{
    UserInfo info;
    info.userName = name;
    info.userPwd = pwd;
    info.functionPower = mask;
    info.userDescribe = name + QStringLiteral(" at the gate");
    info.superUserName = QStringLiteral("admin");
    return info;
}

QList<UserResInfo> grants(const QStringList &channels, const QStringList &groups = {})
{
    QList<UserResInfo> list;
    for (const QString &id : channels)
        list.append({id, UserResInfo::Channel});
    for (const QString &id : groups)
        list.append({id, UserResInfo::Group});
    return list;
}

QStringList names(const QList<UserInfo> &list)
{
    QStringList result;
    for (const UserInfo &info : list)
        result.append(info.userName);
    return result;
}

int countRows(const QString &sql)
{
    QSqlQuery query(DataStore::_instance().database());
    if (!query.exec(sql) || !query.next())
        return -1;
    return query.value(0).toInt();
}

// Everything a caller can see of the accounts, in one comparable string.
QString snapshot()
{
    QStringList lines;
    for (const UserInfo &info : users().getAllUsers(QString())) {
        QByteArray salt;
        users().getUserGesture(info.userName, &salt, nullptr);
        QStringList res;
        for (const UserResInfo &r : users().getUserRes(info.userName))
            res.append(QStringLiteral("%1:%2").arg(r.resType).arg(r.resId));
        lines.append(QStringLiteral("%1|%2|%3|%4|%5|%6")
                         .arg(info.userName, info.userPwd)
                         .arg(info.functionPower)
                         .arg(info.userDescribe, res.join(QLatin1Char(',')),
                              QString::fromLatin1(salt.toHex())));
    }
    lines.append(
        QStringLiteral("pending:%1").arg(users().getUserRes(QStringLiteral("pending")).size()));
    return lines.join(QLatin1Char('\n'));
}

} // namespace

class tst_UserData : public QObject
{
    Q_OBJECT

private slots:
    void init();

    void accountsKeepCreationOrderAndFields();
    void uniqueness_data();
    void uniqueness();
    void lookUpsAreExact();
    void superUserIsLeftOut();
    void unknownNamesGiveDefaults();
    void updateChangesOnlyKnownAccounts();
    void grantsAreReplacedWhole();
    void deleteUserCascades();
    void dataSurvivesReopen();
    void failNextWrite_data();
    void failNextWrite();
    void sqlFailureLeavesStoreAndIndexUnchanged();
};

void tst_UserData::init()
{
    resetHostForTest();
}

void tst_UserData::accountsKeepCreationOrderAndFields()
{
    QVERIFY(users().addUser(makeUser(QStringLiteral("zoe"))));
    QVERIFY(users().addUser(makeUser(QStringLiteral("adam"), QStringLiteral("pw2"), -1)));
    QVERIFY(users().addUser(makeUser(QStringLiteral("mia"))));
    QCOMPARE(names(users().getAllUsers(QStringLiteral("admin"))),
             QStringList({"zoe", "adam", "mia"}));

    const UserInfo adam = users().getUserInfo(QStringLiteral("adam"));
    QCOMPARE(adam.userName, QStringLiteral("adam"));
    QCOMPARE(adam.userPwd, QStringLiteral("pw2"));
    QCOMPARE(adam.userType, 2);
    QCOMPARE(adam.functionPower, -1);
    QCOMPARE(adam.userDescribe, QStringLiteral("adam at the gate"));
    QCOMPARE(adam.superUserName, QStringLiteral("admin"));
}

void tst_UserData::uniqueness_data()
{
    QTest::addColumn<QString>("candidate");
    QTest::addColumn<bool>("taken");
    QTest::newRow("same name") << "Alice" << true;
    QTest::newRow("lower case") << "alice" << true;
    QTest::newRow("upper case") << "ALICE" << true;
    QTest::newRow("other name") << "Alicia" << false;
    QTest::newRow("super user") << "admin" << true;
    QTest::newRow("super user, other case") << "Admin" << true;
    QTest::newRow("non-ASCII case") << QStringLiteral("ÉMILE") << true;
}

void tst_UserData::uniqueness()
{
    QFETCH(QString, candidate);
    QFETCH(bool, taken);
    QVERIFY(users().addUser(makeUser(QStringLiteral("Alice"))));
    QVERIFY(users().addUser(makeUser(QStringLiteral("émile"))));

    QCOMPARE(users().isUserExist(candidate), taken);
    QCOMPARE(users().addUser(makeUser(candidate)), !taken);
    QCOMPARE(users().getAllUsers(QStringLiteral("admin")).size(), taken ? 2 : 3);
}

void tst_UserData::lookUpsAreExact()
{
    QVERIFY(users().addUser(makeUser(QStringLiteral("Alice"))));
    QVERIFY(users().setUserRes(QStringLiteral("Alice"), grants({"d#0"})));
    QCOMPARE(users().getUserInfo(QStringLiteral("alice")).userName, QString());
    QVERIFY(users().getUserRes(QStringLiteral("alice")).isEmpty());
    QVERIFY(!users().updateUser(makeUser(QStringLiteral("alice"))));
    QVERIFY(!users().deleteUser(QStringLiteral("ALICE")));
    QVERIFY(users().isUserExist(QStringLiteral("Alice")));
    QVERIFY(!users().addUser(makeUser(QString())));
    QVERIFY(!users().addUser(makeUser(QStringLiteral("   "))));
}

void tst_UserData::superUserIsLeftOut()
{
    QVERIFY(users().addUser(makeUser(QStringLiteral("bob"))));
    QVERIFY(users().addUser(makeUser(QStringLiteral("carol"))));
    // The list hides whichever name the caller calls its super user.
    QCOMPARE(names(users().getAllUsers(QStringLiteral("bob"))), QStringList{"carol"});
    QCOMPARE(names(users().getAllUsers(QStringLiteral("admin"))), QStringList({"bob", "carol"}));

    // A renamed super user is protected under its new name only.
    QVERIFY(orlun_worker::SystemWorker::_instance().setSuperUserName(QStringLiteral("root")));
    QVERIFY(users().isUserExist(QStringLiteral("Root")));
    QVERIFY(!users().isUserExist(QStringLiteral("admin")));
    QVERIFY(!users().addUser(makeUser(QStringLiteral("root"))));
    QVERIFY(users().addUser(makeUser(QStringLiteral("admin"))));

    // The super user's own record (type 1) is stored once and never listed.
    UserInfo root = makeUser(QStringLiteral("root"));
    root.userType = 1;
    QVERIFY(users().addUser(root));
    QVERIFY(!users().addUser(root));
    QCOMPARE(users().getUserInfo(QStringLiteral("root")).userType, 1);
    QCOMPARE(names(users().getAllUsers(QStringLiteral("root"))),
             QStringList({"bob", "carol", "admin"}));
}

void tst_UserData::unknownNamesGiveDefaults()
{
    const UserInfo info = users().getUserInfo(QStringLiteral("nobody"));
    QVERIFY(info.userName.isEmpty());
    QVERIFY(info.userPwd.isEmpty());
    QVERIFY(info.userDescribe.isEmpty());
    QVERIFY(info.superUserName.isEmpty());
    QCOMPARE(info.userType, 2);
    QCOMPARE(info.functionPower, -1);
    QVERIFY(users().getUserRes(QStringLiteral("nobody")).isEmpty());
    QVERIFY(!users().isUserConfigureGesture(QStringLiteral("nobody")));
    QVERIFY(!users().isUserExist(QString()));
    QCOMPARE(users().getUserInfo(QString()).functionPower, -1);
}

void tst_UserData::updateChangesOnlyKnownAccounts()
{
    QVERIFY(users().addUser(makeUser(QStringLiteral("bob"))));
    UserInfo changed = makeUser(QStringLiteral("bob"), QStringLiteral("NewPw#2"), 0);
    changed.userDescribe = QStringLiteral("night shift");
    QVERIFY(users().updateUser(changed));
    const UserInfo stored = users().getUserInfo(QStringLiteral("bob"));
    QCOMPARE(stored.userPwd, QStringLiteral("NewPw#2"));
    QCOMPARE(stored.functionPower, 0);
    QCOMPARE(stored.userDescribe, QStringLiteral("night shift"));
    QVERIFY(!users().updateUser(makeUser(QStringLiteral("ghost"))));
    QVERIFY(!users().isUserExist(QStringLiteral("ghost")));
}

void tst_UserData::grantsAreReplacedWhole()
{
    // The form stores the grants before the account exists.
    QVERIFY(users().setUserRes(QStringLiteral("newbie"), grants({"d1#0", "d1#3"}, {"grp-1"})));
    QCOMPARE(users().getUserRes(QStringLiteral("newbie")), grants({"d1#0", "d1#3"}, {"grp-1"}));
    QVERIFY(users().setUserRes(QStringLiteral("newbie"), grants({"d2#1"})));
    QCOMPARE(users().getUserRes(QStringLiteral("newbie")), grants({"d2#1"}));
    QCOMPARE(countRows(QStringLiteral("SELECT COUNT(*) FROM user_res")), 1);
    QVERIFY(users().setUserRes(QStringLiteral("newbie"), {}));
    QVERIFY(users().getUserRes(QStringLiteral("newbie")).isEmpty());
    QCOMPARE(countRows(QStringLiteral("SELECT COUNT(*) FROM user_res")), 0);
    QVERIFY(!users().setUserRes(QString(), grants({"d2#1"})));
}

void tst_UserData::deleteUserCascades()
{
    QVERIFY(users().addUser(makeUser(QStringLiteral("bob"))));
    QVERIFY(users().addUser(makeUser(QStringLiteral("carol"))));
    QVERIFY(users().setUserRes(QStringLiteral("bob"), grants({"d#0"}, {"grp-1"})));
    QVERIFY(users().setUserRes(QStringLiteral("carol"), grants({"d#1"})));
    QVERIFY(users().setUserGesture(QStringLiteral("bob"), "salt", "hash"));

    QVERIFY(users().deleteUser(QStringLiteral("bob")));
    QVERIFY(!users().isUserExist(QStringLiteral("bob")));
    QVERIFY(users().getUserRes(QStringLiteral("bob")).isEmpty());
    QVERIFY(!users().isUserConfigureGesture(QStringLiteral("bob")));
    QCOMPARE(countRows(QStringLiteral("SELECT COUNT(*) FROM user_res WHERE user_name = 'bob'")), 0);
    QCOMPARE(countRows(QStringLiteral("SELECT COUNT(*) FROM gestures")), 0);
    QCOMPARE(users().getUserRes(QStringLiteral("carol")), grants({"d#1"}));
    QVERIFY(!users().deleteUser(QStringLiteral("bob")));

    // The name is free again and comes back without the old grants.
    QVERIFY(users().addUser(makeUser(QStringLiteral("bob"))));
    QVERIFY(users().getUserRes(QStringLiteral("bob")).isEmpty());
    QCOMPARE(names(users().getAllUsers(QStringLiteral("admin"))), QStringList({"carol", "bob"}));
}

void tst_UserData::dataSurvivesReopen()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("users.db"));
    QVERIFY(DataStore::_instance().open(path));
    for (const char *name : {"zoe", "adam", "mia"})
        QVERIFY(users().addUser(makeUser(QString::fromLatin1(name))));
    QVERIFY(users().setUserRes(QStringLiteral("adam"), grants({"d#2", "d#1"}, {"grp-7"})));
    QVERIFY(users().setUserGesture(QStringLiteral("mia"), "s4lt", "h4sh"));
    QVERIFY(users().deleteUser(QStringLiteral("zoe")));
    const QString before = snapshot();

    DataStore::_instance().close();
    QVERIFY(users().getAllUsers(QString()).isEmpty());
    QVERIFY(DataStore::_instance().open(path));
    QCOMPARE(snapshot(), before);
    QByteArray salt, hash;
    QVERIFY(users().getUserGesture(QStringLiteral("mia"), &salt, &hash));
    QCOMPARE(salt, QByteArray("s4lt"));
    QCOMPARE(hash, QByteArray("h4sh"));
    // Order by creation, with grants in the order given.
    QCOMPARE(names(users().getAllUsers(QString())), QStringList({"adam", "mia"}));
    QCOMPARE(users().getUserRes(QStringLiteral("adam")), grants({"d#2", "d#1"}, {"grp-7"}));
}

void tst_UserData::failNextWrite_data()
{
    QTest::addColumn<UserData::WriteOp>("op");
    QTest::newRow("setUserRes") << UserData::SetUserRes;
    QTest::newRow("addUser") << UserData::AddUser;
    QTest::newRow("updateUser") << UserData::UpdateUser;
    QTest::newRow("deleteUser") << UserData::DeleteUser;
    QTest::newRow("setUserGesture") << UserData::SetUserGesture;
    QTest::newRow("deleteUserGesture") << UserData::DeleteUserGesture;
}

void tst_UserData::failNextWrite()
{
    QFETCH(UserData::WriteOp, op);
    QVERIFY(users().addUser(makeUser(QStringLiteral("bob"))));
    QVERIFY(users().setUserRes(QStringLiteral("bob"), grants({"d#0"})));
    QVERIFY(users().setUserGesture(QStringLiteral("bob"), "salt", "hash"));

    auto write = [&]() -> bool {
        switch (op) {
        case UserData::SetUserRes:
            return users().setUserRes(QStringLiteral("pending"), grants({"d#5"}));
        case UserData::AddUser:
            return users().addUser(makeUser(QStringLiteral("carol")));
        case UserData::UpdateUser:
            return users().updateUser(makeUser(QStringLiteral("bob"), QStringLiteral("other")));
        case UserData::DeleteUser:
            return users().deleteUser(QStringLiteral("bob"));
        case UserData::SetUserGesture:
            return users().setUserGesture(QStringLiteral("bob"), "salt2", "hash2");
        case UserData::DeleteUserGesture:
            return users().deleteUserGesture(QStringLiteral("bob"));
        }
        return false;
    };

    // A failure queued for another write does not hit this one.
    const UserData::WriteOp other =
        op == UserData::AddUser ? UserData::DeleteUser : UserData::AddUser;
    users().failNextWrite(other);

    const QString before = snapshot();
    users().failNextWrite(op);
    QVERIFY(!write());
    QCOMPARE(snapshot(), before);
    QVERIFY(write());
    QVERIFY(snapshot() != before);
}

void tst_UserData::sqlFailureLeavesStoreAndIndexUnchanged()
{
    QVERIFY(users().addUser(makeUser(QStringLiteral("bob"))));
    QVERIFY(users().setUserRes(QStringLiteral("bob"), grants({"d#0", "d#1"})));
    {
        QSqlQuery query(DataStore::_instance().database());
        QVERIFY(query.exec(QStringLiteral(
            "CREATE TRIGGER refuse_bad BEFORE INSERT ON user_res WHEN NEW.res_id = 'bad'"
            " BEGIN SELECT RAISE(ABORT, 'refused'); END")));
        QVERIFY(query.exec(
            QStringLiteral("CREATE TRIGGER refuse_eve BEFORE INSERT ON users WHEN NEW.name = 'eve'"
                           " BEGIN SELECT RAISE(ABORT, 'refused'); END")));
    }
    const QString before = snapshot();

    // The old grants were deleted inside the transaction before the insert
    // failed; the rollback must bring them back.
    QVERIFY(!users().setUserRes(QStringLiteral("bob"), grants({"d#7", "bad"})));
    QCOMPARE(users().getUserRes(QStringLiteral("bob")), grants({"d#0", "d#1"}));
    QCOMPARE(countRows(QStringLiteral("SELECT COUNT(*) FROM user_res WHERE user_name = 'bob'")), 2);

    QVERIFY(!users().addUser(makeUser(QStringLiteral("eve"))));
    QVERIFY(!users().isUserExist(QStringLiteral("eve")));
    QCOMPARE(snapshot(), before);
    QVERIFY(users().addUser(makeUser(QStringLiteral("eva"))));
}

QTEST_MAIN(tst_UserData)
#include "tst_UserData.moc"
