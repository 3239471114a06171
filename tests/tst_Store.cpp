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

#include <functional>
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

// Cases about the SQLite file itself, which the server run would only repeat.
#define SQLITE_FILE_ONLY()                                                                         \
    if (testsOnServer())                                                                           \
    QSKIP("a case of the SQLite file")

namespace {

const QString kUser = QStringLiteral("alice");
const QString kConfirm = QStringLiteral("Draw the pattern again to confirm");
const QString kTooFew = QStringLiteral("Connect at least 4 dots, please draw again");
const QString kMismatch = QStringLiteral("The two patterns do not match, please draw again");
const QString kClosed = QStringLiteral("<closed>");

DataStore &store()
{
    return DataStore::_instance();
}

UserData &users()
{
    return UserData::_instance();
}

DevsMgrData &catalog()
{
    return DevsMgrData::_instance();
}

DataSignals *hub()
{
    return &DataSignals::_instance();
}

LoginAccess &login()
{
    return LoginAccess::_instance();
}

UserInfo makeUser(const QString &name, const QString &pwd = QStringLiteral("Secret#1"))
{
    UserInfo info;
    info.userName = name;
    info.userPwd = pwd;
    info.functionPower = FunctionVideoPreview | FunctionVideoPlayback;
    info.superUserName = QStringLiteral("admin");
    return info;
}

bool addAccount(const QString &name)
{
    return users().addUser(makeUser(name));
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
    return catalog().addDevice(makeDevice(id, "Gate", type, channels));
}

QStringList channelNames(const QString &devId)
{
    QStringList names;
    for (const DevChannelInfo &channel : catalog().getDevChannels(devId))
        names.append(channel.channelName);
    return names;
}

QStringList memberIds(const QStringList &groupIds)
{
    QStringList ids;
    for (const GroupChannelInfo &m : catalog().getGroupsChannels(groupIds))
        ids.append(QStringLiteral("%1:%2#%3").arg(m.groupId, m.devId).arg(m.channelNo));
    return ids;
}

// Everything a caller can see of the accounts and the catalog, one line per
// account, device (with its channels) and group.
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
                         .arg(info.userDescribe, info.superUserName, res.join(','),
                              QString::fromLatin1(salt + '/' + hash)));
    }
    lines.append(QStringLiteral("pending:%1").arg(users().getUserRes("pending").size()));
    for (const DevInfo &d : catalog().getAllDevices()) {
        QStringList channels;
        for (const DevChannelInfo &c : catalog().getDevChannels(d.devId))
            channels.append(QStringLiteral("%1/%2/%3")
                                .arg(c.channelKey.second)
                                .arg(c.channelName)
                                .arg(c.status));
        lines.append(QStringList({d.devId, d.devName, d.devSn, QString::number(d.devType), d.ip,
                                  QString::number(d.port), QString::number(d.snBrandKind1),
                                  QString::number(d.snBrandKind2), d.brand, channels.join(',')})
                         .join('|'));
    }
    for (const GroupInfo &group : catalog().getAllGroups())
        lines.append(group.groupName + ": " + memberIds({group.groupId}).join(','));
    return lines.join('\n');
}

int modeOf(const QString &path)
{
    struct stat info;
    return ::stat(QFile::encodeName(path).constData(), &info) == 0 ? int(info.st_mode & 0777) : -1;
}

// The first value of a PRAGMA on the open store.
QString pragma(const QString &name)
{
    QSqlQuery query(store().database());
    return query.exec("PRAGMA " + name) && query.next() ? query.value(0).toString() : "failed";
}

// A closed store at path holding accounts a0..a<count-1>.
bool makeStore(const QString &path, int count)
{
    bool added = store().open(path);
    for (int i = 0; added && i < count; ++i)
        added = addAccount(QStringLiteral("a%1").arg(i));
    store().close();
    return added;
}

// Runs store_helper with mode on path and waits for its first line.
bool startHelper(QProcess &helper, const QString &mode, const QString &path)
{
    helper.start(QStringLiteral(STORE_HELPER), {mode, path});
    return helper.waitForStarted() && helper.waitForReadyRead(10000);
}

void sendMouse(QWidget *pad, QEvent::Type type, const QPoint &pos, Qt::MouseButtons buttons)
{
    const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent event(type, pos, pad->mapToGlobal(pos), button, buttons, Qt::NoModifier);
    QApplication::sendEvent(pad, &event);
}

// Draws through the dots as a hand would: press on the first, drag with the
// button held through a point between each pair and onto the next, release.
// A leading -1 presses between dots 0 and 1 instead.
void draw(GesturePadWt *pad, const Pattern &dots)
{
    QPoint last = dots.first() < 0 ? (pad->dotCenter(0) + pad->dotCenter(1)) / 2
                                   : pad->dotCenter(dots.first());
    sendMouse(pad, QEvent::MouseButtonPress, last, Qt::LeftButton);
    for (int i = 1; i < dots.size(); ++i) {
        const QPoint next = pad->dotCenter(dots.at(i));
        sendMouse(pad, QEvent::MouseMove, (last + next) / 2, Qt::LeftButton);
        sendMouse(pad, QEvent::MouseMove, next, Qt::LeftButton);
        last = next;
    }
    sendMouse(pad, QEvent::MouseButtonRelease, last, Qt::NoButton);
}

} // namespace

