#include <QCommonStyle>
#include <QLineEdit>
#include <QMetaEnum>
#include <QSet>
#include <QStyle>
#include <QtTest>

#include "CustomIconStyle.h"

using orlun_userMgr::CustomIconStyle;

class tst_CustomIconStyle : public QObject
{
    Q_OBJECT

private slots:
    void metricsFollowTheBaseStyle_data();
    void metricsFollowTheBaseStyle();
    void smallIconSizeIsTheConstructorsSize_data();
    void smallIconSizeIsTheConstructorsSize();
    void isAStyleOfItsOwnClass();
};

void tst_CustomIconStyle::metricsFollowTheBaseStyle_data()
{
    QTest::addColumn<int>("metric");
    QTest::addColumn<bool>("withWidget");
    QTest::addColumn<bool>("derivedFromSmallIcon");

    // QCommonStyle answers these by asking its proxy for PM_SmallIconSize,
    // so through the base class they follow the pinned size too.
    const QSet<int> derived{QStyle::PM_ListViewIconSize, QStyle::PM_TabBarIconSize};

    // Every metric Qt names, asked bare and on behalf of a widget (the base
    // style scales some of them by the widget's screen).
    const QMetaEnum metrics = QMetaEnum::fromType<QStyle::PixelMetric>();
    for (int i = 0; i < metrics.keyCount(); ++i) {
        const int value = metrics.value(i);
        if (value == QStyle::PM_SmallIconSize || uint(value) >= uint(QStyle::PM_CustomBase))
            continue;
        QTest::addRow("%s", metrics.key(i)) << value << false << derived.contains(value);
        QTest::addRow("%s on a widget", metrics.key(i)) << value << true << derived.contains(value);
    }
}

void tst_CustomIconStyle::metricsFollowTheBaseStyle()
{
    QFETCH(int, metric);
    QFETCH(bool, withWidget);
    QFETCH(bool, derivedFromSmallIcon);

    QCommonStyle base;
    CustomIconStyle style(20);
    QLineEdit edit;
    const QWidget *widget = withWidget ? &edit : nullptr;
    const auto pm = static_cast<QStyle::PixelMetric>(metric);

    const int expected = derivedFromSmallIcon ? 20 : base.pixelMetric(pm, nullptr, widget);
    QCOMPARE(style.pixelMetric(pm, nullptr, widget), expected);
}

void tst_CustomIconStyle::smallIconSizeIsTheConstructorsSize_data()
{
    QTest::addColumn<int>("size");
    QTest::newRow("20, the password field's") << 20;
    QTest::newRow("32") << 32;
}

void tst_CustomIconStyle::smallIconSizeIsTheConstructorsSize()
{
    QFETCH(int, size);

    CustomIconStyle style(size);
    QLineEdit edit;
    QCOMPARE(style.pixelMetric(QStyle::PM_SmallIconSize), size);
    QCOMPARE(style.pixelMetric(QStyle::PM_SmallIconSize, nullptr, &edit), size);
    // The line edit sizes its action icons by asking its own style; once set
    // there, that answer is what the edit gets.
    edit.setStyle(&style);
    QCOMPARE(edit.style()->pixelMetric(QStyle::PM_SmallIconSize, nullptr, &edit), size);
    edit.setStyle(nullptr);
}

void tst_CustomIconStyle::isAStyleOfItsOwnClass()
{
    CustomIconStyle style(20);
    QCOMPARE(style.metaObject()->className(), "orlun_userMgr::CustomIconStyle");
    QCOMPARE(style.metaObject()->superClass(), &QCommonStyle::staticMetaObject);
}

QTEST_MAIN(tst_CustomIconStyle)
#include "tst_CustomIconStyle.moc"
