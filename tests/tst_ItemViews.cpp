#include <QHBoxLayout>
#include <QPointer>
#include <QPushButton>
#include <QtTest>

#include "TamListWidget.h"
#include "TamTableWidget.h"
#include "TestSupport.h"

using TAMCOMMON::TamListWidget;
using TAMCOMMON::TamTableWidget;

// The kit's list and table with a widget per row, named after its key. TamTableWidget's
// row functions hide QTableWidget's, so each view is called through its own type.
class tst_ItemViews : public QObject
{
    Q_OBJECT

private slots:
    void cleanup()
    {
        delete m_view;
        m_list = nullptr;
        m_table = nullptr;
    }
    void rowsKeepTheirWidgets_data();
    void rowsKeepTheirWidgets();

private:
    static constexpr int kWidgetColumn = 2;

    int count() const { return m_list ? m_list->count() : m_table->rowCount(); }
    QString key(int row) const
    {
        return (m_list ? m_list->item(row)->data(Qt::UserRole)
                       : m_table->item(row, 0)->data(Qt::UserRole))
            .toString();
    }
    QWidget *widget(int row) const
    {
        return m_list ? m_list->itemWidget(m_list->item(row))
                      : m_table->cellWidget(row, kWidgetColumn);
    }
    QRect rect(int row) const
    {
        return m_view->visualRect(m_view->model()->index(row, m_list ? 0 : kWidgetColumn));
    }
    bool isHidden(int row) const
    {
        return m_list ? m_list->isRowHidden(row) : m_table->isRowHidden(row);
    }
    void setHidden(int row, bool hide)
    {
        m_list ? m_list->setRowHidden(row, hide) : m_table->setRowHidden(row, hide);
    }
    void insert(int row, const QString &key);
    void remove(int row)
    {
        m_removed << widget(row);
        if (m_list)
            delete m_list->takeItem(row);
        else
            m_table->removeRow(row);
    }
    QString misplacedWidget() const;
    // Rows read back at once, before the event loop: widgets, keys and
    // positions of the rows that remain.
    QString misreadRow() const
    {
        for (int row = 0; row < count(); ++row) {
            const QTableWidgetItem *first = m_table ? m_table->item(row, 0) : nullptr;
            if (!widget(row) || widget(row)->objectName() != key(row) ||
                (m_table && m_table->row(first) != row))
                return QStringLiteral("row %1 of %2").arg(row).arg(count());
        }
        return QString();
    }
    void takeOdd()
    {
        for (int row = 0; row < count(); ++row)
            remove(row);
    }

    QAbstractItemView *m_view = nullptr;
    TamListWidget *m_list = nullptr;
    TamTableWidget *m_table = nullptr;
    QVector<QPointer<QWidget>> m_removed;
};

void tst_ItemViews::insert(int row, const QString &key)
{
    auto *cell = new QWidget(m_view);
    cell->setObjectName(key);
    auto *layout = new QHBoxLayout(cell);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(new QPushButton(QStringLiteral("Delete"), cell));
    if (m_list) {
        auto *item = new QListWidgetItem(key);
        item->setData(Qt::UserRole, key);
        item->setSizeHint(QSize(200, 30));
        m_list->insertItem(row, item);
        m_list->setItemWidget(item, cell);
        return;
    }
    m_table->insertRow(row);
    auto *first = new QTableWidgetItem(key);
    first->setData(Qt::UserRole, key);
    m_table->setItem(row, 0, first);
    m_table->setItem(row, 1, new QTableWidgetItem(key.right(2)));
    m_table->setCellWidget(row, kWidgetColumn, cell);
}

