#include <QHBoxLayout>
#include <QHeaderView>
#include <QPointer>
#include <QPushButton>
#include <QScrollBar>
#include <QtTest>

#include "TamTableWidget.h"

using TAMCOMMON::TamTableWidget;

namespace {

constexpr int kWidgetColumn = 2;

QString keyOf(int i)
{
    return QStringLiteral("row%1").arg(i, 5, 10, QLatin1Char('0'));
}

// A row whose operation cell holds two buttons and is named after the row's key.
void insertRow(TamTableWidget *table, int row, const QString &key)
{
    table->insertRow(row);
    auto *first = new QTableWidgetItem(key);
    first->setData(Qt::UserRole, key);
    table->setItem(row, 0, first);
    table->setItem(row, 1, new QTableWidgetItem(key.right(2)));
    auto *cell = new QWidget(table);
    cell->setObjectName(key);
    auto *layout = new QHBoxLayout(cell);
    layout->setContentsMargins(0, 0, 0, 0);
    for (const char *name : {"editBt", "deleteBt"}) {
        auto *button = new QPushButton(QString::fromLatin1(name), cell);
        button->setObjectName(QString::fromLatin1(name));
        layout->addWidget(button);
    }
    table->setCellWidget(row, kWidgetColumn, cell);
}

QString keyAt(TamTableWidget *table, int row)
{
    return table->item(row, 0)->data(Qt::UserRole).toString();
}

// Whether every row's cell widget belongs to that row and, once the table
// has settled, covers the row's cell when that is in view; the widgets of
// hidden rows and of rows out of view are hidden.
bool cellWidgetsInPlace(TamTableWidget *table, QString *error)
{
    error->clear();
    const QRect inView = table->viewport()->rect();
    for (int row = 0; row < table->rowCount(); ++row) {
        QWidget *cell = table->cellWidget(row, kWidgetColumn);
        const QRect expected = table->visualRect(table->model()->index(row, kWidgetColumn));
        const bool shown = !table->isRowHidden(row) && expected.intersects(inView);
        const bool ok = cell && cell->objectName() == keyAt(table, row) &&
                        (shown ? cell->parentWidget() == table->viewport() &&
                                     cell->geometry() == expected && cell->isVisible()
                               : cell->isHidden());
        if (!ok) {
            QDebug(error) << "row" << row << (cell ? cell->objectName() : QString())
                          << (cell ? cell->geometry() : QRect()) << "cell" << expected;
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
    void cleanup() { delete m_table; }

    void insertRows_data();
    void insertRows();
    void removeRows_data();
    void removeRows();
    void removeRowFromItsOwnButton();
    void hideAndShowRows();
    void sortingMovesCellWidgets();

private:
    void fill(int rows)
    {
        for (int i = 0; i < rows; ++i)
            insertRow(m_table, m_table->rowCount(), keyOf(i));
    }
    void verifySettled()
    {
        QString error;
        QTRY_VERIFY2(cellWidgetsInPlace(m_table, &error), qPrintable(error));
        QTRY_VERIFY(m_table->viewport()->isVisible() && m_table->updatesEnabled() &&
                    m_table->verticalHeader()->updatesEnabled());
    }

    TamTableWidget *m_table = nullptr;
};

void tst_TamTableWidget::init()
{
    m_table = new TamTableWidget;
    m_table->setColumnCount(3);
    m_table->resize(500, 400);
    m_table->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_table));
}

void tst_TamTableWidget::insertRows_data()
{
    QTest::addColumn<int>("rows");
    QTest::newRow("a few") << 5;
    QTest::newRow("a long run") << 400;
}

void tst_TamTableWidget::insertRows()
{
    QFETCH(int, rows);
    fill(3);
    verifySettled();
    // Inserting must not take the focus from a row's button.
    auto *button = m_table->cellWidget(1, kWidgetColumn)->findChild<QPushButton *>("editBt");
    m_table->activateWindow();
    button->setFocus();
    QTRY_VERIFY(button->hasFocus());

    fill(rows);
    // Counts and data are right at once, before the event loop runs.
    QCOMPARE(m_table->rowCount(), rows + 3);
    QCOMPARE(keyAt(m_table, rows + 2), keyOf(rows - 1));
    QCOMPARE(m_table->cellWidget(rows + 2, kWidgetColumn)->objectName(), keyOf(rows - 1));
    verifySettled();
    QVERIFY(button->hasFocus());

    // Inserting in the middle shifts the rows below with their widgets.
    insertRow(m_table, 1, QStringLiteral("middle"));
    QCOMPARE(m_table->rowCount(), rows + 4);
    verifySettled();

    // The scroll range covers every row: the last one can be scrolled to.
    m_table->scrollToBottom();
    QWidget *last = m_table->cellWidget(rows + 3, kWidgetColumn);
    QTRY_VERIFY(m_table->viewport()->rect().contains(last->geometry()));
    QVERIFY(last->isVisible());
    QCOMPARE(m_table->verticalScrollBar()->value() > 0, rows > 20);
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
    for (int i = 0, row = 0; i < rows; ++i) {
        if (i % step) {
            kept << keyOf(i);
            ++row;
        } else {
            removed << m_table->cellWidget(row, kWidgetColumn);
            m_table->removeRow(row);
        }
    }
    QCOMPARE(m_table->rowCount(), kept.size());
    for (int row = 0; row < kept.size(); ++row)
        QCOMPARE(keyAt(m_table, row), kept.at(row));
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
    QCOMPARE(keyAt(m_table, 2), keyOf(3));
    QTRY_VERIFY(cell.isNull());
    verifySettled();
}

void tst_TamTableWidget::hideAndShowRows()
{
    fill(300);
    verifySettled();
    for (int row = 0; row < 300; ++row)
        m_table->setRowHidden(row, row % 10 != 3);
    for (int row = 0; row < 300; ++row)
        QCOMPARE(m_table->isRowHidden(row), row % 10 != 3);
    verifySettled();
    // The first row still shown sits at the top.
    QCOMPARE(m_table->rowViewportPosition(3), 0);
    // Scrolling brings widgets into view, but never those of hidden rows.
    m_table->scrollToBottom();
    verifySettled();
    QVERIFY(m_table->cellWidget(293, kWidgetColumn)->isVisible());
    m_table->scrollToTop();
    verifySettled();

    for (int row = 0; row < 300; ++row)
        m_table->setRowHidden(row, false);
    verifySettled();
    QVERIFY(m_table->cellWidget(0, kWidgetColumn)->isVisible());
}

void tst_TamTableWidget::sortingMovesCellWidgets()
{
    for (const char *key : {"c", "a", "d", "b"})
        insertRow(m_table, m_table->rowCount(), QString::fromLatin1(key));
    verifySettled();

    m_table->sortByColumn(0, Qt::AscendingOrder);
    QCOMPARE(keyAt(m_table, 0) + keyAt(m_table, 3), QStringLiteral("ad"));
    verifySettled();
    m_table->sortByColumn(0, Qt::DescendingOrder);
    QCOMPARE(keyAt(m_table, 0), QStringLiteral("d"));
    verifySettled();
}

QTEST_MAIN(tst_TamTableWidget)
#include "tst_TamTableWidget.moc"
