#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QMouseEvent>
#include <QProcess>
#include <QPushButton>
#include <QTimer>

#include "DataSignals.h"
#include "GesturePadWt.h"
#include "LoginAccess.h"
#include "SystemWorker.h"
#include "TestSupport.h"

#include <sys/stat.h>

using namespace orlun_data;
using namespace vms_sdk;
using orlun_login::GesturePadWt;
using orlun_login::LoginAccess;
using Key = DevsMgrData::ChannelKey;
using Pattern = QVector<int>;
using Statuses = QList<ChannelStatus>;

Q_DECLARE_METATYPE(DataStore::Failure)
Q_DECLARE_METATYPE(UserData::Error)

namespace {

const QString kUser = QStringLiteral("alice");
const QString kConfirm = QStringLiteral("Draw the pattern again to confirm");
const QString kMismatch = QStringLiteral("The two patterns do not match, please draw again");
const QString kClosed = QStringLiteral("<closed>");

// What snapshot() shows after fill().
const QString kFilled =
    QStringLiteral("adam|Secret#1|2|3||admin|0:d1#0,0:d1#2,0:cam#0|salt/hash\n"
                   "mia|Secret#1|2|3||admin|2:grp-1|/\n"
                   "d1|Gate|d1-SN|0|10.0.0.7|8000|1|5|Acme|0/Gate-1/0,1/Gate-2/0,2/Gate-3/0\n"
                   "cam|Gate|cam-SN|1|10.0.0.7|8000|1|5|Acme|0/Gate-1/0\n"
                   "Lobby: grp-1:d1#0,grp-1:d1#1,grp-1:cam#0");

DataStore &store()
{
    return DataStore::_instance();
}

UserInfo makeUser(const QString &name, const QString &pwd = QStringLiteral("Secret#1"))
{
    return {name, pwd, OrdinaryUserType, FunctionVideoPreview | FunctionVideoPlayback, "", "admin"};
}

bool addAccount(const QString &name)
{
    return hostUsers().addUser(makeUser(name));
}

// Ids starting with "grp" are groups, the others channels.
QList<UserResInfo> grants(const QStringList &ids)
{
    QList<UserResInfo> list;
    for (const QString &id : ids)
        list.append({id, id.startsWith("grp") ? UserResInfo::Group : UserResInfo::Channel});
    return list;
}

DevInfo makeDevice(const QString &id, const QString &name, int type, int channels)
{
    return {id, name, id + "-SN", type, "10.0.0.7", 8000, 1, 5, channels, "Acme"};
}

bool addDevice(const QString &id, int channels, int type = 0)
{
    return hostDevs().addDevice(makeDevice(id, "Gate", type, channels));
}

// Accounts adam (with grants and a gesture) and mia (with a group), a
// recorder d1 with three channels, a camera that asks for eight and a group.
bool fill()
{
    return hostUsers().setUserRes("adam", grants({"d1#0", "d1#2", "cam#0"})) &&
           addAccount("adam") && hostUsers().setUserGesture("adam", "salt", "hash") &&
           hostUsers().setUserRes("mia", grants({"grp-1"})) && addAccount("mia") &&
           addDevice("d1", 3) && addDevice("cam", 8, 1) && hostDevs().addGroup("grp-1", "Lobby") &&
           hostDevs().addGroupChannel("grp-1", Key("d1", 0)) &&
           hostDevs().addGroupChannel("grp-1", Key("d1", 1)) &&
           hostDevs().addGroupChannel("grp-1", Key("cam", 0));
}

QStringList memberIds(const QStringList &groupIds)
{
    QStringList ids;
    for (const GroupChannelInfo &m : hostDevs().getGroupsChannels(groupIds))
        ids.append(QStringLiteral("%1:%2#%3").arg(m.groupId, m.devId).arg(m.channelNo));
    return ids;
}

// Everything a caller can see of the accounts and the catalog: a line per
// account, device (channel names and statuses by key) and group.
QString snapshot()
{
    QStringList lines;
    for (const UserInfo &info : hostUsers().getAllUsers(QString())) {
        QByteArray salt, hash;
        hostUsers().getUserGesture(info.userName, &salt, &hash);
        QStringList res;
        for (const UserResInfo &r : hostUsers().getUserRes(info.userName))
            res.append(QStringLiteral("%1:%2").arg(r.resType).arg(r.resId));
        lines.append(QStringLiteral("%1|%2|%3|%4|%5|%6|%7|%8")
                         .arg(info.userName, info.userPwd)
                         .arg(info.userType)
                         .arg(info.functionPower)
                         .arg(info.userDescribe, info.superUserName, res.join(','),
                              QString::fromLatin1(salt + '/' + hash)));
    }
    for (const DevInfo &d : hostDevs().getAllDevices()) {
        QStringList channels;
        for (const DevChannelInfo &c : hostDevs().getDevChannels(d.devId))
            channels.append(QStringLiteral("%1/%2/%3")
                                .arg(c.channelKey.second)
                                .arg(hostDevs().getDevChannelInfo(c.channelKey).channelName)
                                .arg(hostDevs().getChannelStatus(c.channelKey)));
        lines.append(QStringList({d.devId, d.devName, d.devSn, QString::number(d.devType), d.ip,
                                  QString::number(d.port), QString::number(d.snBrandKind1),
                                  QString::number(d.snBrandKind2), d.brand, channels.join(',')})
                         .join('|'));
    }
    for (const GroupInfo &group : hostDevs().getAllGroups())
        lines.append(group.groupName + ": " + memberIds({group.groupId}).join(','));
    return lines.join('\n');
}

int modeOf(const QString &path)
{
    struct stat info;
    return ::stat(QFile::encodeName(path).constData(), &info) == 0 ? int(info.st_mode & 0777) : -1;
}

QString pragma(const QString &name)
{
    QSqlQuery query(store().database());
    return query.exec("PRAGMA " + name) && query.next() ? query.value(0).toString() : "failed";
}

// Draws through the dots as a hand would: press on the first, drag with the
// button held through a point between each pair and onto the next, release.
void draw(GesturePadWt *pad, const Pattern &dots)
{
    auto send = [pad](QEvent::Type type, const QPoint &pos) {
        QMouseEvent event(type, pos, pad->mapToGlobal(pos),
                          type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton,
                          type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton, {});
        QApplication::sendEvent(pad, &event);
    };
    QPoint last = pad->dotCenter(dots.first());
    send(QEvent::MouseButtonPress, last);
    for (int dot : dots.mid(1)) {
        const QPoint next = pad->dotCenter(dot);
        send(QEvent::MouseMove, (last + next) / 2);
        send(QEvent::MouseMove, last = next);
    }
    send(QEvent::MouseButtonRelease, last);
}

} // namespace

