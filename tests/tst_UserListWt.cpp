#include <QPointer>
#include <QPushButton>
#include <QtTest>

#include "SystemWorker.h"
#include "TamLabel.h"
#include "TestSupport.h"
#include "UserItem.h"
#include "UserListWt.h"
#include "UserMgrSignals.h"

using orlun_userMgr::UserItem;
using orlun_userMgr::UserListWt;
using orlun_userMgr::UserMgrSignals;

namespace {

UserItem *rowOf(const UserListWt &list, const QString &name)
{
    for (int r = 0; r < list.count(); ++r) {
        if (list.item(r)->data(Qt::UserRole).toString() == name)
            return qobject_cast<UserItem *>(list.itemWidget(list.item(r)));
    }
    return nullptr;
}

// A row's look from its background, flag and name style sheets: S selected,
// H hovered, N normal, '?' for any other mix; '+' while its buttons show.
QString lookOf(QWidget *row)
{
    const bool dark = row->styleSheet() == "QWidget{background-color:#213147;}";
    const bool blue =
        row->findChild<QWidget *>("flagWt")->styleSheet() == "QWidget{background-color:#2D80D4;}";
    const bool bright = row->findChild<QLabel *>("userName")->styleSheet().contains("#ffffff");
    const QString look = dark != bright ? "?" : blue ? (dark ? "S" : "?") : (dark ? "H" : "N");
    return look + (row->findChild<QWidget *>("operWt")->isVisible() ? "+" : "");
}

// What a person sees, top to bottom: each row's name and look ('-' when the
// filter hides the row), then the current user.
QString state(const UserListWt &list)
{
    QStringList rows;
    for (int r = 0; r < list.count(); ++r) {
        QWidget *row = list.itemWidget(list.item(r));
        rows << row->findChild<TAMCOMMON::TamLabel *>("userName")->fullText() + ":" + lookOf(row) +
                    (list.isRowHidden(r) ? "-" : "");
    }
    return rows.join(' ') + " | " + list.getCurUser();
}

// Changes of the current account and hub requests, each with the current
// account at that moment; a new row announces itself before restyling.
void recordEvents(UserListWt *list, QStringList *record)
{
    QObject::connect(list, &UserListWt::signalCurUserChanged, list,
                     [=](const QString &pre, const QString &cur) {
                         *record << pre + ">" + cur + "@" + list->getCurUser();
                         if (UserItem *row = rowOf(*list, cur); row && lookOf(row).startsWith('S'))
                             *record << cur + " looked selected before announcing itself";
                     });
    auto &hub = TAMCOMMON::TamSingleton<UserMgrSignals>::_instance();
    QObject::connect(&hub, &UserMgrSignals::signalEditUser, list, [=](const QString &name) {
        *record << "edit " + name + "@" + list->getCurUser();
    });
    QObject::connect(&hub, &UserMgrSignals::signalDeleteUser, list, [=](const QString &name) {
        *record << "delete " + name + "@" + list->getCurUser();
    });
}

} // namespace

class tst_UserListWt : public QObject
{
    Q_OBJECT
private slots:
    void init()
    {
        resetHostForTest();
        QVERIFY(orlun_worker::SystemWorker::_instance().setSuperUserName("root"));
    }
    void scenario_data();
    void scenario();
};

