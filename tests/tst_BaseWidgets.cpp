#include <QAction>
#include <QApplication>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QToolButton>
#include <QtTest>

#include "BaseIcons.h"
#include "IconButton.h"
#include "PEWidget.h"
#include "SearchBox.h"
#include "TableWidget.h"
#include "TamLabel.h"
#include "TamLineEdit.h"
#include "TamWidget.h"

using orlun_base::BaseIcon;
using orlun_base::IconButton;
using orlun_base::SearchBox;
using orlun_base::TableWidget;
using TAMCOMMON::PEWidget;
using TAMCOMMON::TamLabel;
using TAMCOMMON::TamLineEdit;
using TAMCOMMON::TamWidget;

namespace {

QString centrePixel(QWidget *widget)
{
    const QImage image = widget->grab().toImage();
    return image.pixelColor(image.rect().center()).name();
}

QString iconColour(const QIcon &icon)
{
    return icon.pixmap(16, 16).toImage().pixelColor(8, 8).name();
}

// Subclasses, as the client's rows and forms are: a style sheet only reaches
// the screen when the class paints its own background.
class RowWidget : public PEWidget
{
public:
    using PEWidget::PEWidget;
};

class PanelWidget : public TamWidget
{
public:
    using TamWidget::TamWidget;
};

} // namespace

Q_DECLARE_METATYPE(orlun_base::BaseIcon)

class tst_BaseWidgets : public QObject
{
    Q_OBJECT

private slots:
    void styleSheetBackgroundIsPainted_data();
    void styleSheetBackgroundIsPainted();
    void peWidgetReportsClicks();
    void labelElidesAndShowsFullTextAsToolTip();
    void lineEditExposesFocusToStyleSheets();
    void searchBoxEmitsEveryKeyword();
    void iconButtonSwapsIconUnderMouse();
    void libraryIconsRenderAtTheirSize_data();
    void libraryIconsRenderAtTheirSize();
    void tableWidgetSelectsRowsWithoutEditing();
};

void tst_BaseWidgets::styleSheetBackgroundIsPainted_data()
{
    QTest::addColumn<bool>("row");
    QTest::newRow("PEWidget row") << true;
    QTest::newRow("TamWidget panel") << false;
}

void tst_BaseWidgets::styleSheetBackgroundIsPainted()
{
    QFETCH(bool, row);

    QWidget window;
    window.setStyleSheet(QStringLiteral("background-color: #ffffff;"));
    QWidget *widget = row ? static_cast<QWidget *>(new RowWidget(&window))
                          : static_cast<QWidget *>(new PanelWidget(&window));
    widget->setGeometry(0, 0, 60, 30);
    widget->setStyleSheet(QStringLiteral("QWidget{background-color:#213147;}"));
    window.resize(100, 50);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    // Grabbed through the window: grabbing the widget alone would fill it
    // with its palette whether it paints its background or not.
    auto seen = [&] {
        return window.grab().toImage().pixelColor(widget->geometry().center());
    };
    QCOMPARE(seen().name(), QStringLiteral("#213147"));

    // The look changes with the style sheet, as the rows' hover looks do.
    widget->setStyleSheet(QStringLiteral("QWidget{background-color:#2D80D4;}"));
    QCOMPARE(seen().name(), QStringLiteral("#2d80d4"));
}

void tst_BaseWidgets::peWidgetReportsClicks()
{
    RowWidget row;
    row.resize(100, 30);
    row.show();
    QVERIFY(QTest::qWaitForWindowExposed(&row));
    QSignalSpy clicked(&row, &PEWidget::signalClicked);
    QSignalSpy doubleClicked(&row, &PEWidget::signalDoubleClicked);

    QTest::mouseClick(&row, Qt::LeftButton, {}, QPoint(10, 10));
    QTest::mouseClick(&row, Qt::RightButton, {}, QPoint(10, 10));
    QCOMPARE(clicked.count(), 2);
    QCOMPARE(doubleClicked.count(), 0);
    QTest::mouseDClick(&row, Qt::LeftButton, {}, QPoint(20, 10));
    QCOMPARE(doubleClicked.count(), 1);
}

