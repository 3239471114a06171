#include <QLabel>
#include <QPointer>
#include <QTemporaryDir>
#include <QtTest>

#include "BaseTools.h"
#include "FormsMgr.h"
#include "SystemWorker.h"
#include "TestSupport.h"

#include <climits>

using orlun_base::BaseForm;
using orlun_base::BaseTools;
using orlun_base::FormsMgr;
using orlun_worker::SystemAssistant;
using orlun_worker::SystemWorker;

namespace {

// Shown toasts, top to bottom.
QList<QWidget *> visibleToasts()
{
    QList<QWidget *> toasts;
    for (QWidget *widget : QApplication::topLevelWidgets()) {
        if (widget->objectName() == QLatin1String("alertToast") && widget->isVisible())
            toasts.append(widget);
    }
    std::sort(toasts.begin(), toasts.end(), [](QWidget *a, QWidget *b) { return a->y() < b->y(); });
    return toasts;
}

} // namespace

// The host services the module calls: channel ids, the form registry, the settings and the alerts.
class tst_HostServices : public QObject
{
    Q_OBJECT

private slots:
    void init() { resetHostForTest(); }
    void channelId();
    void formsMgrFindsLiveFormsByType();
    void settingsFollowTheStore();
    void superUserName_data();
    void superUserName();
    void alertsAreAnnouncedAndToastsStackAndGoAway();
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

void tst_HostServices::settingsFollowTheStore()
{
    SystemWorker &worker = SystemWorker::_instance();
    orlun_data::DataStore &store = orlun_data::DataStore::_instance();
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("client.db"));
    const int project = SystemWorker::ProjectAlarm | SystemWorker::ProjectFaceRecognition;
    auto settings = [&] {
        return worker.getSuperUserName() + QString::number(worker.getUserProject());
    };
    QVERIFY(store.open(path));
    QVERIFY(worker.setUserProject(project) && worker.setSuperUserName("root"));
    // Another store has its own settings, the first one still has them.
    QVERIFY(store.open(QStringLiteral(":memory:")));
    QCOMPARE(settings(), "admin0");
    QVERIFY(store.open(path));
    QCOMPARE(settings(), "root" + QString::number(project));
    // A closed store takes no changes, not even into memory.
    store.close();
    QVERIFY(!worker.setUserProject(SystemWorker::ProjectAll));
    QVERIFY(!worker.setSuperUserName(QStringLiteral("boss")));
    QCOMPARE(settings(), "admin0");
    QVERIFY(store.open(path));
    QCOMPARE(settings(), "root" + QString::number(project));
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

void tst_HostServices::alertsAreAnnouncedAndToastsStackAndGoAway()
{
    SystemAssistant &assistant = SystemAssistant::_instance();
    assistant.setAlertDuration(300);
    QSignalSpy alerted(&assistant, &SystemAssistant::signalMessageAlerted);
    assistant.messageAlert(QStringLiteral("Error"), QStringLiteral("Failed to add user"));
    QCOMPARE(alertTexts(alerted), QStringList{"Error: Failed to add user"});
    QCoreApplication::processEvents();
    QVERIFY(visibleToasts().isEmpty()); // pop-ups are off in tests by default

    QWidget window;
    window.setGeometry(100, 120, 800, 600);
    window.show();
    window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    assistant.setAlertPopupsEnabled(true);
    assistant.messageAlert(QStringLiteral("Notice"), QStringLiteral("first"));
    assistant.messageAlert(QStringLiteral("Warning"), QStringLiteral("second"));
    QCOMPARE(alerted.count(), 3);
    const QList<QWidget *> toasts = visibleToasts();
    QCOMPARE(toasts.size(), 2);
    QCOMPARE(toasts.at(1)->findChild<QLabel *>("alertTitle")->text() + ": " +
                 toasts.at(1)->findChild<QLabel *>("alertMessage")->text(),
             "Warning: second");
    // Stacked, over the window, which keeps the focus.
    QVERIFY(!toasts.at(1)->geometry().intersects(toasts.at(0)->geometry()));
    QVERIFY(window.frameGeometry().contains(toasts.at(0)->geometry()));
    QCOMPARE(QApplication::activeWindow(), &window);
    // They delete themselves.
    QPointer<QWidget> gone = toasts.at(0);
    QTRY_VERIFY_WITH_TIMEOUT(gone.isNull() && visibleToasts().isEmpty(), 5000);
    assistant.setAlertPopupsEnabled(false);
    assistant.setAlertDuration(3000);
}

QTEST_MAIN(tst_HostServices)
#include "tst_HostServices.moc"
