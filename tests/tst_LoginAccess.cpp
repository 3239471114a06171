#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

#include "GesturePadWt.h"
#include "LoginAccess.h"
#include "TestSupport.h"
#include "UserData.h"

#include <functional>

using orlun_data::UserData;
using orlun_login::GesturePadWt;
using orlun_login::LoginAccess;

namespace {

const QString kUser = QStringLiteral("alice");

LoginAccess &login()
{
    return LoginAccess::_instance();
}

UserData &users()
{
    return UserData::_instance();
}

void sendMouse(QWidget *widget, QEvent::Type type, const QPoint &pos, Qt::MouseButton button,
               Qt::MouseButtons buttons)
{
    QMouseEvent event(type, pos, widget->mapToGlobal(pos), button, buttons, Qt::NoModifier);
    QApplication::sendEvent(widget, &event);
}

// Draws through the dots as a hand would: press on the first, drag with the
// button held through a point between each pair and onto the next, release.
void draw(GesturePadWt *pad, const QVector<int> &dots)
{
    QPoint last = pad->dotCenter(dots.first());
    sendMouse(pad, QEvent::MouseButtonPress, last, Qt::LeftButton, Qt::LeftButton);
    for (int i = 1; i < dots.size(); ++i) {
        const QPoint next = pad->dotCenter(dots.at(i));
        sendMouse(pad, QEvent::MouseMove, (last + next) / 2, Qt::NoButton, Qt::LeftButton);
        sendMouse(pad, QEvent::MouseMove, next, Qt::NoButton, Qt::LeftButton);
        last = next;
    }
    sendMouse(pad, QEvent::MouseButtonRelease, last, Qt::LeftButton, Qt::NoButton);
}

QString hint(QWidget *dialog)
{
    return dialog->findChild<QLabel *>(QStringLiteral("hintLabel"))->text();
}

} // namespace

class tst_LoginAccess : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void drawingTwiceStoresASaltedHash();
    void mismatchStartsOver();
    void tooFewDotsStartsOver();
    void strayDragsAndRepeatedDots();
    void cancelStoresNothing();
    void unknownAccountShowsNoDialog();
    void scriptedGestures_data();
    void scriptedGestures();
    void saltDiffersBetweenStores();
    void deleteUserGesture();

private:
    // Runs fn on the gesture dialog once addUserGesture shows it.
    void whenDialogShown(std::function<void(QWidget *, GesturePadWt *)> fn);

    int m_dialogsSeen = 0;
    QString m_failure;
};

void tst_LoginAccess::init()
{
    resetHostForTest();
    login().clearScriptedGestures();
    orlun_data::UserInfo info;
    info.userName = kUser;
    QVERIFY(users().addUser(info));
    m_dialogsSeen = 0;
    m_failure.clear();
}

void tst_LoginAccess::cleanup()
{
    // A dialog left open by a failed check must not block the next test.
    if (QWidget *modal = QApplication::activeModalWidget())
        modal->close();
}

void tst_LoginAccess::whenDialogShown(std::function<void(QWidget *, GesturePadWt *)> fn)
{
    auto *poll = new QTimer(this);
    poll->setInterval(10);
    int rounds = 0;
    connect(poll, &QTimer::timeout, this, [this, poll, fn, rounds]() mutable {
        QWidget *modal = QApplication::activeModalWidget();
        if (!modal) {
            if (++rounds > 300) { // give up after ~3 s rather than hang
                m_failure = QStringLiteral("no modal dialog appeared");
                poll->deleteLater();
                poll->stop();
            }
            return;
        }
        poll->stop();
        poll->deleteLater();
        ++m_dialogsSeen;
        auto *pad = modal->findChild<GesturePadWt *>(QStringLiteral("gesturePad"));
        if (!pad || !pad->isVisible()) {
            m_failure = QStringLiteral("no visible gesturePad");
            modal->close();
            return;
        }
        fn(modal, pad);
        if (modal->isVisible() && m_failure.isEmpty())
            m_failure = QStringLiteral("dialog still open after the script");
        if (modal->isVisible())
            modal->close();
    });
    poll->start();
}

