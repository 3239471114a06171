#include <QTemporaryDir>
#include <QtTest>

#include "DataStore.h"
#include "SystemWorker.h"
#include "TestSupport.h"
#include "UserData.h"

using orlun_data::DataStore;
using orlun_worker::SystemWorker;

namespace {
SystemWorker &worker()
{
    return SystemWorker::_instance();
}
} // namespace

class tst_SystemWorker : public QObject
{
    Q_OBJECT

private slots:
    void init() { resetHostForTest(); }

    void defaultsOnAFreshStore();
    void settingsSurviveReopenAndFollowTheStore();
    void superUserName_data();
    void superUserName();
    void closedStoreRefusesChanges();
};

void tst_SystemWorker::defaultsOnAFreshStore()
{
    QCOMPARE(worker().getSuperUserName(), QStringLiteral("admin"));
    QCOMPARE(worker().getUserProject(), 0);
}

void tst_SystemWorker::settingsSurviveReopenAndFollowTheStore()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("client.db"));
    QVERIFY(DataStore::_instance().open(path));
    const int project = SystemWorker::ProjectAlarm | SystemWorker::ProjectFaceRecognition;
    QVERIFY(worker().setUserProject(project));
    QVERIFY(worker().setSuperUserName(QStringLiteral("root")));
    QCOMPARE(worker().getUserProject(), project);

    // Another store has its own settings ...
    QVERIFY(DataStore::_instance().open(QStringLiteral(":memory:")));
    QCOMPARE(worker().getSuperUserName(), QStringLiteral("admin"));
    QCOMPARE(worker().getUserProject(), 0);

    // ... and the first one still has them.
    QVERIFY(DataStore::_instance().open(path));
    QCOMPARE(worker().getSuperUserName(), QStringLiteral("root"));
    QCOMPARE(worker().getUserProject(), project);
    QVERIFY(worker().setUserProject(SystemWorker::ProjectAll));
    DataStore::_instance().close();
    QVERIFY(DataStore::_instance().open(path));
    QCOMPARE(worker().getUserProject(), int(SystemWorker::ProjectAll));
}

void tst_SystemWorker::superUserName_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("accepted");
    QTest::newRow("new name") << "root" << true;
    QTest::newRow("same name, other case") << "Admin" << true;
    QTest::newRow("an account's name") << "bob" << false;
    QTest::newRow("an account's name, other case") << "BOB" << false;
    QTest::newRow("blank") << "  " << false;
    QTest::newRow("padded") << " root" << false;
    QTest::newRow("empty") << QString() << false;
}

void tst_SystemWorker::superUserName()
{
    QFETCH(QString, name);
    QFETCH(bool, accepted);
    orlun_data::UserInfo bob;
    bob.userName = QStringLiteral("bob");
    QVERIFY(orlun_data::UserData::_instance().addUser(bob));

    QCOMPARE(worker().setSuperUserName(name), accepted);
    QCOMPARE(worker().getSuperUserName(), accepted ? name : QStringLiteral("admin"));
    // The accounts see the same super user the worker reports.
    QVERIFY(orlun_data::UserData::_instance().isUserExist(worker().getSuperUserName()));
    QCOMPARE(orlun_data::UserData::_instance().getAllUsers(worker().getSuperUserName()).size(), 1);
}

void tst_SystemWorker::closedStoreRefusesChanges()
{
    QVERIFY(worker().setUserProject(SystemWorker::ProjectTvWall));
    DataStore::_instance().close();
    QCOMPARE(worker().getUserProject(), 0);
    QVERIFY(!worker().setUserProject(SystemWorker::ProjectAll));
    QVERIFY(!worker().setSuperUserName(QStringLiteral("root")));
    QCOMPARE(worker().getUserProject(), 0);
    QCOMPARE(worker().getSuperUserName(), QStringLiteral("admin"));
}

QTEST_MAIN(tst_SystemWorker)
#include "tst_SystemWorker.moc"
