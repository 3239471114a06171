#include <QtTest>

#include "BaseTools.h"
#include "FormsMgr.h"
#include "SystemWorker.h"
#include "TestSupport.h"

#include <climits>

using orlun_base::BaseForm;
using orlun_base::BaseTools;
using orlun_base::FormsMgr;
using orlun_worker::SystemWorker;

class tst_HostServices : public QObject
{
    Q_OBJECT

private slots:
    void init() { resetHostForTest(); }
    void channelId();
    void formsMgrFindsLiveFormsByType();
    void superUserName_data();
    void superUserName();
};

void tst_HostServices::channelId()
{
    BaseTools &tools = BaseTools::_instance();
    QCOMPARE(tools.formatChannelId(QStringLiteral("nvr#2"), 5), QStringLiteral("nvr#2#5"));
    // The last separator splits: device ids may contain it.
    using Key = QPair<QString, int>;
    for (const Key &key : {Key("dev1", 0), Key("nvr#2", 5), Key("##", 3), Key("big", INT_MAX)})
        QCOMPARE(tools.formatChannelId(tools.formatChannelId(key.first, key.second)), key);
    for (const char *bad :
         {"", "dev1", "dev1#", "#5", "dev1#x", "dev1#01", "dev1#+1", "dev1# 1", "dev1#99999999999"})
        QVERIFY2(tools.formatChannelId(QString::fromUtf8(bad)) == Key(QString(), -1), bad);
}

void tst_HostServices::formsMgrFindsLiveFormsByType()
{
    FormsMgr mgr;
    auto *first = new TypedForm(orlun_base::FormUserMgr);
    TypedForm log(orlun_base::FormLog), second(orlun_base::FormUserMgr);
    // Registering twice, or nothing, is harmless.
    for (TypedForm *form : {first, first, &log, static_cast<TypedForm *>(nullptr)})
        mgr.registerForm(form);
    QCOMPARE(mgr.getForm(orlun_base::FormType(11)), first);
    QCOMPARE(mgr.getForm(orlun_base::FormLog), &log);
    QVERIFY(!mgr.getForm(orlun_base::FormPreview));
    // A later form of the same type replaces the earlier one, whose death
    // must not take the new one's entry with it; dying with a parent counts.
    mgr.registerForm(&second);
    delete first;
    QCOMPARE(mgr.getForm(orlun_base::FormUserMgr), &second);
    auto *owner = new QWidget;
    mgr.registerForm(new TypedForm(orlun_base::FormEMap, owner));
    delete owner;
    QVERIFY(!mgr.getForm(orlun_base::FormEMap));
    mgr.unregisterForm(&log);
    QVERIFY(!mgr.getForm(orlun_base::FormLog));
}

void tst_HostServices::superUserName_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("accepted");
    QTest::newRow("new name") << "root" << true;
    QTest::newRow("same name, other case") << "Admin" << true;
    QTest::newRow("an account's name, other case") << "BOB" << false;
    QTest::newRow("blank") << "  " << false;
    QTest::newRow("padded") << " root" << false;
}

void tst_HostServices::superUserName()
{
    QFETCH(QString, name);
    QFETCH(bool, accepted);
    QVERIFY(hostUsers().addUser({"bob", "Gate#7", 2, -1, QString(), QString()}));
    SystemWorker &worker = SystemWorker::_instance();
    QCOMPARE(worker.setSuperUserName(name), accepted);
    QCOMPARE(worker.getSuperUserName(), accepted ? name : QStringLiteral("admin"));
    // The accounts see the same super user the worker reports.
    QVERIFY(hostUsers().isUserExist(worker.getSuperUserName()));
}

QTEST_MAIN(tst_HostServices)
#include "tst_HostServices.moc"
