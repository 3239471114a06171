// The demo client: opens (and on first run seeds) a store, dresses the
// application in the dark theme and shows the user management form the way
// the full client hosts it. Without a display, or with --screenshot, it renders
// the form offscreen into a PNG and exits.

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>
#include <QLocale>
#include <QStandardPaths>
#include <QTextStream>
#include <QTimer>

#include "BaseForm.h"
#include "DataSignals.h"
#include "DataStore.h"
#include "DictDef.h"
#include "FormsMgr.h"
#include "SystemAssistant.h"
#include "TamSingleton.h"
#include "Translations.h"
#include "UserData.h"
#include "UserMgrInit.h"

#include "DarkTheme.h"
#include "DemoSeeder.h"
#include "RemoteChangeBar.h"

#include <cstring>
#include <functional>
#include <memory>

namespace {

// Long enough for the form's first layout pass and the deferred refresh of the
// channel table to land before the picture is taken.
constexpr int SettleMs = 500;

bool hasDisplay()
{
    return !qEnvironmentVariableIsEmpty("DISPLAY") ||
           !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
}

bool asksForScreenshot(int argc, char *argv[])
{
    for (int i = 1; i < argc; ++i) {
        const char *arg = argv[i];
        while (*arg == '-')
            ++arg;
        if (std::strncmp(arg, "screenshot", 10) == 0 && (arg[10] == '\0' || arg[10] == '='))
            return true;
    }
    return false;
}

// Has to be decided before QApplication exists: the xcb platform aborts the
// process when it finds no display, and a screenshot run should not flash a
// window on a desktop. An explicit QT_QPA_PLATFORM always wins.
void choosePlatform(int argc, char *argv[])
{
    if (qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        return;
    if (!hasDisplay() || asksForScreenshot(argc, argv))
        qputenv("QT_QPA_PLATFORM", "offscreen");
}

bool isHeadless()
{
    const QString platform = QGuiApplication::platformName();
    return platform == QLatin1String("offscreen") || platform == QLatin1String("minimal");
}

QString defaultStorePath()
{
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    orlun_data::DataStore::makePrivateFolder(folder);
    return QDir(folder).filePath(QStringLiteral("orlun.db"));
}

bool saveScreenshot(QWidget *form, const QString &file)
{
    const QString path = QFileInfo(file).absoluteFilePath();
    QDir().mkpath(QFileInfo(path).absolutePath());
    if (!form->grab().save(path, "PNG")) {
        QTextStream(stderr) << QCoreApplication::translate("main", "Cannot write %1").arg(path)
                            << '\n';
        return false;
    }
    QTextStream(stdout) << QCoreApplication::translate("main", "Screenshot written to %1").arg(path)
                        << '\n';
    return true;
}

// Read before the parser is built, so that its help texts are translated too.
QString requestedLanguage(const QStringList &args)
{
    const QString option = QStringLiteral("--lang");
    for (int i = 1; i < args.size(); ++i) {
        if (args.at(i) == option && i + 1 < args.size())
            return args.at(i + 1);
        if (args.at(i).startsWith(option + QLatin1Char('=')))
            return args.at(i).mid(option.size() + 1);
    }
    return QLocale::system().name();
}

} // namespace

int main(int argc, char *argv[])
{
    choosePlatform(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("Orlun"));
    QCoreApplication::setApplicationName(QStringLiteral("orlun_client"));
    QApplication app(argc, argv);
    const QLocale locale(requestedLanguage(QCoreApplication::arguments()));
    QLocale::setDefault(locale);
    TAMCOMMON::installTranslations(locale);

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QCoreApplication::translate("main", "Demo client that hosts the user management module."));
    parser.addHelpOption();
    const QCommandLineOption dbOption(
        QStringLiteral("db"),
        QCoreApplication::translate(
            "main", "Store to open: a file, or a database shared by several workstations as "
                    "postgresql://user@host:port/dbname (the password goes in ~/.pgpass); "
                    "created and seeded when new."),
        QCoreApplication::translate("main", "path or URL"), defaultStorePath());
    const QCommandLineOption screenshotOption(
        QStringLiteral("screenshot"),
        QCoreApplication::translate("main", "Render the form offscreen into a PNG and exit."),
        QCoreApplication::translate("main", "file"));
    const QCommandLineOption demoSiteOption(
        QStringLiteral("demo-site"),
        QCoreApplication::translate(
            "main", "Seed a new store with a large site of this many 16-channel NVRs."),
        QCoreApplication::translate("main", "devices"));
    const QCommandLineOption demoAccountsOption(
        QStringLiteral("demo-accounts"),
        QCoreApplication::translate("main",
                                    "Accounts of the large site (with --demo-site; default 1000)."),
        QCoreApplication::translate("main", "count"), QStringLiteral("1000"));
    const QCommandLineOption langOption(
        QStringLiteral("lang"),
        QCoreApplication::translate(
            "main", "Language of the texts, such as zh_CN or de; the system's by default."),
        QCoreApplication::translate("main", "language"));
    parser.addOption(langOption);
    parser.addOption(dbOption);
    parser.addOption(screenshotOption);
    parser.addOption(demoSiteOption);
    parser.addOption(demoAccountsOption);
    parser.process(app);

