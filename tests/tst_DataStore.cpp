#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QtTest>

#include "DataSignals.h"
#include "DataStore.h"
#include "DevsMgrData.h"
#include "TestSupport.h"
#include "UserData.h"

using orlun_data::DataSignals;
using orlun_data::DataStore;
using orlun_data::DevsMgrData;
using orlun_data::UserData;

namespace {

int countRows(const QString &sql)
{
    QSqlQuery query(DataStore::_instance().database());
    if (!query.exec(sql) || !query.next())
        return -1;
    return query.value(0).toInt();
}

orlun_data::UserInfo account(const QString &name)
{
    orlun_data::UserInfo info;
    info.userName = name;
    info.userPwd = QStringLiteral("pw");
    return info;
}

QStringList storeConnections()
{
    QStringList names;
    for (const QString &name : QSqlDatabase::connectionNames()) {
        if (name.startsWith(QLatin1String("orlun_data_store")))
            names.append(name);
    }
    return names;
}

} // namespace

class tst_DataStore : public QObject
{
    Q_OBJECT

private slots:
    void init() { resetHostForTest(); }

    void schemaIsCreated_data();
    void schemaIsCreated();
    void memoryStoreIsFreshOnEveryOpen();
    void dataSurvivesCloseAndReopen();
    void reopeningReplacesTheConnection();
    void openAndCloseTellTheIndexesAndListeners();
    void transactionCommitsOrRollsBack();
    void unopenableFileLeavesStoreClosed();
};

void tst_DataStore::schemaIsCreated_data()
{
    QTest::addColumn<QString>("type");
    QTest::addColumn<QString>("name");
    for (const char *table : {"settings", "users", "user_res", "gestures", "devices", "channels",
                              "groups", "group_channels"})
        QTest::newRow(table) << "table" << table;
    QTest::newRow("grants by user") << "index"
                                    << "idx_user_res_user";
    QTest::newRow("members by channel") << "index"
                                        << "idx_group_channels_channel";
}

void tst_DataStore::schemaIsCreated()
{
    QFETCH(QString, type);
    QFETCH(QString, name);
    QSqlQuery query(DataStore::_instance().database());
    query.prepare(QStringLiteral("SELECT COUNT(*) FROM sqlite_master WHERE type = ? AND name = ?"));
    query.addBindValue(type);
    query.addBindValue(name);
    QVERIFY(query.exec() && query.next());
    QCOMPARE(query.value(0).toInt(), 1);
}

void tst_DataStore::memoryStoreIsFreshOnEveryOpen()
{
    DataStore &store = DataStore::_instance();
    QVERIFY(store.setSetting(QStringLiteral("k"), QStringLiteral("v")));
    QVERIFY(UserData::_instance().addUser(account(QStringLiteral("bob"))));
    QCOMPARE(store.setting(QStringLiteral("k")), QStringLiteral("v"));

    QVERIFY(store.open(QStringLiteral(":memory:")));
    QCOMPARE(store.setting(QStringLiteral("k"), QStringLiteral("none")), QStringLiteral("none"));
    QVERIFY(!UserData::_instance().isUserExist(QStringLiteral("bob")));
    QCOMPARE(countRows(QStringLiteral("SELECT COUNT(*) FROM users")), 0);
}

void tst_DataStore::dataSurvivesCloseAndReopen()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("client.db"));
    DataStore &store = DataStore::_instance();
    QVERIFY(store.open(path));
    QCOMPARE(store.path(), path);
    QVERIFY(store.setSetting(QStringLiteral("theme"), QStringLiteral("dark")));
    QVERIFY(UserData::_instance().addUser(account(QStringLiteral("bob"))));
    vms_sdk::DevInfo nvr;
    nvr.devId = QStringLiteral("nvr-1");
    nvr.devName = QStringLiteral("Gate");
    nvr.channelCount = 2;
    QVERIFY(DevsMgrData::_instance().addDevice(nvr));

    store.close();
    QVERIFY(!store.isOpen());
    // Closed means empty, not stale.
    QVERIFY(!UserData::_instance().isUserExist(QStringLiteral("bob")));
    QCOMPARE(DevsMgrData::_instance().getAllDevices().size(), 0);
    QCOMPARE(store.setting(QStringLiteral("theme")), QString());

    QVERIFY(store.open(path));
    QCOMPARE(store.setting(QStringLiteral("theme")), QStringLiteral("dark"));
    QCOMPARE(UserData::_instance().getUserInfo(QStringLiteral("bob")).userPwd,
             QStringLiteral("pw"));
    QCOMPARE(DevsMgrData::_instance().getDevChannels(QStringLiteral("nvr-1")).size(), 2);
}

