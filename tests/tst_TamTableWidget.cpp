#include <QHBoxLayout>
#include <QHeaderView>
#include <QPointer>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QtTest>

#include "TamTableWidget.h"

using TAMCOMMON::TamTableWidget;

namespace {

constexpr int kColumns = 3;
constexpr int kWidgetColumn = 2;

// A row operation cell: two buttons, named after the row's key.
QWidget *makeCell(const QString &key, QWidget *parent)
{
    auto *cell = new QWidget(parent);
    cell->setObjectName(key);
    auto *layout = new QHBoxLayout(cell);
    layout->setContentsMargins(0, 0, 0, 0);
    auto *edit = new QPushButton(QStringLiteral("Edit"), cell);
    edit->setObjectName(QStringLiteral("editBt"));
    auto *remove = new QPushButton(QStringLiteral("Delete"), cell);
    remove->setObjectName(QStringLiteral("deleteBt"));
    layout->addWidget(edit);
    layout->addWidget(remove);
    return cell;
}

QString keyOf(int i)
{
    return QStringLiteral("row%1").arg(i, 5, 10, QLatin1Char('0'));
}

void appendRow(TamTableWidget *table, const QString &key)
{
    const int row = table->rowCount();
    table->insertRow(row);
    auto *first = new QTableWidgetItem(key);
    first->setData(Qt::UserRole, key);
    table->setItem(row, 0, first);
    table->setItem(row, 1, new QTableWidgetItem(key.right(2)));
    table->setItem(row, kWidgetColumn, new QTableWidgetItem);
    table->setCellWidget(row, kWidgetColumn, makeCell(key, table));
}

// Whether every row's cell widget belongs to that row and, once the table
// has settled, covers the row's cell.
bool cellWidgetsInPlace(TamTableWidget *table, QString *error)
{
    for (int row = 0; row < table->rowCount(); ++row) {
        QWidget *cell = table->cellWidget(row, kWidgetColumn);
        const QString key = table->item(row, 0)->data(Qt::UserRole).toString();
        if (!cell || cell->objectName() != key) {
            *error = QStringLiteral("row %1: wrong cell widget").arg(row);
            return false;
        }
        if (table->isRowHidden(row)) {
            if (!cell->isHidden()) {
                *error = QStringLiteral("row %1 is hidden, its cell widget is not").arg(row);
                return false;
            }
            continue;
        }
        const QRect expected = table->visualRect(table->model()->index(row, kWidgetColumn));
        if (cell->geometry() != expected || cell->isHidden()) {
            *error = QStringLiteral("row %1: cell widget at %2,%3 %4x%5, cell at %6,%7 %8x%9")
                         .arg(row)
                         .arg(cell->x())
                         .arg(cell->y())
                         .arg(cell->width())
                         .arg(cell->height())
                         .arg(expected.x())
                         .arg(expected.y())
                         .arg(expected.width())
                         .arg(expected.height());
            return false;
        }
    }
    return true;
}

} // namespace

class tst_TamTableWidget : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void insertRows_data();
    void insertRows();
    void insertKeepsFocusInCellWidget();
    void removeRows_data();
    void removeRows();
    void removeRowFromItsOwnButton();
    void hideAndShowRows_data();
    void hideAndShowRows();
    void sortingMovesCellWidgets();

private:
    void fill(int rows);
    void verifySettled();

    TamTableWidget *m_table = nullptr;
};

void tst_TamTableWidget::init()
{
    m_table = new TamTableWidget;
    m_table->setColumnCount(kColumns);
    m_table->resize(500, 400);
    m_table->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_table));
}

void tst_TamTableWidget::cleanup()
{
    delete m_table;
    m_table = nullptr;
}

void tst_TamTableWidget::fill(int rows)
{
    for (int i = 0; i < rows; ++i)
        appendRow(m_table, keyOf(i));
}

void tst_TamTableWidget::verifySettled()
{
    QString error;
    QTRY_VERIFY2(cellWidgetsInPlace(m_table, &error), qPrintable(error));
    QTRY_VERIFY(m_table->viewport()->isVisible());
    QTRY_VERIFY(m_table->updatesEnabled());
    QTRY_VERIFY(m_table->verticalHeader()->updatesEnabled());
}

void tst_TamTableWidget::insertRows_data()
{
    QTest::addColumn<int>("rows");
    QTest::newRow("a few") << 5;
    QTest::newRow("more than a screen") << 40;
    QTest::newRow("a long run") << 400;
}

void tst_TamTableWidget::insertRows()
{
    QFETCH(int, rows);
    fill(rows);
    // Counts and data are right at once, before the event loop runs.
    QCOMPARE(m_table->rowCount(), rows);
    QCOMPARE(m_table->item(rows - 1, 0)->data(Qt::UserRole).toString(), keyOf(rows - 1));
    QCOMPARE(m_table->cellWidget(rows - 1, kWidgetColumn)->objectName(), keyOf(rows - 1));

    verifySettled();
    QVERIFY(m_table->cellWidget(0, kWidgetColumn)->isVisible());

    // Inserting in the middle shifts the rows below with their widgets.
    m_table->insertRow(1);
    m_table->setItem(1, 0, new QTableWidgetItem(QStringLiteral("middle")));
    m_table->item(1, 0)->setData(Qt::UserRole, QStringLiteral("middle"));
    m_table->setCellWidget(1, kWidgetColumn, makeCell(QStringLiteral("middle"), m_table));
    QCOMPARE(m_table->rowCount(), rows + 1);
    verifySettled();

    // The scroll range covers every row: the last one can be scrolled to.
    m_table->scrollToBottom();
    QWidget *last = m_table->cellWidget(rows, kWidgetColumn);
    QTRY_VERIFY(m_table->viewport()->rect().contains(last->geometry()));
    QVERIFY(last->isVisible());
    if (rows > 20)
        QVERIFY(m_table->verticalScrollBar()->value() > 0);
}