// The store's accounts, catalog and gestures, on the engine of the run.
class tst_Store : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        resetHostForTest();
        LoginAccess::_instance().clearScriptedGestures();
    }

    void storeFollowsTheOpenFile();
    void troubledFiles_data();
    void troubledFiles();
    void everythingSurvivesReopen();

    void superUserIsLeftOut();
    void deleteUserCascades();
    void sqlFailureLeavesStoreAndIndexUnchanged();
    void recordRules_data();
    void recordRules();
    void outOfRuleRecordsAreReportedAndKept();
    void grantsTravelWithTheAccountWrite();

    void addsCreateTheChannels();
    void idsNeverMeanTwoThings_data();
    void idsNeverMeanTwoThings();
    void channelChangesAreSignalledPerDevice();
    void deletionsCascade();

    void drawnGestures_data();
    void drawnGestures();
    void storedGestureHashes();
};

void tst_Store::storeFollowsTheOpenFile()
{
    if (testsOnServer())
        QSKIP("a case of the SQLite file, which the server run would only repeat");
    // A store from before the schema version was recorded, with part of the
    // tables and readable by others, in the private folder made for it.
    QTemporaryDir dir;
    const QString folder = dir.filePath("app/data");
    QVERIFY(DataStore::makePrivateFolder(folder));
    QCOMPARE(modeOf(folder), 0700);
    const QString path = folder + "/client.db";
    {
        QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "old");
        db.setDatabaseName(path);
        QVERIFY(db.open());
        QSqlQuery query(db);
        QVERIFY(query.exec("CREATE TABLE settings (key TEXT PRIMARY KEY, value TEXT)"));
        QVERIFY(query.exec("INSERT INTO settings VALUES ('theme', 'dark')"));
    }
    QSqlDatabase::removeDatabase("old");
    QVERIFY(::chmod(QFile::encodeName(path).constData(), 0644) == 0);

    // Opened, it is migrated and tightened; the files it grows are private.
    QVERIFY(store().open(path));
    QCOMPARE(pragma("user_version").toInt(), int(DataStore::SchemaVersion));
    QVERIFY(fill());
    for (const QString &file : {path, path + "-wal", path + "-shm"})
        QCOMPARE(modeOf(file), 0600);

    // The indexes follow every open and close, before the views' reset.
    QSignalSpy reset(&DataSignals::_instance(), &DataSignals::signalCatalogReset);
    int told = 0;
    QObject receiver;
    connect(&DataSignals::_instance(), &DataSignals::signalStoreReloaded, &receiver, [&] {
        QCOMPARE(store().isOpen(), told > 0);
        QCOMPARE(reset.count(), told++);
    });
    // Closed means empty, not stale.
    store().close();
    QCOMPARE(snapshot(), "");
    QCOMPARE(store().setting("theme"), QString());

    // Switching stores replaces the one connection.
    QVERIFY(store().open(":memory:"));
    QVERIFY(store().open(path));
    QCOMPARE(told, 3);
    QCOMPARE(reset.count(), 3);
    QCOMPARE(QSqlDatabase::connectionNames().size(), 1);
    QCOMPARE(store().setting("theme"), "dark");
    QCOMPARE(snapshot(), kFilled);
}

