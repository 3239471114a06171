#include <QTemporaryDir>
#include <QtTest>

#include "DataStore.h"
#include "SystemWorker.h"
#include "TestSupport.h"
#include "UserData.h"

using orlun_data::DataStore;
using orlun_worker::SystemWorker;

class tst_SystemWorker : public QObject
{
    Q_OBJECT

private slots:
    void init() { resetHostForTest(); }

    void settingsFollowTheStore();
    void superUserName_data();
    void superUserName();
};

void tst_SystemWorker::settingsFollowTheStore()
{
    SystemWorker &worker = SystemWorker::_instance();
    DataStore &store = DataStore::_instance();
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("client.db"));
    const int project = SystemWorker::ProjectAlarm | SystemWorker::ProjectFaceRecognition;
    QVERIFY(store.open(path));
    QVERIFY(worker.setUserProject(project));
    QVERIFY(worker.setSuperUserName(QStringLiteral("root")));

    // Another store has its own settings, the first one still has them.
    QVERIFY(store.open(QStringLiteral(":memory:")));
    QCOMPARE(worker.getSuperUserName(), QStringLiteral("admin"));
    QCOMPARE(worker.getUserProject(), 0);
    QVERIFY(store.open(path));
    QCOMPARE(worker.getSuperUserName(), QStringLiteral("root"));
    QCOMPARE(worker.getUserProject(), project);

    // A closed store takes no changes, not even into memory.
    store.close();
    QVERIFY(!worker.setUserProject(SystemWorker::ProjectAll));
    QVERIFY(!worker.setSuperUserName(QStringLiteral("boss")));
    QCOMPARE(worker.getUserProject(), 0);
    QCOMPARE(worker.getSuperUserName(), QStringLiteral("admin"));
    QVERIFY(store.open(path));
    QCOMPARE(worker.getUserProject(), project);
}

void tst_SystemWorker::superUserName_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("accepted");
    QTest::newRow("new name") << "root" << true;
    QTest::newRow("same name, other case") << "Admin" << true;
    QTest::newRow("an account's name, other case") << "BOB" << false;
    QTest::newRow("blank") << "  " << false;
    QTest::newRow("padded") << " root" << false;
}

void tst_SystemWorker::superUserName()
{
    QFETCH(QString, name);
    QFETCH(bool, accepted);
    orlun_data::UserInfo bob;
    bob.userName = QStringLiteral("bob");
    bob.userPwd = QStringLiteral("Gate#7");
    QVERIFY(orlun_data::UserData::_instance().addUser(bob));
    SystemWorker &worker = SystemWorker::_instance();
    QCOMPARE(worker.setSuperUserName(name), accepted);
    QCOMPARE(worker.getSuperUserName(), accepted ? name : QStringLiteral("admin"));
    // The accounts see the same super user the worker reports.
    QVERIFY(orlun_data::UserData::_instance().isUserExist(worker.getSuperUserName()));
}

QTEST_MAIN(tst_SystemWorker)
#include "tst_SystemWorker.moc"
