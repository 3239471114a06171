#include <QAction>
#include <QApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QtTest>

#include "IconButton.h"
#include "PEWidget.h"
#include "SearchBox.h"
#include "TableWidget.h"
#include "TamLabel.h"
#include "TamLineEdit.h"
#include "TamWidget.h"

using orlun_base::IconButton;
using orlun_base::SearchBox;
using orlun_base::TableWidget;
using TAMCOMMON::PEWidget;
using TAMCOMMON::TamLabel;
using TAMCOMMON::TamLineEdit;
using TAMCOMMON::TamWidget;

namespace {

QColor centrePixel(QWidget *widget)
{
    const QImage image = widget->grab().toImage();
    return image.pixelColor(image.rect().center());
}

QString writePng(const QTemporaryDir &dir, const QString &name, const QColor &colour)
{
    QImage image(16, 16, QImage::Format_ARGB32);
    image.fill(colour);
    const QString path = dir.filePath(name);
    image.save(path, "PNG");
    return path;
}

QColor iconColour(const QIcon &icon)
{
    return icon.pixmap(16, 16).toImage().pixelColor(8, 8);
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

class tst_BaseWidgets : public QObject
{
    Q_OBJECT

private slots:
    void styleSheetBackgroundIsPainted_data();
    void styleSheetBackgroundIsPainted();
    void peWidgetReportsClicks();

    void labelElidesAndShowsFullTextAsToolTip();
    void labelGivesWayInLayouts();

    void lineEditExposesFocusToStyleSheets();

    void searchBoxLooksLikeASearchField();
    void searchBoxEmitsEveryKeyword();

    void iconButtonSwapsIconUnderMouse();

    void tableWidgetDefaults();
    void tableWidgetBackground();
};

void tst_BaseWidgets::styleSheetBackgroundIsPainted_data()
{
    QTest::addColumn<bool>("row");
    QTest::addColumn<QString>("colour");

    QTest::newRow("PEWidget row") << true << "#213147";
    QTest::newRow("TamWidget panel") << false << "#101928";
}

void tst_BaseWidgets::styleSheetBackgroundIsPainted()
{
    QFETCH(bool, row);
    QFETCH(QString, colour);

    QWidget window;
    window.setStyleSheet(QStringLiteral("background-color: #ffffff;"));
    QWidget *widget = row ? static_cast<QWidget *>(new RowWidget(&window))
                          : static_cast<QWidget *>(new PanelWidget(&window));
    widget->setGeometry(0, 0, 60, 30);
    widget->setStyleSheet(QStringLiteral("QWidget{background-color:%1;}").arg(colour));
    window.resize(100, 50);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));

    QCOMPARE(centrePixel(widget).name(), colour);

    // The look changes with the style sheet, as the rows' hover looks do.
    widget->setStyleSheet(QStringLiteral("QWidget{background-color:#2D80D4;}"));
    QCOMPARE(centrePixel(widget).name(), QStringLiteral("#2d80d4"));
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
    QCOMPARE(clicked.count(), 1);
    QTest::mouseClick(&row, Qt::RightButton, {}, QPoint(10, 10));
    QCOMPARE(clicked.count(), 2);
    QCOMPARE(doubleClicked.count(), 0);

    QTest::mouseDClick(&row, Qt::LeftButton, {}, QPoint(20, 10));
    QCOMPARE(doubleClicked.count(), 1);
}