void tst_Store::troubledFiles_data()
{
    QTest::addColumn<QString>("problem");
    QTest::addColumn<bool>("opens");
    QTest::addColumn<DataStore::Failure>("failure");
    QTest::newRow("missing folder") << "missing" << false << DataStore::MissingFolder;
    QTest::newRow("not a store") << "garbage" << false << DataStore::Corrupt;
    QTest::newRow("truncated") << "truncated" << false << DataStore::Corrupt;
    QTest::newRow("locked") << "lock" << false << DataStore::Busy;
    QTest::newRow("newer schema") << "newer" << false << DataStore::TooNew;
    QTest::newRow("read-only file") << "file" << true << DataStore::ReadOnly;
    QTest::newRow("read-only folder") << "folder" << true << DataStore::ReadOnly;
    QTest::newRow("write lock held elsewhere") << "writelock" << true << DataStore::Busy;
}

// A file problem is named at once (at open or first write) and costs nothing stored.
void tst_Store::troubledFiles()
{
    if (testsOnServer())
        QSKIP("a case of the SQLite file, which the server run would only repeat");
    QFETCH(QString, problem);
    QFETCH(bool, opens);
    QFETCH(DataStore::Failure, failure);
    QTemporaryDir dir;
    QString path = dir.filePath("client.db");
    const QString target = problem == "folder" ? dir.path() : path;
    QVERIFY(store().open(path));
    for (int i = 0; i < (problem == "truncated" ? 400 : 1); ++i)
        QVERIFY(addAccount(QStringLiteral("a%1").arg(i)));
    store().close();
    QFile file(path);
    QProcess helper;
    if (problem == "missing") {
        path = dir.filePath("gone/sub/client.db");
    } else if (problem == "garbage") {
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(QByteArray(8192, '\x5a'));
        file.close();
    } else if (problem == "truncated") {
        QVERIFY(file.size() > 4 * 4096);
        QVERIFY(file.resize(file.size() / 2));
    } else if (problem == "newer") {
        QVERIFY(store().open(path));
        pragma("user_version = 99");
        store().close();
    } else if (problem.endsWith("lock")) {
        helper.start(QStringLiteral(STORE_HELPER), {problem, path});
        QVERIFY(helper.waitForStarted() && helper.waitForReadyRead(10000));
    } else {
        QVERIFY(QFile::setPermissions(target, QFileDevice::ReadOwner | QFileDevice::ExeOwner));
    }

    QElapsedTimer timer;
    timer.start();
    QCOMPARE(store().open(path), opens);
    if (opens) {
        // Reading goes on; a write fails and changes nothing.
        QCOMPARE(store().isReadOnly(), failure == DataStore::ReadOnly);
        QVERIFY(hostUsers().isUserExist("a0"));
        QVERIFY(!addAccount("bob"));
        QVERIFY(hostUsers().lastErrorText().contains(path));
        QVERIFY(!hostUsers().isUserExist("bob"));
    }
    QVERIFY(timer.elapsed() < 2000);
    QCOMPARE(store().lastFailure(), failure);
    QVERIFY(store().lastErrorText().contains(path));
    helper.closeWriteChannel();
    helper.waitForFinished();
    if (!opens) {
        // Left closed, with no connection behind that a write could reach.
        QVERIFY(!store().isOpen());
        QCOMPARE(QSqlDatabase::connectionNames().size(), 0);
        QVERIFY(!addAccount("bob"));
        return;
    }
    // Once the problem is gone, the same write goes through.
    QVERIFY(QFile::setPermissions(target, QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                              QFileDevice::ExeOwner));
    QVERIFY(store().open(path));
    QVERIFY(!store().isReadOnly());
    QVERIFY(addAccount("bob"));
}