    const QString storePath = parser.value(dbOption);
    orlun_data::DataStore &store = orlun_data::DataStore::_instance();
    if (!store.open(storePath)) {
        QTextStream(stderr) << store.lastErrorText() << '\n';
        return 1;
    }

    // Nothing can be saved to a read-only store; say so before anyone tries.
    QString readOnlyText;
    if (store.isReadOnly()) {
        readOnlyText = QCoreApplication::translate(
                           "main", "The store %1 is read-only: accounts can be viewed but "
                                   "changes will not be saved.")
                           .arg(storePath);
        QTextStream(stderr) << readOnlyText << '\n';
    }

    DemoSeeder seeder;
    if (parser.isSet(demoSiteOption))
        seeder.setLargeSite(parser.value(demoSiteOption).toInt(),
                            parser.value(demoAccountsOption).toInt());
    switch (store.isReadOnly() ? DemoSeeder::AlreadyPopulated : seeder.seedIfEmpty()) {
    case DemoSeeder::AlreadyPopulated:
        break;
    case DemoSeeder::Seeded:
        QTextStream(stdout)
            << QCoreApplication::translate("main", "Seeded a demo site into %1").arg(storePath)
            << '\n';
        break;
    case DemoSeeder::Failed:
        QTextStream(stderr) << QCoreApplication::translate(
                                   "main", "The demo site is incomplete; refused writes: %1")
                                   .arg(seeder.failures().join(QStringLiteral(", ")))
                            << '\n';
        break;
    }

    DarkTheme::apply(app);

    // Accounts the form cannot show as stored (written by older clients or
    // other tools) are named once; the administrator decides what becomes
    // of them, so nothing is changed here.
    QString invalidText;
    const QStringList invalid = orlun_data::UserData::_instance().invalidRecords();
    if (!invalid.isEmpty()) {
        invalidText = QCoreApplication::translate(
                          "main", "These accounts break the account rules and cannot be "
                                  "saved from the form until corrected: %1")
                          .arg(invalid.join(QStringLiteral("; ")));
        QTextStream(stderr) << invalidText << '\n';
    }

    // The form is parentless and ours; the form manager only looks it up.
    std::unique_ptr<orlun_base::BaseForm> form;
    std::function<void()> buildForm = [&] {
        if (form)
            orlun_base::FormsMgr::_instance().unregisterForm(form.get());
        form.reset(
            TAMCOMMON::TamSingleton<orlun_userMgr::UserMgrInit>::_instance().createUserMgrForm());
        orlun_base::FormsMgr::_instance().registerForm(form.get());
        form->setWindowTitle(QCoreApplication::translate("main", "User Management"));
        // Accounts changed at another workstation of a shared store, which
        // the form does not follow by itself.
        auto *bar = new RemoteChangeBar(form.get());
        QObject::connect(&orlun_data::DataSignals::_instance(),
                         &orlun_data::DataSignals::signalUsersChanged, bar,
                         &RemoteChangeBar::addChangedAccounts);
        // The form, the store and this function live until main returns,
        // after the application and its connections are gone.
        QObject::connect(bar, &RemoteChangeBar::reloadRequested, &app,
                         [&app, formSlot = &form, build = &buildForm] {
                             // The bar dies with the form it sits on: rebuild once it returned.
                             QTimer::singleShot(0, &app, [formSlot, build] {
                                 const bool maximized = (*formSlot)->isMaximized();
                                 orlun_data::DataStore &reopened =
                                     orlun_data::DataStore::_instance();
                                 if (!reopened.open(reopened.path()))
                                     QTextStream(stderr) << reopened.lastErrorText() << '\n';
                                 (*build)();
                                 if (maximized)
                                     (*formSlot)->showMaximized();
                                 else
                                     (*formSlot)->show();
                             });
                         });
    };
    buildForm();

    QString screenshot = parser.value(screenshotOption);
    if (screenshot.isEmpty() && isHeadless())
        screenshot = QStringLiteral("userMgr.png");
    // On a desktop the form gets the whole screen: beside the tree, the
    // granted channels table needs more than the form's design width.
    if (screenshot.isEmpty())
        form->showMaximized();
    else
        form->show();
    // Once the form is up, so the toasts have a window to sit on.
    for (const QString &warning : {readOnlyText, invalidText}) {
        if (warning.isEmpty())
            continue;
        QTimer::singleShot(0, form.get(), [warning] {
            orlun_worker::SystemAssistant::_instance().messageAlert(
                orlun_worker::DictDef::_instance().warningTitle, warning);
        });
    }
    if (!screenshot.isEmpty()) {
        QTimer::singleShot(SettleMs, form.get(), [&form, screenshot] {
            QCoreApplication::exit(saveScreenshot(form.get(), screenshot) ? 0 : 1);
        });
    }

    const int status = app.exec();
    form.reset();
    store.close();
    return status;
}
