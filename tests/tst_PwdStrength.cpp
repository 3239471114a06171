#include <QImage>
#include <QLineEdit>
#include <QVBoxLayout>
#include <QtTest>

#include "PwdStrength.h"
#include "PwdStrengthWt.h"

using orlun_base::PwdStrengthWt;
using TAMCOMMON::PwdStrength;

Q_DECLARE_METATYPE(TAMCOMMON::PwdStrength)

namespace {

const QColor Red("#E5484D");
const QColor Orange("#F5A623");
const QColor Green("#30A46C");

QColor pixelAt(const QImage &image, const QPoint &logicalPoint, qreal dpr)
{
    return image.pixelColor((QPointF(logicalPoint) * dpr).toPoint());
}

} // namespace

class tst_PwdStrength : public QObject
{
    Q_OBJECT

private slots:
    void rating_data();
    void rating();
    void meterShowsLevel_data();
    void meterShowsLevel();
    void meterFollowsTyping();
};

void tst_PwdStrength::rating_data()
{
    QTest::addColumn<QString>("pwd");
    QTest::addColumn<PwdStrength>("expected");

    QTest::newRow("empty") << QString() << TAMCOMMON::PwdEmpty;
    // Passwords of every cracking word list.
    QTest::newRow("digits") << "123456" << TAMCOMMON::PwdWeak;
    QTest::newRow("password") << "password" << TAMCOMMON::PwdWeak;
    QTest::newRow("keyboard walk") << "qwerty123" << TAMCOMMON::PwdWeak;
    QTest::newRow("leet word") << "Passw0rd" << TAMCOMMON::PwdWeak;
    // Meets the usual "upper, lower, digit, symbol" rule and is still a word
    // plus a year.
    QTest::newRow("decorated word") << "Admin@123" << TAMCOMMON::PwdWeak;
    QTest::newRow("season and year") << "Winter#2024" << TAMCOMMON::PwdWeak;
    QTest::newRow("two words") << "correct horse" << TAMCOMMON::PwdWeak;
    QTest::newRow("short random") << "T7#kq" << TAMCOMMON::PwdMedium;
    QTest::newRow("word mix") << "Blue7Kettle" << TAMCOMMON::PwdMedium;
    QTest::newRow("long decorated") << "Secure#Pass2024" << TAMCOMMON::PwdMedium;
    QTest::newRow("passphrase") << "correct horse battery" << TAMCOMMON::PwdStrong;
    QTest::newRow("random twelve") << "T7#kq!Vz9@pL" << TAMCOMMON::PwdStrong;
    QTest::newRow("random seven") << "T7#kq!V" << TAMCOMMON::PwdStrong;
    QTest::newRow("non-ASCII passphrase")
        << QString::fromUtf8("天空之城の秘密2024!") << TAMCOMMON::PwdStrong;
}

void tst_PwdStrength::rating()
{
    QFETCH(QString, pwd);
    QFETCH(PwdStrength, expected);
    QCOMPARE(TAMCOMMON::checkPwdStrength(pwd), expected);
}

void tst_PwdStrength::meterShowsLevel_data()
{
    QTest::addColumn<QString>("pwd");
    QTest::addColumn<QString>("word");
    QTest::addColumn<int>("lit");
    QTest::addColumn<QColor>("colour");

    QTest::newRow("cleared") << QString() << QString() << 0 << Red;
    QTest::newRow("weak") << "123456"
                          << "Weak" << 1 << Red;
    QTest::newRow("medium") << "Blue7Kettle"
                            << "Medium" << 2 << Orange;
    QTest::newRow("strong") << "T7#kq!Vz9@pL"
                            << "Strong" << 3 << Green;
}

void tst_PwdStrength::meterShowsLevel()
{
    QFETCH(QString, pwd);
    QFETCH(QString, word);
    QFETCH(int, lit);
    QFETCH(QColor, colour);

    PwdStrengthWt meter;
    meter.resize(meter.sizeHint());
    // From a lit meter, so that going back to fewer bars is seen too.
    meter.setPwd(QStringLiteral("T7#kq!Vz9@pL"));
    meter.setPwd(pwd);

    QCOMPARE(meter.strength(), PwdStrength(lit - 1));
    QCOMPARE(meter.strengthText(), word);

    // What the user sees: the first `lit` bars in the level's colour, the
    // rest in the dark unlit colour.
    const QImage image = meter.grab().toImage();
    const qreal dpr = meter.devicePixelRatioF();
    for (int i = 0; i < 3; ++i) {
        const QRect bar = meter.segmentRect(i);
        QVERIFY(!bar.isEmpty());
        QVERIFY(meter.rect().contains(bar));
        const QColor seen = pixelAt(image, bar.center(), dpr);
        if (i < lit)
            QCOMPARE(seen.name(), colour.name());
        else
            QVERIFY2(seen != Red && seen != Orange && seen != Green,
                     qPrintable(QStringLiteral("bar %1 lit as %2").arg(i).arg(seen.name())));
    }

    // The word is drawn in the level's colour right of the bars.
    bool wordPainted = false;
    for (int x = meter.segmentRect(2).right() + 1; x < meter.width(); ++x) {
        for (int y = 0; y < meter.height(); ++y)
            wordPainted |= pixelAt(image, QPoint(x, y), dpr) == colour;
    }
    QCOMPARE(wordPainted, !word.isEmpty());
}

void tst_PwdStrength::meterFollowsTyping()
{
    QWidget form;
    auto *layout = new QVBoxLayout(&form);
    auto *edit = new QLineEdit(&form);
    auto *meter = new PwdStrengthWt(&form);
    layout->addWidget(edit);
    layout->addWidget(meter);
    connect(edit, &QLineEdit::textChanged, meter, &PwdStrengthWt::setPwd);
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));

    QStringList words;
    for (const char *typed : {"T7", "#kq", "!Vz9@pL"}) {
        QTest::keyClicks(edit, QString::fromLatin1(typed));
        words << meter->strengthText();
    }
    QCOMPARE(words, QStringList({"Weak", "Medium", "Strong"}));
}

QTEST_MAIN(tst_PwdStrength)
#include "tst_PwdStrength.moc"
