#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QtTest>

#include "DataSignals.h"
#include "DataStore.h"
#include "DevsMgrData.h"
#include "TestSupport.h"
#include "UserData.h"

#include <sys/stat.h>

using orlun_data::DataStore;
using orlun_data::DevsMgrData;
using orlun_data::UserData;

Q_DECLARE_METATYPE(DataStore::Failure)

namespace {

DataStore &store()
{
    return DataStore::_instance();
}

bool addAccount(const QString &name)
{
    orlun_data::UserInfo info;
    info.userName = name;
    info.userPwd = QStringLiteral("pw");
    return UserData::_instance().addUser(info);
}

int modeOf(const QString &path)
{
    struct stat info;
    return ::stat(QFile::encodeName(path).constData(), &info) == 0 ? int(info.st_mode & 0777) : -1;
}

// A closed store at path holding accounts a0..a<count-1>.
bool makeStore(const QString &path, int count)
{
    if (!store().open(path))
        return false;
    for (int i = 0; i < count; ++i) {
        if (!addAccount(QStringLiteral("a%1").arg(i)))
            return false;
    }
    store().close();
    return true;
}

QString integrity(const QString &path)
{
    QString result;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), "check");
        db.setDatabaseName(path);
        QSqlQuery query(db.open() ? db : QSqlDatabase());
        if (query.exec(QStringLiteral("PRAGMA integrity_check")) && query.next())
            result = query.value(0).toString();
        db.close();
    }
    QSqlDatabase::removeDatabase("check");
    return result;
}

// Runs store_helper with mode on path and waits for its first line.
bool startHelper(QProcess &helper, const QString &mode, const QString &path)
{
    helper.start(QStringLiteral(STORE_HELPER), {mode, path});
    return helper.waitForStarted() && helper.waitForReadyRead(10000);
}

} // namespace

class tst_DataStore : public QObject
{
    Q_OBJECT

private slots:
    void init() { resetHostForTest(); }

    void dataFollowsTheOpenFile();
    void openAndCloseTellTheIndexesAndListeners();
    void transactionCommitsOrRollsBack();
    void unopenableFileLeavesStoreClosed();
    void startUpProblemsAreNamedQuickly_data();
    void startUpProblemsAreNamedQuickly();
    void readOnlyStoreOpensReadOnly_data();
    void readOnlyStoreOpensReadOnly();
    void busyStoreFailsWritesQuickly();
    void filesArePrivate();
    void schemaVersionIsMigrated();
    void killDuringSavesLosesNothing();
    void fullDiskKeepsWhatWasSaved();
};

void tst_DataStore::dataFollowsTheOpenFile()
{
    // Every ":memory:" open is a new empty store.
    QVERIFY(addAccount(QStringLiteral("bob")));
    QVERIFY(store().open(QStringLiteral(":memory:")));
    QVERIFY(!UserData::_instance().isUserExist(QStringLiteral("bob")));

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("client.db"));
    QVERIFY(store().open(path));
    QCOMPARE(store().path(), path);
    QVERIFY(store().setSetting(QStringLiteral("theme"), QStringLiteral("dark")));
    QVERIFY(addAccount(QStringLiteral("bob")));
    vms_sdk::DevInfo nvr;
    nvr.devId = QStringLiteral("nvr-1");
    nvr.channelCount = 2;
    QVERIFY(DevsMgrData::_instance().addDevice(nvr));

    // Closed means empty, not stale.
    store().close();
    QVERIFY(!store().isOpen());
    QVERIFY(!UserData::_instance().isUserExist(QStringLiteral("bob")));
    QCOMPARE(DevsMgrData::_instance().getAllDevices().size(), 0);
    QCOMPARE(store().setting(QStringLiteral("theme")), QString());

    // Switching stores replaces the one connection.
    QVERIFY(store().open(QStringLiteral(":memory:")));
    QCOMPARE(store().setting(QStringLiteral("theme")), QString());
    QVERIFY(store().open(path));
    QCOMPARE(QSqlDatabase::connectionNames().size(), 1);
    QCOMPARE(store().setting(QStringLiteral("theme")), QStringLiteral("dark"));
    QCOMPARE(UserData::_instance().getUserInfo(QStringLiteral("bob")).userPwd,
             QStringLiteral("pw"));
    QCOMPARE(DevsMgrData::_instance().getDevChannels(QStringLiteral("nvr-1")).size(), 2);
}

void tst_DataStore::openAndCloseTellTheIndexesAndListeners()
{
    auto &hub = orlun_data::DataSignals::_instance();
    QSignalSpy reset(&hub, &orlun_data::DataSignals::signalCatalogReset);
    int told = 0;
    QObject receiver;
    connect(&hub, &orlun_data::DataSignals::signalStoreReloaded, &receiver, [&] {
        // Told after the store is usable, before the views' reset.
        QCOMPARE(store().isOpen(), told == 0);
        QCOMPARE(reset.count(), told);
        ++told;
    });
    QVERIFY(store().open(QStringLiteral(":memory:")));
    store().close();
    QCOMPARE(told, 2);
    QCOMPARE(reset.count(), 2);
}

