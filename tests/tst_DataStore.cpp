#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QtTest>

#include "DataSignals.h"
#include "DataStore.h"
#include "DevsMgrData.h"
#include "TestSupport.h"
#include "UserData.h"

using orlun_data::DataStore;
using orlun_data::DevsMgrData;
using orlun_data::UserData;

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
    QSignalSpy reset(&orlun_data::DataSignals::_instance(),
                     &orlun_data::DataSignals::signalCatalogReset);
    int told = 0;
    const int handle = store().addReloadListener([&] {
        // Listeners run after the store is usable.
        QCOMPARE(store().isOpen(), told == 0);
        ++told;
    });
    QVERIFY(store().open(QStringLiteral(":memory:")));
    store().close();
    QCOMPARE(told, 2);
    QCOMPARE(reset.count(), 2);
    store().removeReloadListener(handle);
    QVERIFY(store().open(QStringLiteral(":memory:")));
    QCOMPARE(told, 2);
    QCOMPARE(reset.count(), 3);
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
    QVERIFY(query.exec(QStringLiteral("SELECT group_concat(key) FROM settings WHERE value = 'x'")));
    QVERIFY(query.next());
    QCOMPARE(query.value(0).toString(), QStringLiteral("kept"));
}

void tst_DataStore::unopenableFileLeavesStoreClosed()
{
    QVERIFY(!store().open(QStringLiteral("/nonexistent-dir/sub/client.db")));
    QVERIFY(!store().isOpen());
    QCOMPARE(QSqlDatabase::connectionNames().size(), 0);
    QVERIFY(!store().setSetting(QStringLiteral("k"), QStringLiteral("v")));
    QVERIFY(!addAccount(QStringLiteral("bob")));
}

QTEST_MAIN(tst_DataStore)
#include "tst_DataStore.moc"