void tst_Store::everythingSurvivesReopen()
{
    QTemporaryDir dir;
    const QString path = reopenableStore(dir, "client.db");
    QVERIFY(store().open(path));
    QVERIFY(fill());
    UserInfo mia = makeUser("mia", "NewPw#2");
    mia.functionPower = AllFunctions;
    mia.userDescribe = "night shift";
    // Grants are replaced whole.
    QVERIFY(hostUsers().setUserRes("mia", grants({"d#2", "d#1", "grp-7"})));
    QVERIFY(hostUsers().updateUser(mia));
    QVERIFY(hostUsers().setUserRes("adam", {}));
    QVERIFY(hostDevs().renameChannel(Key("d1", 0), "Front"));
    QVERIFY(hostDevs().setChannelStatus(Key("d1", 2), ChannelOnline));
    QVERIFY(hostDevs().deleteChannels({Key("d1", 1)}));
    // Appended after a hole in the member positions.
    QVERIFY(hostDevs().addGroupChannel("grp-1", Key("d1", 2)));
    const QString before = snapshot();
    QCOMPARE(before, "adam|Secret#1|2|3||admin||salt/hash\n"
                     "mia|NewPw#2|2|-1|night shift|admin|0:d#2,0:d#1,2:grp-7|/\n"
                     "d1|Gate|d1-SN|0|10.0.0.7|8000|1|5|Acme|0/Front/0,2/Gate-3/1\n"
                     "cam|Gate|cam-SN|1|10.0.0.7|8000|1|5|Acme|0/Gate-1/0\n"
                     "Lobby: grp-1:d1#0,grp-1:cam#0,grp-1:d1#2");

    QVERIFY(store().open(path));
    QCOMPARE(snapshot(), before);
}

void tst_Store::superUserIsLeftOut()
{
    QVERIFY(fill());
    auto listed = [](const QString &superUser) {
        QStringList names;
        for (const UserInfo &info : hostUsers().getAllUsers(superUser))
            names.append(info.userName);
        return names;
    };
    // The list hides whichever name the caller calls its super user.
    QCOMPARE(listed("adam"), QStringList{"mia"});

    // A renamed super user frees the old name and reserves the new one ...
    QVERIFY(addAccount("Admin2") && !addAccount("ADMIN"));
    QVERIFY(orlun_worker::SystemWorker::_instance().setSuperUserName("root"));
    QVERIFY(addAccount("admin"));
    QVERIFY(!addAccount("ROOT"));
    QCOMPARE(hostUsers().lastError(), UserData::NameTaken);
    // ... but for its own record (type 1), stored once and never listed.
    UserInfo root = makeUser("root");
    root.userType = SuperUserType;
    QVERIFY(hostUsers().addUser(root));
    QVERIFY(!hostUsers().addUser(root));
    QCOMPARE(hostUsers().getUserInfo("root").userType, SuperUserType);
    QCOMPARE(listed("root"), QStringList({"adam", "mia", "Admin2", "admin"}));
}

void tst_Store::deleteUserCascades()
{
    QVERIFY(fill());
    // Look-ups and writes take the exact name.
    QVERIFY(hostUsers().getUserInfo("Adam").userName.isEmpty());
    QVERIFY(hostUsers().getUserRes("Adam").isEmpty());
    QVERIFY(!hostUsers().isUserConfigureGesture("Adam"));
    QVERIFY(!hostUsers().updateUser(makeUser("Adam")));
    QVERIFY(!hostUsers().deleteUser("ADAM"));
    QVERIFY(hostUsers().deleteUser("adam"));
    QVERIFY(!hostUsers().deleteUser("adam"));

    // The name is free again and comes back bare, in memory and in the store.
    QVERIFY(addAccount("adam"));
    const QString expected =
        QString(kFilled).replace("adam|Secret#1|2|3||admin|0:d1#0,0:d1#2,0:cam#0|salt/"
                                 "hash\nmia|Secret#1|2|3||admin|2:grp-1|/",
                                 "mia|Secret#1|2|3||admin|2:grp-1|/\nadam|Secret#1|2|3||admin||/");
    QCOMPARE(snapshot(), expected);
    hostUsers().reload();
    QCOMPARE(snapshot(), expected);
}

void tst_Store::sqlFailureLeavesStoreAndIndexUnchanged()
{
    QVERIFY(fill());
    QSqlQuery query(store().database());
    if (testsOnServer())
        QVERIFY(query.exec("CREATE FUNCTION refuse() RETURNS trigger LANGUAGE plpgsql"
                           " AS $$BEGIN RAISE EXCEPTION 'no'; END$$"));
    for (const char *table : {"user_res", "users"})
        QVERIFY(query.exec(QString(testsOnServer() ? "CREATE TRIGGER refuse_%1 BEFORE INSERT ON %1"
                                                     " FOR EACH ROW EXECUTE FUNCTION refuse()"
                                                   : "CREATE TRIGGER refuse_%1 BEFORE INSERT ON %1"
                                                     " BEGIN SELECT RAISE(ABORT, 'no'); END")
                               .arg(table)));

    // The rollback restores the account and its old grants, in store and memory.
    QVERIFY(hostUsers().setUserRes("adam", grants({"d#7"})));
    QVERIFY(!hostUsers().updateUser(makeUser("adam", "New#pw1")));
    QCOMPARE(hostUsers().lastError(), UserData::StoreFailure);
    QVERIFY(hostUsers().lastErrorText().contains("no"));
    QVERIFY(!addAccount("eve"));
    QCOMPARE(snapshot(), kFilled);
    hostUsers().reload();
    QCOMPARE(snapshot(), kFilled);
}

