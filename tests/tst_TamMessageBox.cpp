#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

#include "TamMessageBox.h"

#include <functional>

using orlun_base::MessageBoxButton;
using orlun_base::TamMessageBox;

Q_DECLARE_METATYPE(orlun_base::MessageBoxButton)

namespace {

// Waits, inside the box's own event loop, for the modal box to show, then acts
// on it as the user would. Gives up (closing the box) after a few seconds so a
// box that never shows its buttons fails the test instead of hanging it.
void whenBoxShows(const std::function<void(QWidget *)> &act)
{
    auto *poll = new QTimer;
    QElapsedTimer elapsed;
    elapsed.start();
    QObject::connect(poll, &QTimer::timeout, poll, [poll, elapsed, act]() {
        QPointer<QWidget> box = QApplication::activeModalWidget();
        if (box && box->isVisible()) {
            poll->stop();
            act(box);
            // A failed check inside act must not leave the box waiting forever.
            if (box && box->isVisible())
                QMetaObject::invokeMethod(box, "reject");
        } else if (elapsed.elapsed() < 5000) {
            return;
        }
        poll->deleteLater();
    });
    poll->start(10);
}

} // namespace

class tst_TamMessageBox : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup() { init(); }

    void decliningAnswer_data();
    void decliningAnswer();
    void queuedAnswersAreConsumedInOrder();

    void dialogAnswersAsClosed_data();
    void dialogAnswersAsClosed();
    void dialogShowsTextTitleAndOnlyTheAskedButtons();
    void enterKeepsTheData_data();
    void enterKeepsTheData();
    void parentDestroyedWhileAsking();
};

void tst_TamMessageBox::init()
{
    TamMessageBox::setTestMode(false);
    TamMessageBox::setNextAnswers({});
    TamMessageBox::clearAskedQuestions();
}

void tst_TamMessageBox::decliningAnswer_data()
{
    QTest::addColumn<int>("buttons");
    QTest::addColumn<MessageBoxButton>("expected");

    QTest::newRow("ok cancel") << 3 << orlun_base::Cancel;
    QTest::newRow("yes no") << 192 << orlun_base::No;
    QTest::newRow("cancel beats no") << (0x40 | 0x80 | 0x2) << orlun_base::Cancel;
    QTest::newRow("ok only") << 1 << orlun_base::NoButton;
}

void tst_TamMessageBox::decliningAnswer()
{
    QFETCH(int, buttons);
    QFETCH(MessageBoxButton, expected);
    QCOMPARE(TamMessageBox::decliningAnswer(short(buttons)), expected);

    // With test mode on and nothing queued the box gives that same answer.
    TamMessageBox::setTestMode(true);
    QCOMPARE(TamMessageBox::question(nullptr, QStringLiteral("?"), short(buttons), false),
             expected);
}

void tst_TamMessageBox::queuedAnswersAreConsumedInOrder()
{
    QWidget parent;
    parent.setObjectName(QStringLiteral("parent"));
    TamMessageBox::setNextAnswers({2, 128});
    TamMessageBox::pushNextAnswer(1);

    QCOMPARE(TamMessageBox::question(&parent, QStringLiteral("first"), 3, false),
             orlun_base::Cancel);
    QCOMPARE(TamMessageBox::question(nullptr, QStringLiteral("second"), 192, true),
             orlun_base::Yes);
    QCOMPARE(TamMessageBox::question(&parent, QStringLiteral("third"), 3, false), orlun_base::Ok);
    // No queue and no test mode would show a real box: test mode keeps it
    // headless here.
    TamMessageBox::setTestMode(true);
    QCOMPARE(TamMessageBox::question(&parent, QStringLiteral("fourth"), 192, false),
             orlun_base::No);

    QStringList asked;
    for (const TamMessageBox::Question &question : TamMessageBox::askedQuestions())
        asked << QStringLiteral("%1 %2 %3 %4")
                     .arg(question.parent ? question.parent->objectName() : QStringLiteral("-"),
                          question.text)
                     .arg(question.buttons)
                     .arg(question.warning);
    QCOMPARE(asked, QStringList({"parent first 3 0", "- second 192 1", "parent third 3 0",
                                 "parent fourth 192 0"}));
    TamMessageBox::clearAskedQuestions();
    QVERIFY(TamMessageBox::askedQuestions().isEmpty());
}

void tst_TamMessageBox::dialogAnswersAsClosed_data()
{
    QTest::addColumn<int>("buttons");
    QTest::addColumn<QString>("button");
    QTest::addColumn<MessageBoxButton>("expected");

    QTest::newRow("ok") << 3 << "okBt" << orlun_base::Ok;
    QTest::newRow("cancel") << 3 << "cancelBt" << orlun_base::Cancel;
    QTest::newRow("yes") << 192 << "yesBt" << orlun_base::Yes;
    QTest::newRow("no") << 192 << "noBt" << orlun_base::No;
    QTest::newRow("esc ok cancel") << 3 << "" << orlun_base::Cancel;
    QTest::newRow("esc yes no") << 192 << "" << orlun_base::No;
    QTest::newRow("esc ok only") << 1 << "" << orlun_base::NoButton;
    QTest::newRow("title close") << 192 << "titleCloseBt" << orlun_base::No;
}

