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
    auto *elapsed = new QElapsedTimer;
    elapsed->start();
    poll->setInterval(10);
    QObject::connect(poll, &QTimer::timeout, poll, [poll, elapsed, act]() {
        QWidget *box = QApplication::activeModalWidget();
        if (box && box->isVisible()) {
            poll->stop();
            QPointer<QWidget> guard(box);
            act(box);
            // A failed check inside act must not leave the box waiting forever.
            if (guard && guard->isVisible())
                QMetaObject::invokeMethod(guard, "reject");
        } else if (elapsed->elapsed() > 5000) {
            poll->stop();
        } else {
            return;
        }
        poll->deleteLater();
        delete elapsed;
    });
    poll->start();
}

} // namespace

class tst_TamMessageBox : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void decliningAnswer_data();
    void decliningAnswer();
    void queuedAnswersAreConsumedInOrder();
    void testModeDeclinesWhenNothingQueued();

    void dialogAnswersWithClickedButton_data();
    void dialogAnswersWithClickedButton();
    void dialogShowsTextTitleAndOnlyTheAskedButtons();
    void escapeAndCloseDecline_data();
    void escapeAndCloseDecline();
    void parentDestroyedWhileAsking();
};

void tst_TamMessageBox::init()
{
    TamMessageBox::setTestMode(false);
    TamMessageBox::setNextAnswers({});
    TamMessageBox::clearAskedQuestions();
}

void tst_TamMessageBox::cleanup()
{
    init();
}

void tst_TamMessageBox::decliningAnswer_data()
{
    QTest::addColumn<int>("buttons");
    QTest::addColumn<MessageBoxButton>("expected");

    QTest::newRow("ok cancel") << 3 << orlun_base::Cancel;
    QTest::newRow("yes no") << 192 << orlun_base::No;
    QTest::newRow("cancel beats no") << (0x40 | 0x80 | 0x2) << orlun_base::Cancel;
    QTest::newRow("ok only") << 1 << orlun_base::NoButton;
    QTest::newRow("retry ignore abort") << (0x8 | 0x10 | 0x20) << orlun_base::NoButton;
    QTest::newRow("none") << 0 << orlun_base::NoButton;
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

    const QList<TamMessageBox::Question> asked = TamMessageBox::askedQuestions();
    QCOMPARE(asked.size(), 4);
    QCOMPARE(asked.at(0).parent.data(), &parent);
    QCOMPARE(asked.at(0).text, QStringLiteral("first"));
    QCOMPARE(asked.at(0).buttons, short(3));
    QCOMPARE(asked.at(0).warning, false);
    QCOMPARE(asked.at(1).parent.data(), static_cast<QWidget *>(nullptr));
    QCOMPARE(asked.at(1).text, QStringLiteral("second"));
    QCOMPARE(asked.at(1).buttons, short(192));
    QCOMPARE(asked.at(1).warning, true);
    QCOMPARE(asked.at(3).text, QStringLiteral("fourth"));

    TamMessageBox::clearAskedQuestions();
    QVERIFY(TamMessageBox::askedQuestions().isEmpty());
}

void tst_TamMessageBox::testModeDeclinesWhenNothingQueued()
{
    TamMessageBox::setTestMode(true);
    QCOMPARE(TamMessageBox::question(nullptr, QStringLiteral("delete?"), 3, true),
             orlun_base::Cancel);
    QCOMPARE(TamMessageBox::askedQuestions().size(), 1);
    QCOMPARE(TamMessageBox::askedQuestions().at(0).text, QStringLiteral("delete?"));
}

void tst_TamMessageBox::dialogAnswersWithClickedButton_data()
{
    QTest::addColumn<int>("buttons");
    QTest::addColumn<QString>("button");
    QTest::addColumn<MessageBoxButton>("expected");

    QTest::newRow("ok") << 3 << "okBt" << orlun_base::Ok;
    QTest::newRow("cancel") << 3 << "cancelBt" << orlun_base::Cancel;
    QTest::newRow("yes") << 192 << "yesBt" << orlun_base::Yes;
    QTest::newRow("no") << 192 << "noBt" << orlun_base::No;
}

void tst_TamMessageBox::dialogAnswersWithClickedButton()
{
    QFETCH(int, buttons);
    QFETCH(QString, button);
    QFETCH(MessageBoxButton, expected);

    QWidget parent;
    parent.show();
    bool clicked = false;
    whenBoxShows([&](QWidget *box) {
        auto *bt = box->findChild<QPushButton *>(button);
        QVERIFY(bt);
        QVERIFY(bt->isVisible());
        QTest::mouseClick(bt, Qt::LeftButton);
        clicked = true;
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
    QString text;
    QString title;
    QStringList buttonTexts;
    QStringList buttonNames;
    QWidget *boxParent = nullptr;
    bool modal = false;
    whenBoxShows([&](QWidget *box) {
        boxParent = box->parentWidget();
        modal = box->isModal();
        auto *textLabel = box->findChild<QLabel *>(QStringLiteral("textLabel"));
        auto *titleLabel = box->findChild<QLabel *>(QStringLiteral("titleLabel"));
        if (textLabel)
            text = textLabel->text();
        if (titleLabel)
            title = titleLabel->text();
        // The title bar follows later title changes too.
        box->setWindowTitle(QStringLiteral("Delete"));
        if (titleLabel && titleLabel->text() != QStringLiteral("Delete"))
            title = QStringLiteral("not following");
        for (QPushButton *bt : box->findChildren<QPushButton *>()) {
            if (bt->property("answerBt").toBool()) {
                buttonNames << bt->objectName();
                buttonTexts << bt->text();
            }
        }
        QTest::keyClick(box, Qt::Key_Escape);
    });
    TamMessageBox::question(&parent, QStringLiteral("Do you want to delete user:bob?"), 192, true);

    QCOMPARE(boxParent, &parent);
    QVERIFY(modal);
    QCOMPARE(text, QStringLiteral("Do you want to delete user:bob?"));
    QCOMPARE(title, QStringLiteral("Warning"));
    buttonNames.sort();
    QCOMPARE(buttonNames, QStringList({"noBt", "yesBt"}));
    buttonTexts.sort();
    QCOMPARE(buttonTexts, QStringList({"No", "Yes"}));
}

void tst_TamMessageBox::escapeAndCloseDecline_data()
{
    QTest::addColumn<int>("buttons");
    QTest::addColumn<bool>("useTitleClose");
    QTest::addColumn<MessageBoxButton>("expected");

    QTest::newRow("esc ok cancel") << 3 << false << orlun_base::Cancel;
    QTest::newRow("esc yes no") << 192 << false << orlun_base::No;
    QTest::newRow("esc ok only") << 1 << false << orlun_base::NoButton;
    QTest::newRow("close ok cancel") << 3 << true << orlun_base::Cancel;
    QTest::newRow("close yes no") << 192 << true << orlun_base::No;
}

void tst_TamMessageBox::escapeAndCloseDecline()
{
    QFETCH(int, buttons);
    QFETCH(bool, useTitleClose);
    QFETCH(MessageBoxButton, expected);

    whenBoxShows([&](QWidget *box) {
        if (useTitleClose) {
            auto *closeBt = box->findChild<QPushButton *>(QStringLiteral("titleCloseBt"));
            QVERIFY(closeBt);
            QTest::mouseClick(closeBt, Qt::LeftButton);
        } else {
            QTest::keyClick(box, Qt::Key_Escape);
        }
    });
    QCOMPARE(TamMessageBox::question(nullptr, QStringLiteral("Leave?"), short(buttons), false),
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