void tst_BaseWidgets::labelElidesAndShowsFullTextAsToolTip()
{
    const QString longName = QStringLiteral("administrator_of_the_north_building_cameras");
    TamLabel label;
    label.setFixedWidth(80);
    label.setText(longName);
    label.show();
    QVERIFY(QTest::qWaitForWindowExposed(&label));

    QCOMPARE(label.fullText(), longName);
    QVERIFY(label.text() != longName);
    QVERIFY(label.text().endsWith(QChar(0x2026)));
    QVERIFY(longName.startsWith(label.text().chopped(1)));
    QVERIFY(label.fontMetrics().horizontalAdvance(label.text()) <= label.contentsRect().width());
    QCOMPARE(label.toolTip(), longName);

    // Wide enough again: the whole text and no tool tip.
    label.setFixedWidth(label.fontMetrics().horizontalAdvance(longName) + 10);
    QTRY_COMPARE(label.text(), longName);
    QVERIFY(label.toolTip().isEmpty());

    // A short text never needed the tool tip.
    label.setFixedWidth(80);
    label.setText(QStringLiteral("bob"));
    QCOMPARE(label.text(), QStringLiteral("bob"));
    QVERIFY(label.toolTip().isEmpty());

    // A tool tip the owner set is left alone.
    label.setToolTip(QStringLiteral("account"));
    label.setText(QStringLiteral("carol"));
    QCOMPARE(label.toolTip(), QStringLiteral("account"));
}

void tst_BaseWidgets::labelGivesWayInLayouts()
{
    const QString name = QStringLiteral("a_rather_long_account_name_for_a_row");
    QWidget row;
    auto *layout = new QHBoxLayout(&row);
    auto *label = new TamLabel(&row);
    label->setText(name);
    layout->addWidget(label);
    row.show();
    QVERIFY(QTest::qWaitForWindowExposed(&row));

    QVERIFY(label->minimumSizeHint().width() < label->fontMetrics().horizontalAdvance(name) / 4);
    QVERIFY(label->sizeHint().width() >= label->fontMetrics().horizontalAdvance(name));

    row.resize(60, row.height());
    QTRY_VERIFY(label->width() <= 60);
    QTRY_VERIFY(label->text().endsWith(QChar(0x2026)));
    // Growing the row gives the label its whole text back.
    row.resize(label->sizeHint().width() + 40, row.height());
    QTRY_COMPARE(label->text(), name);
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

    other->setFocus();
    QTRY_VERIFY(other->hasFocus());
    QCOMPARE(field->property("focused").toBool(), false);
    QCOMPARE(centrePixel(field).name(), QStringLiteral("#101928"));

    field->setFocus();
    QTRY_VERIFY(field->hasFocus());
    QCOMPARE(field->property("focused").toBool(), true);
    QCOMPARE(centrePixel(field).name(), QStringLiteral("#2d80d4"));

    QTest::keyClick(&window, Qt::Key_Tab);
    QTRY_VERIFY(other->hasFocus());
    QCOMPARE(field->property("focused").toBool(), false);
    QCOMPARE(centrePixel(field).name(), QStringLiteral("#101928"));
}

void tst_BaseWidgets::searchBoxLooksLikeASearchField()
{
    SearchBox box;
    box.resize(265, 28);
    box.show();
    QVERIFY(QTest::qWaitForWindowExposed(&box));

    QCOMPARE(box.placeholderText(), QStringLiteral("Search"));
    QVERIFY(box.isClearButtonEnabled());
    QAction *search = box.findChild<QAction *>(QStringLiteral("searchAction"));
    QVERIFY(search);
    QVERIFY(box.actions().contains(search));
    QVERIFY(!search->icon().isNull());
    // Dark field: the middle of the empty box is far from white.
    QVERIFY(centrePixel(&box).lightness() < 80);
}

void tst_BaseWidgets::searchBoxEmitsEveryKeyword()
{
    SearchBox box;
    box.show();
    QVERIFY(QTest::qWaitForWindowExposed(&box));
    QSignalSpy spy(&box, &SearchBox::signalSearchByKeyword);

    QTest::keyClicks(&box, QStringLiteral("Cam"));
    QCOMPARE(spy.count(), 3);
    QCOMPARE(spy.at(0).first().toString(), QStringLiteral("C"));
    QCOMPARE(spy.at(2).first().toString(), QStringLiteral("Cam"));

    QTest::keyClick(&box, Qt::Key_Backspace);
    QCOMPARE(spy.last().first().toString(), QStringLiteral("Ca"));

    // Clearing the field lifts the filter.
    box.clear();
    QCOMPARE(spy.count(), 5);
    QVERIFY(spy.last().first().toString().isEmpty());
}