// The store and what it holds: accounts, device catalog and gesture
// passwords, on the engine the run was registered for.
class tst_Store : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void storeFollowsTheOpenFile();
    void transactionCommitsOrRollsBack();
    void startUpProblemsAreNamedQuickly_data();
    void startUpProblemsAreNamedQuickly();
    void refusedWritesChangeNothing_data();
    void refusedWritesChangeNothing();
    void schemaVersionIsMigrated();
    void killDuringSavesLosesNothing();
    void fullDiskKeepsWhatWasSaved();
    void everythingSurvivesReopen();

    void superUserIsLeftOut();
    void deleteUserCascades();
    void sqlFailureLeavesStoreAndIndexUnchanged();
    void recordRules_data();
    void recordRules();
    void outOfRuleRecordsAreReportedAndKept();
    void grantsTravelWithTheAccountWrite();

    void addDeviceCreatesItsChannels_data();
    void addDeviceCreatesItsChannels();
    void idsNeverMeanTwoThings_data();
    void idsNeverMeanTwoThings();
    void channelChangesAreSignalledPerDevice();
    void deletionsCascade();
    void bulkAddIsOneResetAndAllOrNothing();

    void drawnGestures_data();
    void drawnGestures();
    void storedGestureHashes();

private:
    // Runs fn on the gesture dialog once the event loop of its exec() runs.
    void onDialog(std::function<void(QWidget *, GesturePadWt *)> fn);

    int m_dialogsSeen = 0;
    QString m_failure;
};

void tst_Store::init()
{
    resetHostForTest();
    login().clearScriptedGestures();
    m_dialogsSeen = 0;
    m_failure.clear();
}

void tst_Store::cleanup()
{
    // A dialog left open by a failed check must not block the next test.
    if (QWidget *modal = QApplication::activeModalWidget())
        modal->close();
}

void tst_Store::storeFollowsTheOpenFile()
{
    SQLITE_FILE_ONLY();
    // Every ":memory:" open is a new empty store.
    QVERIFY(addAccount("bob"));
    QVERIFY(store().open(":memory:"));
    QVERIFY(!users().isUserExist("bob"));

    // A new store and its folder are private to the user.
    QTemporaryDir dir;
    const QString folder = dir.filePath("app/data");
    QVERIFY(DataStore::makePrivateFolder(folder));
    QCOMPARE(modeOf(folder), 0700);
    const QString path = folder + "/client.db";
    QVERIFY(store().open(path));
    QVERIFY(store().setSetting("theme", "dark"));
    QVERIFY(addAccount("bob"));
    QVERIFY(addDevice("nvr-1", 2));
    for (const QString &file : {path, path + "-wal", path + "-shm"})
        QCOMPARE(modeOf(file), 0600);

    // The indexes follow every open and close before the views' reset.
    QSignalSpy reset(hub(), &DataSignals::signalCatalogReset);
    int told = 0;
    QObject receiver;
    connect(hub(), &DataSignals::signalStoreReloaded, &receiver, [&] {
        QCOMPARE(store().isOpen(), told > 0);
        QCOMPARE(reset.count(), told++);
    });
    // Closed means empty, not stale.
    store().close();
    QVERIFY(!users().isUserExist("bob"));
    QCOMPARE(catalog().getAllDevices().size(), 0);
    QCOMPARE(store().setting("theme"), QString());

    // Switching stores replaces the one connection; a store left readable
    // by others (by an older client) is tightened.
    QVERIFY(::chmod(QFile::encodeName(path).constData(), 0644) == 0);
    QVERIFY(store().open(":memory:"));
    QVERIFY(store().open(path));
    QCOMPARE(reset.count(), 3);
    QCOMPARE(told, 3);
    QCOMPARE(modeOf(path), 0600);
    QCOMPARE(QSqlDatabase::connectionNames().size(), 1);
    QCOMPARE(store().setting("theme"), "dark");
    QVERIFY(users().isUserExist("bob"));
    QCOMPARE(catalog().getDevChannels("nvr-1").size(), 2);
}

void tst_Store::transactionCommitsOrRollsBack()
{
    QSqlQuery query(store().database());
    auto insert = [&](const QString &key) {
        query.prepare("INSERT INTO settings (key, value) VALUES (?, 'x')");
        query.addBindValue(key);
        return query.exec();
    };
    QVERIFY(!store().transaction([&] { return insert("dropped") && false; }));
    QVERIFY(store().transaction([&] { return insert("kept"); }));
    QVERIFY(query.exec("SELECT key FROM settings WHERE value = 'x'"));
    QVERIFY(query.next());
    QCOMPARE(query.value(0).toString(), "kept");
    QVERIFY(!query.next());
}

void tst_Store::startUpProblemsAreNamedQuickly_data()
{
    QTest::addColumn<QString>("problem");
    QTest::addColumn<DataStore::Failure>("failure");
    QTest::newRow("missing folder") << "missing folder" << DataStore::MissingFolder;
    QTest::newRow("not a store") << "garbage" << DataStore::Corrupt;
    QTest::newRow("truncated") << "truncated" << DataStore::Corrupt;
    QTest::newRow("locked") << "locked" << DataStore::Busy;
    QTest::newRow("newer schema") << "newer" << DataStore::TooNew;
}

void tst_Store::startUpProblemsAreNamedQuickly()
{
    SQLITE_FILE_ONLY();
    QFETCH(QString, problem);
    QFETCH(DataStore::Failure, failure);
    QTemporaryDir dir;
    QString path = dir.filePath("client.db");
    QProcess helper;
    if (problem == "missing folder") {
        path = dir.filePath("gone/sub/client.db");
    } else if (problem == "garbage") {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(QByteArray(8192, '\x5a'));
    } else if (problem == "truncated") {
        QVERIFY(makeStore(path, 400));
        QFile file(path);
        QVERIFY(file.size() > 4 * 4096);
        QVERIFY(file.resize(file.size() / 2));
    } else if (problem == "locked") {
        QVERIFY(makeStore(path, 1));
        QVERIFY(startHelper(helper, "lock", path));
    } else if (problem == "newer") {
        QVERIFY(store().open(path));
        pragma("user_version = 99");
        store().close();
    } else {
        FAIL_UNKNOWN_STEP(problem);
    }

    QElapsedTimer timer;
    timer.start();
    QVERIFY(!store().open(path));
    qDebug("%s: refused after %lld ms: %s", qPrintable(problem), timer.elapsed(),
           qPrintable(store().lastErrorText()));
    QVERIFY(timer.elapsed() < 2000);
    QCOMPARE(store().lastFailure(), failure);
    QVERIFY(store().lastErrorText().contains(path));
    // Left closed, with no connection behind that a write could reach.
    QVERIFY(!store().isOpen());
    QCOMPARE(QSqlDatabase::connectionNames().size(), 0);
    QVERIFY(!store().setSetting("k", "v"));
    QVERIFY(!addAccount("bob"));
    helper.kill();
    helper.waitForFinished();
}