void tst_UserListWt::scenario_data()
{
    QTest::addColumn<QStringList>("accounts");
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<QStringList>("seen");
    QTest::addColumn<QString>("finalState");

    // The list has room for four rows. Steps: show/hide the list; click,
    // right or middle (click) a row; hover or leave a row; edit or delete
    // through a row's button; add, remove or set (current) a user; filter by
    // the rest of the step; "key <name>"; disable or enable the list, as the
    // form locks its left panel; scroll to the top or bottom; "unpolished
    // <name>": the row waits for its polish; "=..." checks the state. Seen:
    // each change as "pre>cur@<getCurUser() during it>", each request of a
    // row button or key as "edit name@<current user>".
    using L = QStringList;
    // Not in name order: the rows keep the host's order.
    const L three{"carol", "alice", "bob"};
    const L eight{"ann", "bob", "cat", "dan", "eve", "fay", "gus", "hal"};
    const QString annCurrent = "ann:S bob:N cat:N dan:N eve:N fay:N gus:N hal:N | ann";
    // clang-format off
    QTest::newRow("first and second show")
        << three << L{"=carol:N alice:N bob:N | ", "show", "click alice", "hide", "show"}
        << L{">carol@", "carol>alice@carol"} << "carol:N alice:S bob:N | alice";
    // A row that kept its hover look loses it when another is selected.
    QTest::newRow("hover, click, then again")
        << three << L{"show", "hover bob", "=carol:S alice:N bob:H+ | carol", "hover alice",
                      "click alice", "click alice", "leave alice"}
        << L{">carol@", "carol>alice@carol"} << "carol:N alice:S bob:N+ | alice";
    QTest::newRow("right and middle click")
        << three << L{"show", "right alice", "middle bob"}
        << L{">carol@", "carol>alice@carol", "alice>bob@alice"} << "carol:N alice:N bob:S | bob";
    // A locked list still shows the pointer, but offers no row buttons.
    QTest::newRow("disabled")
        << three << L{"show", "disable", "hover bob", "=carol:S alice:N bob:H | carol",
                      "hover carol", "=carol:S alice:N bob:H | carol", "leave bob", "enable",
                      "hover alice"}
        << L{">carol@"} << "carol:S alice:H+ bob:N | carol";
    QTest::newRow("remove current in the middle")
        << three << L{"show", "click alice", "remove alice"}
        << L{">carol@", "carol>alice@carol", "alice>bob@alice"} << "carol:N bob:S | bob";
    // After the last row comes the first, not the new last row.
    QTest::newRow("remove current at the end")
        << three << L{"show", "click bob", "remove bob"}
        << L{">carol@", "carol>bob@carol", "bob>carol@bob"} << "carol:S alice:N | carol";
    QTest::newRow("remove others, then the last one")
        << three << L{"show", "remove bob", "remove zed", "remove alice", "remove carol"}
        << L{">carol@", "carol>@carol"} << " | ";
    QTest::newRow("set current")
        << L{"carol", "alice"} << L{"show", "set nobody", "set Alice", "set ", "add new1",
                                    "=carol:S alice:N new1:N | carol", "set new1", "set new1"}
        << L{">carol@", "carol>new1@carol"} << "carol:N alice:N new1:S | new1";
    QTest::newRow("filter")
        << L{"Admin", "lead", "bob"}
        << L{"show", "filter zzz", "filter ad", "=Admin:S lead:N bob:N- | Admin", "filter AD",
             "=Admin:S lead:N bob:N- | Admin", "filter  ad", "=Admin:S- lead:N- bob:N- | Admin",
             "filter "}
        << L{">Admin@"} << "Admin:S lead:N bob:N | Admin";
    // A hidden current row stays current, and a hidden row is selected
    // after a removal all the same.
    QTest::newRow("filter hides the current row")
        << L{"Admin", "lead", "bob"}
        << L{"show", "click lead", "filter adm", "=Admin:N lead:S- bob:N- | lead", "remove lead"}
        << L{">Admin@", "Admin>lead@Admin", "lead>bob@lead"} << "Admin:N bob:S- | bob";
    // The form is told to edit only once bob is the current user.
    QTest::newRow("edit a row not selected")
        << L{"carol", "bob"} << L{"show", "edit bob", "edit bob"}
        << L{">carol@", "carol>bob@carol", "edit bob@bob", "edit bob@bob"} << "carol:N bob:S+ | bob";
    // Removing the row is the form's business; deleting selects nothing.
    QTest::newRow("delete a row not selected")
        << L{"carol", "bob"} << L{"show", "delete bob"} << L{">carol@", "delete bob@carol"}
        << "carol:S bob:H+ | carol";
    QTest::newRow("keys down and up as clicks")
        << eight << L{"show", "key Down", "key Down", "key Up", "key Up", "key Up"}
        << L{">ann@", "ann>bob@ann", "bob>cat@bob", "cat>bob@cat", "bob>ann@bob"} << annCurrent;
    // A page is one row fewer than the list shows, so one row stays in view.
    QTest::newRow("pages stop at the ends")
        << eight << L{"show", "key PageDown", "key PageDown", "key PageDown",
                      "=ann:N bob:N cat:N dan:N eve:N fay:N gus:N hal:S | hal",
                      "key PageUp", "key PageUp", "key PageUp"}
        << L{">ann@", "ann>dan@ann", "dan>gus@dan", "gus>hal@gus", "hal>eve@hal", "eve>bob@eve",
             "bob>ann@bob"} << annCurrent;
    // Hidden rows are stepped over; a hidden current row stays current until
    // a key moves to a visible one.
    QTest::newRow("keys skip filtered rows")
        << eight << L{"show", "key Down", "filter a", "key Down", "key Down", "key Up", "key End",
                      "key Home", "key Up"}
        << L{">ann@", "ann>bob@ann", "bob>cat@bob", "cat>dan@cat", "dan>cat@dan", "cat>hal@cat",
             "hal>ann@hal"} << "ann:S bob:N- cat:N dan:N eve:N- fay:N gus:N- hal:N | ann";
    // Rows out of view rest apart from the list's state; scrolled into view
    // they take it again, whichever way it changed meanwhile.
    QTest::newRow("rows scrolled into view take the list's state")
        << eight << L{"show", "unpolished hal", "disable", "scroll bottom", "hover hal",
                      "=ann:S bob:N cat:N dan:N eve:N fay:N gus:N hal:H | ann", "leave hal",
                      "enable", "scroll top", "hover bob",
                      "=ann:S bob:H+ cat:N dan:N eve:N fay:N gus:N hal:N | ann", "leave bob",
                      "scroll bottom", "edit gus"}
        << L{">ann@", "ann>gus@ann", "edit gus@gus"}
        << "ann:N bob:N cat:N dan:N eve:N fay:N gus:S+ hal:N | gus";
    QTest::newRow("enter, f2 and delete ask as the row buttons")
        << eight << L{"show", "key Down", "key Return", "key F2", "key Delete", "key Enter"}
        << L{">ann@", "ann>bob@ann", "edit bob@bob", "edit bob@bob", "delete bob@bob",
             "edit bob@bob"} << "ann:N bob:S cat:N dan:N eve:N fay:N gus:N hal:N | bob";
    // clang-format on
}