void tst_BaseWidgets::iconButtonSwapsIconUnderMouse()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString normal = writePng(dir, QStringLiteral("n.png"), QColor("#E5484D"));
    const QString hover = writePng(dir, QStringLiteral("h.png"), QColor("#30A46C"));

    IconButton button;
    button.setIcons(normal, hover);
    button.setText(QStringLiteral("Remove Channels"));
    button.show();
    QVERIFY(QTest::qWaitForWindowExposed(&button));

    QCOMPARE(button.text(), QStringLiteral("Remove Channels"));
    QCOMPARE(iconColour(button.icon()).name(), QStringLiteral("#e5484d"));

    QEvent enter(QEvent::Enter);
    QApplication::sendEvent(&button, &enter);
    QCOMPARE(iconColour(button.icon()).name(), QStringLiteral("#30a46c"));

    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(&button, &leave);
    QCOMPARE(iconColour(button.icon()).name(), QStringLiteral("#e5484d"));

    // The same image for both states stays put.
    button.setIcons(normal, normal);
    QApplication::sendEvent(&button, &enter);
    QCOMPARE(iconColour(button.icon()).name(), QStringLiteral("#e5484d"));
}

void tst_BaseWidgets::tableWidgetDefaults()
{
    TableWidget table;
    QCOMPARE(table.selectionBehavior(), QAbstractItemView::SelectRows);
    QCOMPARE(table.editTriggers(), QAbstractItemView::NoEditTriggers);
    QVERIFY(!table.showGrid());

    // Clicking a cell selects its whole row and opens no editor.
    table.setColumnCount(3);
    table.setRowCount(2);
    for (int row = 0; row < 2; ++row) {
        for (int column = 0; column < 3; ++column)
            table.setItem(row, column, new QTableWidgetItem(QStringLiteral("x")));
    }
    table.resize(300, 200);
    table.show();
    QVERIFY(QTest::qWaitForWindowExposed(&table));
    const QRect cell = table.visualItemRect(table.item(1, 1));
    QTest::mouseDClick(table.viewport(), Qt::LeftButton, {}, cell.center());
    QCOMPARE(table.selectionModel()->selectedRows().size(), 1);
    QCOMPARE(table.selectionModel()->selectedRows().first().row(), 1);
    QCOMPARE(table.selectedItems().size(), 3);
    QTest::keyClicks(table.viewport(), QStringLiteral("zz"));
    QCOMPARE(table.item(1, 1)->text(), QStringLiteral("x"));
}

void tst_BaseWidgets::tableWidgetBackground()
{
    TableWidget table;
    table.resize(200, 150);
    table.setBackgroudColor(QColor("#101928"));
    table.show();
    QVERIFY(QTest::qWaitForWindowExposed(&table));

    QCOMPARE(table.palette().color(QPalette::Base).name(), QStringLiteral("#101928"));
    QCOMPARE(centrePixel(table.viewport()).name(), QStringLiteral("#101928"));

    // A second colour replaces the first instead of piling rules up, and a
    // rule the owner set is kept.
    table.setStyleSheet(table.styleSheet() + QStringLiteral("QTableWidget{color:#ffffff;}"));
    table.setBackgroudColor(QColor("#121B2C"));
    QCOMPARE(centrePixel(table.viewport()).name(), QStringLiteral("#121b2c"));
    QVERIFY(!table.styleSheet().contains(QStringLiteral("#101928")));
    QCOMPARE(table.styleSheet().count(QStringLiteral("{background-color")), 1);
    QVERIFY(table.styleSheet().contains(QStringLiteral("color:#ffffff")));
}

QTEST_MAIN(tst_BaseWidgets)
#include "tst_BaseWidgets.moc"