void tst_Store::refusedWritesChangeNothing_data()
{
    QTest::addColumn<QString>("problem");
    QTest::addColumn<DataStore::Failure>("failure");
    QTest::newRow("read-only file") << "file" << DataStore::ReadOnly;
    QTest::newRow("read-only folder") << "folder" << DataStore::ReadOnly;
    QTest::newRow("write lock held elsewhere") << "writelock" << DataStore::Busy;
}

void tst_Store::refusedWritesChangeNothing()
{
    SQLITE_FILE_ONLY();
    QFETCH(QString, problem);
    QFETCH(DataStore::Failure, failure);
    QTemporaryDir dir;
    const QString path = dir.filePath("client.db");
    const QString target = problem == "folder" ? dir.path() : path;
    const bool locked = problem == "writelock";
    QVERIFY(makeStore(path, 1));
    if (!locked)
        QVERIFY(QFile::setPermissions(target, QFileDevice::ReadOwner | QFileDevice::ExeOwner));
    QVERIFY(store().open(path));
    QProcess helper;
    if (locked)
        QVERIFY(startHelper(helper, "writelock", path));

    // Reading goes on; a write fails at once (a lock after the busy
    // timeout) and changes nothing.
    QCOMPARE(store().isReadOnly(), !locked);
    QVERIFY(users().isUserExist("a0"));
    QElapsedTimer timer;
    timer.start();
    QVERIFY(!addAccount("bob"));
    qDebug("a save to a %s store failed after %lld ms", qPrintable(problem), timer.elapsed());
    QVERIFY(timer.elapsed() < 2000);
    QCOMPARE(store().lastFailure(), failure);
    QVERIFY(users().lastErrorText().contains(locked ? "locked" : path));
    QVERIFY(!users().isUserExist("bob"));

    // Once the problem is gone, the same write goes through.
    helper.closeWriteChannel();
    QVERIFY(!locked || helper.waitForFinished());
    if (!locked) {
        store().close();
        QVERIFY(QFile::setPermissions(target, QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                  QFileDevice::ExeOwner));
        QVERIFY(store().open(path));
        QVERIFY(!store().isReadOnly());
    }
    QVERIFY(addAccount("bob"));
}

void tst_Store::schemaVersionIsMigrated()
{
    SQLITE_FILE_ONLY();
    QTemporaryDir dir;
    const QString path = dir.filePath("old.db");
    // A store from before the version was recorded, with part of the tables.
    {
        QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "old");
        db.setDatabaseName(path);
        QVERIFY(db.open());
        QSqlQuery query(db);
        QVERIFY(query.exec("CREATE TABLE settings (key TEXT PRIMARY KEY, value TEXT)"));
        QVERIFY(query.exec("INSERT INTO settings VALUES ('theme', 'dark')"));
    }
    QSqlDatabase::removeDatabase("old");

    QVERIFY(store().open(path));
    QCOMPARE(store().setting("theme"), "dark");
    QVERIFY(addAccount("bob"));
    QCOMPARE(pragma("user_version").toInt(), int(DataStore::SchemaVersion));
}

