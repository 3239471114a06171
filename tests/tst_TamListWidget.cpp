#include <QHBoxLayout>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QtTest>

#include "TamListWidget.h"

using TAMCOMMON::TamListWidget;

namespace {

QString keyOf(int i)
{
    return QStringLiteral("user%1").arg(i, 4, 10, QLatin1Char('0'));
}

// Shaped like a user row: the name and a delete button, named after the key.
QListWidgetItem *addRow(QListWidget *list, const QString &key)
{
    auto *item = new QListWidgetItem(key, list);
    item->setData(Qt::UserRole, key);
    item->setSizeHint(QSize(200, 30));
    auto *row = new QWidget(list);
    row->setObjectName(key);
    auto *layout = new QHBoxLayout(row);
    layout->setContentsMargins(4, 0, 4, 0);
    layout->addWidget(new QLabel(key, row), 1);
    layout->addWidget(new QPushButton(QStringLiteral("Delete"), row));
    list->setItemWidget(item, row);
    return item;
}

// Whether every row's item widget belongs to that row and, once the list has
// settled, covers the row; hidden rows' widgets are hidden, and so may be
// widgets out of view, but never one in view.
bool itemWidgetsInPlace(QListWidget *list, QString *error)
{
    error->clear();
    const QRect inView = list->viewport()->rect();
    for (int row = 0; row < list->count(); ++row) {
        QListWidgetItem *item = list->item(row);
        QWidget *widget = list->itemWidget(item);
        const QRect expected = list->visualItemRect(item);
        const bool ok =
            widget && widget->objectName() == item->data(Qt::UserRole).toString() &&
            (item->isHidden() ? !widget->isVisible()
                              : widget->geometry() == expected &&
                                    (!expected.intersects(inView) || !widget->isHidden()));
        if (!ok) {
            QDebug(error) << "row" << row << (widget ? widget->objectName() : QString())
                          << (widget ? widget->geometry() : QRect()) << "item"
                          << list->visualItemRect(item);
            return false;
        }
    }
    return true;
}

} // namespace

class tst_TamListWidget : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup() { delete m_list; }

    void addRows_data();
    void addRows();
    void removeRows();
    void hideAndShowRows();
    void sortingMovesItemWidgets();

private:
    void fill(int rows)
    {
        for (int i = 0; i < rows; ++i)
            addRow(m_list, keyOf(i));
    }
    void verifySettled()
    {
        QString error;
        QTRY_VERIFY2(itemWidgetsInPlace(m_list, &error), qPrintable(error));
        QTRY_VERIFY(m_list->viewport()->isVisible() && m_list->updatesEnabled());
    }

    TamListWidget *m_list = nullptr;
};

void tst_TamListWidget::init()
{
    m_list = new TamListWidget;
    m_list->resize(300, 400);
    m_list->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_list));
}

void tst_TamListWidget::addRows_data()
{
    QTest::addColumn<int>("rows");
    QTest::newRow("a few") << 4;
    QTest::newRow("a long run") << 300;
}

void tst_TamListWidget::addRows()
{
    QFETCH(int, rows);
    fill(rows);
    QCOMPARE(m_list->count(), rows);
    QCOMPARE(m_list->item(rows - 1)->data(Qt::UserRole).toString(), keyOf(rows - 1));
    verifySettled();
    QVERIFY(m_list->itemWidget(m_list->item(0))->isVisible());

    m_list->scrollToBottom();
    QWidget *last = m_list->itemWidget(m_list->item(rows - 1));
    QTRY_VERIFY(m_list->viewport()->rect().contains(last->geometry()));
    QVERIFY(last->isVisible());
}

void tst_TamListWidget::removeRows()
{
    fill(120);
    verifySettled();
    // Every other row, then one from inside its own delete button's signal.
    QVector<QPointer<QWidget>> removed;
    for (int row = 0; row < m_list->count(); ++row) {
        removed << m_list->itemWidget(m_list->item(row));
        delete m_list->takeItem(row);
    }
    QCOMPARE(m_list->count(), 60);
    for (int row = 0; row < m_list->count(); ++row)
        QCOMPARE(m_list->item(row)->data(Qt::UserRole).toString(), keyOf(2 * row + 1));
    verifySettled();

    QListWidgetItem *item = m_list->item(1);
    removed << m_list->itemWidget(item);
    auto *button = removed.last()->findChild<QPushButton *>();
    connect(button, &QPushButton::clicked, m_list,
            [this, item] { delete m_list->takeItem(m_list->row(item)); });
    QTest::mouseClick(button, Qt::LeftButton);
    QCOMPARE(m_list->count(), 59);
    QCOMPARE(m_list->item(1)->data(Qt::UserRole).toString(), keyOf(5));
    verifySettled();
    for (const QPointer<QWidget> &widget : removed)
        QTRY_VERIFY(widget.isNull());
}

void tst_TamListWidget::hideAndShowRows()
{
    fill(200);
    verifySettled();
    for (int row = 0; row < m_list->count(); ++row)
        m_list->setRowHidden(row, row % 3 != 0);
    for (int row = 0; row < m_list->count(); ++row)
        QCOMPARE(m_list->isRowHidden(row), row % 3 != 0);
    verifySettled();
    // Row 3 is the second row still shown: right below row 0.
    QCOMPARE(m_list->visualItemRect(m_list->item(3)).top(),
             m_list->visualItemRect(m_list->item(0)).bottom() + 1);

    for (int row = 0; row < m_list->count(); ++row)
        m_list->setRowHidden(row, false);
    verifySettled();
}

void tst_TamListWidget::sortingMovesItemWidgets()
{
    for (const char *key : {"c", "a", "d", "b"})
        addRow(m_list, QString::fromLatin1(key));
    verifySettled();
    m_list->sortItems(Qt::AscendingOrder);
    QCOMPARE(m_list->item(0)->text() + m_list->item(3)->text(), QStringLiteral("ad"));
    verifySettled();
}

QTEST_MAIN(tst_TamListWidget)
#include "tst_TamListWidget.moc"
