// Row-by-row work on a visible TamTableWidget with a two-button cell widget
// per row, against the same work on a plain QTableWidget that is never shown
// (the cost of the rows themselves, without any view upkeep). Times include
// everything left for the event loop until it is idle again.

#include <QApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QTableWidget>
#include <QTextStream>
#include <QWindow>

#include "TamTableWidget.h"

#include "BenchSupport.h"

namespace {

constexpr int kColumns = 7;
constexpr double kTarget = 1.5;

QWidget *makeCellWidget(QWidget *parent)
{
    auto *cell = new QWidget(parent);
    auto *layout = new QHBoxLayout(cell);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(new QPushButton(QStringLiteral("Edit"), cell));
    layout->addWidget(new QPushButton(QStringLiteral("Delete"), cell));
    return cell;
}

// Templated so that the row operations resolve statically, as they do for
// callers holding a TamTableWidget pointer.
template<typename Table>
void appendRows(Table *table, int count)
{
    for (int i = 0; i < count; ++i) {
        const int row = table->rowCount();
        table->insertRow(row);
        for (int column = 0; column < kColumns; ++column)
            table->setItem(row, column,
                           new QTableWidgetItem(QStringLiteral("r%1 c%2").arg(i).arg(column)));
        table->setCellWidget(row, kColumns - 1, makeCellWidget(table));
    }
}

template<typename Table>
void removeRowsFromTop(Table *table)
{
    while (table->rowCount() > 0)
        table->removeRow(0);
}

template<typename Table>
void hideThenShowRows(Table *table)
{
    const int rows = table->rowCount();
    for (int row = 0; row < rows; ++row)
        table->setRowHidden(row, true);
    settleEvents();
    for (int row = 0; row < rows; ++row)
        table->setRowHidden(row, false);
}

// Qt's batch idiom for many row changes: the header's repaints are switched
// off around the loop, so no section positions are recomputed per row.
void hideThenShowRowsBatched(QTableWidget *table)
{
    QHeaderView *header = table->verticalHeader();
    header->setUpdatesEnabled(false);
    hideThenShowRows(table);
    header->setUpdatesEnabled(true);
}

template<typename Table>
void prepare(Table *table)
{
    table->setColumnCount(kColumns);
    table->resize(900, 600);
}

void showAndWait(QWidget *widget)
{
    widget->show();
    while (!widget->windowHandle() || !widget->windowHandle()->isExposed())
        QApplication::processEvents(QEventLoop::AllEvents, 10);
    settleEvents();
}

bool benchInsert(int rows)
{
    QTableWidget reference;
    prepare(&reference);
    const double refMs = benchSettledMs([&] { appendRows(&reference, rows); });

    TAMCOMMON::TamTableWidget table;
    prepare(&table);
    showAndWait(&table);
    const double ms = benchSettledMs([&] { appendRows(&table, rows); });
    return reportRatio(QStringLiteral("append rows, visible vs hidden QTableWidget"), rows, ms,
                       refMs, kTarget);
}

bool benchRemove(int rows)
{
    QTableWidget reference;
    prepare(&reference);
    appendRows(&reference, rows);
    const double refMs = benchSettledMs([&] { removeRowsFromTop(&reference); });

    TAMCOMMON::TamTableWidget table;
    prepare(&table);
    showAndWait(&table);
    appendRows(&table, rows);
    const double ms = benchSettledMs([&] { removeRowsFromTop(&table); });
    return reportRatio(QStringLiteral("remove rows from top, vs hidden QTableWidget"), rows, ms,
                       refMs, kTarget);
}

bool benchHide(int rows)
{
    QTableWidget reference;
    prepare(&reference);
    appendRows(&reference, rows);
    const double refMs = benchSettledMs([&] { hideThenShowRowsBatched(&reference); });

    TAMCOMMON::TamTableWidget table;
    prepare(&table);
    showAndWait(&table);
    appendRows(&table, rows);
    const double ms = benchSettledMs([&] { hideThenShowRows(&table); });
    return reportRatio(QStringLiteral("hide+show rows, vs hidden batched QTableWidget"), rows, ms,
                       refMs, kTarget);
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QTextStream(stdout) << "TamTableWidget, " << kColumns
                        << " items and a two-button cell widget per row\n";
    bool ok = true;
    for (int rows : {10000, 50000})
        ok &= benchInsert(rows);
    ok &= benchRemove(10000);
    for (int rows : {10000, 50000})
        ok &= benchHide(rows);
    return ok ? 0 : 1;
}