void tst_LoginAccess::drawingTwiceStoresASaltedHash()
{
    const QVector<int> pattern{0, 4, 8, 5, 2};
    whenDialogShown([&](QWidget *dialog, GesturePadWt *pad) {
        draw(pad, pattern);
        QCOMPARE(hint(dialog), QStringLiteral("Draw the pattern again to confirm"));
        QVERIFY(pad->pattern().isEmpty()); // cleared for the second drawing
        draw(pad, pattern);
    });
    login().addUserGesture(nullptr, kUser);
    QVERIFY2(m_failure.isEmpty(), qPrintable(m_failure));
    QCOMPARE(m_dialogsSeen, 1);

    QVERIFY(users().isUserConfigureGesture(kUser));
    QVERIFY(login().checkUserGesture(kUser, pattern));
    QVERIFY(!login().checkUserGesture(kUser, {2, 5, 8, 4, 0})); // same dots, other way
    QVERIFY(!login().checkUserGesture(kUser, {0, 4, 8, 5}));
    QByteArray salt, hash;
    QVERIFY(users().getUserGesture(kUser, &salt, &hash));
    QCOMPARE(salt.size(), 16);
    QCOMPARE(hash.size(), 32);
    QCOMPARE(hash, LoginAccess::hashPattern(pattern, salt));
    QVERIFY(hash != LoginAccess::hashPattern(pattern, QByteArray()));
}

void tst_LoginAccess::mismatchStartsOver()
{
    whenDialogShown([&](QWidget *dialog, GesturePadWt *pad) {
        draw(pad, {0, 1, 2, 5});
        draw(pad, {0, 1, 2, 4});
        QCOMPARE(hint(dialog), QStringLiteral("The two patterns do not match, please draw again"));
        QVERIFY(dialog->isVisible());
        // The first drawing was dropped: a new pair is needed.
        draw(pad, {0, 1, 2, 4});
        QCOMPARE(hint(dialog), QStringLiteral("Draw the pattern again to confirm"));
        draw(pad, {0, 1, 2, 4});
    });
    login().addUserGesture(nullptr, kUser);
    QVERIFY2(m_failure.isEmpty(), qPrintable(m_failure));
    QVERIFY(login().checkUserGesture(kUser, {0, 1, 2, 4}));
    QVERIFY(!login().checkUserGesture(kUser, {0, 1, 2, 5}));
}

void tst_LoginAccess::tooFewDotsStartsOver()
{
    whenDialogShown([&](QWidget *dialog, GesturePadWt *pad) {
        draw(pad, {3, 4, 5});
        QCOMPARE(hint(dialog), QStringLiteral("Connect at least 4 dots, please draw again"));
        draw(pad, {6, 7, 8, 5});
        // Too short at the confirmation also starts over.
        draw(pad, {6, 7, 8});
        QCOMPARE(hint(dialog), QStringLiteral("Connect at least 4 dots, please draw again"));
        draw(pad, {6, 7, 8, 5});
        QVERIFY(dialog->isVisible());
        draw(pad, {6, 7, 8, 5});
    });
    login().addUserGesture(nullptr, kUser);
    QVERIFY2(m_failure.isEmpty(), qPrintable(m_failure));
    QVERIFY(login().checkUserGesture(kUser, {6, 7, 8, 5}));
}

void tst_LoginAccess::strayDragsAndRepeatedDots()
{
    whenDialogShown([&](QWidget *dialog, GesturePadWt *pad) {
        const QString before = hint(dialog);
        // Pressing between dots and dragging across them does not draw.
        const QPoint gap = (pad->dotCenter(0) + pad->dotCenter(1)) / 2;
        sendMouse(pad, QEvent::MouseButtonPress, gap, Qt::LeftButton, Qt::LeftButton);
        for (int dot : {1, 2, 5, 8})
            sendMouse(pad, QEvent::MouseMove, pad->dotCenter(dot), Qt::NoButton, Qt::LeftButton);
        sendMouse(pad, QEvent::MouseButtonRelease, pad->dotCenter(8), Qt::LeftButton, Qt::NoButton);
        QVERIFY(pad->pattern().isEmpty());
        QCOMPARE(hint(dialog), before);
        // Dots passed twice count once: this confirms the plain pattern.
        draw(pad, {0, 1, 0, 3, 4, 1});
        QCOMPARE(hint(dialog), QStringLiteral("Draw the pattern again to confirm"));
        draw(pad, {0, 1, 3, 4});
    });
    login().addUserGesture(nullptr, kUser);
    QVERIFY2(m_failure.isEmpty(), qPrintable(m_failure));
    QVERIFY(login().checkUserGesture(kUser, {0, 1, 3, 4}));
}

