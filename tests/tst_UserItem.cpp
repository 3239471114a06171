#include <QPushButton>
#include <QtTest>

#include "TamLabel.h"
#include "TestSupport.h"
#include "UserItem.h"
#include "UserMgrSignals.h"

using orlun_userMgr::UserItem;
using orlun_userMgr::UserMgrSignals;

namespace {

const QString kDark = QStringLiteral("QWidget{background-color:#213147;}");
const QString kClear = QStringLiteral("QWidget{background-color:transparent;}");
const QString kBlue = QStringLiteral("QWidget{background-color:#2D80D4;}");
const QString kName = QStringLiteral("QLabel{background-color:transparent;color:%1;"
                                     "font-family:microsoft yahei;font-size:13px;}");

// What a person sees of a row: its look from the row's, the flag's and the
// name's style sheets (the raw sheets when they make no known look), and
// "+buttons" while the edit/delete buttons show.
QString lookOf(UserItem *row)
{
    const QMap<QString, QString> looks = {{kClear + kClear + kName.arg("#6C7586"), "normal"},
                                          {kDark + kClear + kName.arg("#ffffff"), "hovered"},
                                          {kDark + kBlue + kName.arg("#ffffff"), "selected"}};
    const QString sheets = row->styleSheet() + row->findChild<QWidget *>("flagWt")->styleSheet() +
                           row->findChild<QLabel *>("userName")->styleSheet();
    return looks.value(sheets, sheets) +
           (row->findChild<QWidget *>("operWt")->isVisible() ? "+buttons" : "");
}

UserMgrSignals &hub()
{
    return TAMCOMMON::TamSingleton<UserMgrSignals>::_instance();
}

} // namespace

class tst_UserItem : public QObject
{
    Q_OBJECT
private slots:
    void init() { resetHostForTest(); }

    void looks_data();
    void looks();
    void buttons_data();
    void buttons();
};

void tst_UserItem::looks_data()
{
    QTest::addColumn<bool>("enabled");
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<QStringList>("looks");
    QTest::addColumn<int>("selections");

    using L = QStringList;
    QTest::newRow("hover and leave")
        << true << L{"enter", "leave"} << L{"hovered+buttons", "normal"} << 0;
    QTest::newRow("disabled") << false << L{"enter", "leave"} << L{"hovered", "normal"} << 0;
    QTest::newRow("hover the selected row") << true << L{"select", "enter", "leave"}
                                            << L{"selected", "selected+buttons", "selected"} << 1;
    QTest::newRow("disabled selected row")
        << false << L{"select", "enter", "leave"} << L{"selected", "selected", "selected"} << 1;
    QTest::newRow("left release") << true << L{"enter", "left", "left"}
                                  << L{"hovered+buttons", "selected+buttons", "selected+buttons"}
                                  << 1;
    QTest::newRow("right release")
        << true << L{"enter", "right"} << L{"hovered+buttons", "selected+buttons"} << 1;
    QTest::newRow("middle release, not hovered")
        << true << L{"middle", "select"} << L{"selected", "selected"} << 1;
    // The list deselects a row while the pointer is still over it.
    QTest::newRow("deselected under the pointer")
        << true << L{"enter", "left", "deselect", "leave"}
        << L{"hovered+buttons", "selected+buttons", "normal+buttons", "normal"} << 1;
}

void tst_UserItem::looks()
{
    QFETCH(bool, enabled);
    QFETCH(QStringList, steps);
    QFETCH(QStringList, looks);
    QFETCH(int, selections);

    // Disabled through an ancestor, as when the form locks its left panel.
    QWidget panel;
    auto *row = new UserItem(QStringLiteral("alice"), &panel);
    panel.show();
    QVERIFY(QTest::qWaitForWindowExposed(&panel));
    panel.setEnabled(enabled);
    QCOMPARE(row->findChild<TAMCOMMON::TamLabel *>("userName")->fullText(), "alice");
    QCOMPARE(lookOf(row), QStringLiteral("normal"));

    // The row announces itself before taking the selected look, so the list
    // and the form react while it still shows the previous one.
    QStringList seen;
    connect(row, &UserItem::signalCurUserItem, row,
            [&](const QString &name) { seen << name + " while " + lookOf(row); });
    for (int i = 0; i < steps.size(); ++i) {
        const QString lookBefore = lookOf(row);
        const int before = seen.size();
        const QString &step = steps.at(i);
        if (step == "enter") {
            QEvent enter(QEvent::Enter);
            QApplication::sendEvent(row, &enter);
        } else if (step == "leave") {
            QEvent leave(QEvent::Leave);
            QApplication::sendEvent(row, &leave);
        } else if (step == "select" || step == "deselect") {
            row->setState(step == "select" ? UserItem::ItemSelected : UserItem::ItemNormal);
        } else {
            const Qt::MouseButton button = step == "left"    ? Qt::LeftButton
                                           : step == "right" ? Qt::RightButton
                                                             : Qt::MiddleButton;
            QTest::mouseRelease(row, button, Qt::NoModifier, QPoint(100, row->height() / 2));
        }
        QCOMPARE(lookOf(row), looks.at(i));
        if (seen.size() > before)
            QCOMPARE(seen.last(), "alice while " + lookBefore);
    }
    QCOMPARE(seen.size(), selections);
}

void tst_UserItem::buttons_data()
{
    QTest::addColumn<bool>("selectedBefore");
    QTest::addColumn<QString>("button");
    QTest::addColumn<QStringList>("events");
    QTest::addColumn<QString>("lookAfter");

    QTest::newRow("edit, not selected")
        << false << "editUserBt" << QStringList{"cur alice", "edit alice"} << "selected+buttons";
    QTest::newRow("edit, selected")
        << true << "editUserBt" << QStringList{"edit alice"} << "selected+buttons";
    // Deleting does not select the row: it stays only hovered.
    QTest::newRow("delete, not selected")
        << false << "deleteUserBt" << QStringList{"delete alice"} << "hovered+buttons";
}

void tst_UserItem::buttons()
{
    QFETCH(bool, selectedBefore);
    QFETCH(QString, button);
    QFETCH(QStringList, events);
    QFETCH(QString, lookAfter);

    UserItem row(QStringLiteral("alice"));
    row.show();
    QVERIFY(QTest::qWaitForWindowExposed(&row));
    if (selectedBefore)
        row.setState(UserItem::ItemSelected);

    QStringList seen;
    connect(&row, &UserItem::signalCurUserItem, &row,
            [&](const QString &n) { seen << "cur " + n; });
    connect(&hub(), &UserMgrSignals::signalEditUser, &row,
            [&](const QString &n) { seen << "edit " + n; });
    connect(&hub(), &UserMgrSignals::signalDeleteUser, &row,
            [&](const QString &n) { seen << "delete " + n; });

    QEvent enter(QEvent::Enter);
    QApplication::sendEvent(&row, &enter);
    QTest::mouseClick(row.findChild<QPushButton *>(button), Qt::LeftButton);
    QCOMPARE(seen, events);
    QCOMPARE(lookOf(&row), lookAfter);
}

QTEST_MAIN(tst_UserItem)
#include "tst_UserItem.moc"
