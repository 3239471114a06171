#include <QMetaMethod>
#include <QPointer>
#include <QtTest>

#include "BaseForm.h"
#include "FormsMgr.h"
#include "UserMgrForm.h"
#include "UserMgrInit.h"
#include "UserMgrSignals.h"

#include <dlfcn.h>
#include <memory>

using namespace orlun_userMgr;

// The module's entry as the client sees it: exported names, the singleton
// entry object, the forms it creates and the module-wide signal hub.
class tst_UserMgrInit : public QObject
{
    Q_OBJECT

private slots:
    void exportedSymbols_data();
    void exportedSymbols();
    void entryIsOneParentlessObject();
    void createsIndependentForms();
    void formAnswersTypeElevenToFormsMgr();
    void hubSignalsInOrder();
    void hubReachesEveryLiveListener();
};

void tst_UserMgrInit::exportedSymbols_data()
{
    QTest::addColumn<QByteArray>("symbol");
    QTest::newRow("singleton accessor")
        << QByteArray("_ZN9TAMCOMMON12TamSingletonIN13orlun_userMgr11UserMgrInitEE9_instanceEv");
    QTest::newRow("createUserMgrForm")
        << QByteArray("_ZN13orlun_userMgr11UserMgrInit17createUserMgrFormEv");
    QTest::newRow("staticMetaObject")
        << QByteArray("_ZN13orlun_userMgr11UserMgrInit16staticMetaObjectE");
}

void tst_UserMgrInit::exportedSymbols()
{
    // A client resolves these by name from the shared library; an inline-only
    // template member or hidden visibility would make them disappear.
    QFETCH(QByteArray, symbol);
    void *lib = dlopen("liborlun_userMgr.so", RTLD_NOW | RTLD_NOLOAD);
    QVERIFY2(lib, dlerror());
    QVERIFY2(dlsym(lib, symbol.constData()), symbol.constData());
    dlclose(lib);
}

void tst_UserMgrInit::entryIsOneParentlessObject()
{
    UserMgrInit &first = TAMCOMMON::TamSingleton<UserMgrInit>::_instance();
    UserMgrInit &second = TAMCOMMON::TamSingleton<UserMgrInit>::_instance();
    QCOMPARE(&first, &second);
    QCOMPARE(first.parent(), nullptr);
    QVERIFY(qobject_cast<orlun_base::ModuleInitialization *>(&first));
}

void tst_UserMgrInit::createsIndependentForms()
{
    UserMgrInit &entry = TAMCOMMON::TamSingleton<UserMgrInit>::_instance();
    std::unique_ptr<orlun_base::BaseForm> a(entry.createUserMgrForm());
    std::unique_ptr<orlun_base::BaseForm> b(entry.createUserMgrForm());
    QVERIFY(a && b);
    QVERIFY(a.get() != b.get());
    QCOMPARE(a->parent(), nullptr);
    QVERIFY(qobject_cast<UserMgrForm *>(a.get()));

    // Children die with the form the caller owns.
    QPointer<QWidget> child = new QWidget(a.get());
    a.reset();
    QVERIFY(child.isNull());
    QVERIFY(b->isWindow());
}

void tst_UserMgrInit::formAnswersTypeElevenToFormsMgr()
{
    std::unique_ptr<orlun_base::BaseForm> form(
        TAMCOMMON::TamSingleton<UserMgrInit>::_instance().createUserMgrForm());
    QCOMPARE(int(form->getFormType()), 11);

    auto &mgr = TAMCOMMON::TamSingleton<orlun_base::FormsMgr>::_instance();
    mgr.registerForm(form.get());
    QCOMPARE(mgr.getForm(orlun_base::FormType(11)), form.get());
    form.reset();
    QCOMPARE(mgr.getForm(orlun_base::FormType(11)), nullptr);
}

void tst_UserMgrInit::hubSignalsInOrder()
{
    UserMgrSignals &hub = TAMCOMMON::TamSingleton<UserMgrSignals>::_instance();
    QCOMPARE(&hub, &TAMCOMMON::TamSingleton<UserMgrSignals>::_instance());
    QCOMPARE(hub.parent(), nullptr);

    const QMetaObject *mo = hub.metaObject();
    QCOMPARE(mo->className(), "orlun_userMgr::UserMgrSignals");
    QCOMPARE(mo->methodCount() - mo->methodOffset(), 2);
    const QMetaMethod edit = mo->method(mo->methodOffset());
    const QMetaMethod del = mo->method(mo->methodOffset() + 1);
    QCOMPARE(edit.methodSignature(), QByteArray("signalEditUser(QString)"));
    QCOMPARE(del.methodSignature(), QByteArray("signalDeleteUser(QString)"));
    QCOMPARE(edit.methodType(), QMetaMethod::Signal);
    QCOMPARE(del.methodType(), QMetaMethod::Signal);
}

void tst_UserMgrInit::hubReachesEveryLiveListener()
{
    UserMgrSignals &hub = TAMCOMMON::TamSingleton<UserMgrSignals>::_instance();
    auto first = std::make_unique<QObject>();
    QObject second;
    QStringList heard;
    connect(&hub, &UserMgrSignals::signalDeleteUser, first.get(),
            [&heard](const QString &name) { heard << QStringLiteral("first:") + name; });
    connect(&hub, &UserMgrSignals::signalDeleteUser, &second,
            [&heard](const QString &name) { heard << QStringLiteral("second:") + name; });

    // Delivery is direct: listeners have run when emit returns.
    emit hub.signalDeleteUser(QStringLiteral("bob"));
    QCOMPARE(heard, (QStringList{"first:bob", "second:bob"}));

    // A destroyed listener's connection ends with it.
    first.reset();
    heard.clear();
    emit hub.signalDeleteUser(QStringLiteral("amy"));
    QCOMPARE(heard, QStringList{"second:amy"});
}

QTEST_MAIN(tst_UserMgrInit)
#include "tst_UserMgrInit.moc"
