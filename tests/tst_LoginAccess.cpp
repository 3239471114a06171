#include <QElapsedTimer>
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
using Pattern = QVector<int>;

namespace {

const QString kUser = QStringLiteral("alice");
const QString kConfirm = QStringLiteral("Draw the pattern again to confirm");
const QString kTooFew = QStringLiteral("Connect at least 4 dots, please draw again");
const QString kMismatch = QStringLiteral("The two patterns do not match, please draw again");
const QString kClosed = QStringLiteral("<closed>");

LoginAccess &login()
{
    return LoginAccess::_instance();
}

UserData &users()
{
    return UserData::_instance();
}

void sendMouse(QWidget *pad, QEvent::Type type, const QPoint &pos, Qt::MouseButtons buttons)
{
    const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent event(type, pos, pad->mapToGlobal(pos), button, buttons, Qt::NoModifier);
    QApplication::sendEvent(pad, &event);
}

// Draws through the dots as a hand would: press on the first, drag with the
// button held through a point between each pair and onto the next, release.
// A leading -1 presses between dots 0 and 1 instead.
void draw(GesturePadWt *pad, const Pattern &dots)
{
    QPoint last = dots.first() < 0 ? (pad->dotCenter(0) + pad->dotCenter(1)) / 2
                                   : pad->dotCenter(dots.first());
    sendMouse(pad, QEvent::MouseButtonPress, last, Qt::LeftButton);
    for (int i = 1; i < dots.size(); ++i) {
        const QPoint next = pad->dotCenter(dots.at(i));
        sendMouse(pad, QEvent::MouseMove, (last + next) / 2, Qt::LeftButton);
        sendMouse(pad, QEvent::MouseMove, next, Qt::LeftButton);
        last = next;
    }
    sendMouse(pad, QEvent::MouseButtonRelease, last, Qt::NoButton);
}

} // namespace

class tst_LoginAccess : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void drawnGestures_data();
    void drawnGestures();
    void scriptedGestures_data();
    void scriptedGestures();
    void saltAndDeletion();
    void oldFormatIsRehashedAtFirstMatch();

private:
    // Runs fn on the gesture dialog once the event loop of its exec() runs.
    void onDialog(std::function<void(QWidget *, GesturePadWt *)> fn);

    int m_dialogsSeen = 0;
    QString m_failure;
};