void tst_Store::killDuringSavesLosesNothing()
{
    SQLITE_FILE_ONLY();
    QTemporaryDir dir;
    const QString path = dir.filePath("client.db");
    QVERIFY(makeStore(path, 0));
    QProcess helper;
    QVERIFY(startHelper(helper, "burst", path));
    while (helper.waitForReadyRead(10000) && helper.bytesAvailable() < 40 * 4) {
    }
    helper.kill(); // SIGKILL, in the middle of the next save
    QVERIFY(helper.waitForFinished());
    const QStringList saved =
        QString::fromLatin1(helper.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
    QVERIFY(saved.size() >= 40);

    QVERIFY(store().open(path));
    QCOMPARE(pragma("integrity_check"), "ok");
    for (const QString &name : saved) {
        QVERIFY2(users().isUserExist(name), qPrintable(name));
        QCOMPARE(users().getUserRes(name).size(), 1);
    }
}

void tst_Store::fullDiskKeepsWhatWasSaved()
{
    SQLITE_FILE_ONLY();
    QTemporaryDir dir;
    const QString mountPoint = dir.path();
    if (QProcess::execute("mount",
                          {"-t", "tmpfs", "-o", "size=256k,mode=0700", "tmpfs", mountPoint}) != 0)
        QSKIP("a small tmpfs cannot be mounted here (needs root or CAP_SYS_ADMIN)");
    auto unmount = qScopeGuard([&] {
        store().close();
        QProcess::execute("umount", {mountPoint});
    });
    const QString path = mountPoint + "/client.db";
    QVERIFY(store().open(path));
    int saved = 0;
    while (saved < 100000 && addAccount(QStringLiteral("a%1").arg(saved)))
        ++saved;
    qDebug("the disk was full after %d saves: %s", saved, qPrintable(users().lastErrorText()));
    QCOMPARE(store().lastFailure(), DataStore::DiskFull);
    QVERIFY(saved > 0);
    QVERIFY(store().open(path));
    QCOMPARE(pragma("integrity_check"), "ok");
    QCOMPARE(users().getAllUsers(QString()).size(), saved);
}

void tst_Store::everythingSurvivesReopen()
{
    QTemporaryDir dir;
    const QString path = reopenableStore(dir, "client.db");
    QVERIFY(store().open(path));
    QVERIFY(addAccount("adam"));
    QVERIFY(addAccount("mia"));
    UserInfo adam = makeUser("adam", "NewPw#2");
    adam.functionPower = AllFunctions;
    adam.userDescribe = "night shift";
    QVERIFY(users().updateUser(adam));
    // Grants are replaced whole; a name without an account keeps none.
    QVERIFY(users().setUserRes("adam", grants({"d1#0", "d1#3", "grp-1"})));
    QVERIFY(users().setUserRes("adam", grants({"d#2", "d#1", "grp-7"})));
    QVERIFY(users().setUserRes("pending", grants({"d#5", "d#6"})));
    QVERIFY(users().setUserRes("mia", grants({"d#9"})));
    QVERIFY(users().setUserRes("mia", {}));
    QVERIFY(users().setUserGesture("mia", "s4lt", "h4sh"));
    QVERIFY(addDevice("d1", 3));
    QVERIFY(addDevice("cam", 1, 1));
    QVERIFY(catalog().renameChannel(Key("d1", 0), "Front"));
    QVERIFY(catalog().setChannelStatus(Key("d1", 2), ChannelOnline));
    QVERIFY(catalog().addGroup("grp-1", "Lobby"));
    for (const Key &key : {Key("d1", 0), Key("d1", 1), Key("cam", 0)})
        QVERIFY(catalog().addGroupChannel("grp-1", key));
    QVERIFY(catalog().deleteChannels({Key("d1", 1)}));
    // Appended after a hole in the member positions.
    QVERIFY(catalog().addGroupChannel("grp-1", Key("d1", 2)));
    const QString before = snapshot();
    QCOMPARE(before, "adam|NewPw#2|2|-1|night shift|admin|0:d#2,0:d#1,2:grp-7|/\n"
                     "mia|Secret#1|2|3||admin||s4lt/h4sh\n"
                     "pending:0\n"
                     "d1|Gate|d1-SN|0|10.0.0.7|8000|1|5|Acme|0/Front/0,2/Gate-3/1\n"
                     "cam|Gate|cam-SN|1|10.0.0.7|8000|1|5|Acme|0/Gate-1/0\n"
                     "Lobby: grp-1:d1#0,grp-1:cam#0,grp-1:d1#2");

    QSignalSpy reset(hub(), &DataSignals::signalCatalogReset);
    QVERIFY(store().open(path));
    QCOMPARE(reset.count(), 1);
    QCOMPARE(snapshot(), before);
}

void tst_Store::superUserIsLeftOut()
{
    QVERIFY(addAccount("bob"));
    QVERIFY(addAccount("carol"));
    auto listed = [](const QString &superUser) {
        QStringList names;
        for (const UserInfo &info : users().getAllUsers(superUser))
            names.append(info.userName);
        return names;
    };
    // The list hides whichever name the caller calls its super user.
    QCOMPARE(listed("bob"), QStringList{"carol"});

    // A renamed super user frees the old name and reserves the new one ...
    QVERIFY(orlun_worker::SystemWorker::_instance().setSuperUserName("root"));
    QVERIFY(addAccount("admin"));
    QVERIFY(!addAccount("ROOT"));
    // ... but for its own record (type 1), stored once and never listed.
    UserInfo root = makeUser("root");
    root.userType = SuperUserType;
    QVERIFY(users().addUser(root));
    QVERIFY(!users().addUser(root));
    QCOMPARE(users().getUserInfo("root").userType, SuperUserType);
    QCOMPARE(listed("root"), QStringList({"bob", "carol", "admin"}));
}

void tst_Store::deleteUserCascades()
{
    QVERIFY(addAccount("bob"));
    QVERIFY(addAccount("carol"));
    QVERIFY(users().setUserRes("bob", grants({"d#0", "grp-1"})));
    QVERIFY(users().setUserRes("carol", grants({"d#1"})));
    QVERIFY(users().setUserGesture("bob", "salt", "hash"));
    // Look-ups and writes take the exact name.
    QVERIFY(users().getUserInfo("Bob").userName.isEmpty());
    QVERIFY(users().getUserRes("Bob").isEmpty());
    QVERIFY(!users().isUserConfigureGesture("Bob"));
    QVERIFY(!users().updateUser(makeUser("Bob")));
    QVERIFY(!users().deleteUser("BOB"));
    QVERIFY(users().deleteUser("bob"));
    QVERIFY(!users().isUserExist("bob"));
    QVERIFY(!users().deleteUser("bob"));

    // The name is free again and comes back bare, in memory and in the store.
    QVERIFY(addAccount("bob"));
    const QString expected = "carol|Secret#1|2|3||admin|0:d#1|/\n"
                             "bob|Secret#1|2|3||admin||/\npending:0";
    QCOMPARE(snapshot(), expected);
    users().reload();
    QCOMPARE(snapshot(), expected);
}

void tst_Store::sqlFailureLeavesStoreAndIndexUnchanged()
{
    QVERIFY(addAccount("bob"));
    QVERIFY(users().setUserRes("bob", grants({"d#0", "d#1"})));
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
    const QString before = snapshot();

    // The old grants go inside the account's transaction before the insert
    // fails; the rollback brings them and the account back, in the store as
    // in memory.
    QVERIFY(users().setUserRes("bob", grants({"d#7"})));
    QVERIFY(!users().updateUser(makeUser("bob", "New#pw1")));
    QCOMPARE(users().lastError(), UserData::StoreFailure);
    QVERIFY(users().lastErrorText().contains("no"));
    QVERIFY(!addAccount("eve"));
    QCOMPARE(snapshot(), before);
    users().reload();
    QCOMPARE(snapshot(), before);
}

void tst_Store::recordRules_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("value");
    QTest::addColumn<UserData::Error>("error");
    const auto ok = UserData::NoError;
    const auto badName = UserData::InvalidName;
    const auto badPwd = UserData::InvalidPassword;
    const auto badText = UserData::InvalidDescription;
    QTest::newRow("name 64") << "name" << QString(64, 'a') << ok;
    QTest::newRow("name 65") << "name" << QString(65, 'a') << badName;
    QTest::newRow("name leading blank") << "name" << QString(" carol") << badName;
    QTest::newRow("name non-ASCII") << "name" << QStringLiteral("émile") << badName;
    QTest::newRow("name punctuation") << "name" << QString("bo.b") << badName;
    QTest::newRow("name taken") << "name" << QString("bob") << UserData::NameTaken;
    QTest::newRow("name taken, other case") << "name" << QString("BOB") << UserData::NameTaken;
    QTest::newRow("super user, other case") << "name" << QString("Admin") << UserData::NameTaken;
    QTest::newRow("password 16") << "pwd" << QString(16, '#') << ok;
    QTest::newRow("password 17") << "pwd" << QString(17, '#') << badPwd;
    QTest::newRow("password empty") << "pwd" << QString() << badPwd;
    QTest::newRow("password blank") << "pwd" << QString("Se cret#1") << badPwd;
    QTest::newRow("description 32") << "describe" << QString(32, 'd') << ok;
    QTest::newRow("description 33") << "describe" << QString(33, 'd') << badText;
    QTest::newRow("description padded") << "describe" << QString("desk ") << badText;
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
    QCOMPARE(users().isUserExist(info.userName), error == UserData::NameTaken);
    QCOMPARE(users().addUser(info), error == UserData::NoError);
    QCOMPARE(users().lastError(), error);
    QCOMPARE(users().lastErrorText().isEmpty(), error == UserData::NoError);
    if (error != UserData::NoError)
        QCOMPARE(snapshot(), before);
    if (field == "name")
        return;
    // An edit is held to the same rules.
    info.userName = "bob";
    QCOMPARE(users().updateUser(info), error == UserData::NoError);
    QCOMPARE(users().lastError(), error);
    QCOMPARE(users().getUserInfo("bob").userPwd == value,
             error == UserData::NoError && field == "pwd");
}