void tst_LoginAccess::cancelStoresNothing()
{
    whenDialogShown([&](QWidget *dialog, GesturePadWt *pad) {
        draw(pad, {0, 3, 6, 7});
        QTest::mouseClick(dialog->findChild<QPushButton *>(QStringLiteral("cancelBt")),
                          Qt::LeftButton);
    });
    login().addUserGesture(nullptr, kUser);
    QVERIFY2(m_failure.isEmpty(), qPrintable(m_failure));
    QCOMPARE(m_dialogsSeen, 1);
    QVERIFY(!users().isUserConfigureGesture(kUser));
    QVERIFY(!login().checkUserGesture(kUser, {0, 3, 6, 7}));
}

void tst_LoginAccess::unknownAccountShowsNoDialog()
{
    whenDialogShown([](QWidget *, GesturePadWt *) {});
    login().addUserGesture(nullptr, QStringLiteral("ghost"));
    QTest::qWait(100);
    QCOMPARE(m_dialogsSeen, 0);
    QVERIFY(!users().isUserConfigureGesture(QStringLiteral("ghost")));
}

void tst_LoginAccess::scriptedGestures_data()
{
    QTest::addColumn<QVector<int>>("pattern");
    QTest::addColumn<bool>("stored");
    QTest::newRow("valid") << QVector<int>{0, 1, 2, 5, 8} << true;
    QTest::newRow("cancelled") << QVector<int>{} << false;
    QTest::newRow("three dots") << QVector<int>{0, 1, 2} << false;
    QTest::newRow("dot twice") << QVector<int>{0, 1, 2, 1} << false;
    QTest::newRow("no such dot") << QVector<int>{0, 1, 2, 9} << false;
}

void tst_LoginAccess::scriptedGestures()
{
    QFETCH(QVector<int>, pattern);
    QFETCH(bool, stored);
    whenDialogShown([](QWidget *, GesturePadWt *) {});
    login().scriptNextGesture(pattern);
    login().addUserGesture(nullptr, kUser);
    QCOMPARE(users().isUserConfigureGesture(kUser), stored);
    QCOMPARE(login().checkUserGesture(kUser, pattern), stored);
    QTest::qWait(50);
    QCOMPARE(m_dialogsSeen, 0);

    // A script is used once; the store refusing is reported as not stored.
    users().failNextWrite(UserData::SetUserGesture);
    login().scriptNextGesture({3, 4, 5, 6});
    login().addUserGesture(nullptr, kUser);
    QVERIFY(!login().checkUserGesture(kUser, {3, 4, 5, 6}));
}

void tst_LoginAccess::saltDiffersBetweenStores()
{
    const QVector<int> pattern{2, 4, 6, 7};
    login().scriptNextGesture(pattern);
    login().addUserGesture(nullptr, kUser);
    QByteArray salt1, hash1, salt2, hash2;
    QVERIFY(users().getUserGesture(kUser, &salt1, &hash1));
    login().scriptNextGesture(pattern);
    login().addUserGesture(nullptr, kUser);
    QVERIFY(users().getUserGesture(kUser, &salt2, &hash2));
    QVERIFY(salt1 != salt2);
    QVERIFY(hash1 != hash2);
    QVERIFY(login().checkUserGesture(kUser, pattern));
}

void tst_LoginAccess::deleteUserGesture()
{
    QVERIFY(!login().deleteUserGesture(kUser)); // none yet
    login().scriptNextGesture({0, 1, 2, 3});
    login().addUserGesture(nullptr, kUser);
    QVERIFY(users().isUserConfigureGesture(kUser));

    users().failNextWrite(UserData::DeleteUserGesture);
    QVERIFY(!login().deleteUserGesture(kUser));
    QVERIFY(login().checkUserGesture(kUser, {0, 1, 2, 3}));

    QVERIFY(login().deleteUserGesture(kUser));
    QVERIFY(!users().isUserConfigureGesture(kUser));
    QVERIFY(!login().checkUserGesture(kUser, {0, 1, 2, 3}));
    QVERIFY(!login().deleteUserGesture(kUser));
}

QTEST_MAIN(tst_LoginAccess)
#include "tst_LoginAccess.moc"