void tst_BaseWidgets::labelElidesAndShowsFullTextAsToolTip()
{
    const QString longName = QStringLiteral("administrator_of_the_north_building_cameras");
    QWidget row;
    auto *layout = new QHBoxLayout(&row);
    auto *label = new TamLabel(&row);
    label->setText(longName);
    layout->addWidget(label);
    row.resize(80, 30);
    row.show();
    QVERIFY(QTest::qWaitForWindowExposed(&row));

    // In a narrow row the label gives way and elides.
    QTRY_VERIFY(label->width() <= 80);
    QTRY_VERIFY(label->text().endsWith(QChar(0x2026)));
    QCOMPARE(label->fullText(), longName);
    QVERIFY(longName.startsWith(label->text().chopped(1)));
    QVERIFY(label->fontMetrics().horizontalAdvance(label->text()) <= label->contentsRect().width());
    QCOMPARE(label->toolTip(), longName);

    // Wide enough again: the whole text and no tool tip.
    row.resize(label->sizeHint().width() + 40, 30);
    QTRY_COMPARE(label->text(), longName);
    QVERIFY(label->toolTip().isEmpty());

    // A short text never needs the tool tip, and one the owner set stays.
    label->setToolTip(QStringLiteral("account"));
    label->setText(QStringLiteral("bob"));
    QCOMPARE(label->text(), QStringLiteral("bob"));
    QCOMPARE(label->toolTip(), QStringLiteral("account"));
}

void tst_BaseWidgets::lineEditExposesFocusToStyleSheets()
{
    QWidget window;
    window.setStyleSheet(QStringLiteral("QLineEdit{background-color:#101928;border:none;}"
                                        "QLineEdit[focused=\"true\"]{background-color:#2D80D4;}"));
    auto *layout = new QHBoxLayout(&window);
    auto *field = new TamLineEdit(&window);
    auto *other = new QLineEdit(&window);
    layout->addWidget(field);
    layout->addWidget(other);
    window.show();
    QApplication::setActiveWindow(&window);
    QVERIFY(QTest::qWaitForWindowActive(&window));

    field->setFocus();
    QTRY_VERIFY(field->hasFocus());
    QCOMPARE(centrePixel(field), QStringLiteral("#2d80d4"));
    QTest::keyClick(&window, Qt::Key_Tab);
    QTRY_VERIFY(other->hasFocus());
    QCOMPARE(centrePixel(field), QStringLiteral("#101928"));
}

void tst_BaseWidgets::searchBoxEmitsEveryKeyword()
{
    SearchBox box;
    box.show();
    QVERIFY(QTest::qWaitForWindowExposed(&box));
    QCOMPARE(box.placeholderText(), QStringLiteral("Search"));
    QSignalSpy spy(&box, &SearchBox::signalSearchByKeyword);

    QTest::keyClicks(&box, QStringLiteral("Ca"));
    QTest::keyClick(&box, Qt::Key_Backspace);
    box.clear(); // lifts the filter
    // The clear button fades out with a parentless animation that Qt leaks
    // when the box dies mid-fade; let it finish.
    const auto buttons = box.findChildren<QToolButton *>();
    for (QToolButton *button : buttons) {
        if (button->defaultAction() &&
            button->defaultAction()->objectName() == QLatin1String("_q_qlineeditclearaction"))
            QTRY_VERIFY(!button->isVisible());
    }
    QStringList keywords;
    for (const QList<QVariant> &args : spy)
        keywords << args.first().toString();
    QCOMPARE(keywords, QStringList({"C", "Ca", "C", ""}));
}