void tst_DataStore::transactionCommitsOrRollsBack()
{
    auto insert = [](const QString &key) {
        QSqlQuery query(store().database());
        query.prepare(QStringLiteral("INSERT INTO settings (key, value) VALUES (?, 'x')"));
        query.addBindValue(key);
        return query.exec();
    };
    QVERIFY(!store().transaction([&] { return insert(QStringLiteral("dropped")) && false; }));
    QVERIFY(store().transaction([&] { return insert(QStringLiteral("kept")); }));
    QSqlQuery query(store().database());
    QVERIFY(query.exec(QStringLiteral("SELECT key FROM settings WHERE value = 'x'")));
    QVERIFY(query.next());
    QCOMPARE(query.value(0).toString(), QStringLiteral("kept"));
    QVERIFY(!query.next());
}

void tst_DataStore::unopenableFileLeavesStoreClosed()
{
    QVERIFY(!store().open(QStringLiteral("/nonexistent-dir/sub/client.db")));
    QVERIFY(!store().isOpen());
    QCOMPARE(QSqlDatabase::connectionNames().size(), 0);
    QVERIFY(!store().setSetting(QStringLiteral("k"), QStringLiteral("v")));
    QVERIFY(!addAccount(QStringLiteral("bob")));
}

void tst_DataStore::startUpProblemsAreNamedQuickly_data()
{
    QTest::addColumn<QString>("problem");
    QTest::addColumn<DataStore::Failure>("failure");
    QTest::newRow("missing folder") << "missing folder" << DataStore::MissingFolder;
    QTest::newRow("not a store") << "garbage" << DataStore::Corrupt;
    QTest::newRow("truncated") << "truncated" << DataStore::Corrupt;
    QTest::newRow("locked") << "locked" << DataStore::Busy;
    QTest::newRow("newer schema") << "newer" << DataStore::TooNew;
}

void tst_DataStore::startUpProblemsAreNamedQuickly()
{
    QFETCH(QString, problem);
    QFETCH(DataStore::Failure, failure);
    QTemporaryDir dir;
    QString path = dir.filePath(QStringLiteral("client.db"));
    QProcess helper;
    if (problem == "missing folder") {
        path = dir.filePath(QStringLiteral("gone/client.db"));
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
        QVERIFY(startHelper(helper, QStringLiteral("lock"), path));
    } else if (problem == "newer") {
        QVERIFY(makeStore(path, 1));
        QVERIFY(store().open(path));
        QSqlQuery(store().database()).exec(QStringLiteral("PRAGMA user_version = 99"));
        store().close();
    } else {
        QFAIL(qPrintable("unknown problem " + problem));
    }

    QElapsedTimer timer;
    timer.start();
    QVERIFY(!store().open(path));
    qDebug("%s: refused after %lld ms: %s", qPrintable(problem), timer.elapsed(),
           qPrintable(store().lastErrorText()));
    QVERIFY(timer.elapsed() < 2000);
    QCOMPARE(store().lastFailure(), failure);
    QVERIFY(store().lastErrorText().contains(path));
    QVERIFY(!store().isOpen());
    helper.kill();
    helper.waitForFinished();
}

void tst_DataStore::readOnlyStoreOpensReadOnly_data()
{
    QTest::addColumn<bool>("folder");
    QTest::newRow("read-only file") << false;
    QTest::newRow("read-only folder") << true;
}

void tst_DataStore::readOnlyStoreOpensReadOnly()
{
    QFETCH(bool, folder);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("client.db"));
    QVERIFY(makeStore(path, 2));
    const QString target = folder ? dir.path() : path;
    QVERIFY(QFile::setPermissions(target, QFileDevice::ReadOwner | QFileDevice::ExeOwner));

    QVERIFY(store().open(path));
    QVERIFY(store().isReadOnly());
    QVERIFY(UserData::_instance().isUserExist(QStringLiteral("a1")));
    QVERIFY(!addAccount(QStringLiteral("bob")));
    QCOMPARE(store().lastFailure(), DataStore::ReadOnly);
    QVERIFY(UserData::_instance().lastErrorText().contains(path));
    store().close();
    QVERIFY(QFile::setPermissions(target, QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                              QFileDevice::ExeOwner));
    QVERIFY(store().open(path));
    QVERIFY(!store().isReadOnly());
    QVERIFY(addAccount(QStringLiteral("bob")));
}

