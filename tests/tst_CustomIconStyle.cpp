#include <QCommonStyle>
#include <QLineEdit>
#include <QMetaEnum>
#include <QtTest>

#include "CustomIconStyle.h"

using orlun_userMgr::CustomIconStyle;

class tst_CustomIconStyle : public QObject
{
    Q_OBJECT

private slots:
    void pixelMetric_data();
    void pixelMetric();
};

void tst_CustomIconStyle::pixelMetric_data()
{
    QTest::addColumn<int>("size");
    QTest::newRow("20, the password field's") << 20;
    QTest::newRow("32") << 32;
}

// Only the small icon size is pinned; every other metric Qt names, asked bare
// and on behalf of a widget (the base style scales some by the widget's
// screen), is the base style's answer.
void tst_CustomIconStyle::pixelMetric()
{
    QFETCH(int, size);
    QCommonStyle base;
    CustomIconStyle style(size);
    QLineEdit edit;
    QCOMPARE(style.pixelMetric(QStyle::PM_SmallIconSize), size);
    QCOMPARE(style.pixelMetric(QStyle::PM_SmallIconSize, nullptr, &edit), size);

    const QMetaEnum metrics = QMetaEnum::fromType<QStyle::PixelMetric>();
    for (int i = 0; i < metrics.keyCount(); ++i) {
        const auto pm = static_cast<QStyle::PixelMetric>(metrics.value(i));
        if (pm == QStyle::PM_SmallIconSize || uint(pm) >= uint(QStyle::PM_CustomBase))
            continue;
        // QCommonStyle answers these by asking its proxy for the small icon
        // size, so through the base class they follow the pinned size.
        const bool derived = pm == QStyle::PM_ListViewIconSize || pm == QStyle::PM_TabBarIconSize;
        for (const QWidget *widget :
             {static_cast<const QWidget *>(nullptr), static_cast<const QWidget *>(&edit)}) {
            const int expected = derived ? size : base.pixelMetric(pm, nullptr, widget);
            QVERIFY2(style.pixelMetric(pm, nullptr, widget) == expected, metrics.key(i));
        }
    }
}

QTEST_MAIN(tst_CustomIconStyle)
#include "tst_CustomIconStyle.moc"