void tst_TamMessageBox::dialogAnswersAsClosed()
{
    QFETCH(int, buttons);
    QFETCH(QString, button);
    QFETCH(MessageBoxButton, expected);

    QWidget parent;
    parent.show();
    bool clicked = false;
    whenBoxShows([&](QWidget *box) {
        clicked = true;
        if (button.isEmpty())
            return QTest::keyClick(box, Qt::Key_Escape);
        auto *bt = box->findChild<QPushButton *>(button);
        QVERIFY(bt && bt->isVisible());
        QTest::mouseClick(bt, Qt::LeftButton);
    });
    const MessageBoxButton answer =
        TamMessageBox::question(&parent, QStringLiteral("Proceed?"), short(buttons), false);
    QVERIFY(clicked);
    QCOMPARE(answer, expected);
    // A real box is not a scripted one.
    QVERIFY(TamMessageBox::askedQuestions().isEmpty());
}

void tst_TamMessageBox::dialogShowsTextTitleAndOnlyTheAskedButtons()
{
    QWidget parent;
    parent.show();
    QStringList seen;
    whenBoxShows([&](QWidget *box) {
        QVERIFY(box->parentWidget() == &parent && box->isModal());
        auto *textLabel = box->findChild<QLabel *>(QStringLiteral("textLabel"));
        auto *titleLabel = box->findChild<QLabel *>(QStringLiteral("titleLabel"));
        QVERIFY(textLabel && titleLabel);
        seen << textLabel->text() << titleLabel->text();
        // The title bar follows later title changes too.
        box->setWindowTitle(QStringLiteral("Delete"));
        seen << titleLabel->text();
        QStringList buttons;
        for (QPushButton *bt : box->findChildren<QPushButton *>()) {
            if (bt->property("answerBt").toBool())
                buttons << bt->objectName() + QLatin1Char('=') + bt->text();
        }
        buttons.sort();
        seen << buttons;
        QTest::keyClick(box, Qt::Key_Escape);
    });
    TamMessageBox::question(&parent, QStringLiteral("Do you want to delete user:bob?"), 192, true);
    QCOMPARE(seen, QStringList({"Do you want to delete user:bob?", "Warning", "Delete", "noBt=No",
                                "yesBt=Yes"}));
}

void tst_TamMessageBox::enterKeepsTheData_data()
{
    QTest::addColumn<int>("buttons");
    QTest::addColumn<int>("tabs");
    QTest::addColumn<int>("key");
    QTest::addColumn<MessageBoxButton>("expected");

    QTest::newRow("enter ok cancel") << 3 << 0 << int(Qt::Key_Return) << orlun_base::Cancel;
    QTest::newRow("keypad enter yes no") << 192 << 0 << int(Qt::Key_Enter) << orlun_base::No;
    QTest::newRow("space yes no") << 192 << 0 << int(Qt::Key_Space) << orlun_base::No;
    QTest::newRow("enter ok only") << 1 << 0 << int(Qt::Key_Return) << orlun_base::Ok;
    // Confirming from the keyboard takes a deliberate move to the button.
    QTest::newRow("tab to ok, enter") << 3 << 1 << int(Qt::Key_Return) << orlun_base::Ok;
    QTest::newRow("tab to yes, space") << 192 << 1 << int(Qt::Key_Space) << orlun_base::Yes;
    QTest::newRow("tab around, enter") << 3 << 2 << int(Qt::Key_Return) << orlun_base::Cancel;
    QTest::newRow("enter save discard cancel")
        << 0x302 << 0 << int(Qt::Key_Return) << orlun_base::Cancel;
    QTest::newRow("tab to save, enter") << 0x302 << 1 << int(Qt::Key_Return) << orlun_base::Save;
    QTest::newRow("tab to discard, space")
        << 0x302 << 2 << int(Qt::Key_Space) << orlun_base::Discard;
}

void tst_TamMessageBox::enterKeepsTheData()
{
    QFETCH(int, buttons);
    QFETCH(int, tabs);
    QFETCH(int, key);
    QFETCH(MessageBoxButton, expected);

    QWidget parent;
    parent.show();
    whenBoxShows([&](QWidget *box) {
        // A slow (sanitized) run activates the box a little later.
        QTRY_VERIFY(QApplication::focusWidget() && box->isAncestorOf(QApplication::focusWidget()));
        for (int i = 0; i < tabs; ++i)
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QVERIFY(QApplication::focusWidget() && box->isAncestorOf(QApplication::focusWidget()));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key(key));
    });
    QCOMPARE(TamMessageBox::question(&parent, QStringLiteral("Delete?"), short(buttons), true),
             expected);
}

void tst_TamMessageBox::parentDestroyedWhileAsking()
{
    auto *parent = new QWidget;
    parent->show();
    QPointer<QWidget> boxSeen;
    whenBoxShows([&](QWidget *box) {
        boxSeen = box;
        delete parent;
    });
    QCOMPARE(TamMessageBox::question(parent, QStringLiteral("Proceed?"), 3, false),
             orlun_base::Cancel);
    QVERIFY(boxSeen.isNull());
}

QTEST_MAIN(tst_TamMessageBox)
#include "tst_TamMessageBox.moc"
