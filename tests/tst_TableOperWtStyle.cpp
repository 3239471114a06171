#include <QCheckBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QScrollBar>
#include <QStyle>
#include <QStyleOptionButton>
#include <QVBoxLayout>
#include <QtTest>

#include "TableOperWtStyle.h"
#include "TableWidget.h"

#include <memory>

using orlun_base::TableOperWtStyle;
using orlun_base::TableWidget;

Q_DECLARE_METATYPE(Qt::CheckState)

namespace {

// A panel laid out like the client's selected-channels table: a strip of
// seven header cells (a fixed 65 cell with the "All" box, five labels, a fixed
// 85 operation cell) over a table with hidden headers.
struct Panel
{
    QWidget widget;
    QWidget *strip = nullptr;
    QHBoxLayout *headerLayout = nullptr;
    QCheckBox *selAll = nullptr;
    TableWidget *table = nullptr;
    TableOperWtStyle *style = nullptr;
    QList<QWidget *> cells;

    Panel()
    {
        auto *outer = new QVBoxLayout(&widget);
        outer->setContentsMargins(0, 0, 0, 0);
        outer->setSpacing(0);

        strip = new QWidget(&widget);
        strip->setMinimumSize(0, 30);
        strip->setMaximumSize(16777215, 30);
        headerLayout = new QHBoxLayout(strip);
        headerLayout->setContentsMargins(0, 0, 0, 0);
        headerLayout->setSpacing(0);
        auto *orderNumWt = new QWidget(strip);
        orderNumWt->setMinimumSize(65, 0);
        orderNumWt->setMaximumSize(65, 16777215);
        auto *orderLayout = new QHBoxLayout(orderNumWt);
        orderLayout->setContentsMargins(9, 0, 0, 0);
        selAll = new QCheckBox(QStringLiteral("All"), orderNumWt);
        selAll->setObjectName(QStringLiteral("selAll"));
        orderLayout->addWidget(selAll);
        orderLayout->addStretch();
        headerLayout->addWidget(orderNumWt);
        cells << orderNumWt;
        for (const char *text :
             {"Channel Name", "Dev Sn / Brand", "Ip", "Channel Index", "Status"}) {
            auto *label = new QLabel(QString::fromLatin1(text), strip);
            label->setMinimumSize(100, 0);
            label->setMaximumSize(2000, 16777215);
            headerLayout->addWidget(label);
            cells << label;
        }
        auto *oper = new QLabel(QStringLiteral("Operation"), strip);
        oper->setMinimumSize(85, 0);
        oper->setMaximumSize(85, 16777215);
        headerLayout->addWidget(oper);
        cells << oper;
        outer->addWidget(strip);

        table = new TableWidget(&widget);
        table->setColumnCount(7);
        table->horizontalHeader()->setVisible(false);
        table->verticalHeader()->setVisible(false);
        table->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        QHeaderView *header = table->horizontalHeader();
        header->setSectionResizeMode(0, QHeaderView::Fixed);
        header->resizeSection(0, 65);
        header->setSectionResizeMode(6, QHeaderView::Fixed);
        header->resizeSection(6, 85);
        for (int column = 1; column < 6; ++column)
            header->setSectionResizeMode(column, QHeaderView::Stretch);
        outer->addWidget(table, 1);

        style = new TableOperWtStyle(&widget);
        style->setWts(selAll, table, headerLayout, {6});
    }

    // Adds rows whose column-0 box is tickable ('u' unchecked, 'c' checked)
    // or not ('-').
    void addRows(const QString &marks)
    {
        for (QChar mark : marks) {
            const int row = table->rowCount();
            table->insertRow(row);
            auto *item = new QTableWidgetItem;
            if (mark == QLatin1Char('-'))
                item->setFlags(item->flags() & ~Qt::ItemIsUserCheckable);
            else
                item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
            item->setCheckState(mark == QLatin1Char('c') ? Qt::Checked : Qt::Unchecked);
            table->setItem(row, 0, item);
            table->setItem(row, 1, new QTableWidgetItem(QStringLiteral("row %1").arg(row)));
        }
    }

    QString marks() const
    {
        QString result;
        for (int row = 0; row < table->rowCount(); ++row)
            result += table->item(row, 0)->checkState() == Qt::Checked ? QLatin1Char('c')
                                                                       : QLatin1Char('u');
        return result;
    }

