#include <QCheckBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QScrollBar>
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
    QCheckBox *selAll = nullptr;
    TableWidget *table = new TableWidget(&widget);
    QList<QWidget *> cells;

    Panel()
    {
        auto *outer = new QVBoxLayout(&widget);
        outer->setContentsMargins(0, 0, 0, 0);
        outer->setSpacing(0);
        auto *strip = new QWidget(&widget);
        strip->setFixedHeight(30);
        auto *headerLayout = new QHBoxLayout(strip);
        headerLayout->setContentsMargins(0, 0, 0, 0);
        headerLayout->setSpacing(0);
        for (int column = 0; column < 7; ++column) {
            QWidget *cell = column ? new QLabel(QStringLiteral("col %1").arg(column), strip)
                                   : new QWidget(strip);
            cell->setMinimumWidth(column == 0 ? 65 : column == 6 ? 85 : 100);
            cell->setMaximumWidth(column % 6 ? 2000 : cell->minimumWidth());
            headerLayout->addWidget(cell);
            cells << cell;
        }
        auto *allLayout = new QHBoxLayout(cells.at(0));
        allLayout->setContentsMargins(9, 0, 0, 0);
        selAll = new QCheckBox(QStringLiteral("All"), cells.at(0));
        allLayout->addWidget(selAll);
        outer->addWidget(strip);

        table->setColumnCount(7);
        table->horizontalHeader()->setVisible(false);
        table->verticalHeader()->setVisible(false);
        table->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        QHeaderView *header = table->horizontalHeader();
        header->setSectionResizeMode(QHeaderView::Stretch);
        for (int column : {0, 6}) {
            header->setSectionResizeMode(column, QHeaderView::Fixed);
            header->resizeSection(column, cells.at(column)->minimumWidth());
        }
        outer->addWidget(table, 1);
        (new TableOperWtStyle(&widget))->setWts(selAll, table, headerLayout, {6});
        widget.resize(900, 400);
        widget.show();
    }

    // Adds rows whose column-0 box is tickable ('u' unchecked, 'c' checked)
    // or not ('-').
    void addRows(const QString &marks)
    {
        for (QChar mark : marks) {
            const int row = table->rowCount();
            table->insertRow(row);
            auto *item = new QTableWidgetItem;
            item->setFlags(item->flags().setFlag(Qt::ItemIsUserCheckable, mark != '-'));
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
};

// Ticks a row's box from the keyboard, as a person walking the rows does.
void tickRow(QTableWidget *table, int row)
{
    table->setCurrentCell(row, 0);
    QTest::keyClick(table, Qt::Key_Space);
}

} // namespace

class tst_TableOperWtStyle : public QObject
{
    Q_OBJECT

private slots:
    void tickingAllChecksVisibleTickableRows();
    void boxFollowsUserTicksOnRows();
    void boxFollowsRowsComingGoingAndHiding();
    void headerCellsKeepColumnWidths();
};

void tst_TableOperWtStyle::tickingAllChecksVisibleTickableRows()
{
    Panel panel;
    QVERIFY(QTest::qWaitForWindowExposed(&panel.widget));
    panel.addRows(QStringLiteral("ucuu-"));
    // Filtered out rows stay as they are.
    panel.table->setRowHidden(2, true);
    QTRY_COMPARE(panel.selAll->checkState(), Qt::PartiallyChecked);

    // From partial a click ticks every row, then clicks alternate between
    // the two full states and never land on partial, not even once the
    // rows' changes have been taken in.
    for (const char *marks : {"ccucu", "uuuuu", "ccucu"}) {
        QTest::mouseClick(panel.selAll, Qt::LeftButton);
        const Qt::CheckState expected = marks[0] == 'c' ? Qt::Checked : Qt::Unchecked;
        QCOMPARE(panel.selAll->checkState(), expected);
        QCOMPARE(panel.marks(), QString::fromLatin1(marks));
        QTest::qWait(5);
        QCOMPARE(panel.selAll->checkState(), expected);
    }
}

void tst_TableOperWtStyle::boxFollowsUserTicksOnRows()
{
    Panel panel;
    QVERIFY(QTest::qWaitForWindowExposed(&panel.widget));
    panel.addRows(QStringLiteral("uu"));
    QTRY_COMPARE(panel.selAll->checkState(), Qt::Unchecked);

    tickRow(panel.table, 0);
    QCOMPARE(panel.marks(), QStringLiteral("cu"));
    QTRY_COMPARE(panel.selAll->checkState(), Qt::PartiallyChecked);
    tickRow(panel.table, 1);
    QTRY_COMPARE(panel.selAll->checkState(), Qt::Checked);
    tickRow(panel.table, 0);
    QTRY_COMPARE(panel.selAll->checkState(), Qt::PartiallyChecked);
}

void tst_TableOperWtStyle::boxFollowsRowsComingGoingAndHiding()
{
    Panel panel;
    QVERIFY(QTest::qWaitForWindowExposed(&panel.widget));
    // Rows the user cannot tick do not keep the box from being full.
    panel.addRows(QStringLiteral("c-c"));
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
    panel.table->removeRow(0);
    panel.table->setRowHidden(1, true);
    panel.addRows(QStringLiteral("u"));
    QTRY_COMPARE(panel.selAll->checkState(), Qt::Unchecked);
}

void tst_TableOperWtStyle::headerCellsKeepColumnWidths()
{
    Panel panel;
    QVERIFY(QTest::qWaitForWindowExposed(&panel.widget));
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

    // The operation column keeps its width whatever the panel does, and the
    // fixed header cells do not pin the panel at its widest size.
    panel.widget.resize(700, 400);
    QTRY_COMPARE(panel.table->width(), 700);
    QVERIFY(panel.widget.minimumSizeHint().width() <= 700);
    QTRY_VERIFY(cellsMatchColumns());
    QCOMPARE(panel.table->columnWidth(6), 85);
    QVERIFY(panel.table->horizontalHeader()->sectionResizeMode(6) == QHeaderView::Fixed);
}

QTEST_MAIN(tst_TableOperWtStyle)
#include "tst_TableOperWtStyle.moc"