void tst_TamTableWidget::insertKeepsFocusInCellWidget()
{
    fill(3);
    verifySettled();
    auto *button = m_table->cellWidget(1, kWidgetColumn)->findChild<QPushButton *>("editBt");
    m_table->activateWindow();
    button->setFocus();
    QTRY_VERIFY(button->hasFocus());

    fill(200);
    QVERIFY(button->hasFocus());
    verifySettled();
    QVERIFY(button->hasFocus());
}

void tst_TamTableWidget::removeRows_data()
{
    QTest::addColumn<int>("rows");
    QTest::addColumn<int>("step");
    QTest::newRow("every other row") << 60 << 2;
    QTest::newRow("all rows from the top") << 150 << 1;
}

void tst_TamTableWidget::removeRows()
{
    QFETCH(int, rows);
    QFETCH(int, step);
    fill(rows);
    verifySettled();

    QVector<QPointer<QWidget>> removed;
    QStringList kept;
    for (int i = 0; i < rows; ++i) {
        if (i % step == 0)
            removed.append(m_table->cellWidget(i / step * (step - 1), kWidgetColumn));
        else
            kept.append(keyOf(i));
        if (i % step == 0)
            m_table->removeRow(i / step * (step - 1));
    }
    QCOMPARE(m_table->rowCount(), kept.size());
    for (int row = 0; row < kept.size(); ++row)
        QCOMPARE(m_table->item(row, 0)->data(Qt::UserRole).toString(), kept.at(row));

    verifySettled();
    for (const QPointer<QWidget> &widget : removed)
        QTRY_VERIFY(widget.isNull());
}

void tst_TamTableWidget::removeRowFromItsOwnButton()
{
    fill(6);
    verifySettled();
    // As a row's delete button does: the row goes while the button's
    // clicked signal is still being emitted.
    QPointer<QWidget> cell = m_table->cellWidget(2, kWidgetColumn);
    auto *button = cell->findChild<QPushButton *>("deleteBt");
    QTableWidgetItem *first = m_table->item(2, 0);
    connect(button, &QPushButton::clicked, m_table,
            [this, first] { m_table->removeRow(first->row()); });
    QTest::mouseClick(button, Qt::LeftButton);

    QCOMPARE(m_table->rowCount(), 5);
    QCOMPARE(m_table->item(2, 0)->data(Qt::UserRole).toString(), keyOf(3));
    QTRY_VERIFY(cell.isNull());
    verifySettled();
}

void tst_TamTableWidget::hideAndShowRows_data()
{
    QTest::addColumn<int>("rows");
    QTest::addColumn<int>("modulo");
    QTest::newRow("every third of a few") << 12 << 3;
    QTest::newRow("all but every tenth") << 300 << 10;
}

void tst_TamTableWidget::hideAndShowRows()
{
    QFETCH(int, rows);
    QFETCH(int, modulo);
    fill(rows);
    verifySettled();

    const bool hideMatching = rows < 100;
    for (int row = 0; row < rows; ++row)
        m_table->setRowHidden(row, (row % modulo == 0) == hideMatching);
    for (int row = 0; row < rows; ++row)
        QCOMPARE(m_table->isRowHidden(row), (row % modulo == 0) == hideMatching);
    verifySettled();
    // The first row still shown sits at the top.
    const int firstShown = hideMatching ? 1 : 0;
    QCOMPARE(m_table->rowViewportPosition(firstShown), 0);

    for (int row = 0; row < rows; ++row)
        m_table->setRowHidden(row, false);
    for (int row = 0; row < rows; ++row)
        QVERIFY(!m_table->isRowHidden(row));
    verifySettled();
    QVERIFY(m_table->cellWidget(0, kWidgetColumn)->isVisible());
}

void tst_TamTableWidget::sortingMovesCellWidgets()
{
    const QStringList keys = {QStringLiteral("c"), QStringLiteral("a"), QStringLiteral("d"),
                              QStringLiteral("b")};
    for (const QString &key : keys)
        appendRow(m_table, key);
    verifySettled();

    m_table->sortByColumn(0, Qt::AscendingOrder);
    QStringList sorted;
    for (int row = 0; row < m_table->rowCount(); ++row)
        sorted.append(m_table->item(row, 0)->text());
    QCOMPARE(sorted, QStringList({"a", "b", "c", "d"}));
    verifySettled();

    m_table->sortByColumn(0, Qt::DescendingOrder);
    QCOMPARE(m_table->item(0, 0)->text(), QStringLiteral("d"));
    verifySettled();
}

QTEST_MAIN(tst_TamTableWidget)
#include "tst_TamTableWidget.moc"