    void show()
    {
        widget.resize(900, 400);
        widget.show();
        QVERIFY(QTest::qWaitForWindowExposed(&widget));
    }
};

// Clicks the check box's indicator, where a person would.
void clickBox(QCheckBox *box)
{
    QStyleOptionButton option;
    option.initFrom(box);
    const QRect indicator =
        box->style()->subElementRect(QStyle::SE_CheckBoxIndicator, &option, box);
    QTest::mouseClick(box, Qt::LeftButton, {}, indicator.center());
}

void clickRowBox(QTableWidget *table, int row)
{
    // The check box sits at the left of the cell; the view toggles it on a
    // release within the indicator.
    QTableWidgetItem *item = table->item(row, 0);
    const QRect cell = table->visualItemRect(item);
    QStyleOptionViewItem option;
    option.initFrom(table);
    option.rect = cell;
    option.features |= QStyleOptionViewItem::HasCheckIndicator;
    const QRect indicator =
        table->style()->subElementRect(QStyle::SE_ItemViewItemCheckIndicator, &option, table);
    QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, indicator.center());
}

} // namespace

class tst_TableOperWtStyle : public QObject
{
    Q_OBJECT

private slots:
    void boxFollowsRows_data();
    void boxFollowsRows();
    void tickingAllChecksVisibleTickableRows();
    void userNeverClicksIntoPartial();
    void boxFollowsUserTicksOnRows();
    void boxFollowsRowsComingAndGoing();
    void boxFollowsHiddenRows();
    void headerCellsKeepColumnWidths();
    void panelCanShrinkAgain();
};

void tst_TableOperWtStyle::boxFollowsRows_data()
{
    QTest::addColumn<QString>("rows");
    QTest::addColumn<Qt::CheckState>("expected");

    QTest::newRow("no rows") << "" << Qt::Unchecked;
    QTest::newRow("none ticked") << "uuu" << Qt::Unchecked;
    QTest::newRow("some ticked") << "ucu" << Qt::PartiallyChecked;
    QTest::newRow("all ticked") << "ccc" << Qt::Checked;
    QTest::newRow("no tickable rows") << "---" << Qt::Unchecked;
    // Rows the user cannot tick do not keep the box from being full.
    QTest::newRow("all tickable ticked") << "c-c" << Qt::Checked;
}

void tst_TableOperWtStyle::boxFollowsRows()
{
    QFETCH(QString, rows);
    QFETCH(Qt::CheckState, expected);

    Panel panel;
    panel.show();
    panel.addRows(rows);
    QTRY_COMPARE(panel.selAll->checkState(), expected);
}

void tst_TableOperWtStyle::tickingAllChecksVisibleTickableRows()
{
    Panel panel;
    panel.show();
    panel.addRows(QStringLiteral("uuuu-"));
    // Filtered out rows stay as they are.
    panel.table->setRowHidden(2, true);

    clickBox(panel.selAll);
    QCOMPARE(panel.selAll->checkState(), Qt::Checked);
    QCOMPARE(panel.marks(), QStringLiteral("ccucu"));

    clickBox(panel.selAll);
    QCOMPARE(panel.selAll->checkState(), Qt::Unchecked);
    QCOMPARE(panel.marks(), QStringLiteral("uuuuu"));
}

void tst_TableOperWtStyle::userNeverClicksIntoPartial()
{
    Panel panel;
    panel.show();
    panel.addRows(QStringLiteral("ucu"));
    QTRY_COMPARE(panel.selAll->checkState(), Qt::PartiallyChecked);

    // From partial a click ticks every row, then clicks alternate between
    // the two full states and never land on partial.
    for (Qt::CheckState expected : {Qt::Checked, Qt::Unchecked, Qt::Checked, Qt::Unchecked}) {
        clickBox(panel.selAll);
        QCOMPARE(panel.selAll->checkState(), expected);
        QCOMPARE(panel.marks(), QString(3, expected == Qt::Checked ? 'c' : 'u'));
        QTest::qWait(5);
        QCOMPARE(panel.selAll->checkState(), expected);
    }

    // Also with no tickable rows at all.
    Panel empty;
    empty.show();
    clickBox(empty.selAll);
    QVERIFY(empty.selAll->checkState() != Qt::PartiallyChecked);
}

