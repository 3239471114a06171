#include <QPushButton>
#include <QTableWidget>
#include <QtTest>

#include "EditOperWt.h"

using orlun_base::EditOperWt;

class tst_EditOperWt : public QObject
{
    Q_OBJECT

private slots:
    void clicksReportTheRowId_data();
    void clicksReportTheRowId();
    void visibilityPerButton();
    void rowRemovedFromInsideItsOwnDeleteClick();
};

void tst_EditOperWt::clicksReportTheRowId_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<int>("edits");
    QTest::addColumn<int>("deletes");

    QTest::newRow("edit") << "editBt" << 1 << 0;
    QTest::newRow("delete") << "deleteBt" << 0 << 1;
}

void tst_EditOperWt::clicksReportTheRowId()
{
    QFETCH(QString, button);
    QFETCH(int, edits);
    QFETCH(int, deletes);

    EditOperWt cell(QStringLiteral("dev-7#3"));
    cell.resize(85, 36);
    cell.show();
    QVERIFY(QTest::qWaitForWindowExposed(&cell));
    QCOMPARE(cell.id(), QStringLiteral("dev-7#3"));

    QSignalSpy editSpy(&cell, &EditOperWt::signalEditBtClicked);
    QSignalSpy deleteSpy(&cell, &EditOperWt::signalDeleteBtClicked);
    auto *bt = cell.findChild<QPushButton *>(button);
    QVERIFY(bt);
    QTest::mouseClick(bt, Qt::LeftButton);

    QCOMPARE(editSpy.count(), edits);
    QCOMPARE(deleteSpy.count(), deletes);
    const QSignalSpy &fired = edits ? editSpy : deleteSpy;
    QCOMPARE(fired.first().first().toString(), QStringLiteral("dev-7#3"));
}

void tst_EditOperWt::visibilityPerButton()
{
    EditOperWt cell(QStringLiteral("row-1"));
    cell.resize(85, 36);
    cell.show();
    QVERIFY(QTest::qWaitForWindowExposed(&cell));
    auto *editBt = cell.findChild<QPushButton *>(QStringLiteral("editBt"));
    auto *deleteBt = cell.findChild<QPushButton *>(QStringLiteral("deleteBt"));

    cell.setEditBtVisible(false);
    QVERIFY(!editBt->isVisible() && deleteBt->isVisible());
    // The one remaining button moves to the middle.
    QTRY_VERIFY(qAbs(deleteBt->geometry().center().x() - cell.rect().center().x()) <= 1);

    QSignalSpy deleteSpy(&cell, &EditOperWt::signalDeleteBtClicked);
    QTest::mouseClick(deleteBt, Qt::LeftButton);
    QCOMPARE(deleteSpy.count(), 1);

    cell.setDeleteBtVisible(false);
    cell.setEditBtVisible(true);
    QVERIFY(editBt->isVisible() && !deleteBt->isVisible());
}

void tst_EditOperWt::rowRemovedFromInsideItsOwnDeleteClick()
{
    QTableWidget table(3, 2);
    table.resize(300, 200);
    QList<QPointer<EditOperWt>> cells;
    for (int row = 0; row < 3; ++row) {
        const QString id = QStringLiteral("ch-%1").arg(row);
        auto *idItem = new QTableWidgetItem(id);
        table.setItem(row, 0, idItem);
        auto *cell = new EditOperWt(id, &table);
        table.setCellWidget(row, 1, cell);
        cells << cell;
        connect(cell, &EditOperWt::signalDeleteBtClicked, &table,
                [&table, idItem]() { table.removeRow(idItem->row()); });
    }
    table.show();
    QVERIFY(QTest::qWaitForWindowExposed(&table));

    QSignalSpy deleteSpy(cells.at(1).data(), &EditOperWt::signalDeleteBtClicked);
    QTest::mouseClick(cells.at(1)->findChild<QPushButton *>(QStringLiteral("deleteBt")),
                      Qt::LeftButton);
    QCOMPARE(deleteSpy.count(), 1);
    QCOMPARE(table.rowCount(), 2);
    QCOMPARE(table.item(1, 0)->text(), QStringLiteral("ch-2"));
    QTRY_VERIFY(cells.at(1).isNull());
    QVERIFY(!cells.at(0).isNull() && !cells.at(2).isNull());
}

QTEST_MAIN(tst_EditOperWt)
#include "tst_EditOperWt.moc"
