#include <QCheckBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QtTest>

#include "EditOperWt.h"
#include "PwdStrength.h"
#include "PwdStrengthWt.h"
#include "TableOperWtStyle.h"
#include "TableWidget.h"
#include "TamLabel.h"
#include "TestSupport.h"

using namespace orlun_base;

Q_DECLARE_METATYPE(TAMCOMMON::PwdStrength)

namespace {

// The "All" box over a table as the selected-channels panel has it: a strip
// of header cells, the box in the first.
struct TickPanel
{
    QWidget widget;
    QCheckBox *selAll = new QCheckBox(QStringLiteral("All"));
    TableWidget *table = new TableWidget(&widget);

    TickPanel()
    {
        auto *outer = new QVBoxLayout(&widget);
        auto *strip = new QHBoxLayout;
        strip->addWidget(selAll);
        strip->addWidget(new QWidget);
        outer->addLayout(strip);
        outer->addWidget(table);
        table->setColumnCount(2);
        table->horizontalHeader()->hide();
        (new TableOperWtStyle(&widget))->setWts(selAll, table, strip, {1});
        widget.resize(400, 300);
        widget.show();
    }
    // Rows whose box is tickable ('u' unchecked, 'c' checked) or not ('-').
    void addRows(const QString &marks)
    {
        for (QChar mark : marks) {
            const int row = table->rowCount();
            table->insertRow(row);
            auto *item = new QTableWidgetItem;
            item->setFlags(item->flags().setFlag(Qt::ItemIsUserCheckable, mark != '-'));
            item->setCheckState(mark == 'c' ? Qt::Checked : Qt::Unchecked);
            table->setItem(row, 0, item);
        }
    }
    QString marks() const
    {
        QString result;
        for (int row = 0; row < table->rowCount(); ++row)
            result += table->item(row, 0)->checkState() == Qt::Checked ? 'c' : 'u';
        return result;
    }
};

} // namespace

class tst_BaseWidgets : public QObject
{
    Q_OBJECT

private slots:
    void selAllTicksVisibleTickableRows();
    void selAllFollowsTheRows();
    void pwdRating_data();
    void pwdRating();
    void operCellButtons_data();
    void operCellButtons();
    void labelElides_data();
    void labelElides();
};

void tst_BaseWidgets::selAllTicksVisibleTickableRows()
{
    TickPanel panel;
    QVERIFY(QTest::qWaitForWindowExposed(&panel.widget));
    panel.addRows(QStringLiteral("ucuu-"));
    panel.table->setRowHidden(2, true);
    QTRY_COMPARE(panel.selAll->checkState(), Qt::PartiallyChecked);

    // Rows a keyword hides stay as they are; a click never lands on partial.
    for (const QString marks : {"ccucu", "uuuuu", "ccucu"}) {
        QTest::mouseClick(panel.selAll, Qt::LeftButton, {}, QPoint(5, panel.selAll->height() / 2));
        const Qt::CheckState expected = marks[0] == 'c' ? Qt::Checked : Qt::Unchecked;
        QCOMPARE(panel.selAll->checkState(), expected);
        QCOMPARE(panel.marks(), marks);
        QTest::qWait(5);
        QCOMPARE(panel.selAll->checkState(), expected);
    }
}

void tst_BaseWidgets::selAllFollowsTheRows()
{
    TickPanel panel;
    QVERIFY(QTest::qWaitForWindowExposed(&panel.widget));
    // Rows the user cannot tick do not keep the box from being full.
    panel.addRows(QStringLiteral("c-u"));
    QTRY_COMPARE(panel.selAll->checkState(), Qt::PartiallyChecked);
    panel.table->setCurrentCell(2, 0);
    QTest::keyClick(panel.table, Qt::Key_Space);
    QTRY_COMPARE(panel.selAll->checkState(), Qt::Checked);
    panel.addRows(QStringLiteral("u"));
    QTRY_COMPARE(panel.selAll->checkState(), Qt::PartiallyChecked);
    // A keyword that hides the unticked row leaves only ticked rows in view.
    panel.table->setRowHidden(3, true);
    QTRY_COMPARE(panel.selAll->checkState(), Qt::Checked);
    panel.table->setRowHidden(3, false);
    QTRY_COMPARE(panel.selAll->checkState(), Qt::PartiallyChecked);
    panel.table->removeRow(3);
    QTRY_COMPARE(panel.selAll->checkState(), Qt::Checked);
}

void tst_BaseWidgets::pwdRating_data()
{
    QTest::addColumn<QString>("pwd");
    QTest::addColumn<TAMCOMMON::PwdStrength>("expected");

    const QMap<TAMCOMMON::PwdStrength, QStringList> rated{
        {TAMCOMMON::PwdEmpty, {""}},
        // Cracking word lists, "upper, lower, digit, symbol" around a word
        // and a year, two words.
        {TAMCOMMON::PwdWeak,
         {"123456", "password", "qwerty123", "Passw0rd", "Admin@123", "Winter#2024",
          "correct horse"}},
        {TAMCOMMON::PwdMedium, {"T7#kq", "Blue7Kettle", "Secure#Pass2024"}},
        {TAMCOMMON::PwdStrong,
         {"correct horse battery", "T7#kq!Vz9@pL", "T7#kq!V",
          QString::fromUtf8("天空之城の秘密2024!")}}};
    for (auto it = rated.cbegin(); it != rated.cend(); ++it) {
        for (const QString &pwd : it.value())
            QTest::newRow(qPrintable("'" + pwd + "'")) << pwd << it.key();
    }
}

