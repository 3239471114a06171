#include <QPointer>
#include <QPushButton>
#include <QSignalSpy>
#include <QtTest>

#include "SystemWorker.h"
#include "TamLabel.h"
#include "TestSupport.h"
#include "UserData.h"
#include "UserItem.h"
#include "UserListWt.h"
#include "UserMgrSignals.h"

using orlun_userMgr::UserItem;
using orlun_userMgr::UserListWt;
using orlun_userMgr::UserMgrSignals;

namespace {

const QString kRowSelected = QStringLiteral("QWidget{background-color:#213147;}");
const QString kTransparent = QStringLiteral("QWidget{background-color:transparent;}");
const QString kFlagSelected = QStringLiteral("QWidget{background-color:#2D80D4;}");

void seedUsers(const QStringList &names)
{
    for (const QString &name : names) {
        orlun_data::UserInfo info;
        info.userName = name;
        info.userPwd = QStringLiteral("Secret123");
        QVERIFY(TAMCOMMON::TamSingleton<orlun_data::UserData>::_instance().addUser(info));
    }
}

// Row names top to bottom, as they are listed.
QStringList listedNames(const UserListWt &list)
{
    QStringList names;
    for (int r = 0; r < list.count(); ++r)
        names << list.item(r)->data(Qt::UserRole).toString();
    return names;
}

UserItem *rowOf(const UserListWt &list, const QString &name)
{
    for (int r = 0; r < list.count(); ++r) {
        if (list.item(r)->data(Qt::UserRole).toString() == name)
            return qobject_cast<UserItem *>(list.itemWidget(list.item(r)));
    }
    return nullptr;
}

// The rows that show the selected look (blue flag).
QStringList selectedLooking(const UserListWt &list)
{
    QStringList names;
    for (const QString &name : listedNames(list)) {
        UserItem *row = rowOf(list, name);
        if (row->findChild<QWidget *>("flagWt")->styleSheet() == kFlagSelected)
            names << name;
    }
    return names;
}

void hover(QWidget *w)
{
    QEvent enter(QEvent::Enter);
    QApplication::sendEvent(w, &enter);
}

void clickOn(UserItem *row, Qt::MouseButton button = Qt::LeftButton)
{
    QTest::mouseClick(row, button, Qt::NoModifier, QPoint(60, row->height() / 2));
}

// Records each change as "pre>cur@<getCurUser() during the emission>".
class ChangeRecorder : public QObject
{
public:
    explicit ChangeRecorder(UserListWt *list)
    {
        connect(list, &UserListWt::signalCurUserChanged, this,
                [this, list](const QString &pre, const QString &cur) {
                    changes << pre + ">" + cur + "@" + list->getCurUser();
                });
    }
    QStringList changes;
};

UserMgrSignals &hub()
{
    return TAMCOMMON::TamSingleton<UserMgrSignals>::_instance();
}

} // namespace

class tst_UserListWt : public QObject
{
    Q_OBJECT
private slots:
    void init();

    void construction();
    void firstShow_data();
    void firstShow();
    void clickRow_data();
    void clickRow();
    void removeUser_data();
    void removeUser();
    void removedRowWidgetIsDestroyed();
    void addThenSetCurUser();
    void setCurUserUnknown();
    void selectionClearsHover();
    void filter_data();
    void filter();
    void filterKeepsCurrent();
    void removalSelectsHiddenRow();
    void editOnUnselectedRow();
    void deleteOnUnselectedRow();
};

void tst_UserListWt::init()
{
    resetHostForTest();
    QVERIFY(TAMCOMMON::TamSingleton<orlun_worker::SystemWorker>::_instance().setSuperUserName(
        QStringLiteral("root")));
}

void tst_UserListWt::construction()
{
    seedUsers({"carol", "alice", "bob"});
    const auto hostUsers =
        TAMCOMMON::TamSingleton<orlun_data::UserData>::_instance().getAllUsers("root");
    QStringList hostNames;
    for (const auto &user : hostUsers)
        hostNames << user.userName;

    UserListWt list(nullptr);
    // The host's order, not sorted.
    QCOMPARE(listedNames(list), hostNames);
    QCOMPARE(list.getUserCount(), hostNames.size());
    QVERIFY(list.getCurUser().isEmpty());
    QVERIFY(selectedLooking(list).isEmpty());
    QCOMPARE(list.property("common_listView_style1"), QVariant(true));
    QCOMPARE(list.styleSheet(), QStringLiteral("QListWidget{background-color:#101928;} "
                                               "QListWidget::item{min-height:38px;}"));
    for (int r = 0; r < list.count(); ++r) {
        QVERIFY(list.item(r)->text().isEmpty());
        auto *label = list.itemWidget(list.item(r))->findChild<TAMCOMMON::TamLabel *>("userName");
        QCOMPARE(label->fullText(), hostNames.at(r));
    }
}

