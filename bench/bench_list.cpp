// Rows with item widgets added one by one to a visible TamListWidget, against
// the same rows put into a plain QListWidget that is never shown. Times
// include everything left for the event loop until it is idle again.

#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTextStream>
#include <QWindow>

#include "TamListWidget.h"

#include "BenchSupport.h"

namespace {

constexpr double kTarget = 1.5;

// Shaped like a user row: a name and two buttons.
QWidget *makeRowWidget(int index, QWidget *parent)
{
    auto *row = new QWidget(parent);
    auto *layout = new QHBoxLayout(row);
    layout->setContentsMargins(4, 0, 4, 0);
    layout->addWidget(new QLabel(QStringLiteral("user%1").arg(index), row), 1);
    layout->addWidget(new QPushButton(QStringLiteral("Edit"), row));
    layout->addWidget(new QPushButton(QStringLiteral("Delete"), row));
    return row;
}

void addRows(QListWidget *list, int count)
{
    for (int i = 0; i < count; ++i) {
        auto *item = new QListWidgetItem(list);
        item->setData(Qt::UserRole, QStringLiteral("user%1").arg(i));
        item->setSizeHint(QSize(200, 36));
        list->setItemWidget(item, makeRowWidget(i, list));
    }
}

void showAndWait(QWidget *widget)
{
    widget->show();
    while (!widget->windowHandle() || !widget->windowHandle()->isExposed())
        QApplication::processEvents(QEventLoop::AllEvents, 10);
    settleEvents();
}

bool benchAdd(int rows)
{
    QListWidget reference;
    reference.resize(300, 600);
    const double refMs = benchSettledMs([&] { addRows(&reference, rows); });

    TAMCOMMON::TamListWidget list;
    list.resize(300, 600);
    showAndWait(&list);
    const double ms = benchSettledMs([&] { addRows(&list, rows); });
    return reportRatio(QStringLiteral("add rows, visible vs hidden QListWidget"), rows, ms, refMs,
                       kTarget);
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QTextStream(stdout) << "TamListWidget, an item widget (label and two buttons) per row\n";
    return benchAdd(10000) ? 0 : 1;
}