void tst_Store::outOfRuleRecordsAreReportedAndKept()
{
    // A store written by an older client, which took such records.
    QSqlQuery query(store().database());
    query.prepare("INSERT INTO users (name, pwd, description) VALUES (?, ?, ?)");
    for (const auto &row :
         {QStringList{"carol", "Carol#pw1", "desk"}, QStringList{" carol", "Blank#pw1", "lobby"},
          QStringList{"bob", "LongPassword#12345", QString(33, 'x')}}) {
        for (const QString &value : row)
            query.addBindValue(value);
        QVERIFY(query.exec());
    }
    users().reload();
    const QStringList invalid = users().invalidRecords();
    QCOMPARE(invalid.size(), 2);
    QVERIFY(invalid.at(0).startsWith("\" carol\":"));
    QVERIFY(invalid.at(1).startsWith("\"bob\":"));
    const QString before = snapshot();

    // What the form would send after showing them: the trimmed name, the
    // password and description cut to the field.
    users().getUserInfo(" carol");
    QVERIFY(!users().updateUser(makeUser("carol", "Blank#pw1")));
    QCOMPARE(users().lastError(), UserData::WouldLoseStoredValue);
    UserInfo bob = users().getUserInfo("bob");
    bob.userPwd.truncate(UserData::MaxPasswordLength);
    bob.userDescribe.truncate(UserData::MaxDescriptionLength);
    QVERIFY(!users().updateUser(bob));
    QCOMPARE(users().lastError(), UserData::WouldLoseStoredValue);
    QCOMPARE(snapshot(), before);

    // Values the administrator typed anew are taken.
    bob.userPwd = "Fresh#pw2";
    bob.userDescribe = "night";
    QVERIFY(users().updateUser(bob));
    QCOMPARE(users().getUserInfo("bob").userDescribe, "night");
    QCOMPARE(users().getUserInfo("carol").userPwd, "Carol#pw1");
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
    QVERIFY(users().setUserRes("bob", grants({"d#0"})));

    // A failed add leaves no grants behind for a later account of the name.
    QVERIFY(users().setUserRes("dave", grants({"d#1"})));
    users().failNextWrite(UserData::AddUser);
    QVERIFY(!addAccount("dave"));
    QCOMPARE(storedRes("dave"), "");
    QVERIFY(addAccount("dave"));
    QCOMPARE(storedRes("dave"), "");
    QVERIFY(users().getUserRes("dave").isEmpty());

    // An edit whose account write fails keeps the grants it had.
    QVERIFY(users().setUserRes("bob", grants({"d#4"})));
    users().failNextWrite(UserData::UpdateUser);
    QVERIFY(!users().updateUser(makeUser("bob")));
    QCOMPARE(storedRes("bob"), "d#0");
    QCOMPARE(users().getUserRes("bob"), grants({"d#0"}));

    // Grants written alone are stored once the event loop runs (or the next
    // call comes); for a name without an account they are dropped.
    QVERIFY(users().setUserRes("bob", grants({"d#5", "d#6"})));
    QCOMPARE(storedRes("bob"), "d#0");
    QCoreApplication::processEvents();
    QCOMPARE(storedRes("bob"), "d#5 d#6");
    QVERIFY(users().setUserRes("ghost", grants({"d#6"})));
    QCoreApplication::processEvents();
    QCOMPARE(storedRes("ghost"), "");
    QVERIFY(users().setUserRes("dave", grants({"d#7"})));
    QVERIFY(users().isUserExist("dave"));
    QCOMPARE(storedRes("dave"), "d#7");
}

