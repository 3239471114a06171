#include <QLabel>
#include <QPointer>
#include <QtTest>

#include "DictDef.h"
#include "SystemAssistant.h"
#include "TestSupport.h"

using orlun_worker::SystemAssistant;

namespace {

SystemAssistant &assistant()
{
    return SystemAssistant::_instance();
}

QList<QWidget *> visibleToasts()
{
    QList<QWidget *> toasts;
    for (QWidget *widget : QApplication::topLevelWidgets()) {
        if (widget->objectName() == QLatin1String("alertToast") && widget->isVisible())
            toasts.append(widget);
    }
    return toasts;
}

QString labelText(QWidget *toast, const char *name)
{
    auto *label = toast->findChild<QLabel *>(QString::fromLatin1(name));
    return label ? label->text() : QStringLiteral("<no label>");
}

} // namespace

class tst_SystemAssistant : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void alertIsAnnouncedWithoutPopUps();
    void toastShowsTheAlertAndGoesAway();
    void toastSitsAtTheTopCentreOfTheActiveWindow();
    void toastsStackInsteadOfOverlapping();
    void dictionaryTitles();
};

void tst_SystemAssistant::init()
{
    resetHostForTest();
    assistant().setAlertDuration(300);
}

void tst_SystemAssistant::cleanup()
{
    // Let every toast of the test run out before the next one counts them.
    QTRY_VERIFY_WITH_TIMEOUT(visibleToasts().isEmpty(), 5000);
    assistant().setAlertPopupsEnabled(false);
    assistant().setAlertDuration(3000);
}

void tst_SystemAssistant::alertIsAnnouncedWithoutPopUps()
{
    QSignalSpy alerted(&assistant(), &SystemAssistant::signalMessageAlerted);
    assistant().messageAlert(QStringLiteral("Error"), QStringLiteral("Failed to add user"));
    QCOMPARE(alerted.count(), 1);
    QCOMPARE(alerted.at(0).at(0).toString(), QStringLiteral("Error"));
    QCOMPARE(alerted.at(0).at(1).toString(), QStringLiteral("Failed to add user"));
    QCoreApplication::processEvents();
    QVERIFY(visibleToasts().isEmpty());
}

void tst_SystemAssistant::toastShowsTheAlertAndGoesAway()
{
    assistant().setAlertPopupsEnabled(true);
    int toastsWhenAnnounced = -1;
    connect(&assistant(), &SystemAssistant::signalMessageAlerted, this,
            [&] { toastsWhenAnnounced = visibleToasts().size(); });

    assistant().messageAlert(QStringLiteral("Notice"), QStringLiteral("Saved"));
    QCOMPARE(toastsWhenAnnounced, 0); // announced first, then shown
    const QList<QWidget *> toasts = visibleToasts();
    QCOMPARE(toasts.size(), 1);
    QPointer<QWidget> toast = toasts.first();
    QCOMPARE(labelText(toast, "alertTitle"), QStringLiteral("Notice"));
    QCOMPARE(labelText(toast, "alertMessage"), QStringLiteral("Saved"));
    QVERIFY(toast->windowFlags() & Qt::FramelessWindowHint);
    QVERIFY(toast->testAttribute(Qt::WA_ShowWithoutActivating));
    QVERIFY(toast->styleSheet().contains(QLatin1String("#213147")));

    // It fades and deletes itself without anyone closing it.
    QTRY_VERIFY_WITH_TIMEOUT(toast && toast->windowOpacity() < 1.0, 2000);
    QTRY_VERIFY_WITH_TIMEOUT(toast.isNull(), 3000);
    disconnect(&assistant(), nullptr, this, nullptr);
}

void tst_SystemAssistant::toastSitsAtTheTopCentreOfTheActiveWindow()
{
    QWidget window;
    window.setGeometry(100, 120, 800, 600);
    window.show();
    window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&window));

    assistant().setAlertPopupsEnabled(true);
    assistant().messageAlert(QStringLiteral("Warning"), QStringLiteral("Please select user"));
    const QList<QWidget *> toasts = visibleToasts();
    QCOMPARE(toasts.size(), 1);
    const QRect frame = window.frameGeometry();
    const QRect toast = toasts.first()->geometry();
    QVERIFY2(
        qAbs(toast.center().x() - frame.center().x()) <= 1,
        qPrintable(
            QStringLiteral("toast %1, window %2").arg(toast.center().x()).arg(frame.center().x())));
    QVERIFY(toast.top() > frame.top());
    QVERIFY(toast.bottom() < frame.center().y());
    // The notice does not steal the focus from the window below.
    QCOMPARE(QApplication::activeWindow(), &window);
}

void tst_SystemAssistant::toastsStackInsteadOfOverlapping()
{
    assistant().setAlertPopupsEnabled(true);
    assistant().messageAlert(QStringLiteral("Notice"), QStringLiteral("first"));
    assistant().messageAlert(QStringLiteral("Notice"), QStringLiteral("second"));
    assistant().messageAlert(QStringLiteral("Notice"), QStringLiteral("third"));
    QList<QWidget *> toasts = visibleToasts();
    QCOMPARE(toasts.size(), 3);
    std::sort(toasts.begin(), toasts.end(), [](QWidget *a, QWidget *b) { return a->y() < b->y(); });
    QCOMPARE(labelText(toasts.at(0), "alertMessage"), QStringLiteral("first"));
    QCOMPARE(labelText(toasts.at(2), "alertMessage"), QStringLiteral("third"));
    for (int i = 1; i < toasts.size(); ++i)
        QVERIFY(!toasts.at(i)->geometry().intersects(toasts.at(i - 1)->geometry()));

    // Once they are gone, the next one starts at the top again.
    const int top = toasts.first()->y();
    QTRY_VERIFY_WITH_TIMEOUT(visibleToasts().isEmpty(), 5000);
    assistant().messageAlert(QStringLiteral("Notice"), QStringLiteral("fourth"));
    QCOMPARE(visibleToasts().size(), 1);
    QCOMPARE(visibleToasts().first()->y(), top);
}

void tst_SystemAssistant::dictionaryTitles()
{
    const orlun_worker::DictDef &dict = orlun_worker::DictDef::_instance();
    QCOMPARE(dict.noticeTitle, QStringLiteral("Notice"));
    QCOMPARE(dict.errorTitle, QStringLiteral("Error"));
    QCOMPARE(dict.warningTitle, QStringLiteral("Warning"));
}

QTEST_MAIN(tst_SystemAssistant)
#include "tst_SystemAssistant.moc"
