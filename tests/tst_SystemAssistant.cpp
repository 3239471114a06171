#include <QLabel>
#include <QPointer>
#include <QtTest>

#include "SystemAssistant.h"
#include "TestSupport.h"

using orlun_worker::SystemAssistant;

namespace {

SystemAssistant &assistant()
{
    return SystemAssistant::_instance();
}

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
    void init()
    {
        resetHostForTest();
        assistant().setAlertDuration(300);
    }
    void cleanup()
    {
        // Let every toast of the test run out before the next one counts them.
        QTRY_VERIFY_WITH_TIMEOUT(visibleToasts().isEmpty(), 5000);
        assistant().setAlertPopupsEnabled(false);
        assistant().setAlertDuration(3000);
    }

    void alertsAreAnnouncedAndToastsStackAndGoAway();
};

void tst_SystemAssistant::alertsAreAnnouncedAndToastsStackAndGoAway()
{
    QSignalSpy alerted(&assistant(), &SystemAssistant::signalMessageAlerted);
    assistant().messageAlert(QStringLiteral("Error"), QStringLiteral("Failed to add user"));
    QCOMPARE(alerted.count(), 1);
    QCOMPARE(alerted.at(0), QVariantList({"Error", "Failed to add user"}));
    QCoreApplication::processEvents();
    QVERIFY(visibleToasts().isEmpty()); // pop-ups are off in tests by default

    QWidget window;
    window.setGeometry(100, 120, 800, 600);
    window.show();
    window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    assistant().setAlertPopupsEnabled(true);
    assistant().messageAlert(QStringLiteral("Notice"), QStringLiteral("first"));
    assistant().messageAlert(QStringLiteral("Warning"), QStringLiteral("second"));
    QCOMPARE(alerted.count(), 3);
    const QList<QWidget *> toasts = visibleToasts();
    QCOMPARE(toasts.size(), 2);
    QCOMPARE(labelText(toasts.at(0), "alertTitle"), QStringLiteral("Notice"));
    QCOMPARE(labelText(toasts.at(0), "alertMessage"), QStringLiteral("first"));
    QCOMPARE(labelText(toasts.at(1), "alertMessage"), QStringLiteral("second"));
    QVERIFY(!toasts.at(1)->geometry().intersects(toasts.at(0)->geometry()));

    // Top centre of the window, which keeps the focus.
    const QRect frame = window.frameGeometry();
    const QRect first = toasts.at(0)->geometry();
    QVERIFY(qAbs(first.center().x() - frame.center().x()) <= 1);
    QVERIFY(first.top() > frame.top() && first.bottom() < frame.center().y());
    QCOMPARE(QApplication::activeWindow(), &window);

    // They delete themselves; the next one starts at the top again.
    QPointer<QWidget> gone = toasts.at(0);
    QTRY_VERIFY_WITH_TIMEOUT(gone.isNull() && visibleToasts().isEmpty(), 5000);
    assistant().messageAlert(QStringLiteral("Notice"), QStringLiteral("third"));
    QCOMPARE(visibleToasts().size(), 1);
    QCOMPARE(visibleToasts().first()->y(), first.y());
}

QTEST_MAIN(tst_SystemAssistant)
#include "tst_SystemAssistant.moc"