void tst_Store::addDeviceCreatesItsChannels_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<int>("requested");
    QTest::addColumn<QStringList>("names");
    QTest::newRow("recorder") << 0 << 3 << QStringList({"Gate-1", "Gate-2", "Gate-3"});
    QTest::newRow("recorder without channels") << 0 << 0 << QStringList();
    QTest::newRow("camera asks for more") << 1 << 8 << QStringList({"Gate-1"});
    QTest::newRow("stream asks for none") << 2 << 0 << QStringList({"Gate-1"});
}

void tst_Store::addDeviceCreatesItsChannels()
{
    QFETCH(int, type);
    QFETCH(int, requested);
    QFETCH(QStringList, names);
    QSignalSpy added(hub(), &DataSignals::signalAddDevice);
    QVERIFY(addDevice("d1", requested, type));
    QCOMPARE(added.count(), 1);
    QCOMPARE(added.at(0).at(0).toString(), "d1");
    QCOMPARE(channelNames("d1"), names);
    QCOMPARE(catalog().getDevInfoById("d1").channelCount, names.size());
    for (int no = 0; no < names.size(); ++no)
        QCOMPARE(catalog().getDevChannelInfo(Key("d1", no)).channelName, names.at(no));
    QVERIFY(catalog().getDevChannelInfo(Key("d1", names.size())).channelKey.first.isEmpty());
}

void tst_Store::idsNeverMeanTwoThings_data()
{
    QTest::addColumn<bool>("device");
    QTest::addColumn<QString>("id");
    QTest::newRow("device twice") << true << "d1";
    QTest::newRow("device named like a group") << true << "grp-1";
    QTest::newRow("device without id") << true << QString();
    QTest::newRow("group twice") << false << "grp-1";
    QTest::newRow("group named like a device") << false << "d1";
    QTest::newRow("group like an unknown channel") << false << "x#12";
}

void tst_Store::idsNeverMeanTwoThings()
{
    QFETCH(bool, device);
    QFETCH(QString, id);
    QVERIFY(addDevice("d1", 2));
    QVERIFY(catalog().addGroup("grp-1", "Lobby"));
    const QString before = snapshot();
    QSignalSpy added(hub(), &DataSignals::signalAddDevice);
    QSignalSpy groups(hub(), &DataSignals::signalGroupsChanged);
    QVERIFY(device ? !addDevice(id, 1) : !catalog().addGroup(id, "Other"));
    QCOMPARE(added.count() + groups.count(), 0);
    QCOMPARE(snapshot(), before);
}

void tst_Store::channelChangesAreSignalledPerDevice()
{
    QVERIFY(addDevice("d1", 3));
    QVERIFY(addDevice("d2", 1));
    QSignalSpy changed(hub(), &DataSignals::signalDevChannelsStatusChanged);
    QSignalSpy updated(hub(), &DataSignals::signalUpdateDevChannels);

    // A status change sends every status of the device, by channel number.
    QVERIFY(catalog().setChannelStatus(Key("d1", 2), ChannelAlarm));
    QVERIFY(catalog().setChannelStatus(Key("d1", 1), ChannelRecording));
    QVERIFY(!catalog().setChannelStatus(Key("nope", 0), ChannelOnline));
    QCOMPARE(changed.count(), 2);
    QCOMPARE(changed.last().at(0).toString(), "d1");
    QCOMPARE(changed.last().at(1).value<Statuses>(),
             Statuses({ChannelOffline, ChannelRecording, ChannelAlarm}));
    QCOMPARE(catalog().getChannelStatus(Key("d2", 0)), ChannelOffline);
    // Setting the status a channel already has is no change.
    QVERIFY(catalog().setChannelStatus(Key("d1", 2), ChannelAlarm));
    QCOMPARE(changed.count(), 2);

    // A rename sends the one changed record.
    QVERIFY(catalog().renameChannel(Key("d1", 1), "Back door"));
    QVERIFY(!catalog().renameChannel(Key("d1", 5), "x"));
    QCOMPARE(updated.count(), 1);
    QCOMPARE(updated.at(0).at(0).toString(), "d1");
    const auto records = updated.at(0).at(1).value<QList<DevChannelInfo>>();
    QCOMPARE(records.size(), 1);
    QCOMPARE(records.first().channelName, "Back door");
    QCOMPARE(records.first().channelKey, Key("d1", 1));
    QCOMPARE(records.first().status, ChannelRecording);
    QCOMPARE(channelNames("d1"), QStringList({"Gate-1", "Back door", "Gate-3"}));

    // A gap left by a deleted channel reads as offline, keeping the index.
    QVERIFY(catalog().deleteChannels({Key("d1", 1)}));
    QVERIFY(catalog().setChannelStatus(Key("d1", 0), ChannelOnline));
    QCOMPARE(changed.last().at(1).value<Statuses>(),
             Statuses({ChannelOnline, ChannelOffline, ChannelAlarm}));
}

