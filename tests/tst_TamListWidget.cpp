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
QWidget *makeRowWidget(const QString &key, QWidget *parent)
{
    auto *row = new QWidget(parent);
    row->setObjectName(key);
    auto *layout = new QHBoxLayout(row);
    layout->setContentsMargins(4, 0, 4, 0);
    layout->addWidget(new QLabel(key, row), 1);
    auto *remove = new QPushButton(QStringLiteral("Delete"), row);
    remove->setObjectName(QStringLiteral("deleteBt"));
    layout->addWidget(remove);
    return row;
}

QListWidgetItem *addRow(QListWidget *list, const QString &key)
{
    auto *item = new QListWidgetItem(list);
    item->setData(Qt::UserRole, key);
    item->setSizeHint(QSize(200, 30));
    list->setItemWidget(item, makeRowWidget(key, list));
    return item;
}

// Whether every row's item widget belongs to that row and, once the list has
// settled, covers the row.
bool itemWidgetsInPlace(QListWidget *list, QString *error)
{
    for (int row = 0; row < list->count(); ++row) {
        QListWidgetItem *item = list->item(row);
        QWidget *widget = list->itemWidget(item);
        if (!widget || widget->objectName() != item->data(Qt::UserRole).toString()) {
            *error = QStringLiteral("row %1: wrong item widget").arg(row);
            return false;
        }
        if (item->isHidden()) {
            if (widget->isVisible()) {
                *error = QStringLiteral("row %1 is hidden, its widget is shown").arg(row);
                return false;
            }
            continue;
        }
        if (widget->geometry() != list->visualItemRect(item) || widget->isHidden()) {
            const QRect rect = list->visualItemRect(item);
            *error = QStringLiteral("row %1: widget at %2,%3 %4x%5, row at %6,%7 %8x%9")
                         .arg(row)
                         .arg(widget->x())
                         .arg(widget->y())
                         .arg(widget->width())
                         .arg(widget->height())
                         .arg(rect.x())
                         .arg(rect.y())
                         .arg(rect.width())
                         .arg(rect.height());
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
    void cleanup();

    void addRows_data();
    void addRows();
    void removeRows();
    void removeRowFromItsOwnButton();
    void hideAndShowRows();
    void sortingMovesItemWidgets();

private:
    void verifySettled();

    TamListWidget *m_list = nullptr;
};

void tst_TamListWidget::init()
{
    m_list = new TamListWidget;
    m_list->resize(300, 400);
    m_list->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_list));
}

void tst_TamListWidget::cleanup()
{
    delete m_list;
    m_list = nullptr;
}

void tst_TamListWidget::verifySettled()
{
    QString error;
    QTRY_VERIFY2(itemWidgetsInPlace(m_list, &error), qPrintable(error));
    QTRY_VERIFY(m_list->viewport()->isVisible());
    QTRY_VERIFY(m_list->updatesEnabled());
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
    for (int i = 0; i < rows; ++i)
        addRow(m_list, keyOf(i));
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
    for (int i = 0; i < 120; ++i)
        addRow(m_list, keyOf(i));
    verifySettled();

    QVector<QPointer<QWidget>> removed;
    for (int row = 0; row < m_list->count(); ++row) {
        removed.append(m_list->itemWidget(m_list->item(row)));
        delete m_list->takeItem(row);
    }
    QCOMPARE(m_list->count(), 60);
    for (int row = 0; row < m_list->count(); ++row)
        QCOMPARE(m_list->item(row)->data(Qt::UserRole).toString(), keyOf(2 * row + 1));
    verifySettled();
    for (const QPointer<QWidget> &widget : removed)
        QTRY_VERIFY(widget.isNull());
}

void tst_TamListWidget::removeRowFromItsOwnButton()
{
    for (int i = 0; i < 5; ++i)
        addRow(m_list, keyOf(i));
    verifySettled();
    QListWidgetItem *item = m_list->item(1);
    QPointer<QWidget> widget = m_list->itemWidget(item);
    auto *button = widget->findChild<QPushButton *>("deleteBt");
    connect(button, &QPushButton::clicked, m_list,
            [this, item] { delete m_list->takeItem(m_list->row(item)); });
    QTest::mouseClick(button, Qt::LeftButton);

    QCOMPARE(m_list->count(), 4);
    QCOMPARE(m_list->item(1)->data(Qt::UserRole).toString(), keyOf(2));
    QTRY_VERIFY(widget.isNull());
    verifySettled();
}

void tst_TamListWidget::hideAndShowRows()
{
    for (int i = 0; i < 200; ++i)
        addRow(m_list, keyOf(i));
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
        addRow(m_list, QString::fromLatin1(key))->setText(QString::fromLatin1(key));
    verifySettled();
    m_list->sortItems(Qt::AscendingOrder);
    QCOMPARE(m_list->item(0)->text(), QStringLiteral("a"));
    QCOMPARE(m_list->item(3)->text(), QStringLiteral("d"));
    verifySettled();
}

QTEST_MAIN(tst_TamListWidget)
#include "tst_TamListWidget.moc"