void tst_DataStore::busyStoreFailsWritesQuickly()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("client.db"));
    QVERIFY(makeStore(path, 1));
    QVERIFY(store().open(path));
    QProcess helper;
    QVERIFY(startHelper(helper, QStringLiteral("writelock"), path));

    // Reading goes on; a write gives up after the busy timeout.
    QVERIFY(UserData::_instance().isUserExist(QStringLiteral("a0")));
    QElapsedTimer timer;
    timer.start();
    QVERIFY(!addAccount(QStringLiteral("bob")));
    qDebug("a save against a locked store failed after %lld ms", timer.elapsed());
    QVERIFY(timer.elapsed() < 2000);
    QCOMPARE(store().lastFailure(), DataStore::Busy);
    QVERIFY(UserData::_instance().lastErrorText().contains(QLatin1String("locked")));
    QVERIFY(!UserData::_instance().isUserExist(QStringLiteral("bob")));

    helper.closeWriteChannel();
    QVERIFY(helper.waitForFinished());
    QVERIFY(addAccount(QStringLiteral("bob")));
}

void tst_DataStore::filesArePrivate()
{
    QTemporaryDir dir;
    const QString folder = dir.filePath(QStringLiteral("app/data"));
    QVERIFY(DataStore::makePrivateFolder(folder));
    QCOMPARE(modeOf(folder), 0700);
    const QString path = folder + QStringLiteral("/client.db");
    QVERIFY(store().open(path));
    QVERIFY(addAccount(QStringLiteral("bob")));
    for (const QString &file : {path, path + "-wal", path + "-shm"})
        QCOMPARE(modeOf(file), 0600);
    store().close();

    // A store left readable by others by an older client is tightened.
    QVERIFY(makeStore(path, 1));
    QVERIFY(::chmod(QFile::encodeName(path).constData(), 0644) == 0);
    QVERIFY(store().open(path));
    QCOMPARE(modeOf(path), 0600);
}

void tst_DataStore::schemaVersionIsMigrated()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("old.db"));
    // A store from before the version was recorded, with part of the tables.
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), "old");
        db.setDatabaseName(path);
        QVERIFY(db.open());
        QSqlQuery query(db);
        QVERIFY(query.exec("CREATE TABLE settings (key TEXT PRIMARY KEY, value TEXT)"));
        QVERIFY(query.exec("INSERT INTO settings VALUES ('theme', 'dark')"));
        db.close();
    }
    QSqlDatabase::removeDatabase("old");

    QVERIFY(store().open(path));
    QCOMPARE(store().setting(QStringLiteral("theme")), QStringLiteral("dark"));
    QVERIFY(addAccount(QStringLiteral("bob")));
    QSqlQuery query(store().database());
    QVERIFY(query.exec(QStringLiteral("PRAGMA user_version")) && query.next());
    QCOMPARE(query.value(0).toInt(), int(DataStore::SchemaVersion));
}

void tst_DataStore::killDuringSavesLosesNothing()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("client.db"));
    QVERIFY(makeStore(path, 0));
    QProcess helper;
    QVERIFY(startHelper(helper, QStringLiteral("burst"), path));
    QStringList saved;
    while (saved.size() < 40 && helper.waitForReadyRead(10000)) {
        while (helper.canReadLine())
            saved << QString::fromLatin1(helper.readLine()).trimmed();
    }
    helper.kill(); // SIGKILL, in the middle of the next save
    QVERIFY(helper.waitForFinished());
    saved << QString::fromLatin1(helper.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
    QVERIFY(saved.size() >= 40);

    QCOMPARE(integrity(path), QStringLiteral("ok"));
    QVERIFY(store().open(path));
    for (const QString &name : qAsConst(saved)) {
        QVERIFY2(UserData::_instance().isUserExist(name.trimmed()), qPrintable(name));
        QCOMPARE(UserData::_instance().getUserRes(name.trimmed()).size(), 1);
    }
}

void tst_DataStore::fullDiskKeepsWhatWasSaved()
{
    QTemporaryDir dir;
    const QString mountPoint = dir.path();
    QProcess mount;
    mount.start(QStringLiteral("mount"),
                {"-t", "tmpfs", "-o", "size=256k,mode=0700", "tmpfs", mountPoint});
    if (!mount.waitForFinished() || mount.exitStatus() != QProcess::NormalExit ||
        mount.exitCode() != 0)
        QSKIP("a small tmpfs cannot be mounted here (needs root or CAP_SYS_ADMIN); the full "
              "disk case is not run");
    auto unmount = qScopeGuard([&] {
        store().close();
        QProcess::execute(QStringLiteral("umount"), {mountPoint});
    });
    const QString path = mountPoint + QStringLiteral("/client.db");
    QVERIFY(store().open(path));
    int saved = 0;
    while (saved < 100000 && addAccount(QStringLiteral("a%1").arg(saved)))
        ++saved;
    qDebug("the disk was full after %d saves: %s", saved,
           qPrintable(UserData::_instance().lastErrorText()));
    QCOMPARE(store().lastFailure(), DataStore::DiskFull);
    QVERIFY(saved > 0);
    store().close();

    QCOMPARE(integrity(path), QStringLiteral("ok"));
    QVERIFY(store().open(path));
    QCOMPARE(UserData::_instance().getAllUsers(QString()).size(), saved);
}

QTEST_MAIN(tst_DataStore)
#include "tst_DataStore.moc"