void tst_Store::deletionsCascade()
{
    QVERIFY(addDevice("d1", 4));
    QVERIFY(addDevice("cam", 1, 1));
    QVERIFY(addAccount("bob"));
    QVERIFY(users().setUserRes("bob", grants({"d1#1", "d1#2", "cam#0"})));
    QVERIFY(users().updateUser(users().getUserInfo("bob")));
    QSignalSpy groups(hub(), &DataSignals::signalGroupsChanged);
    QVERIFY(catalog().addGroup("grp-1", "Lobby"));
    QVERIFY(catalog().addGroup("grp-2", "Yard"));
    for (const Key &key : {Key("cam", 0), Key("d1", 1), Key("d1", 2)})
        QVERIFY(catalog().addGroupChannel("grp-1", key));
    QVERIFY(catalog().addGroupChannel("grp-2", Key("d1", 0)));
    QVERIFY(!catalog().addGroupChannel("grp-1", Key("d1", 1)));
    QVERIFY(!catalog().addGroupChannel("grp-1", Key("d1", 7)));
    QCOMPARE(groups.count(), 6);
    // Members come by group in the order asked, carrying the current names.
    QVERIFY(catalog().renameChannel(Key("d1", 0), "Front"));
    const auto members = catalog().getGroupsChannels({"grp-2", "grp-1", "unknown"});
    QCOMPARE(memberIds({"grp-2", "grp-1", "unknown"}),
             QStringList({"grp-2:d1#0", "grp-1:cam#0", "grp-1:d1#1", "grp-1:d1#2"}));
    QCOMPARE(members.first().groupName, "Yard");
    QCOMPARE(members.first().channelName, "Front");

    // Deleted channels leave their groups and grants; unknown and repeated
    // keys are skipped, and the other channels keep their numbers.
    QSignalSpy deleted(hub(), &DataSignals::signalDeleteChannels);
    QVERIFY(catalog().deleteChannels({Key("d1", 1), Key("d1", 3), Key("d1", 9), Key("d1", 1)}));
    QCOMPARE(deleted.count(), 1);
    QCOMPARE(deleted.at(0).at(0).toStringList(), QStringList({"d1#1", "d1#3"}));
    QCOMPARE(groups.count(), 7);
    QCOMPARE(catalog().getDevChannelInfo(Key("d1", 2)).channelName, "Gate-3");
    QCOMPARE(memberIds({"grp-1"}), QStringList({"grp-1:cam#0", "grp-1:d1#2"}));
    QCOMPARE(users().getUserRes("bob"), grants({"d1#2", "cam#0"}));

    // A deleted device takes its channels, memberships and grants along.
    QSignalSpy deletedDevice(hub(), &DataSignals::signalDeleteDevice);
    QVERIFY(catalog().deleteDevice("d1"));
    QVERIFY(!catalog().deleteDevice("d1"));
    QCOMPARE(deleted.at(1).at(0).toStringList(), QStringList({"d1#0", "d1#2"}));
    QCOMPARE(deletedDevice.at(0).at(0).toString(), "d1");
    QCOMPARE(groups.count(), 8);
    QVERIFY(!catalog().renameChannel(Key("d1", 0), "x"));
    QCOMPARE(memberIds({"grp-1", "grp-2"}), QStringList{"grp-1:cam#0"});

    // A deleted group leaves its channels; a deleted id is free again.
    QVERIFY(catalog().deleteGroup("grp-1"));
    QVERIFY(!catalog().deleteGroup("grp-1"));
    QVERIFY(!catalog().addGroupChannel("grp-1", Key("cam", 0)));
    QCOMPARE(groups.count(), 9);
    QVERIFY(addDevice("d1", 1));
    // The store agrees: the new "d1" has none of the old one's memberships
    // or grants.
    const QString expected = "bob|Secret#1|2|3||admin|0:cam#0|/\npending:0\n"
                             "cam|Gate|cam-SN|1|10.0.0.7|8000|1|5|Acme|0/Gate-1/0\n"
                             "d1|Gate|d1-SN|0|10.0.0.7|8000|1|5|Acme|0/Gate-1/0\n"
                             "Yard: ";
    QCOMPARE(snapshot(), expected);
    catalog().reload();
    users().reload();
    QCOMPARE(snapshot(), expected);
}

void tst_Store::bulkAddIsOneResetAndAllOrNothing()
{
    QVERIFY(addDevice("old", 1));
    QSignalSpy reset(hub(), &DataSignals::signalCatalogReset);
    QSignalSpy added(hub(), &DataSignals::signalAddDevice);
    // Repeated ids within the batch or against the catalog refuse all of it.
    QVERIFY(!catalog().addDevices({makeDevice("a", "A", 0, 2), makeDevice("a", "A2", 0, 2)}));
    QVERIFY(!catalog().addDevices({makeDevice("c", "C", 0, 2), makeDevice("old", "O", 0, 2)}));
    QCOMPARE(reset.count(), 0);
    QCOMPARE(catalog().getAllDevices().size(), 1);

    QList<DevInfo> infos;
    for (int i = 0; i < 50; ++i)
        infos.append(
            makeDevice(QStringLiteral("nvr-%1").arg(i), QStringLiteral("N%1").arg(i), 0, 4));
    QVERIFY(catalog().addDevices(infos));
    QCOMPARE(reset.count(), 1);
    QCOMPARE(added.count(), 0);
    QCOMPARE(catalog().getAllDevices().at(35).devId, "nvr-34");
    QCOMPARE(catalog().getDevChannelInfo(Key("nvr-49", 3)).channelName, "N49-4");
    // What the indexes show is what the store holds.
    const QString before = snapshot();
    QCOMPARE(before.count('\n'), 51);
    catalog().reload();
    QCOMPARE(snapshot(), before);
}

void tst_Store::onDialog(std::function<void(QWidget *, GesturePadWt *)> fn)
{
    QTimer::singleShot(0, this, [this, fn] {
        QWidget *dialog = QApplication::activeModalWidget();
        auto *pad = dialog ? dialog->findChild<GesturePadWt *>("gesturePad") : nullptr;
        if (!pad || !pad->isVisible()) {
            m_failure = "no gesture pad shown";
            return;
        }
        ++m_dialogsSeen;
        fn(dialog, pad);
        if (dialog->isVisible()) {
            m_failure = "dialog still open after the script";
            dialog->close();
        }
    });
}

