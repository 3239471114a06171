#include <QCheckBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QtTest>

#include "BaseIcons.h"
#include "PEWidget.h"
#include "PwdStrength.h"
#include "PwdStrengthWt.h"
#include "SearchBox.h"
#include "TableOperWtStyle.h"
#include "TableWidget.h"
#include "TamLabel.h"
#include "TamWidget.h"
#include "TestSupport.h"

using namespace orlun_base;

Q_DECLARE_METATYPE(TAMCOMMON::PwdStrength)

namespace {

QString pixelAt(QWidget *widget, QPoint at)
{
    const QImage image = widget->grab().toImage();
    return image.pixelColor(at * widget->devicePixelRatioF()).name();
}

// Subclasses, as the client's rows and forms are: a style sheet only reaches
// the screen when the class paints its own background.
class RowWidget : public TAMCOMMON::PEWidget
{
};
class PanelWidget : public TAMCOMMON::TamWidget
{
};

// The "All" box over a table as the selected-channels panel has it: a strip
// of header cells, the box in the first.
struct TickPanel
{
    QWidget widget;
    QCheckBox *selAll = new QCheckBox(QStringLiteral("All"));
    TableWidget *table = new TableWidget(&widget);

    TickPanel()
    {
        auto *outer = new QVBoxLayout(&widget);
        auto *strip = new QHBoxLayout;
        strip->addWidget(selAll);
        strip->addWidget(new QWidget);
        outer->addLayout(strip);
        outer->addWidget(table);
        table->setColumnCount(2);
        table->horizontalHeader()->hide();
        (new TableOperWtStyle(&widget))->setWts(selAll, table, strip, {1});
        widget.resize(400, 300);
        widget.show();
    }
    // Rows whose box is tickable ('u' unchecked, 'c' checked) or not ('-').
    void addRows(const QString &marks)
    {
        for (QChar mark : marks) {
            const int row = table->rowCount();
            table->insertRow(row);
            auto *item = new QTableWidgetItem;
            item->setFlags(item->flags().setFlag(Qt::ItemIsUserCheckable, mark != '-'));
            item->setCheckState(mark == 'c' ? Qt::Checked : Qt::Unchecked);
            table->setItem(row, 0, item);
        }
    }
    QString marks() const
    {
        QString result;
        for (int row = 0; row < table->rowCount(); ++row)
            result += table->item(row, 0)->checkState() == Qt::Checked ? 'c' : 'u';
        return result;
    }
};

} // namespace

class tst_BaseWidgets : public QObject
{
    Q_OBJECT

private slots:
    void styleSheetBackgroundIsPainted();
    void labelElidesAndShowsFullTextAsToolTip();
    void searchBoxEmitsEveryKeyword();
    void selAllTicksVisibleTickableRows();
    void selAllFollowsTheRows();
    void pwdRating_data();
    void pwdRating();
    void libraryIconsRenderAtTheirSize();
};

void tst_BaseWidgets::styleSheetBackgroundIsPainted()
{
    QWidget window;
    window.setStyleSheet(QStringLiteral("background-color: #ffffff;"));
    QWidget *row = new RowWidget, *panel = new PanelWidget;
    row->setParent(&window);
    panel->setParent(&window);
    row->setGeometry(0, 0, 60, 30);
    panel->setGeometry(0, 30, 60, 30);
    window.resize(100, 60);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    // Grabbed through the window: grabbing the widget alone would fill it
    // with its palette whether it paints its background or not. The look
    // changes with the style sheet, as the rows' hover looks do.
    for (const QString colour : {"#213147", "#2d80d4"}) {
        for (QWidget *widget : {row, panel}) {
            widget->setStyleSheet("QWidget{background-color:" + colour + ";}");
            QCOMPARE(pixelAt(&window, widget->geometry().center()), colour);
        }
    }
}

void tst_BaseWidgets::labelElidesAndShowsFullTextAsToolTip()
{
    const QString longName = QStringLiteral("administrator_of_the_north_building_cameras");
    QWidget row;
    auto *label = new TAMCOMMON::TamLabel(&row);
    (new QHBoxLayout(&row))->addWidget(label);
    label->setText(longName);
    row.resize(80, 30);
    row.show();
    QVERIFY(QTest::qWaitForWindowExposed(&row));

    // In a narrow row the label gives way and elides.
    QTRY_VERIFY(label->text().endsWith(QChar(0x2026)));
    QCOMPARE(label->fullText(), longName);
    QVERIFY(longName.startsWith(label->text().chopped(1)));
    QVERIFY(label->fontMetrics().horizontalAdvance(label->text()) <= label->contentsRect().width());
    QCOMPARE(label->toolTip(), longName);
    // Wide enough again: the whole text and no tool tip.
    row.resize(label->sizeHint().width() + 40, 30);
    QTRY_COMPARE(label->text(), longName);
    QVERIFY(label->toolTip().isEmpty());
    // A tool tip the owner set stays.
    label->setToolTip(QStringLiteral("account"));
    label->setText(QStringLiteral("bob"));
    QCOMPARE(label->toolTip(), QStringLiteral("account"));
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
    waitForClearButtonFades(&box);
    QStringList keywords;
    for (const QList<QVariant> &args : spy)
        keywords << args.first().toString();
    QCOMPARE(keywords, QStringList({"C", "Ca", "C", ""}));
}