void tst_TableOperWtStyle::boxFollowsUserTicksOnRows()
{
    Panel panel;
    panel.show();
    panel.addRows(QStringLiteral("uu"));
    QTRY_COMPARE(panel.selAll->checkState(), Qt::Unchecked);

    clickRowBox(panel.table, 0);
    QCOMPARE(panel.marks(), QStringLiteral("cu"));
    QTRY_COMPARE(panel.selAll->checkState(), Qt::PartiallyChecked);
    clickRowBox(panel.table, 1);
    QTRY_COMPARE(panel.selAll->checkState(), Qt::Checked);
    clickRowBox(panel.table, 0);
    QTRY_COMPARE(panel.selAll->checkState(), Qt::PartiallyChecked);
}

void tst_TableOperWtStyle::boxFollowsRowsComingAndGoing()
{
    Panel panel;
    panel.show();
    panel.addRows(QStringLiteral("cc"));
    QTRY_COMPARE(panel.selAll->checkState(), Qt::Checked);

    panel.addRows(QStringLiteral("u"));
    QTRY_COMPARE(panel.selAll->checkState(), Qt::PartiallyChecked);
    panel.table->removeRow(2);
    QTRY_COMPARE(panel.selAll->checkState(), Qt::Checked);
    panel.table->removeRow(0);
    panel.table->removeRow(0);
    QTRY_COMPARE(panel.selAll->checkState(), Qt::Unchecked);
}

void tst_TableOperWtStyle::boxFollowsHiddenRows()
{
    Panel panel;
    panel.show();
    panel.addRows(QStringLiteral("ccu"));
    QTRY_COMPARE(panel.selAll->checkState(), Qt::PartiallyChecked);

    // A keyword that hides the unticked row leaves only ticked rows in view.
    panel.table->setRowHidden(2, true);
    QTRY_COMPARE(panel.selAll->checkState(), Qt::Checked);
    panel.table->setRowHidden(2, false);
    QTRY_COMPARE(panel.selAll->checkState(), Qt::PartiallyChecked);
    panel.table->setRowHidden(0, true);
    panel.table->setRowHidden(1, true);
    QTRY_COMPARE(panel.selAll->checkState(), Qt::Unchecked);
}

void tst_TableOperWtStyle::headerCellsKeepColumnWidths()
{
    Panel panel;
    panel.show();
    panel.addRows(QStringLiteral("uuu"));

    auto cellsMatchColumns = [&panel]() {
        for (int column = 0; column < 7; ++column) {
            if (panel.cells.at(column)->width() != panel.table->columnWidth(column))
                return false;
            // Cell i stands above column i.
            const int cellLeft = panel.cells.at(column)->mapTo(&panel.widget, QPoint()).x();
            const int columnLeft = panel.table->viewport()->mapTo(&panel.widget, QPoint()).x() +
                                   panel.table->columnViewportPosition(column);
            if (cellLeft != columnLeft)
                return false;
        }
        return true;
    };
    QTRY_VERIFY(cellsMatchColumns());
    QCOMPARE(panel.table->columnWidth(0), 65);
    QCOMPARE(panel.table->columnWidth(6), 85);

    panel.widget.resize(1400, 400);
    QTRY_VERIFY(cellsMatchColumns());
    QVERIFY(panel.table->columnWidth(1) > 200);

    // Enough rows for a vertical scroll bar: the columns narrow, so do the cells.
    panel.addRows(QString(60, QLatin1Char('u')));
    QTRY_VERIFY(panel.table->verticalScrollBar()->isVisible());
    QTRY_VERIFY(cellsMatchColumns());

    // The operation column keeps its width whatever the panel does.
    panel.widget.resize(700, 400);
    QTRY_VERIFY(cellsMatchColumns());
    QCOMPARE(panel.table->columnWidth(6), 85);
    QVERIFY(panel.table->horizontalHeader()->sectionResizeMode(6) == QHeaderView::Fixed);
}

void tst_TableOperWtStyle::panelCanShrinkAgain()
{
    Panel panel;
    panel.show();
    panel.widget.resize(1600, 400);
    QTRY_COMPARE(panel.table->width(), 1600);
    QTRY_VERIFY(panel.cells.at(1)->width() > 250);

    // Fixed header cells must not pin the panel at its widest size.
    panel.widget.resize(800, 400);
    QTRY_COMPARE(panel.widget.width(), 800);
    QTRY_COMPARE(panel.table->width(), 800);
    QVERIFY(panel.widget.minimumSizeHint().width() <= 800);
    QTRY_COMPARE(panel.cells.at(1)->width(), panel.table->columnWidth(1));
}

QTEST_MAIN(tst_TableOperWtStyle)
#include "tst_TableOperWtStyle.moc"