void tst_Store::recordRules_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("value");
    QTest::addColumn<UserData::Error>("error");
    auto row = [](const char *name, const QString &field, const QString &value,
                  UserData::Error error) {
        QTest::newRow(name) << field << value << error;
    };
    row("name 64", "name", QString(64, 'a'), UserData::NoError);
    row("name 65", "name", QString(65, 'a'), UserData::InvalidName);
    row("name leading blank", "name", " carol", UserData::InvalidName);
    row("name non-ASCII", "name", QStringLiteral("émile"), UserData::InvalidName);
    row("name punctuation", "name", "bo.b", UserData::InvalidName);
    row("name taken", "name", "bob", UserData::NameTaken);
    row("name taken, other case", "name", "BOB", UserData::NameTaken);
    row("super user, other case", "name", "Admin", UserData::NameTaken);
    row("password 16", "pwd", QString(16, '#'), UserData::NoError);
    row("password 17", "pwd", QString(17, '#'), UserData::InvalidPassword);
    row("password empty", "pwd", "", UserData::InvalidPassword);
    row("password blank", "pwd", "Se cret#1", UserData::InvalidPassword);
    row("description 32", "describe", QString(32, 'd'), UserData::NoError);
    row("description 33", "describe", QString(33, 'd'), UserData::InvalidDescription);
    row("description padded", "describe", "desk ", UserData::InvalidDescription);
}

void tst_Store::recordRules()
{
    QFETCH(QString, field);
    QFETCH(QString, value);
    QFETCH(UserData::Error, error);
    QVERIFY(addAccount("bob"));
    UserInfo info = makeUser(field == "name" ? value : "carol");
    if (field == "pwd")
        info.userPwd = value;
    if (field == "describe")
        info.userDescribe = value;
    const QString before = snapshot();
    // Uniqueness ignores letter case and counts the super user's name.
    QCOMPARE(hostUsers().isUserExist(info.userName), error == UserData::NameTaken);
    QCOMPARE(hostUsers().addUser(info), error == UserData::NoError);
    QCOMPARE(hostUsers().lastError(), error);
    QCOMPARE(hostUsers().lastErrorText().isEmpty(), error == UserData::NoError);
    if (error != UserData::NoError)
        QCOMPARE(snapshot(), before);
    if (field == "name")
        return;
    // An edit is held to the same rules.
    info.userName = "bob";
    QCOMPARE(hostUsers().updateUser(info), error == UserData::NoError);
    QCOMPARE(hostUsers().lastError(), error);
    QCOMPARE(hostUsers().getUserInfo("bob").userPwd == value,
             error == UserData::NoError && field == "pwd");
}

void tst_Store::outOfRuleRecordsAreReportedAndKept()
{
    // A store written by an older client, which took such records.
    QVERIFY(QSqlQuery(store().database())
                .exec("INSERT INTO users (name, pwd, description) VALUES ('bob', "
                      "'LongPassword#12345', '" +
                      QString(33, 'x') + "')"));
    hostUsers().reload();
    QCOMPARE(hostUsers().invalidRecords().size(), 1);
    QVERIFY(hostUsers().invalidRecords().at(0).startsWith("\"bob\":"));
    const QString before = snapshot();

    // What the form would send after showing it: password and description cut to the field.
    UserInfo bob = hostUsers().getUserInfo("bob");
    bob.userPwd.truncate(UserData::MaxPasswordLength);
    bob.userDescribe.truncate(UserData::MaxDescriptionLength);
    QVERIFY(!hostUsers().updateUser(bob));
    QCOMPARE(hostUsers().lastError(), UserData::WouldLoseStoredValue);
    QCOMPARE(snapshot(), before);

    // Values the administrator typed anew are taken.
    bob.userPwd = "Fresh#pw2";
    bob.userDescribe = "night";
    QVERIFY(hostUsers().updateUser(bob));
    QCOMPARE(hostUsers().getUserInfo("bob").userDescribe, "night");
}

