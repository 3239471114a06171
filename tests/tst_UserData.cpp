#include <QSqlQuery>
#include <QTemporaryDir>
#include <QtTest>

#include "DataStore.h"
#include "SystemWorker.h"
#include "TestSupport.h"
#include "UserData.h"

#include <functional>

using orlun_data::DataStore;
using orlun_data::UserData;
using orlun_data::UserInfo;
using orlun_data::UserResInfo;

Q_DECLARE_METATYPE(UserData::WriteOp)
Q_DECLARE_METATYPE(UserData::Error)

namespace {

UserData &users()
{
    return UserData::_instance();
}

UserInfo makeUser(const QString &name, const QString &pwd = QStringLiteral("Secret#1"))
{
    UserInfo info;
    info.userName = name;
    info.userPwd = pwd;
    info.functionPower = orlun_data::FunctionVideoPreview | orlun_data::FunctionVideoPlayback;
    info.superUserName = QStringLiteral("admin");
    return info;
}

// Ids starting with "grp" are groups, the others channels.
QList<UserResInfo> grants(const QStringList &ids)
{
    QList<UserResInfo> list;
    for (const QString &id : ids)
        list.append(
            {id, id.startsWith(QLatin1String("grp")) ? UserResInfo::Group : UserResInfo::Channel});
    return list;
}

QStringList names(const QList<UserInfo> &list)
{
    QStringList result;
    for (const UserInfo &info : list)
        result.append(info.userName);
    return result;
}

// Everything a caller can see of the accounts, in one comparable string.
QString snapshot()
{
    QStringList lines;
    for (const UserInfo &info : users().getAllUsers(QString())) {
        QByteArray salt, hash;
        users().getUserGesture(info.userName, &salt, &hash);
        QStringList res;
        for (const UserResInfo &r : users().getUserRes(info.userName))
            res.append(QStringLiteral("%1:%2").arg(r.resType).arg(r.resId));
        lines.append(QStringLiteral("%1|%2|%3|%4|%5|%6|%7|%8")
                         .arg(info.userName, info.userPwd)
                         .arg(info.userType)
                         .arg(info.functionPower)
                         .arg(info.userDescribe, info.superUserName, res.join(QLatin1Char(',')),
                              QString::fromLatin1(salt + '/' + hash)));
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
    void init() { resetHostForTest(); }

    void uniqueness_data();
    void uniqueness();
    void lookUpsAreExactAndUnknownNamesGiveDefaults();
    void superUserIsLeftOut();
    void accountsSurviveReopen();
    void deleteUserCascades();
    void failNextWrite_data();
    void failNextWrite();
    void sqlFailureLeavesStoreAndIndexUnchanged();
    void recordRules_data();
    void recordRules();
    void outOfRuleRecordsAreReportedAndKept();
    void grantsTravelWithTheAccountWrite();
};

void tst_UserData::uniqueness_data()
{
    QTest::addColumn<QString>("candidate");
    QTest::addColumn<bool>("taken");
    QTest::newRow("same name") << "Alice" << true;
    QTest::newRow("other case") << "ALICE" << true;
    QTest::newRow("other name") << "Alicia" << false;
    QTest::newRow("super user, other case") << "Admin" << true;
}

void tst_UserData::uniqueness()
{
    QFETCH(QString, candidate);
    QFETCH(bool, taken);
    QVERIFY(users().addUser(makeUser(QStringLiteral("Alice"))));
    QCOMPARE(users().isUserExist(candidate), taken);
    QCOMPARE(users().addUser(makeUser(candidate)), !taken);
    QCOMPARE(users().lastError(), taken ? UserData::NameTaken : UserData::NoError);
    QCOMPARE(users().getAllUsers(QStringLiteral("admin")).size(), taken ? 1 : 2);
}

void tst_UserData::lookUpsAreExactAndUnknownNamesGiveDefaults()
{
    QVERIFY(users().addUser(makeUser(QStringLiteral("Alice"))));
    QVERIFY(users().setUserRes(QStringLiteral("Alice"), grants({"d#0"})));
    QVERIFY(users().setUserGesture(QStringLiteral("Alice"), "salt", "hash"));
    const UserInfo info = users().getUserInfo(QStringLiteral("alice"));
    QVERIFY(info.userName.isEmpty());
    QCOMPARE(info.userType, orlun_data::OrdinaryUserType);
    QCOMPARE(info.functionPower, orlun_data::AllFunctions);
    QVERIFY(users().getUserRes(QStringLiteral("alice")).isEmpty());
    QVERIFY(!users().isUserConfigureGesture(QStringLiteral("alice")));
    QVERIFY(!users().updateUser(makeUser(QStringLiteral("alice"))));
    QVERIFY(!users().deleteUser(QStringLiteral("ALICE")));
    QVERIFY(!users().addUser(makeUser(QStringLiteral("   "))));
    QVERIFY(!users().setUserRes(QString(), grants({"d#1"})));
}

void tst_UserData::superUserIsLeftOut()
{
    QVERIFY(users().addUser(makeUser(QStringLiteral("bob"))));
    QVERIFY(users().addUser(makeUser(QStringLiteral("carol"))));
    // The list hides whichever name the caller calls its super user.
    QCOMPARE(names(users().getAllUsers(QStringLiteral("bob"))), QStringList{"carol"});

    // A renamed super user frees the old name and reserves the new one ...
    QVERIFY(orlun_worker::SystemWorker::_instance().setSuperUserName(QStringLiteral("root")));
    QVERIFY(users().addUser(makeUser(QStringLiteral("admin"))));
    QVERIFY(!users().addUser(makeUser(QStringLiteral("ROOT"))));
    // ... but for its own record (type 1), stored once and never listed.
    UserInfo root = makeUser(QStringLiteral("root"));
    root.userType = orlun_data::SuperUserType;
    QVERIFY(users().addUser(root));
    QVERIFY(!users().addUser(root));
    QCOMPARE(users().getUserInfo(QStringLiteral("root")).userType, orlun_data::SuperUserType);
    QCOMPARE(names(users().getAllUsers(QStringLiteral("root"))),
             QStringList({"bob", "carol", "admin"}));
}

void tst_UserData::accountsSurviveReopen()
{
    QTemporaryDir dir;
    const QString path = reopenableStore(dir, QStringLiteral("users.db"));
    QVERIFY(DataStore::_instance().open(path));
    QVERIFY(users().addUser(makeUser(QStringLiteral("adam"))));
    QVERIFY(users().addUser(makeUser(QStringLiteral("mia"))));
    UserInfo adam = makeUser(QStringLiteral("adam"), QStringLiteral("NewPw#2"));
    adam.functionPower = orlun_data::AllFunctions;
    adam.userDescribe = QStringLiteral("night shift");
    QVERIFY(users().updateUser(adam));
    // Grants are replaced whole; a name without an account keeps none.
    QVERIFY(users().setUserRes(QStringLiteral("adam"), grants({"d1#0", "d1#3", "grp-1"})));
    QVERIFY(users().setUserRes(QStringLiteral("adam"), grants({"d#2", "d#1", "grp-7"})));
    QVERIFY(users().setUserRes(QStringLiteral("pending"), grants({"d#5", "d#6"})));
    QVERIFY(users().setUserRes(QStringLiteral("mia"), grants({"d#9"})));
    QVERIFY(users().setUserRes(QStringLiteral("mia"), {}));
    QVERIFY(users().setUserGesture(QStringLiteral("mia"), "s4lt", "h4sh"));
    const QString before = snapshot();
    QCOMPARE(before, QStringLiteral("adam|NewPw#2|2|-1|night shift|admin|0:d#2,0:d#1,2:grp-7|/\n"
                                    "mia|Secret#1|2|3||admin||s4lt/h4sh\n"
                                    "pending:0"));
    DataStore::_instance().close();
    QVERIFY(DataStore::_instance().open(path));
    QCOMPARE(snapshot(), before);
}

void tst_UserData::deleteUserCascades()
{
    const QString bob = QStringLiteral("bob");
    QVERIFY(users().addUser(makeUser(bob)));
    QVERIFY(users().addUser(makeUser(QStringLiteral("carol"))));
    QVERIFY(users().setUserRes(bob, grants({"d#0", "grp-1"})));
    QVERIFY(users().setUserRes(QStringLiteral("carol"), grants({"d#1"})));
    QVERIFY(users().setUserGesture(bob, "salt", "hash"));
    QVERIFY(users().deleteUser(bob));
    QVERIFY(!users().isUserExist(bob));
    QVERIFY(!users().deleteUser(bob));

    // The name is free again and comes back bare, in memory and in the store.
    QVERIFY(users().addUser(makeUser(bob)));
    const QString expected = QStringLiteral("carol|Secret#1|2|3||admin|0:d#1|/\n"
                                            "bob|Secret#1|2|3||admin||/\npending:0");
    QCOMPARE(snapshot(), expected);
    users().reload();
    QCOMPARE(snapshot(), expected);
}

void tst_UserData::failNextWrite_data()
{
    QTest::addColumn<UserData::WriteOp>("op");
    for (int op = UserData::SetUserRes; op <= UserData::DeleteUserGesture; ++op)
        QTest::addRow("op %d", op) << UserData::WriteOp(op);
}

void tst_UserData::failNextWrite()
{
    QFETCH(UserData::WriteOp, op);
    QVERIFY(users().addUser(makeUser(QStringLiteral("bob"))));
    QVERIFY(users().setUserRes(QStringLiteral("bob"), grants({"d#0"})));
    QVERIFY(users().setUserGesture(QStringLiteral("bob"), "salt", "hash"));
    const QString bob = QStringLiteral("bob");
    // In the order of UserData::WriteOp.
    const std::function<bool()> writes[] = {
        [&] { return users().setUserRes(bob, grants({"d#5"})); },
        [] { return users().addUser(makeUser(QStringLiteral("carol"))); },
        [&] { return users().updateUser(makeUser(bob, QStringLiteral("other"))); },
        [&] { return users().deleteUser(bob); },
        [&] { return users().setUserGesture(bob, "salt2", "hash2"); },
        [&] { return users().deleteUserGesture(bob); },
    };

    // A failure queued for another write does not hit this one.
    users().failNextWrite(op == UserData::AddUser ? UserData::DeleteUser : UserData::AddUser);
    const QString before = snapshot();
    users().failNextWrite(op);
    QVERIFY(!writes[op]());
    QCOMPARE(snapshot(), before);
    QVERIFY(writes[op]());
    QVERIFY(snapshot() != before);
}

void tst_UserData::sqlFailureLeavesStoreAndIndexUnchanged()
{
    QVERIFY(users().addUser(makeUser(QStringLiteral("bob"))));
    QVERIFY(users().setUserRes(QStringLiteral("bob"), grants({"d#0", "d#1"})));
    QSqlQuery query(DataStore::_instance().database());
    if (testsOnServer())
        QVERIFY(query.exec("CREATE FUNCTION refuse() RETURNS trigger LANGUAGE plpgsql"
                           " AS $$BEGIN RAISE EXCEPTION 'no'; END$$"));
    for (const char *table : {"user_res", "users"})
        QVERIFY(query.exec(QString(testsOnServer() ? "CREATE TRIGGER refuse_%1 BEFORE INSERT ON %1"
                                                     " FOR EACH ROW EXECUTE FUNCTION refuse()"
                                                   : "CREATE TRIGGER refuse_%1 BEFORE INSERT ON %1"
                                                     " BEGIN SELECT RAISE(ABORT, 'no'); END")
                               .arg(QLatin1String(table))));
    const QString before = snapshot();

    // The old grants go inside the account's transaction before the insert
    // fails; the rollback brings them and the account back, in the store as
    // in memory.
    QVERIFY(users().setUserRes(QStringLiteral("bob"), grants({"d#7"})));
    QVERIFY(!users().updateUser(makeUser(QStringLiteral("bob"), QStringLiteral("New#pw1"))));
    QCOMPARE(users().lastError(), UserData::StoreFailure);
    QVERIFY(users().lastErrorText().contains(QLatin1String("no")));
    QVERIFY(!users().addUser(makeUser(QStringLiteral("eve"))));
    QCOMPARE(snapshot(), before);
    users().reload();
    QCOMPARE(snapshot(), before);
}

void tst_UserData::recordRules_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("value");
    QTest::addColumn<UserData::Error>("error");
    const auto ok = UserData::NoError;
    QTest::newRow("name 64") << "name" << QString(64, 'a') << ok;
    QTest::newRow("name 65") << "name" << QString(65, 'a') << UserData::InvalidName;
    QTest::newRow("name leading blank") << "name"
                                        << " carol" << UserData::InvalidName;
    QTest::newRow("name non-ASCII") << "name" << QStringLiteral("émile") << UserData::InvalidName;
    QTest::newRow("name punctuation") << "name"
                                      << "bo.b" << UserData::InvalidName;
    QTest::newRow("password 16") << "pwd" << QString(16, '#') << ok;
    QTest::newRow("password 17") << "pwd" << QString(17, '#') << UserData::InvalidPassword;
    QTest::newRow("password empty") << "pwd"
                                    << "" << UserData::InvalidPassword;
    QTest::newRow("password blank") << "pwd"
                                    << "Se cret#1" << UserData::InvalidPassword;
    QTest::newRow("description 32") << "describe" << QString(32, 'd') << ok;
    QTest::newRow("description 33")
        << "describe" << QString(33, 'd') << UserData::InvalidDescription;
    QTest::newRow("description padded") << "describe"
                                        << "desk " << UserData::InvalidDescription;
}

void tst_UserData::recordRules()
{
    QFETCH(QString, field);
    QFETCH(QString, value);
    QFETCH(UserData::Error, error);
    QVERIFY(users().addUser(makeUser(QStringLiteral("bob"))));
    UserInfo info = makeUser(field == "name" ? value : QStringLiteral("carol"));
    if (field == "pwd")
        info.userPwd = value;
    if (field == "describe")
        info.userDescribe = value;
    const QString before = snapshot();
    QCOMPARE(users().addUser(info), error == UserData::NoError);
    QCOMPARE(users().lastError(), error);
    QCOMPARE(users().lastErrorText().isEmpty(), error == UserData::NoError);
    if (error != UserData::NoError)
        QCOMPARE(snapshot(), before);
    if (field != "name") {
        // An edit is held to the same rules.
        info.userName = QStringLiteral("bob");
        QCOMPARE(users().updateUser(info), error == UserData::NoError);
        QCOMPARE(users().lastError(), error);
        QCOMPARE(users().getUserInfo(info.userName).userPwd == value,
                 error == UserData::NoError && field == "pwd");
    }
}

void tst_UserData::outOfRuleRecordsAreReportedAndKept()
{
    // A store written by an older client, which took such records.
    {
        QSqlQuery query(DataStore::_instance().database());
        query.prepare(
            QStringLiteral("INSERT INTO users (name, pwd, description) VALUES (?, ?, ?)"));
        for (const auto &row : {QStringList{"carol", "Carol#pw1", "desk"},
                                QStringList{" carol", "Blank#pw1", "lobby"},
                                QStringList{"bob", "LongPassword#12345", QString(33, 'x')}}) {
            for (const QString &value : row)
                query.addBindValue(value);
            QVERIFY(query.exec());
        }
    }
    users().reload();
    const QStringList invalid = users().invalidRecords();
    QCOMPARE(invalid.size(), 2);
    QVERIFY(invalid.at(0).startsWith(QLatin1String("\" carol\":")));
    QVERIFY(invalid.at(1).startsWith(QLatin1String("\"bob\":")));
    const QString before = snapshot();

    // What the form would send after showing them: the trimmed name, the
    // password and description cut to the field.
    users().getUserInfo(QStringLiteral(" carol"));
    QVERIFY(!users().updateUser(makeUser(QStringLiteral("carol"), QStringLiteral("Blank#pw1"))));
    QCOMPARE(users().lastError(), UserData::WouldLoseStoredValue);
    UserInfo bob = users().getUserInfo(QStringLiteral("bob"));
    bob.userPwd.truncate(UserData::MaxPasswordLength);
    bob.userDescribe.truncate(UserData::MaxDescriptionLength);
    QVERIFY(!users().updateUser(bob));
    QCOMPARE(users().lastError(), UserData::WouldLoseStoredValue);
    QCOMPARE(snapshot(), before);

    // Values the administrator typed anew are taken.
    bob.userPwd = QStringLiteral("Fresh#pw2");
    bob.userDescribe = QStringLiteral("night");
    QVERIFY(users().updateUser(bob));
    QCOMPARE(users().getUserInfo(QStringLiteral("bob")).userDescribe, QStringLiteral("night"));
    QCOMPARE(users().getUserInfo(QStringLiteral("carol")).userPwd, QStringLiteral("Carol#pw1"));
}

void tst_UserData::grantsTravelWithTheAccountWrite()
{
    auto storedRes = [](const QString &name) {
        QSqlQuery query(DataStore::_instance().database());
        query.prepare(
            QStringLiteral("SELECT res_id FROM user_res WHERE user_name = ? ORDER BY position"));
        query.addBindValue(name);
        if (!query.exec())
            return QStringLiteral("?");
        QStringList ids;
        while (query.next())
            ids.append(query.value(0).toString());
        return ids.join(QLatin1Char(','));
    };
    const QString dave = QStringLiteral("dave");
    QVERIFY(users().addUser(makeUser(QStringLiteral("bob"))));
    QVERIFY(users().setUserRes(QStringLiteral("bob"), grants({"d#0"})));

    // A failed add leaves no grants behind, and a retry whose grant write
    // fails does not inherit them.
    QVERIFY(users().setUserRes(dave, grants({"d#1"})));
    users().failNextWrite(UserData::AddUser);
    QVERIFY(!users().addUser(makeUser(dave)));
    QCOMPARE(storedRes(dave), QString());
    QVERIFY(users().setUserRes(dave, grants({"d#2"})));
    users().failNextWrite(UserData::SetUserRes);
    QVERIFY(!users().setUserRes(dave, grants({"d#3"})));
    QVERIFY(users().addUser(makeUser(dave)));
    QCOMPARE(storedRes(dave), QString());
    QVERIFY(users().getUserRes(dave).isEmpty());

    // An edit whose account write fails keeps the grants it had.
    QVERIFY(users().setUserRes(QStringLiteral("bob"), grants({"d#4"})));
    users().failNextWrite(UserData::UpdateUser);
    QVERIFY(!users().updateUser(makeUser(QStringLiteral("bob"))));
    QCOMPARE(storedRes(QStringLiteral("bob")), QStringLiteral("d#0"));
    QCOMPARE(users().getUserRes(QStringLiteral("bob")), grants({"d#0"}));

    // Grants written alone are stored once the event loop runs (or the next
    // call comes); for a name without an account they are dropped.
    QVERIFY(users().setUserRes(QStringLiteral("bob"), grants({"d#5"})));
    QCOMPARE(storedRes(QStringLiteral("bob")), QStringLiteral("d#0"));
    QCoreApplication::processEvents();
    QCOMPARE(storedRes(QStringLiteral("bob")), QStringLiteral("d#5"));
    QVERIFY(users().setUserRes(QStringLiteral("ghost"), grants({"d#6"})));
    QCoreApplication::processEvents();
    QCOMPARE(storedRes(QStringLiteral("ghost")), QString());
    QVERIFY(users().setUserRes(dave, grants({"d#7"})));
    QVERIFY(users().isUserExist(dave));
    QCOMPARE(storedRes(dave), QStringLiteral("d#7"));
}

QTEST_MAIN(tst_UserData)
#include "tst_UserData.moc"
