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

    void queuedAnswersAreConsumedInOrder();
    void dialogAnswers_data();
    void dialogAnswers();
    void parentDestroyedWhileAsking();
};

void tst_TamMessageBox::init()
{
    TamMessageBox::setTestMode(false);
    TamMessageBox::setNextAnswers({});
    TamMessageBox::clearAskedQuestions();
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
    // With the queue empty, test mode gives the declining answer.
    TamMessageBox::setTestMode(true);
    QCOMPARE(TamMessageBox::question(&parent, QStringLiteral("fourth"), 192, false),
             orlun_base::No);

    QStringList asked;
    for (const TamMessageBox::Question &q : TamMessageBox::askedQuestions())
        asked << QStringLiteral("%1 %2 %3 %4")
                     .arg(q.parent ? q.parent->objectName() : "-", q.text)
                     .arg(q.buttons)
                     .arg(q.warning);
    QCOMPARE(asked, QStringList({"parent first 3 0", "- second 192 1", "parent third 3 0",
                                 "parent fourth 192 0"}));
}

void tst_TamMessageBox::dialogAnswers_data()
{
    QTest::addColumn<int>("buttons");
    QTest::addColumn<QStringList>("inputs"); // button names clicked, or keys typed
    QTest::addColumn<MessageBoxButton>("expected");

    using L = QStringList;
    const int okCancel = 3, yesNo = 192, saveDiscardCancel = 0x302;
    QTest::newRow("ok") << okCancel << L{"okBt"} << orlun_base::Ok;
    QTest::newRow("no") << yesNo << L{"noBt"} << orlun_base::No;
    QTest::newRow("title close") << yesNo << L{"titleCloseBt"} << orlun_base::No;
    QTest::newRow("esc ok cancel") << okCancel << L{"Escape"} << orlun_base::Cancel;
    QTest::newRow("esc ok only") << 1 << L{"Escape"} << orlun_base::NoButton;
    // Enter keeps the data: confirming from the keyboard takes a deliberate
    // move to the button.
    QTest::newRow("enter ok cancel") << okCancel << L{"Return"} << orlun_base::Cancel;
    QTest::newRow("space yes no") << yesNo << L{"Space"} << orlun_base::No;
    QTest::newRow("enter ok only") << 1 << L{"Return"} << orlun_base::Ok;
    QTest::newRow("tab to ok, enter") << okCancel << L{"Tab", "Return"} << orlun_base::Ok;
    QTest::newRow("tab to yes, space") << yesNo << L{"Tab", "Space"} << orlun_base::Yes;
    QTest::newRow("tab around, enter")
        << okCancel << L{"Tab", "Tab", "Return"} << orlun_base::Cancel;
    QTest::newRow("enter save discard cancel")
        << saveDiscardCancel << L{"Return"} << orlun_base::Cancel;
    QTest::newRow("tab to discard, space")
        << saveDiscardCancel << L{"Tab", "Tab", "Space"} << orlun_base::Discard;
}

void tst_TamMessageBox::dialogAnswers()
{
    QFETCH(int, buttons);
    QFETCH(QStringList, inputs);
    QFETCH(MessageBoxButton, expected);

    QWidget parent;
    parent.show();
    bool acted = false;
    whenBoxShows([&](QWidget *box) {
        acted = true;
        // A slow (sanitized) run activates the box a little later.
        QTRY_VERIFY(QApplication::focusWidget() && box->isAncestorOf(QApplication::focusWidget()));
        const QMetaEnum keys = QMetaEnum::fromType<Qt::Key>();
        for (const QString &input : qAsConst(inputs)) {
            bool isKey = false;
            const int key = keys.keyToValue(("Key_" + input).toLatin1(), &isKey);
            if (isKey) {
                QTest::keyClick(QApplication::focusWidget(), Qt::Key(key));
                continue;
            }
            auto *bt = box->findChild<QPushButton *>(input);
            QVERIFY2(bt && bt->isVisible(), qPrintable(input));
            QTest::mouseClick(bt, Qt::LeftButton);
        }
    });
    QCOMPARE(TamMessageBox::question(&parent, QStringLiteral("Delete?"), short(buttons), true),
             expected);
    QVERIFY(acted);
    // A real box is not a scripted one.
    QVERIFY(TamMessageBox::askedQuestions().isEmpty());
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