void tst_UserListWt::firstShow_data()
{
    QTest::addColumn<QStringList>("accounts");
    QTest::addColumn<QStringList>("changes");

    QTest::newRow("rows") << QStringList{"A", "B", "C"} << QStringList{">A@"};
    QTest::newRow("no rows") << QStringList{} << QStringList{};
}

void tst_UserListWt::firstShow()
{
    QFETCH(QStringList, accounts);
    QFETCH(QStringList, changes);
    seedUsers(accounts);

    UserListWt list(nullptr);
    ChangeRecorder recorder(&list);
    list.show();
    QVERIFY(QTest::qWaitForWindowExposed(&list));
    QCOMPARE(recorder.changes, changes);
    QCOMPARE(list.getCurUser(), accounts.value(0));
    QCOMPARE(selectedLooking(list), accounts.mid(0, 1));

    // Later shows select nothing, even when rows have come since.
    list.hide();
    list.addUserItem(QStringLiteral("D"));
    list.show();
    QVERIFY(QTest::qWaitForWindowExposed(&list));
    QCOMPARE(recorder.changes, changes);
    QCOMPARE(list.getCurUser(), accounts.value(0));
}

void tst_UserListWt::clickRow_data()
{
    QTest::addColumn<int>("button");
    QTest::newRow("left") << int(Qt::LeftButton);
    QTest::newRow("right") << int(Qt::RightButton);
}

void tst_UserListWt::clickRow()
{
    QFETCH(int, button);
    seedUsers({"A", "B", "C"});
    UserListWt list(nullptr);
    list.show();
    QVERIFY(QTest::qWaitForWindowExposed(&list));
    ChangeRecorder recorder(&list);

    clickOn(rowOf(list, "B"), Qt::MouseButton(button));
    QCOMPARE(recorder.changes, QStringList{"A>B@A"});
    QCOMPARE(list.getCurUser(), QStringLiteral("B"));
    QCOMPARE(selectedLooking(list), QStringList{"B"});
    QCOMPARE(rowOf(list, "A")->styleSheet(), kTransparent);
    QCOMPARE(rowOf(list, "B")->styleSheet(), kRowSelected);

    clickOn(rowOf(list, "B"), Qt::MouseButton(button));
    QCOMPARE(recorder.changes, QStringList{"A>B@A"});
}

void tst_UserListWt::removeUser_data()
{
    QTest::addColumn<QStringList>("accounts");
    QTest::addColumn<QString>("current");
    QTest::addColumn<QString>("removed");
    QTest::addColumn<QStringList>("changes");
    QTest::addColumn<QString>("currentAfter");
    QTest::addColumn<QStringList>("rowsAfter");

    QTest::newRow("current in the middle")
        << QStringList{"A", "B", "C"} << "B"
        << "B" << QStringList{"B>C@B"} << "C" << QStringList{"A", "C"};
    QTest::newRow("current at the end")
        << QStringList{"A", "B", "C"} << "C"
        << "C" << QStringList{"C>A@C"} << "A" << QStringList{"A", "B"};
    QTest::newRow("current first") << QStringList{"A", "B", "C"} << "A"
                                   << "A" << QStringList{"A>B@A"} << "B" << QStringList{"B", "C"};
    QTest::newRow("last one left") << QStringList{"A"} << "A"
                                   << "A" << QStringList{"A>@A"} << "" << QStringList{};
    QTest::newRow("not current") << QStringList{"A", "B", "C"} << "A"
                                 << "C" << QStringList{} << "A" << QStringList{"A", "B"};
    QTest::newRow("not listed") << QStringList{"A", "B", "C"} << "C"
                                << "zed" << QStringList{} << "C" << QStringList{"A", "B", "C"};
}

