#include <QLabel>
#include <QListWidget>
#include <QtTest>

#include "BaseForm.h"
#include "SearchBox.h"
#include "TamSingleton.h"
#include "TestSupport.h"
#include "Translations.h"
#include "UserMgrInit.h"

#include <memory>

class tst_Translations : public QObject
{
    Q_OBJECT

private slots:
    void init() { resetHostForTest(); }
    void cleanup() { TAMCOMMON::installTranslations(QLocale::c()); }
    void formSpeaksTheLanguage_data();
    void formSpeaksTheLanguage();
};

void tst_Translations::formSpeaksTheLanguage_data()
{
    QTest::addColumn<QString>("language");
    // The five libraries this test loads: module, base, data, worker, login.
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

void tst_Translations::formSpeaksTheLanguage()
{
    QFETCH(QString, language);
    QFETCH(int, catalogs);
    QFETCH(QStringList, texts);

    QCOMPARE(TAMCOMMON::installTranslations(QLocale(language)), catalogs);
    const std::unique_ptr<orlun_base::BaseForm> form(
        TAMCOMMON::TamSingleton<orlun_userMgr::UserMgrInit>::_instance().createUserMgrForm());
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

QTEST_MAIN(tst_Translations)
#include "tst_Translations.moc"