void tst_DataStore::reopeningReplacesTheConnection()
{
    QTemporaryDir dir;
    DataStore &store = DataStore::_instance();
    QVERIFY(store.open(dir.filePath(QStringLiteral("a.db"))));
    QVERIFY(store.setSetting(QStringLiteral("which"), QStringLiteral("a")));
    QVERIFY(store.open(dir.filePath(QStringLiteral("b.db"))));
    QCOMPARE(storeConnections().size(), 1);
    QCOMPARE(store.setting(QStringLiteral("which")), QString());
    QVERIFY(store.open(dir.filePath(QStringLiteral("a.db"))));
    QCOMPARE(storeConnections().size(), 1);
    QCOMPARE(store.setting(QStringLiteral("which")), QStringLiteral("a"));
}

void tst_DataStore::openAndCloseTellTheIndexesAndListeners()
{
    DataStore &store = DataStore::_instance();
    QSignalSpy reset(&DataSignals::_instance(), &DataSignals::signalCatalogReset);
    int told = 0;
    const int handle = store.addReloadListener([&] {
        // Listeners run after the store is usable.
        QCOMPARE(store.isOpen(), told == 0);
        ++told;
    });
    QVERIFY(store.open(QStringLiteral(":memory:")));
    QCOMPARE(told, 1);
    QCOMPARE(reset.count(), 1);
    store.close();
    QCOMPARE(told, 2);
    QCOMPARE(reset.count(), 2);

    store.removeReloadListener(handle);
    QVERIFY(store.open(QStringLiteral(":memory:")));
    QCOMPARE(told, 2);
    QCOMPARE(reset.count(), 3);
}

void tst_DataStore::transactionCommitsOrRollsBack()
{
    DataStore &store = DataStore::_instance();
    auto insert = [&](const QString &key) {
        QSqlQuery query(store.database());
        query.prepare(QStringLiteral("INSERT INTO settings (key, value) VALUES (?, 'x')"));
        query.addBindValue(key);
        return query.exec();
    };
    QVERIFY(!store.transaction([&] { return insert(QStringLiteral("dropped")) && false; }));
    QVERIFY(store.transaction([&] { return insert(QStringLiteral("kept")); }));
    QCOMPARE(countRows(QStringLiteral("SELECT COUNT(*) FROM settings WHERE key = 'dropped'")), 0);
    QCOMPARE(countRows(QStringLiteral("SELECT COUNT(*) FROM settings WHERE key = 'kept'")), 1);
    // A failing statement inside rolls back the ones before it.
    QVERIFY(!store.transaction(
        [&] { return insert(QStringLiteral("first")) && insert(QStringLiteral("kept")); }));
    QCOMPARE(countRows(QStringLiteral("SELECT COUNT(*) FROM settings WHERE key = 'first'")), 0);
}

void tst_DataStore::unopenableFileLeavesStoreClosed()
{
    DataStore &store = DataStore::_instance();
    QVERIFY(!store.open(QStringLiteral("/nonexistent-dir/sub/client.db")));
    QVERIFY(!store.isOpen());
    QVERIFY(storeConnections().isEmpty());
    QVERIFY(!store.setSetting(QStringLiteral("k"), QStringLiteral("v")));
    QVERIFY(!UserData::_instance().addUser(account(QStringLiteral("bob"))));
    QVERIFY(!UserData::_instance().isUserExist(QStringLiteral("bob")));
}

QTEST_MAIN(tst_DataStore)
#include "tst_DataStore.moc"