void tst_UserListWt::removeUser()
{
    QFETCH(QStringList, accounts);
    QFETCH(QString, current);
    QFETCH(QString, removed);
    QFETCH(QStringList, changes);
    QFETCH(QString, currentAfter);
    QFETCH(QStringList, rowsAfter);

    seedUsers(accounts);
    UserListWt list(nullptr);
    list.show();
    QVERIFY(QTest::qWaitForWindowExposed(&list));
    clickOn(rowOf(list, current));
    QCOMPARE(list.getCurUser(), current);

    ChangeRecorder recorder(&list);
    list.removeUserItem(removed);
    QCOMPARE(recorder.changes, changes);
    QCOMPARE(list.getCurUser(), currentAfter);
    QCOMPARE(listedNames(list), rowsAfter);
    QCOMPARE(list.getUserCount(), rowsAfter.size());
    QCOMPARE(selectedLooking(list),
             currentAfter.isEmpty() ? QStringList() : QStringList{currentAfter});
}

void tst_UserListWt::removedRowWidgetIsDestroyed()
{
    seedUsers({"A", "B"});
    UserListWt list(nullptr);
    list.show();
    QVERIFY(QTest::qWaitForWindowExposed(&list));
    QPointer<UserItem> row = rowOf(list, "B");
    QVERIFY(row);

    list.removeUserItem(QStringLiteral("B"));
    QTRY_VERIFY(row.isNull());
    QCOMPARE(list.getCurUser(), QStringLiteral("A"));
}

void tst_UserListWt::addThenSetCurUser()
{
    seedUsers({"A", "B"});
    UserListWt list(nullptr);
    list.show();
    QVERIFY(QTest::qWaitForWindowExposed(&list));
    ChangeRecorder recorder(&list);

    list.addUserItem(QStringLiteral("new1"));
    QCOMPARE(listedNames(list), (QStringList{"A", "B", "new1"}));
    QCOMPARE(list.getUserCount(), 3);
    QVERIFY(recorder.changes.isEmpty());
    QCOMPARE(list.getCurUser(), QStringLiteral("A"));
    QCOMPARE(selectedLooking(list), QStringList{"A"});
    QCOMPARE(rowOf(list, "new1")->styleSheet(), kTransparent);

    list.setCurUser(QStringLiteral("new1"));
    QCOMPARE(recorder.changes, QStringList{"A>new1@A"});
    QCOMPARE(selectedLooking(list), QStringList{"new1"});

    // Selecting the current user again changes nothing.
    list.setCurUser(QStringLiteral("new1"));
    QCOMPARE(recorder.changes, QStringList{"A>new1@A"});
}

void tst_UserListWt::setCurUserUnknown()
{
    seedUsers({"A", "B"});
    UserListWt list(nullptr);
    list.show();
    QVERIFY(QTest::qWaitForWindowExposed(&list));
    ChangeRecorder recorder(&list);

    list.setCurUser(QStringLiteral("nobody"));
    list.setCurUser(QStringLiteral("a"));
    list.setCurUser(QString());
    QVERIFY(recorder.changes.isEmpty());
    QCOMPARE(list.getCurUser(), QStringLiteral("A"));
    QCOMPARE(selectedLooking(list), QStringList{"A"});
}

void tst_UserListWt::selectionClearsHover()
{
    seedUsers({"A", "B", "C"});
    UserListWt list(nullptr);
    list.show();
    QVERIFY(QTest::qWaitForWindowExposed(&list));

    // The pointer left B without a leave event reaching it (the form, say,
    // got disabled); selecting another row still clears B's hover look.
    hover(rowOf(list, "B"));
    QCOMPARE(rowOf(list, "B")->styleSheet(), kRowSelected);
    list.setCurUser(QStringLiteral("C"));
    QCOMPARE(rowOf(list, "B")->styleSheet(), kTransparent);
    QCOMPARE(rowOf(list, "A")->styleSheet(), kTransparent);
    QCOMPARE(rowOf(list, "C")->styleSheet(), kRowSelected);
}

void tst_UserListWt::filter_data()
{
    QTest::addColumn<QString>("keyword");
    QTest::addColumn<QStringList>("visible");

    QTest::newRow("ad") << "ad" << QStringList{"Admin", "lead"};
    QTest::newRow("upper case") << "AD" << QStringList{"Admin", "lead"};
    QTest::newRow("whole name") << "bob" << QStringList{"bob"};
    QTest::newRow("no match") << "x" << QStringList{};
    QTest::newRow("not trimmed") << " ad" << QStringList{};
    QTest::newRow("empty") << "" << QStringList{"Admin", "lead", "bob"};
}

