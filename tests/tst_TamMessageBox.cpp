#include <QApplication>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

#include "TamMessageBox.h"

#include <functional>

using orlun_base::MessageBoxButton;
using orlun_base::TamMessageBox;

Q_DECLARE_METATYPE(orlun_base::MessageBoxButton)

namespace {

// Acts on the modal box once it shows; gives up after five seconds.
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

void tst_TamMessageBox::dialogAnswers_data()
{
    QTest::addColumn<int>("buttons");
    QTest::addColumn<QStringList>("inputs"); // button names clicked, or keys typed
    QTest::addColumn<MessageBoxButton>("expected");

    using L = QStringList;
    const int okCancel = 3, yesNo = 192, saveDiscardCancel = 0x302;
    QTest::newRow("ok") << okCancel << L{"okBt"} << orlun_base::Ok;
    QTest::newRow("title close") << yesNo << L{"titleCloseBt"} << orlun_base::No;
    QTest::newRow("esc ok cancel") << okCancel << L{"Escape"} << orlun_base::Cancel;
    QTest::newRow("esc ok only") << 1 << L{"Escape"} << orlun_base::NoButton;
    // Enter keeps the data: confirming from the keyboard takes a move to the button.
    QTest::newRow("enter ok cancel") << okCancel << L{"Return"} << orlun_base::Cancel;
    QTest::newRow("enter ok only") << 1 << L{"Return"} << orlun_base::Ok;
    QTest::newRow("tab to ok, enter") << okCancel << L{"Tab", "Return"} << orlun_base::Ok;
    QTest::newRow("tab to yes, space") << yesNo << L{"Tab", "Space"} << orlun_base::Yes;
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