void tst_BaseWidgets::iconButtonSwapsIconUnderMouse()
{
    QTemporaryDir dir;
    QStringList paths;
    for (const char *colour : {"#E5484D", "#30A46C"}) {
        QImage image(16, 16, QImage::Format_ARGB32);
        image.fill(QColor(colour));
        paths << dir.filePath(QString::fromLatin1(colour + 1) + QStringLiteral(".png"));
        QVERIFY(image.save(paths.last(), "PNG"));
    }
    IconButton button;
    button.setIcons(paths.at(0), paths.at(1));
    button.show();
    QVERIFY(QTest::qWaitForWindowExposed(&button));
    QCOMPARE(iconColour(button.icon()), QStringLiteral("#e5484d"));

    QEvent enter(QEvent::Enter);
    QApplication::sendEvent(&button, &enter);
    QCOMPARE(iconColour(button.icon()), QStringLiteral("#30a46c"));
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(&button, &leave);
    QCOMPARE(iconColour(button.icon()), QStringLiteral("#e5484d"));
}

void tst_BaseWidgets::libraryIconsRenderAtTheirSize_data()
{
    QTest::addColumn<BaseIcon>("icon");
    QTest::addColumn<qreal>("dpr");
    QTest::addColumn<int>("side");
    QTest::newRow("question") << BaseIcon::Question << 1.0 << 40;
    QTest::newRow("warning") << BaseIcon::Warning << 1.0 << 40;
    QTest::newRow("close") << BaseIcon::Close << 1.0 << 12;
    QTest::newRow("search") << BaseIcon::Search << 1.0 << 16;
    QTest::newRow("edit") << BaseIcon::Edit << 1.0 << 14;
    QTest::newRow("delete") << BaseIcon::Delete << 1.0 << 14;
    QTest::newRow("offline") << BaseIcon::StatusOffline << 1.0 << 10;
    QTest::newRow("online") << BaseIcon::StatusOnline << 1.0 << 10;
    QTest::newRow("recording") << BaseIcon::StatusRecording << 1.0 << 10;
    QTest::newRow("alarm") << BaseIcon::StatusAlarm << 1.0 << 10;
    QTest::newRow("unknown") << BaseIcon::StatusUnknown << 1.0 << 10;
    QTest::newRow("delete on a 2x screen") << BaseIcon::Delete << 2.0 << 14;
}

void tst_BaseWidgets::libraryIconsRenderAtTheirSize()
{
    QFETCH(BaseIcon, icon);
    QFETCH(qreal, dpr);
    QFETCH(int, side);
    const QPixmap pixmap = orlun_base::basePixmap(icon, dpr);
    QVERIFY(!pixmap.isNull());
    QCOMPARE(pixmap.size(), QSize(side, side) * dpr);
    QCOMPARE(pixmap.devicePixelRatio(), dpr);
}

void tst_BaseWidgets::tableWidgetSelectsRowsWithoutEditing()
{
    TableWidget table;
    table.setColumnCount(3);
    table.setRowCount(2);
    for (int row = 0; row < 2; ++row) {
        for (int column = 0; column < 3; ++column)
            table.setItem(row, column, new QTableWidgetItem(QStringLiteral("x")));
    }
    table.resize(300, 200);
    table.setBackgroudColor(QColor("#101928"));
    // A second colour replaces the first instead of piling rules up, and a
    // rule the owner set is kept.
    table.setStyleSheet(table.styleSheet() + QStringLiteral("QTableWidget{color:#ffffff;}"));
    table.setBackgroudColor(QColor("#121B2C"));
    table.show();
    QVERIFY(QTest::qWaitForWindowExposed(&table));
    QCOMPARE(table.palette().color(QPalette::Base).name(), QStringLiteral("#121b2c"));
    QVERIFY(!table.styleSheet().contains(QStringLiteral("#101928")));
    QVERIFY(table.styleSheet().contains(QStringLiteral("color:#ffffff")));

    // Double-clicking a cell selects its whole row and opens no editor.
    const QRect cell = table.visualItemRect(table.item(1, 1));
    QTest::mouseDClick(table.viewport(), Qt::LeftButton, {}, cell.center());
    QCOMPARE(table.selectedItems().size(), 3);
    QCOMPARE(table.selectionModel()->selectedRows().value(0).row(), 1);
    QTest::keyClicks(table.viewport(), QStringLiteral("zz"));
    QCOMPARE(table.item(1, 1)->text(), QStringLiteral("x"));
}

QTEST_MAIN(tst_BaseWidgets)
#include "tst_BaseWidgets.moc"