void tst_BaseWidgets::pwdRating()
{
    QFETCH(QString, pwd);
    QFETCH(TAMCOMMON::PwdStrength, expected);
    QCOMPARE(TAMCOMMON::checkPwdStrength(pwd), expected);
    // The meter names the level; from a lit meter, so that going back to
    // fewer bars is seen too.
    PwdStrengthWt meter;
    meter.setPwd(QStringLiteral("T7#kq!Vz9@pL"));
    meter.setPwd(pwd);
    QCOMPARE(meter.strengthText(), QStringList({"", "Weak", "Medium", "Strong"}).at(expected + 1));
}

void tst_BaseWidgets::operCellButtons_data()
{
    // Calls before the cell shows, then after; E/D the edit/delete button,
    // + shown, - hidden. Expected: the buttons seen, left to right.
    QTest::addColumn<QString>("before");
    QTest::addColumn<QString>("after");
    QTest::addColumn<QString>("seen");
    QTest::newRow("untouched") << ""
                               << ""
                               << "editBt deleteBt";
    QTest::newRow("edit hidden") << "E-"
                                 << ""
                                 << "deleteBt";
    QTest::newRow("both hidden") << "E-D-"
                                 << ""
                                 << "";
    QTest::newRow("delete shown later") << "E-D-"
                                        << "D+"
                                        << "deleteBt";
    QTest::newRow("edit made after delete") << "E-"
                                            << "E+"
                                            << "editBt deleteBt";
    QTest::newRow("both made late") << "D-E-"
                                    << "D+E+"
                                    << "editBt deleteBt";
    QTest::newRow("hidden once shown") << ""
                                       << "D-"
                                       << "editBt";
    QTest::newRow("toggled") << "D-"
                             << "D+D-D+E-"
                             << "deleteBt";
}

void tst_BaseWidgets::operCellButtons()
{
    QFETCH(QString, before);
    QFETCH(QString, after);
    QFETCH(QString, seen);
    QWidget window;
    window.resize(200, 40);
    auto *cell = new EditOperWt(QStringLiteral("ch-7"), &window);
    cell->setGeometry(0, 0, 120, 30);
    const auto apply = [cell](const QString &calls) {
        for (int i = 0; i + 1 < calls.size(); i += 2) {
            const bool visible = calls.at(i + 1) == '+';
            if (calls.at(i) == 'E')
                cell->setEditBtVisible(visible);
            else
                cell->setDeleteBtVisible(visible);
        }
    };
    apply(before);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    apply(after);

    const auto seenButtons = [cell] {
        QList<QPushButton *> buttons;
        for (QPushButton *bt : cell->findChildren<QPushButton *>()) {
            if (bt->isVisible())
                buttons << bt;
        }
        std::sort(buttons.begin(), buttons.end(),
                  [](QPushButton *a, QPushButton *b) { return a->x() < b->x(); });
        QStringList names;
        for (QPushButton *bt : buttons)
            names << bt->objectName();
        return names.join(' ');
    };
    QTRY_COMPARE(seenButtons(), seen);

    // Each button shown reports the cell's id through its own signal.
    QStringList clicked;
    connect(cell, &EditOperWt::signalEditBtClicked, this,
            [&clicked](const QString &id) { clicked << "edit " + id; });
    connect(cell, &EditOperWt::signalDeleteBtClicked, this,
            [&clicked](const QString &id) { clicked << "delete " + id; });
    QStringList expected;
    for (const QString &name : seen.split(' ', Qt::SkipEmptyParts)) {
        auto *bt = cell->findChild<QPushButton *>(name);
        QTest::mouseClick(bt, Qt::LeftButton, {}, bt->rect().center());
        expected << QString(name).remove("Bt") + " ch-7";
    }
    QCOMPARE(clicked, expected);
}

void tst_BaseWidgets::labelElides_data()
{
    // Steps on a shown label: text=..., width=... (pixels), px=... (font
    // size through a style sheet).
    QTest::addColumn<QString>("steps");
    QTest::newRow("fits") << "text=Lobby|width=200";
    QTest::newRow("too long") << "text=Main entrance of building B|width=60";
    QTest::newRow("widened") << "text=Main entrance of building B|width=60|width=400";
    QTest::newRow("narrowed") << "text=Main entrance of building B|width=400|width=60";
    QTest::newRow("bigger font, same width") << "text=Main entrance|width=160|px=40";
    QTest::newRow("smaller font, same width") << "text=Main entrance|px=40|width=160|px=9";
    QTest::newRow("shorter text, same width")
        << "text=Main entrance of building B|width=60|text=Gate";
    QTest::newRow("longer text, same width")
        << "text=Gate|width=60|text=Main entrance of building B";
    QTest::newRow("same text again")
        << "text=Main entrance of building B|width=60|text=Main entrance of building B";
}

// After every step the label shows what Qt's eliding makes of its full text
// at its width and font, and its tool tip holds the full text only while it
// is cut.
void tst_BaseWidgets::labelElides()
{
    QFETCH(QString, steps);
    QWidget window;
    auto *label = new TAMCOMMON::TamLabel(&window);
    label->resize(200, 60);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    for (const QString &step : steps.split('|')) {
        const QString value = step.section('=', 1);
        if (step.startsWith("text="))
            label->setText(value);
        else if (step.startsWith("width="))
            label->resize(value.toInt(), 60);
        else
            label->setStyleSheet(QStringLiteral("QLabel{font-size:%1px;}").arg(value));
        QCoreApplication::processEvents();
        const QString expected =
            QFontMetrics(label->font())
                .elidedText(label->fullText(), Qt::ElideRight, label->contentsRect().width());
        QCOMPARE(label->text(), expected);
        QCOMPARE(label->toolTip(), expected == label->fullText() ? QString() : label->fullText());
    }
}

QTEST_MAIN(tst_BaseWidgets)
#include "tst_BaseWidgets.moc"