void tst_BaseWidgets::selAllTicksVisibleTickableRows()
{
    TickPanel panel;
    QVERIFY(QTest::qWaitForWindowExposed(&panel.widget));
    panel.addRows(QStringLiteral("ucuu-"));
    // Rows a keyword filtered out stay as they are.
    panel.table->setRowHidden(2, true);
    QTRY_COMPARE(panel.selAll->checkState(), Qt::PartiallyChecked);

    // From partial a click ticks every row, then clicks alternate between
    // the two full states and never land on partial, not even once the
    // rows' changes have been taken in.
    for (const QString marks : {"ccucu", "uuuuu", "ccucu"}) {
        QTest::mouseClick(panel.selAll, Qt::LeftButton, {}, QPoint(5, panel.selAll->height() / 2));
        const Qt::CheckState expected = marks[0] == 'c' ? Qt::Checked : Qt::Unchecked;
        QCOMPARE(panel.selAll->checkState(), expected);
        QCOMPARE(panel.marks(), marks);
        QTest::qWait(5);
        QCOMPARE(panel.selAll->checkState(), expected);
    }
}

void tst_BaseWidgets::selAllFollowsTheRows()
{
    TickPanel panel;
    QVERIFY(QTest::qWaitForWindowExposed(&panel.widget));
    // Rows the user cannot tick do not keep the box from being full.
    panel.addRows(QStringLiteral("c-u"));
    QTRY_COMPARE(panel.selAll->checkState(), Qt::PartiallyChecked);
    // Ticked from the keyboard, as a person walking the rows does.
    panel.table->setCurrentCell(2, 0);
    QTest::keyClick(panel.table, Qt::Key_Space);
    QTRY_COMPARE(panel.selAll->checkState(), Qt::Checked);
    panel.addRows(QStringLiteral("u"));
    QTRY_COMPARE(panel.selAll->checkState(), Qt::PartiallyChecked);
    // A keyword that hides the unticked row leaves only ticked rows in view.
    panel.table->setRowHidden(3, true);
    QTRY_COMPARE(panel.selAll->checkState(), Qt::Checked);
    panel.table->setRowHidden(3, false);
    QTRY_COMPARE(panel.selAll->checkState(), Qt::PartiallyChecked);
    panel.table->removeRow(3);
    QTRY_COMPARE(panel.selAll->checkState(), Qt::Checked);
}

void tst_BaseWidgets::pwdRating_data()
{
    QTest::addColumn<QString>("pwd");
    QTest::addColumn<TAMCOMMON::PwdStrength>("expected");

    const QMap<TAMCOMMON::PwdStrength, QStringList> rated{
        {TAMCOMMON::PwdEmpty, {""}},
        // Cracking word lists, "upper, lower, digit, symbol" around a word
        // and a year, two words.
        {TAMCOMMON::PwdWeak,
         {"123456", "password", "qwerty123", "Passw0rd", "Admin@123", "Winter#2024",
          "correct horse"}},
        {TAMCOMMON::PwdMedium, {"T7#kq", "Blue7Kettle", "Secure#Pass2024"}},
        {TAMCOMMON::PwdStrong,
         {"correct horse battery", "T7#kq!Vz9@pL", "T7#kq!V",
          QString::fromUtf8("天空之城の秘密2024!")}}};
    for (auto it = rated.cbegin(); it != rated.cend(); ++it) {
        for (const QString &pwd : it.value())
            QTest::newRow(qPrintable("'" + pwd + "'")) << pwd << it.key();
    }
}

void tst_BaseWidgets::pwdRating()
{
    QFETCH(QString, pwd);
    QFETCH(TAMCOMMON::PwdStrength, expected);
    QCOMPARE(TAMCOMMON::checkPwdStrength(pwd), expected);
    // The meter names the level; from a lit meter, so that going back to
    // fewer bars is seen too.
    PwdStrengthWt meter;
    meter.setPwd(QStringLiteral("T7#kq!Vz9@pL"));
    meter.setPwd(pwd);
    QCOMPARE(meter.strengthText(), QStringList({"", "Weak", "Medium", "Strong"}).at(expected + 1));
}

// Each icon is drawn square, sharp on the screen it is asked for.
void tst_BaseWidgets::libraryIconsRenderAtTheirSize()
{
    for (int icon = int(BaseIcon::Question); icon <= int(BaseIcon::StatusUnknown); ++icon) {
        const QPixmap one = basePixmap(BaseIcon(icon), 1.0), two = basePixmap(BaseIcon(icon), 2.0);
        QVERIFY(!one.isNull() && one.width() == one.height());
        QCOMPARE(two.size(), one.size() * 2);
        QCOMPARE(two.devicePixelRatio(), 2.0);
    }
}

QTEST_MAIN(tst_BaseWidgets)
#include "tst_BaseWidgets.moc"
