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
    void buttonsAreCentredSmallIcons();
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

void tst_EditOperWt::buttonsAreCentredSmallIcons()
{
    EditOperWt cell(QStringLiteral("x"));
    cell.resize(200, 40);
    cell.show();
    QVERIFY(QTest::qWaitForWindowExposed(&cell));

    auto *editBt = cell.findChild<QPushButton *>(QStringLiteral("editBt"));
    auto *deleteBt = cell.findChild<QPushButton *>(QStringLiteral("deleteBt"));
    QVERIFY(editBt && deleteBt);
    for (QPushButton *bt : {editBt, deleteBt}) {
        QVERIFY(bt->width() <= 24 && bt->height() <= 24);
        QVERIFY(qAbs(bt->geometry().center().y() - cell.rect().center().y()) <= 1);
    }
    QVERIFY(editBt->geometry().right() < deleteBt->geometry().left());
    const int pairCentre = (editBt->geometry().left() + deleteBt->geometry().right()) / 2;
    QVERIFY(qAbs(pairCentre - cell.rect().center().x()) <= 1);

    // The two icons differ: a pencil and a cross.
    const QImage edit = editBt->icon().pixmap(14, 14).toImage();
    const QImage del = deleteBt->icon().pixmap(14, 14).toImage();
    QVERIFY(edit != del);
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
    QVERIFY(!editBt->isVisible());
    QVERIFY(deleteBt->isVisible());
    // The one remaining button moves to the middle.
    QTRY_VERIFY(qAbs(deleteBt->geometry().center().x() - cell.rect().center().x()) <= 1);

    QSignalSpy deleteSpy(&cell, &EditOperWt::signalDeleteBtClicked);
    QTest::mouseClick(deleteBt, Qt::LeftButton);
    QCOMPARE(deleteSpy.count(), 1);

    cell.setDeleteBtVisible(false);
    QVERIFY(!deleteBt->isVisible());
    cell.setEditBtVisible(true);
    cell.setDeleteBtVisible(true);
    QVERIFY(editBt->isVisible());
    QVERIFY(deleteBt->isVisible());
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