void tst_UserListWt::filter()
{
    QFETCH(QString, keyword);
    QFETCH(QStringList, visible);

    seedUsers({"Admin", "lead", "bob"});
    UserListWt list(nullptr);
    list.show();
    QVERIFY(QTest::qWaitForWindowExposed(&list));

    // Start from a filtered list so that an empty keyword has to undo it.
    list.slotSearchByKeyword(QStringLiteral("zzz"));
    list.slotSearchByKeyword(keyword);
    for (const QString &name : listedNames(list)) {
        const int row = listedNames(list).indexOf(name);
        QCOMPARE(list.isRowHidden(row), !visible.contains(name));
        QTRY_COMPARE(rowOf(list, name)->isVisible(), visible.contains(name));
    }
    QCOMPARE(list.getUserCount(), 3);
}

void tst_UserListWt::filterKeepsCurrent()
{
    seedUsers({"Admin", "lead", "bob"});
    UserListWt list(nullptr);
    list.show();
    QVERIFY(QTest::qWaitForWindowExposed(&list));
    ChangeRecorder recorder(&list);

    list.slotSearchByKeyword(QStringLiteral("bob"));
    QVERIFY(list.isRowHidden(0));
    QCOMPARE(list.getCurUser(), QStringLiteral("Admin"));
    QCOMPARE(selectedLooking(list), QStringList{"Admin"});

    list.slotSearchByKeyword(QString());
    QVERIFY(!list.isRowHidden(0));
    QVERIFY(recorder.changes.isEmpty());
    QCOMPARE(list.getCurUser(), QStringLiteral("Admin"));
}

void tst_UserListWt::removalSelectsHiddenRow()
{
    seedUsers({"Admin", "lead", "bob"});
    UserListWt list(nullptr);
    list.show();
    QVERIFY(QTest::qWaitForWindowExposed(&list));
    clickOn(rowOf(list, "lead"));
    list.slotSearchByKeyword(QStringLiteral("ad"));
    QVERIFY(list.isRowHidden(2));

    ChangeRecorder recorder(&list);
    list.removeUserItem(QStringLiteral("lead"));
    QCOMPARE(recorder.changes, QStringList{"lead>bob@lead"});
    QCOMPARE(list.getCurUser(), QStringLiteral("bob"));
    QVERIFY(list.isRowHidden(1));
}

void tst_UserListWt::editOnUnselectedRow()
{
    seedUsers({"A", "B"});
    UserListWt list(nullptr);
    list.show();
    QVERIFY(QTest::qWaitForWindowExposed(&list));

    QStringList seen;
    connect(&list, &UserListWt::signalCurUserChanged, &list,
            [&](const QString &pre, const QString &cur) { seen << "changed " + pre + ">" + cur; });
    connect(&hub(), &UserMgrSignals::signalEditUser, &list,
            [&](const QString &name) { seen << "edit " + name + "@" + list.getCurUser(); });

    UserItem *rowB = rowOf(list, "B");
    hover(rowB);
    QTest::mouseClick(rowB->findChild<QPushButton *>("editUserBt"), Qt::LeftButton);
    // The form is told to edit only once B is the current user.
    QCOMPARE(seen, (QStringList{"changed A>B", "edit B@B"}));
    QCOMPARE(selectedLooking(list), QStringList{"B"});

    seen.clear();
    QTest::mouseClick(rowB->findChild<QPushButton *>("editUserBt"), Qt::LeftButton);
    QCOMPARE(seen, QStringList{"edit B@B"});
}

void tst_UserListWt::deleteOnUnselectedRow()
{
    seedUsers({"A", "B"});
    UserListWt list(nullptr);
    list.show();
    QVERIFY(QTest::qWaitForWindowExposed(&list));
    QSignalSpy changes(&list, &UserListWt::signalCurUserChanged);
    QSignalSpy deletes(&hub(), &UserMgrSignals::signalDeleteUser);

    UserItem *rowB = rowOf(list, "B");
    hover(rowB);
    QTest::mouseClick(rowB->findChild<QPushButton *>("deleteUserBt"), Qt::LeftButton);
    QCOMPARE(deletes.count(), 1);
    QCOMPARE(deletes.at(0).at(0).toString(), QStringLiteral("B"));
    QCOMPARE(changes.count(), 0);
    QCOMPARE(list.getCurUser(), QStringLiteral("A"));
    QCOMPARE(selectedLooking(list), QStringList{"A"});
    // The list is untouched: removing the row is the form's business.
    QCOMPARE(list.getUserCount(), 2);
}

QTEST_MAIN(tst_UserListWt)
#include "tst_UserListWt.moc"
