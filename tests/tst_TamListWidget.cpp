#include <QHBoxLayout>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QtTest>

#include "TamListWidget.h"

using TAMCOMMON::TamListWidget;

class tst_TamListWidget : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup() { delete m_list; }
    void rowsKeepTheirWidgets_data();
    void rowsKeepTheirWidgets();

private:
    // Shaped like a user row: the name and a delete button, named after the key.
    void addRow(const QString &key)
    {
        auto *item = new QListWidgetItem(key, m_list);
        item->setData(Qt::UserRole, key);
        item->setSizeHint(QSize(200, 30));
        auto *row = new QWidget(m_list);
        row->setObjectName(key);
        auto *layout = new QHBoxLayout(row);
        layout->addWidget(new QLabel(key, row), 1);
        layout->addWidget(new QPushButton(QStringLiteral("Delete"), row));
        m_list->setItemWidget(item, row);
    }
    // Every row's item widget belongs to that row and, once the list has
    // settled, covers it; hidden rows' widgets are hidden, and so may be
    // widgets out of view, but never one in view.
    QString misplacedWidget() const
    {
        for (int row = 0; row < m_list->count(); ++row) {
            QListWidgetItem *item = m_list->item(row);
            QWidget *widget = m_list->itemWidget(item);
            const QRect rect = m_list->visualItemRect(item);
            const bool ok = widget && widget->objectName() == item->data(Qt::UserRole) &&
                            (item->isHidden() ? !widget->isVisible()
                                              : widget->geometry() == rect &&
                                                    (!rect.intersects(m_list->viewport()->rect()) ||
                                                     !widget->isHidden()));
            if (!ok)
                return QStringLiteral("row %1").arg(row);
        }
        return QString();
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

void tst_TamListWidget::rowsKeepTheirWidgets_data()
{
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<QString>("rows"); // keys of the remaining rows, in order

    // Rows are added as "add <count>" (keys 0, 1, ...) or "add <key> <key>...";
    // "takeOdd" removes every other row, "click <row>" removes a row from
    // inside its own delete button's signal; "hide"/"show" every row not a
    // multiple of three; "sort"; "bottom" scrolls to the end.
    using L = QStringList;
    QTest::newRow("a few") << L{"add 4", "bottom"} << "0 1 2 3";
    QTest::newRow("a long run") << L{"add 300", "bottom", "hide", "show"} << "";
    QTest::newRow("removed, also from inside the row")
        << L{"add 12", "takeOdd", "click 1"} << "1 5 7 9 11";
    QTest::newRow("hidden") << L{"add 10", "hide"} << "0 1 2 3 4 5 6 7 8 9";
    QTest::newRow("sorted") << L{"add c a d b", "sort"} << "a b c d";
}

void tst_TamListWidget::rowsKeepTheirWidgets()
{
    QFETCH(QStringList, steps);
    QFETCH(QString, rows);

    QVector<QPointer<QWidget>> removed;
    for (const QString &step : qAsConst(steps)) {
        const QStringList args = step.split(' ').mid(1);
        if (step.startsWith("add ") && args.size() == 1 && args[0].toInt() > 0) {
            for (int i = 0; i < args[0].toInt(); ++i)
                addRow(QString::number(i));
        } else if (step.startsWith("add ")) {
            for (const QString &key : args)
                addRow(key);
        } else if (step == "takeOdd") {
            for (int row = 0; row < m_list->count(); ++row) {
                removed << m_list->itemWidget(m_list->item(row));
                delete m_list->takeItem(row);
            }
        } else if (step.startsWith("click ")) {
            QListWidgetItem *item = m_list->item(args[0].toInt());
            removed << m_list->itemWidget(item);
            auto *button = removed.last()->findChild<QPushButton *>();
            connect(button, &QPushButton::clicked, m_list,
                    [this, item] { delete m_list->takeItem(m_list->row(item)); });
            QTest::mouseClick(button, Qt::LeftButton);
        } else if (step == "hide" || step == "show") {
            for (int row = 0; row < m_list->count(); ++row)
                m_list->setRowHidden(row, step == "hide" && row % 3 != 0);
            // The rows still shown follow one another.
            if (step == "hide" && m_list->count() > 3)
                QCOMPARE(m_list->visualItemRect(m_list->item(3)).top(),
                         m_list->visualItemRect(m_list->item(0)).bottom() + 1);
        } else if (step == "sort") {
            m_list->sortItems(Qt::AscendingOrder);
        } else if (step == "bottom") {
            m_list->scrollToBottom();
            QWidget *last = m_list->itemWidget(m_list->item(m_list->count() - 1));
            QTRY_VERIFY(m_list->viewport()->rect().contains(last->geometry()));
        } else {
            QFAIL(qPrintable("unknown step: " + step));
        }
        QTRY_COMPARE(misplacedWidget(), QString());
        QTRY_VERIFY(m_list->viewport()->isVisible() && m_list->updatesEnabled());
    }
    QStringList keys;
    for (int row = 0; row < m_list->count() && !rows.isEmpty(); ++row)
        keys << m_list->item(row)->data(Qt::UserRole).toString();
    QCOMPARE(keys.join(' '), rows);
    for (const QPointer<QWidget> &widget : removed)
        QTRY_VERIFY(widget.isNull());
}

QTEST_MAIN(tst_TamListWidget)
#include "tst_TamListWidget.moc"