void tst_LoginAccess::init()
{
    resetHostForTest();
    login().clearScriptedGestures();
    orlun_data::UserInfo info;
    info.userName = kUser;
    info.userPwd = QStringLiteral("Desk#42");
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

void tst_LoginAccess::onDialog(std::function<void(QWidget *, GesturePadWt *)> fn)
{
    QTimer::singleShot(0, this, [this, fn] {
        QWidget *dialog = QApplication::activeModalWidget();
        auto *pad =
            dialog ? dialog->findChild<GesturePadWt *>(QStringLiteral("gesturePad")) : nullptr;
        if (!pad || !pad->isVisible()) {
            m_failure = QStringLiteral("no gesture pad shown");
            return;
        }
        ++m_dialogsSeen;
        fn(dialog, pad);
        if (dialog->isVisible()) {
            m_failure = QStringLiteral("dialog still open after the script");
            dialog->close();
        }
    });
}

void tst_LoginAccess::drawnGestures_data()
{
    // Each drawing, then the hint it leaves; a drawing {} clicks Cancel.
    QTest::addColumn<QList<Pattern>>("drawings");
    QTest::addColumn<QStringList>("hints");
    QTest::addColumn<Pattern>("stored");
    QTest::newRow("drawn twice") << QList<Pattern>{{0, 4, 8, 5, 2}, {0, 4, 8, 5, 2}}
                                 << QStringList{kConfirm, kClosed} << Pattern{0, 4, 8, 5, 2};
    QTest::newRow("mismatch starts over")
        << QList<Pattern>{{0, 1, 2, 5}, {0, 1, 2, 4}, {0, 1, 2, 4}, {0, 1, 2, 4}}
        << QStringList{kConfirm, kMismatch, kConfirm, kClosed} << Pattern{0, 1, 2, 4};
    QTest::newRow("too few dots, first or second")
        << QList<Pattern>{{3, 4, 5}, {6, 7, 8, 5}, {6, 7, 8}, {6, 7, 8, 5}, {6, 7, 8, 5}}
        << QStringList{kTooFew, kConfirm, kTooFew, kConfirm, kClosed} << Pattern{6, 7, 8, 5};
    // A press between dots draws nothing; dots passed twice count once.
    QTest::newRow("stray press, repeated dots")
        << QList<Pattern>{{-1, 1, 2, 5, 8}, {0, 1, 0, 3, 4, 1}, {0, 1, 3, 4}}
        << QStringList{QStringLiteral("Connect at least 4 dots"), kConfirm, kClosed}
        << Pattern{0, 1, 3, 4};
    QTest::newRow("cancel") << QList<Pattern>{{0, 3, 6, 7}, {}} << QStringList{kConfirm, kClosed}
                            << Pattern{};
}

void tst_LoginAccess::drawnGestures()
{
    QFETCH(QList<Pattern>, drawings);
    QFETCH(QStringList, hints);
    QFETCH(Pattern, stored);
    QStringList seen;
    onDialog([&](QWidget *dialog, GesturePadWt *pad) {
        for (const Pattern &drawing : drawings) {
            if (drawing.isEmpty())
                QTest::mouseClick(dialog->findChild<QPushButton *>(QStringLiteral("cancelBt")),
                                  Qt::LeftButton);
            else
                draw(pad, drawing);
            seen.append(dialog->isVisible()
                            ? dialog->findChild<QLabel *>(QStringLiteral("hintLabel"))->text()
                            : kClosed);
            if (seen.last() == kConfirm && !pad->pattern().isEmpty())
                m_failure = QStringLiteral("pad not cleared for the second drawing");
        }
    });
    login().addUserGesture(nullptr, kUser);
    QCOMPARE(seen, hints);
    QVERIFY2(m_failure.isEmpty(), qPrintable(m_failure));
    QCOMPARE(m_dialogsSeen, 1);
    QCOMPARE(users().isUserConfigureGesture(kUser), !stored.isEmpty());
    QCOMPARE(login().checkUserGesture(kUser, stored.isEmpty() ? drawings.first() : stored),
             !stored.isEmpty());
    if (stored.isEmpty())
        return;
    // The dots count in the order drawn, and the stored hash is Argon2id.
    QVERIFY(!login().checkUserGesture(kUser, Pattern(stored.crbegin(), stored.crend())));
    QByteArray hash;
    QVERIFY(users().getUserGesture(kUser, nullptr, &hash));
    QVERIFY2(hash.startsWith("$argon2id$"), hash.constData());
}

void tst_LoginAccess::scriptedGestures_data()
{
    QTest::addColumn<Pattern>("pattern");
    QTest::addColumn<bool>("stored");
    QTest::newRow("valid") << Pattern{0, 1, 2, 5, 8} << true;
    QTest::newRow("cancelled") << Pattern{} << false;
    QTest::newRow("three dots") << Pattern{0, 1, 2} << false;
    QTest::newRow("dot twice") << Pattern{0, 1, 2, 1} << false;
    QTest::newRow("no such dot") << Pattern{0, 1, 2, 9} << false;
}

void tst_LoginAccess::scriptedGestures()
{
    QFETCH(Pattern, pattern);
    QFETCH(bool, stored);
    onDialog([](QWidget *, GesturePadWt *) {});
    login().scriptNextGesture(pattern);
    login().addUserGesture(nullptr, kUser);
    QCOMPARE(users().isUserConfigureGesture(kUser), stored);
    QCOMPARE(login().checkUserGesture(kUser, pattern), stored);
    // Without a script, an unknown account gets no dialog either.
    login().addUserGesture(nullptr, QStringLiteral("ghost"));
    QTest::qWait(50);
    QCOMPARE(m_dialogsSeen, 0);

    // A script is used once; the store refusing is reported as not stored.
    users().failNextWrite(UserData::SetUserGesture);
    login().scriptNextGesture({3, 4, 5, 6});
    login().addUserGesture(nullptr, kUser);
    QVERIFY(!login().checkUserGesture(kUser, {3, 4, 5, 6}));
}

void tst_LoginAccess::saltAndDeletion()
{
    const Pattern pattern{2, 4, 6, 7};
    QVERIFY(!login().deleteUserGesture(kUser)); // none yet
    QByteArray hash1, hash2;
    login().scriptNextGesture(pattern);
    login().addUserGesture(nullptr, kUser);
    QVERIFY(users().getUserGesture(kUser, nullptr, &hash1));
    // Every drawing gets a new salt, kept inside the hash.
    login().scriptNextGesture(pattern);
    login().addUserGesture(nullptr, kUser);
    QVERIFY(users().getUserGesture(kUser, nullptr, &hash2));
    QVERIFY(hash1 != hash2);
    QElapsedTimer timer;
    timer.start();
    QVERIFY(login().checkUserGesture(kUser, pattern));
    // A guess has to cost at least 0.1 s; the tuning is checked by eye here,
    // not asserted, as the machine's load moves it.
    qDebug("one gesture check took %lld ms", timer.elapsed());

    users().failNextWrite(UserData::DeleteUserGesture);
    QVERIFY(!login().deleteUserGesture(kUser));
    QVERIFY(login().checkUserGesture(kUser, pattern));
    QVERIFY(login().deleteUserGesture(kUser));
    QVERIFY(!users().isUserConfigureGesture(kUser));
    QVERIFY(!login().checkUserGesture(kUser, pattern));
}

void tst_LoginAccess::oldFormatIsRehashedAtFirstMatch()
{
    const Pattern pattern{0, 3, 6, 7, 8};
    const QByteArray salt("0123456789abcdef");
    QVERIFY(users().setUserGesture(kUser, salt, LoginAccess::hashPattern(pattern, salt)));
    QByteArray hash;
    QVERIFY(!login().checkUserGesture(kUser, {0, 3, 6, 7}));
    QVERIFY(users().getUserGesture(kUser, nullptr, &hash));
    QCOMPARE(hash, LoginAccess::hashPattern(pattern, salt));

    QVERIFY(login().checkUserGesture(kUser, pattern));
    QVERIFY(users().getUserGesture(kUser, nullptr, &hash));
    QVERIFY2(hash.startsWith("$argon2id$"), hash.constData());
    QVERIFY(login().checkUserGesture(kUser, pattern));
    QVERIFY(!login().checkUserGesture(kUser, {0, 3, 6, 7}));
}

QTEST_MAIN(tst_LoginAccess)
#include "tst_LoginAccess.moc"