void tst_Store::grantsTravelWithTheAccountWrite()
{
    auto storedRes = [](const QString &name) {
        QSqlQuery query(store().database());
        query.prepare("SELECT res_id FROM user_res WHERE user_name = ? ORDER BY position");
        query.addBindValue(name);
        QStringList ids{query.exec() ? "" : "failed"};
        while (query.next())
            ids.append(query.value(0).toString());
        return ids.join(' ').trimmed();
    };
    QVERIFY(addAccount("bob"));
    QVERIFY(hostUsers().setUserRes("bob", grants({"d#0"})));

    // A failed add leaves no grants behind for a later account of the name.
    QVERIFY(hostUsers().setUserRes("dave", grants({"d#1"})));
    hostUsers().failNextWrite(UserData::AddUser);
    QVERIFY(!addAccount("dave"));
    QCOMPARE(storedRes("dave"), "");
    QVERIFY(addAccount("dave"));
    QCOMPARE(storedRes("dave"), "");
    QVERIFY(hostUsers().getUserRes("dave").isEmpty());

    // Grants set alone are stored when the event loop runs; without an account, dropped.
    QVERIFY(hostUsers().setUserRes("bob", grants({"d#5", "d#6"})));
    QCOMPARE(storedRes("bob"), "d#0");
    QCoreApplication::processEvents();
    QCOMPARE(storedRes("bob"), "d#5 d#6");
    QVERIFY(hostUsers().setUserRes("ghost", grants({"d#6"})));
    QCoreApplication::processEvents();
    QCOMPARE(storedRes("ghost"), "");
    QVERIFY(hostUsers().setUserRes("dave", grants({"d#7"})));
    QVERIFY(hostUsers().isUserExist("dave"));
    QCOMPARE(storedRes("dave"), "d#7");
}

void tst_Store::addsCreateTheChannels()
{
    QSignalSpy added(&DataSignals::_instance(), &DataSignals::signalAddDevice);
    QSignalSpy reset(&DataSignals::_instance(), &DataSignals::signalCatalogReset);
    QVERIFY(fill());
    QCOMPARE(added.count(), 2);
    QCOMPARE(added.at(1).at(0).toString(), "cam");
    // A camera or a stream has one channel, whatever it asks for.
    QCOMPARE(hostDevs().getDevInfoById("cam").channelCount, 1);
    QVERIFY(hostDevs().getDevChannelInfo(Key("cam", 1)).channelKey.first.isEmpty());

    // A batch is one reset, not an add per device.
    QVERIFY(hostDevs().addDevices({makeDevice("r", "R", 0, 0), makeDevice("s", "S", 2, 0)}));
    QCOMPARE(added.count(), 2);
    QCOMPARE(reset.count(), 1);
    const QString expected = QString(kFilled).replace(
        "\nLobby", "\nr|R|r-SN|0|10.0.0.7|8000|1|5|Acme|\ns|S|s-SN|2|10.0.0.7|8000|1|5|Acme|0/S-1/0"
                   "\nLobby");
    QCOMPARE(snapshot(), expected);
    hostDevs().reload();
    QCOMPARE(snapshot(), expected);
}

void tst_Store::idsNeverMeanTwoThings_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("id");
    auto row = [](const char *name, const QString &kind, const QString &id) {
        QTest::newRow(name) << kind << id;
    };
    row("device twice", "device", "d1");
    row("device named like a group", "device", "grp-1");
    row("device without id", "device", QString());
    row("group twice", "group", "grp-1");
    row("group named like a device", "group", "d1");
    row("group like an unknown channel", "group", "x#12");
    // A batch is refused whole.
    row("batch repeating an id", "batch", "new");
    row("batch repeating a stored id", "batch", "d1");
}

void tst_Store::idsNeverMeanTwoThings()
{
    QFETCH(QString, kind);
    QFETCH(QString, id);
    QVERIFY(fill());
    QSignalSpy added(&DataSignals::_instance(), &DataSignals::signalAddDevice);
    QSignalSpy groups(&DataSignals::_instance(), &DataSignals::signalGroupsChanged);
    QSignalSpy reset(&DataSignals::_instance(), &DataSignals::signalCatalogReset);
    const QList<DevInfo> batch{makeDevice("new", "N", 0, 1), makeDevice(id, "I", 0, 1)};
    QVERIFY(kind == "device"  ? !addDevice(id, 1)
            : kind == "group" ? !hostDevs().addGroup(id, "Other")
                              : !hostDevs().addDevices(batch));
    QCOMPARE(added.count() + groups.count() + reset.count(), 0);
    QCOMPARE(snapshot(), kFilled);
    hostDevs().reload();
    QCOMPARE(snapshot(), kFilled);
}