void tst_UserListWt::scenario()
{
    QFETCH(QStringList, accounts);
    QFETCH(QStringList, steps);
    QFETCH(QStringList, seen);
    QFETCH(QString, finalState);

    for (const QString &name : accounts)
        QVERIFY(hostUsers().addUser({name, "Secret123", 2, -1, QString(), QString()}));
    UserListWt list(nullptr);
    list.setFrameShape(QFrame::NoFrame);
    list.resize(258, 4 * 38);
    QStringList record;
    recordEvents(&list, &record);

    const QMap<QString, Qt::MouseButton> clicks{
        {"click", Qt::LeftButton}, {"right", Qt::RightButton}, {"middle", Qt::MiddleButton}};
    const QMetaEnum keys = QMetaEnum::fromType<Qt::Key>();
    for (const QString &step : qAsConst(steps)) {
        const QString verb = step.section(' ', 0, 0), arg = step.section(' ', 1);
        UserItem *row = rowOf(list, arg);
        bool isKey = false;
        const int key = keys.keyToValue(("Key_" + arg).toLatin1(), &isKey);
        if (step.startsWith('=')) {
            QCOMPARE(state(list), step.mid(1));
        } else if (verb == "show" || verb == "hide") {
            list.setVisible(verb == "show");
            QVERIFY(list.isHidden() || QTest::qWaitForWindowExposed(&list));
        } else if (clicks.contains(verb)) {
            QTest::mouseClick(row, clicks.value(verb), {}, QPoint(60, row->height() / 2));
        } else if (verb == "hover" || verb == "leave") {
            sendHover(row, verb == "hover");
        } else if (verb == "edit" || verb == "delete") {
            sendHover(row);
            QTest::mouseClick(row->findChild<QPushButton *>(verb + "UserBt"), Qt::LeftButton);
        } else if (verb == "add") {
            list.addUserItem(arg);
        } else if (verb == "set") {
            list.setCurUser(arg);
        } else if (verb == "filter") {
            list.slotSearchByKeyword(arg);
        } else if (verb == "key" && isKey) {
            QTest::keyClick(&list, Qt::Key(key));
        } else if (verb == "unpolished") {
            QVERIFY(!row->testAttribute(Qt::WA_WState_Polished));
        } else if (verb == "scroll") {
            arg == "top" ? list.scrollToTop() : list.scrollToBottom();
        } else if (verb == "disable" || verb == "enable") {
            list.setEnabled(verb == "enable");
        } else if (verb == "remove") {
            QPointer<UserItem> gone = row;
            list.removeUserItem(arg);
            // The view destroys the row's widget with its row.
            QTRY_VERIFY(gone.isNull());
        } else {
            FAIL_UNKNOWN_STEP(step);
        }
        QCOMPARE(list.getUserCount(), list.count());
        // Rows out of view may wait for their polish; rows the view has
        // placed in view may not.
        for (int r = 0; r < list.count(); ++r) {
            QWidget *shown = list.itemWidget(list.item(r));
            QTRY_VERIFY2(!shown->isVisible() ||
                             !shown->geometry().intersects(list.viewport()->rect()) ||
                             shown->testAttribute(Qt::WA_WState_Polished),
                         qPrintable(step));
        }
    }
    QCOMPARE(record, seen);
    QCOMPARE(state(list), finalState);
}

QTEST_MAIN(tst_UserListWt)
#include "tst_UserListWt.moc"
