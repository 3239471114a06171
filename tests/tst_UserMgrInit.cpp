#include <QLabel>
#include <QListWidget>
#include <QtTest>

#include "BaseForm.h"
#include "SearchBox.h"
#include "TestSupport.h"
#include "Translations.h"
#include "UserMgrForm.h"
#include "UserMgrInit.h"

#include <dlfcn.h>
#include <memory>

using namespace orlun_userMgr;

// The module's entry as the client sees it: exported names and the forms it creates.
class tst_UserMgrInit : public QObject
{
    Q_OBJECT

private slots:
    void init() { resetHostForTest(); }
    void cleanup() { TAMCOMMON::installTranslations(QLocale::c()); }
    void exportedSymbols_data();
    void exportedSymbols();
    void formSpeaksTheLanguage_data();
    void formSpeaksTheLanguage();
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

void tst_UserMgrInit::formSpeaksTheLanguage_data()
{
    QTest::addColumn<QString>("language");
    QTest::addColumn<int>("catalogs");
    // The name caption, the "All" function, the search placeholder, then the
    // gesture hint for one dot and for four.
    QTest::addColumn<QStringList>("texts");

    QTest::newRow("none") << "C" << 0
                          << QStringList{"User Name", "All", "Search", "Connect at least 1 dots",
                                         "Connect at least 4 dots"};
    QTest::newRow("de") << "de_DE" << 5
                        << QStringList{"Benutzername", "Alle", "Suchen",
                                       "Mindestens 1 Punkt verbinden",
                                       "Mindestens 4 Punkte verbinden"};
    QTest::newRow("zh_CN") << "zh_CN" << 5
                           << QStringList{"用户名", "全部", "搜索", "请至少连接 1 个点",
                                          "请至少连接 4 个点"};
}

void tst_UserMgrInit::formSpeaksTheLanguage()
{
    QFETCH(QString, language);
    QFETCH(int, catalogs);
    QFETCH(QStringList, texts);

    QCOMPARE(TAMCOMMON::installTranslations(QLocale(language)), catalogs);
    const std::unique_ptr<orlun_base::BaseForm> form(
        TAMCOMMON::TamSingleton<UserMgrInit>::_instance().createUserMgrForm());
    QVERIFY(qobject_cast<UserMgrForm *>(form.get()) && form->isWindow());
    QCOMPARE(int(form->getFormType()), 11);
    auto *functions = form->findChild<QWidget *>("functionPowerList")->findChild<QListWidget *>();
    auto *search = form->findChild<orlun_base::SearchBox *>();
    QVERIFY(functions && search);
    const char *dots = "Connect at least %n dots";
    const QStringList shown{
        form->findChild<QLabel *>("label")->text(), functions->item(0)->text(),
        search->placeholderText(),
        QCoreApplication::translate("orlun_login::GestureDialog", dots, nullptr, 1),
        QCoreApplication::translate("orlun_login::GestureDialog", dots, nullptr, 4)};
    QCOMPARE(shown, texts);
}

QTEST_MAIN(tst_UserMgrInit)
#include "tst_UserMgrInit.moc"