void tst_Store::channelChangesAreSignalledPerDevice()
{
    QVERIFY(fill());
    QSignalSpy changed(&DataSignals::_instance(), &DataSignals::signalDevChannelsStatusChanged);

    // A change sends all the device's statuses by number; a repeated status is none.
    QVERIFY(hostDevs().setChannelStatus(Key("d1", 2), ChannelAlarm));
    QVERIFY(hostDevs().setChannelStatus(Key("d1", 1), ChannelRecording));
    QVERIFY(hostDevs().setChannelStatus(Key("d1", 1), ChannelRecording));
    QVERIFY(!hostDevs().setChannelStatus(Key("nope", 0), ChannelOnline));
    QCOMPARE(changed.count(), 2);
    QCOMPARE(changed.last().at(0).toString(), "d1");
    QCOMPARE(changed.last().at(1).value<Statuses>(),
             Statuses({ChannelOffline, ChannelRecording, ChannelAlarm}));

    // A gap left by a deleted channel reads as offline, keeping the index.
    QVERIFY(hostDevs().deleteChannels({Key("d1", 1)}));
    QVERIFY(hostDevs().setChannelStatus(Key("d1", 0), ChannelOnline));
    QCOMPARE(changed.last().at(1).value<Statuses>(),
             Statuses({ChannelOnline, ChannelOffline, ChannelAlarm}));
}

void tst_Store::deletionsCascade()
{
    QVERIFY(fill());
    QSignalSpy groups(&DataSignals::_instance(), &DataSignals::signalGroupsChanged);
    QVERIFY(hostDevs().addGroup("grp-2", "Yard"));
    QVERIFY(hostDevs().addGroupChannel("grp-2", Key("d1", 2)));
    QVERIFY(!hostDevs().addGroupChannel("grp-2", Key("d1", 2)));
    QVERIFY(!hostDevs().addGroupChannel("grp-2", Key("d1", 7)));
    // Members come by group in the order asked, carrying the current names.
    QVERIFY(hostDevs().renameChannel(Key("d1", 2), "Back"));
    const auto members = hostDevs().getGroupsChannels({"grp-2", "grp-1", "unknown"});
    QCOMPARE(memberIds({"grp-2", "grp-1", "unknown"}),
             QStringList({"grp-2:d1#2", "grp-1:d1#0", "grp-1:d1#1", "grp-1:cam#0"}));
    QCOMPARE(members.first().groupName, "Yard");
    QCOMPARE(members.first().channelName, "Back");

    // Deleted channels leave their groups and grants; unknown and repeated
    // keys are skipped, and the other channels keep their numbers.
    QSignalSpy deleted(&DataSignals::_instance(), &DataSignals::signalDeleteChannels);
    QSignalSpy deletedDevice(&DataSignals::_instance(), &DataSignals::signalDeleteDevice);
    QVERIFY(hostDevs().deleteChannels({Key("d1", 0), Key("d1", 9), Key("d1", 0)}));
    QCOMPARE(deleted.at(0).at(0).toStringList(), QStringList{"d1#0"});
    QCOMPARE(snapshot(), "adam|Secret#1|2|3||admin|0:d1#2,0:cam#0|salt/hash\n"
                         "mia|Secret#1|2|3||admin|2:grp-1|/\n"
                         "d1|Gate|d1-SN|0|10.0.0.7|8000|1|5|Acme|1/Gate-2/0,2/Back/0\n"
                         "cam|Gate|cam-SN|1|10.0.0.7|8000|1|5|Acme|0/Gate-1/0\n"
                         "Lobby: grp-1:d1#1,grp-1:cam#0\nYard: grp-2:d1#2");

    // A deleted device takes its channels, memberships and grants along; a
    // deleted group leaves its channels.
    QVERIFY(hostDevs().deleteDevice("d1"));
    QCOMPARE(deleted.at(1).at(0).toStringList(), QStringList({"d1#1", "d1#2"}));
    QCOMPARE(deletedDevice.at(0).at(0).toString(), "d1");
    QVERIFY(!hostDevs().renameChannel(Key("d1", 1), "x"));
    QVERIFY(hostDevs().deleteGroup("grp-2"));
    QVERIFY(!hostDevs().addGroupChannel("grp-2", Key("cam", 0)));
    QCOMPARE(groups.count(), 5);
    // A deleted id is free again: a new "d1" has none of the old memberships or grants.
    QVERIFY(addDevice("d1", 1));
    const QString expected = "adam|Secret#1|2|3||admin|0:cam#0|salt/hash\n"
                             "mia|Secret#1|2|3||admin|2:grp-1|/\n"
                             "cam|Gate|cam-SN|1|10.0.0.7|8000|1|5|Acme|0/Gate-1/0\n"
                             "d1|Gate|d1-SN|0|10.0.0.7|8000|1|5|Acme|0/Gate-1/0\n"
                             "Lobby: grp-1:cam#0";
    QCOMPARE(snapshot(), expected);
    hostDevs().reload();
    hostUsers().reload();
    QCOMPARE(snapshot(), expected);
}