QString tst_ItemViews::misplacedWidget() const
{
    const QRect inView = m_view->viewport()->rect();
    for (int row = 0; row < count(); ++row) {
        QWidget *cell = widget(row);
        const QRect expected = rect(row);
        const bool shown = !isHidden(row) && expected.intersects(inView);
        bool ok = cell && cell->objectName() == key(row);
        if (ok && shown)
            ok = cell->parentWidget() == m_view->viewport() && cell->geometry() == expected &&
                 cell->isVisible() &&
                 cell->findChild<QPushButton *>()->testAttribute(Qt::WA_WState_Polished);
        else if (ok && (isHidden(row) || m_table))
            ok = cell->isHidden();
        if (!ok)
            return QStringLiteral("row %1 of %2").arg(row).arg(count());
    }
    return QString();
}

void tst_ItemViews::rowsKeepTheirWidgets_data()
{
    QTest::addColumn<QString>("view");
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<QString>("rows"); // keys of the remaining rows, or "#<count>"

    // "add <count>" appends rows keyed 0, 1, ..., "add <key>..." the keys;
    // "insert <key>" puts a row at row 1; "takeOdd" removes every other row,
    // "takeAll" every row from the top, "click <row>" a row from inside its
    // own delete button's signal; "hide"/"show" every row not a multiple of
    // three; "sort"/"sortDown"; "sortOn" keeps the view sorted; "renumber"
    // writes each row's number into its second column (the list: its text);
    // "scatter" removes every third row in no order; "click <row> odd" also
    // takes every other row in the same signal; "top"/"bottom" scroll; "focus" puts the
    // focus on row 1's button, which must keep it; "unpolished": the table's
    // last widget, never in view, is not polished yet.
    using L = QStringList;
    for (const char *v : {"list", "table"}) {
        const QString view = QString::fromLatin1(v);
        QTest::addRow("%s, a few", v) << view << L{"add 4", "bottom"} << "0 1 2 3";
        QTest::addRow("%s, rows come under a focused button", v)
            << view << L{"add 3", "focus", "add 400", "insert middle"} << "#404";
        QTest::addRow("%s, a long run", v)
            << view
            << L{"add 301", "unpolished", "bottom", "hide", "bottom", "top", "show", "bottom"}
            << "#301";
        QTest::addRow("%s, removed, also from inside the row", v)
            << view << L{"add 12", "takeOdd", "click 1"} << "1 5 7 9 11";
        QTest::addRow("%s, all removed from the top", v)
            << view << L{"add 150", "bottom", "takeAll"} << "";
        QTest::addRow("%s, sorted", v) << view << L{"add c a d b", "sort", "sortDown"} << "d c b a";
        QTest::addRow("%s, removed with others from inside the row", v)
            << view << L{"add 12", "click 2 odd"} << "1 4 6 8 10";
        QTest::addRow("%s, removed in no order, hidden, sorted", v)
            << view << L{"add 90", "bottom", "scatter", "hide", "sortDown", "show", "bottom"}
            << "#60";
        QTest::addRow("%s, kept sorted, removed, renumbered", v)
            << view << L{"add 9 3 7 1 5", "sortOn", "takeOdd", "renumber", "sort"} << "3 7";
    }
}