void tst_Store::drawnGestures_data()
{
    // Each drawing, then the hint it leaves; a drawing {} clicks Cancel.
    QTest::addColumn<QList<Pattern>>("drawings");
    QTest::addColumn<QStringList>("hints");
    QTest::addColumn<Pattern>("stored");
    QTest::newRow("drawn twice") << QList<Pattern>{{0, 4, 8, 5, 2}, {0, 4, 8, 5, 2}}
                                 << QStringList{kConfirm, kClosed} << Pattern{0, 4, 8, 5, 2};
    QTest::newRow("mismatch starts over")
        << QList<Pattern>{{0, 1, 2, 5}, {0, 1, 2, 4}, {0, 1, 2, 4}, {0, 1, 2, 4}}
        << QStringList{kConfirm, kMismatch, kConfirm, kClosed} << Pattern{0, 1, 2, 4};
    QTest::newRow("too few dots, first or second")
        << QList<Pattern>{{3, 4, 5}, {6, 7, 8, 5}, {6, 7, 8}, {6, 7, 8, 5}, {6, 7, 8, 5}}
        << QStringList{kTooFew, kConfirm, kTooFew, kConfirm, kClosed} << Pattern{6, 7, 8, 5};
    // A press between dots draws nothing; dots passed twice count once.
    QTest::newRow("stray press, repeated dots")
        << QList<Pattern>{{-1, 1, 2, 5, 8}, {0, 1, 0, 3, 4, 1}, {0, 1, 3, 4}}
        << QStringList{"Connect at least 4 dots", kConfirm, kClosed} << Pattern{0, 1, 3, 4};
    QTest::newRow("cancel") << QList<Pattern>{{0, 3, 6, 7}, {}} << QStringList{kConfirm, kClosed}
                            << Pattern{};
}

void tst_Store::drawnGestures()
{
    QFETCH(QList<Pattern>, drawings);
    QFETCH(QStringList, hints);
    QFETCH(Pattern, stored);
    QVERIFY(addAccount(kUser));
    QStringList seen;
    onDialog([&](QWidget *dialog, GesturePadWt *pad) {
        for (const Pattern &drawing : drawings) {
            if (drawing.isEmpty())
                QTest::mouseClick(dialog->findChild<QPushButton *>("cancelBt"), Qt::LeftButton);
            else
                draw(pad, drawing);
            seen.append(dialog->isVisible() ? dialog->findChild<QLabel *>("hintLabel")->text()
                                            : kClosed);
            if (seen.last() == kConfirm && !pad->pattern().isEmpty())
                m_failure = "pad not cleared for the second drawing";
        }
    });
    login().addUserGesture(nullptr, kUser);
    QCOMPARE(seen, hints);
    QVERIFY2(m_failure.isEmpty(), qPrintable(m_failure));
    QCOMPARE(m_dialogsSeen, 1);
    QCOMPARE(users().isUserConfigureGesture(kUser), !stored.isEmpty());
    QCOMPARE(login().checkUserGesture(kUser, stored.isEmpty() ? drawings.first() : stored),
             !stored.isEmpty());
    // The dots count in the order drawn.
    if (!stored.isEmpty())
        QVERIFY(!login().checkUserGesture(kUser, Pattern(stored.crbegin(), stored.crend())));
}

void tst_Store::storedGestureHashes()
{
    const Pattern pattern{0, 3, 6, 7, 8};
    const QByteArray salt("0123456789abcdef");
    QVERIFY(addAccount(kUser));
    QVERIFY(!login().deleteUserGesture(kUser)); // none yet
    // A scripted gesture (the dialog's stand-in) is held to the dialog's
    // rules; an unknown account gets no dialog.
    for (const Pattern &refused :
         {Pattern{}, Pattern{0, 1, 2}, Pattern{0, 1, 2, 1}, Pattern{0, 1, 2, 9}}) {
        login().scriptNextGesture(refused);
        login().addUserGesture(nullptr, kUser);
        QVERIFY(!users().isUserConfigureGesture(kUser));
    }
    onDialog([](QWidget *, GesturePadWt *) {});
    login().addUserGesture(nullptr, "ghost");
    QTest::qWait(50);
    QCOMPARE(m_dialogsSeen, 0);
    // A hash of the old format is replaced by an Argon2id one at the first
    // match, and only then.
    QVERIFY(users().setUserGesture(kUser, salt, LoginAccess::hashPattern(pattern, salt)));
    QByteArray hash1, hash2;
    QVERIFY(!login().checkUserGesture(kUser, {0, 3, 6, 7}));
    QVERIFY(users().getUserGesture(kUser, nullptr, &hash1));
    QCOMPARE(hash1, LoginAccess::hashPattern(pattern, salt));
    QVERIFY(login().checkUserGesture(kUser, pattern));
    QVERIFY(users().getUserGesture(kUser, nullptr, &hash1));
    QVERIFY2(hash1.startsWith("$argon2id$"), hash1.constData());
    QVERIFY(login().checkUserGesture(kUser, pattern));
    QVERIFY(!login().checkUserGesture(kUser, {0, 3, 6, 7}));

    // Every drawing gets a new salt, kept inside the hash.
    login().scriptNextGesture(pattern);
    login().addUserGesture(nullptr, kUser);
    QVERIFY(users().getUserGesture(kUser, nullptr, &hash2));
    QVERIFY2(hash2.startsWith("$argon2id$") && hash2 != hash1, hash2.constData());
    QVERIFY(login().checkUserGesture(kUser, pattern));

    QVERIFY(login().deleteUserGesture(kUser));
    QVERIFY(!users().isUserConfigureGesture(kUser));
    QVERIFY(!login().checkUserGesture(kUser, pattern));
}

QTEST_MAIN(tst_Store)
#include "tst_Store.moc"