void tst_Store::drawnGestures_data()
{
    // Each drawing, then the hint it leaves; a drawing {} clicks Cancel.
    QTest::addColumn<QList<Pattern>>("drawings");
    QTest::addColumn<QStringList>("hints");
    QTest::addColumn<Pattern>("stored");
    QTest::newRow("drawn twice") << QList<Pattern>{{0, 4, 8, 5, 2}, {0, 4, 8, 5, 2}}
                                 << QStringList{kConfirm, kClosed} << Pattern{0, 4, 8, 5, 2};
    QTest::newRow("mismatch, then cancel")
        << QList<Pattern>{{0, 1, 2, 5}, {0, 1, 2, 4}, {}}
        << QStringList{kConfirm, kMismatch, kClosed} << Pattern{};
}

void tst_Store::drawnGestures()
{
    QFETCH(QList<Pattern>, drawings);
    QFETCH(QStringList, hints);
    QFETCH(Pattern, stored);
    QVERIFY(addAccount(kUser));
    QStringList seen;
    // Draws on the dialog once the event loop of its exec() runs.
    QTimer::singleShot(0, this, [&] {
        QWidget *dialog = QApplication::activeModalWidget();
        auto *pad = dialog ? dialog->findChild<GesturePadWt *>("gesturePad") : nullptr;
        if (!pad)
            return;
        for (const Pattern &drawing : drawings) {
            if (drawing.isEmpty())
                QTest::mouseClick(dialog->findChild<QPushButton *>("cancelBt"), Qt::LeftButton);
            else
                draw(pad, drawing);
            seen.append(dialog->isVisible() ? dialog->findChild<QLabel *>("hintLabel")->text()
                                            : kClosed);
            if (seen.last() == kConfirm && !pad->pattern().isEmpty())
                seen.append("pad not cleared for the second drawing");
        }
        dialog->close();
    });
    LoginAccess::_instance().addUserGesture(nullptr, kUser);
    QCOMPARE(seen, hints);
    QCOMPARE(hostUsers().isUserConfigureGesture(kUser), !stored.isEmpty());
    QCOMPARE(LoginAccess::_instance().checkUserGesture(kUser, stored.isEmpty() ? drawings.first()
                                                                               : stored),
             !stored.isEmpty());
    // The dots count in the order drawn.
    if (!stored.isEmpty())
        QVERIFY(!LoginAccess::_instance().checkUserGesture(
            kUser, Pattern(stored.crbegin(), stored.crend())));
}

void tst_Store::storedGestureHashes()
{
    const Pattern pattern{0, 3, 6, 7, 8};
    const QByteArray salt("0123456789abcdef");
    QVERIFY(addAccount(kUser));
    QVERIFY(!LoginAccess::_instance().deleteUserGesture(kUser)); // none yet
    // A scripted gesture (the dialog's stand-in) is held to the dialog's rules.
    for (const Pattern &refused :
         {Pattern{}, Pattern{0, 1, 2}, Pattern{0, 1, 2, 1}, Pattern{0, 1, 2, 9}}) {
        LoginAccess::_instance().scriptNextGesture(refused);
        LoginAccess::_instance().addUserGesture(nullptr, kUser);
        QVERIFY(!hostUsers().isUserConfigureGesture(kUser));
    }
    // An old-format hash is replaced by an Argon2id one at the first match only.
    QVERIFY(hostUsers().setUserGesture(kUser, salt, LoginAccess::hashPattern(pattern, salt)));
    QByteArray hash1, hash2;
    QVERIFY(!LoginAccess::_instance().checkUserGesture(kUser, {0, 3, 6, 7}));
    QVERIFY(hostUsers().getUserGesture(kUser, nullptr, &hash1));
    QCOMPARE(hash1, LoginAccess::hashPattern(pattern, salt));
    QVERIFY(LoginAccess::_instance().checkUserGesture(kUser, pattern));
    QVERIFY(hostUsers().getUserGesture(kUser, nullptr, &hash1));
    QVERIFY2(hash1.startsWith("$argon2id$"), hash1.constData());
    QVERIFY(LoginAccess::_instance().checkUserGesture(kUser, pattern));
    QVERIFY(!LoginAccess::_instance().checkUserGesture(kUser, {0, 3, 6, 7}));

    // Every drawing gets a new salt, kept inside the hash.
    LoginAccess::_instance().scriptNextGesture(pattern);
    LoginAccess::_instance().addUserGesture(nullptr, kUser);
    QVERIFY(hostUsers().getUserGesture(kUser, nullptr, &hash2));
    QVERIFY2(hash2.startsWith("$argon2id$") && hash2 != hash1, hash2.constData());
    QVERIFY(LoginAccess::_instance().checkUserGesture(kUser, pattern));

    QVERIFY(LoginAccess::_instance().deleteUserGesture(kUser));
    QVERIFY(!hostUsers().isUserConfigureGesture(kUser));
}

QTEST_MAIN(tst_Store)
#include "tst_Store.moc"