void tst_ItemViews::rowsKeepTheirWidgets()
{
    QFETCH(QString, view);
    QFETCH(QStringList, steps);
    QFETCH(QString, rows);

    m_removed.clear();
    if (view == "list") {
        m_view = m_list = new TamListWidget;
    } else {
        m_view = m_table = new TamTableWidget;
        m_table->setColumnCount(3);
    }
    m_view->resize(500, 400);
    m_view->show();
    m_view->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_view));

    QPointer<QPushButton> focused;
    for (const QString &step : qAsConst(steps)) {
        const QStringList args = step.split(' ').mid(1);
        if (step.startsWith("add ")) {
            const int n = args.size() == 1 ? args[0].toInt() : 0;
            const QStringList keys = n > 0 ? QStringList() : args;
            const int before = count();
            for (int i = 0; i < qMax(n, keys.size()); ++i)
                insert(count(), n > 0 ? QString::number(i) : keys.at(i));
            // Counts and data are right at once, before the event loop runs.
            QCOMPARE(count(), before + qMax(n, keys.size()));
            QCOMPARE(widget(count() - 1)->objectName(), key(count() - 1));
        } else if (step.startsWith("insert ")) {
            insert(1, args[0]);
        } else if (step == "takeOdd" || step == "takeAll") {
            for (int row = 0; row < count(); row += step == "takeOdd")
                remove(row);
            QCOMPARE(misreadRow(), QString());
        } else if (step == "scatter") {
            const int rows = count();
            for (int i = 0; i < rows / 3; ++i) {
                const QString gone = QString::number((i * 7 % (rows / 3)) * 3 + 1);
                for (int row = 0; row < count(); ++row) {
                    if (key(row) == gone) {
                        remove(row);
                        break;
                    }
                }
            }
            QCOMPARE(misreadRow(), QString());
        } else if (step.startsWith("click ")) {
            auto *button = widget(args[0].toInt())->findChild<QPushButton *>();
            const QString gone = key(args[0].toInt());
            const bool others = args.value(1) == "odd";
            connect(button, &QPushButton::clicked, m_view, [this, gone, others] {
                for (int row = 0; row < count(); ++row) {
                    if (key(row) == gone) {
                        remove(row);
                        break;
                    }
                }
                if (others)
                    takeOdd();
            });
            QTest::mouseClick(button, Qt::LeftButton);
            QCOMPARE(misreadRow(), QString());
        } else if (step == "sortOn") {
            m_list ? m_list->setSortingEnabled(true) : m_table->setSortingEnabled(true);
            m_list ? m_list->sortItems(Qt::DescendingOrder)
                   : m_table->sortByColumn(0, Qt::DescendingOrder);
        } else if (step == "renumber") {
            for (int row = 0; row < count(); ++row) {
                m_list ? m_list->item(row)->setToolTip(QString::number(row))
                       : m_table->item(row, 1)->setText(QString::number(row));
            }
            for (int row = 0; row < count(); ++row) {
                QCOMPARE(m_list ? m_list->item(row)->toolTip() : m_table->item(row, 1)->text(),
                         QString::number(row));
            }
        } else if (step == "hide" || step == "show") {
            for (int row = 0; row < count(); ++row)
                setHidden(row, step == "hide" && row % 3 != 0);
            if (step == "hide")
                QVERIFY(rect(3).top() - rect(0).bottom() <= 2);
        } else if (step == "sort" || step == "sortDown") {
            const auto order = step == "sort" ? Qt::AscendingOrder : Qt::DescendingOrder;
            m_list ? m_list->sortItems(order) : m_table->sortByColumn(0, order);
        } else if (step == "top") {
            m_view->scrollToTop();
        } else if (step == "bottom") {
            m_view->scrollToBottom();
            QTRY_VERIFY(m_view->viewport()->rect().contains(widget(count() - 1)->geometry()));
        } else if (step == "unpolished") {
            QCoreApplication::sendPostedEvents();
            QVERIFY(m_list || !widget(count() - 1)->testAttribute(Qt::WA_WState_Polished));
        } else if (step == "focus") {
            focused = widget(1)->findChild<QPushButton *>();
            focused->setFocus();
            QTRY_VERIFY(focused->hasFocus());
        } else {
            FAIL_UNKNOWN_STEP(step);
        }
        QTRY_COMPARE(misplacedWidget(), QString());
        QTRY_VERIFY(m_view->viewport()->isVisible() && m_view->updatesEnabled());
        QVERIFY(!focused || focused->hasFocus());
    }
    QStringList keys;
    for (int row = 0; row < count(); ++row)
        keys << key(row);
    QCOMPARE(rows.startsWith('#') ? '#' + QString::number(count()) : keys.join(' '), rows);
    for (const QPointer<QWidget> &widget : qAsConst(m_removed))
        QTRY_VERIFY(widget.isNull());
}

QTEST_MAIN(tst_ItemViews)
#include "tst_ItemViews.moc"
