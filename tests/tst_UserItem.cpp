#include <QHBoxLayout>
#include <QPushButton>
#include <QSignalSpy>
#include <QtTest>

#include "TamLabel.h"
#include "TestSupport.h"
#include "UserItem.h"
#include "UserMgrSignals.h"

using orlun_userMgr::UserItem;
using orlun_userMgr::UserMgrSignals;

namespace {

const QString kRowSelected = QStringLiteral("QWidget{background-color:#213147;}");
const QString kTransparent = QStringLiteral("QWidget{background-color:transparent;}");
const QString kFlagSelected = QStringLiteral("QWidget{background-color:#2D80D4;}");
const QString kNameWhite = QStringLiteral("QLabel{background-color:transparent;color:#ffffff;"
                                          "font-family:microsoft yahei;font-size:13px;}");
const QString kNameGrey = QStringLiteral("QLabel{background-color:transparent;color:#6C7586;"
                                         "font-family:microsoft yahei;font-size:13px;}");

// What a person sees of a row: its background, its flag, its name and
// whether the edit/delete buttons are showing.
struct Look
{
    QString row;
    QString flag;
    QString name;
    bool buttons;
};

Look lookOf(UserItem &row)
{
    return {row.styleSheet(), row.findChild<QWidget *>("flagWt")->styleSheet(),
            row.findChild<QLabel *>("userName")->styleSheet(),
            row.findChild<QWidget *>("operWt")->isVisible()};
}

void compareLook(UserItem &row, const QString &rowSheet, const QString &flagSheet,
                 const QString &nameSheet, bool buttons)
{
    const Look look = lookOf(row);
    QCOMPARE(look.row, rowSheet);
    QCOMPARE(look.flag, flagSheet);
    QCOMPARE(look.name, nameSheet);
    QCOMPARE(look.buttons, buttons);
}

void hover(QWidget *w)
{
    QEvent enter(QEvent::Enter);
    QApplication::sendEvent(w, &enter);
}

void unhover(QWidget *w)
{
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(w, &leave);
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

    void freshRow();
    void formLayout_data();
    void formLayout();
    void hoverAndLeave_data();
    void hoverAndLeave();
    void releaseSelects_data();
    void releaseSelects();
    void selectionAnnouncedBeforeRestyle();
    void setStateSameValue();
    void deselectKeepsButtons();
    void editButton_data();
    void editButton();
    void deleteButton();
};

void tst_UserItem::freshRow()
{
    UserItem row(QStringLiteral("alice"));
    row.show();
    QVERIFY(QTest::qWaitForWindowExposed(&row));

    QCOMPARE(row.objectName(), QStringLiteral("orlun_userMgr__UserItem"));
    QCOMPARE(row.windowTitle(), QStringLiteral("UserItem"));
    auto *label = row.findChild<TAMCOMMON::TamLabel *>("userName");
    QVERIFY(label);
    QCOMPARE(label->fullText(), QStringLiteral("alice"));
    compareLook(row, kTransparent, kTransparent, kNameGrey, false);

    auto *edit = row.findChild<QPushButton *>("editUserBt");
    auto *del = row.findChild<QPushButton *>("deleteUserBt");
    QVERIFY(edit && del);
    QCOMPARE(edit->toolTip(), QStringLiteral("edit"));
    QCOMPARE(del->toolTip(), QStringLiteral("delete"));
    QVERIFY(edit->text().isEmpty());
    QVERIFY(del->text().isEmpty());
    QVERIFY(edit->styleSheet().contains(":/images/images/edit_listWt_n.png"));
    QVERIFY(del->styleSheet().contains(":/images/images/delete_listWt_h.png"));
    QCOMPARE(row.findChild<QWidget *>("widget")->styleSheet(),
             QStringLiteral("border-image: url(:/userMgr_images/images/user_flag.png);"));
}

void tst_UserItem::formLayout_data()
{
    QTest::addColumn<QString>("object");
    QTest::addColumn<QSize>("minSize");
    QTest::addColumn<QSize>("maxSize");

    QTest::newRow("flag") << "flagWt" << QSize(2, 0) << QSize(2, QWIDGETSIZE_MAX);
    QTest::newRow("icon") << "widget" << QSize(20, 20) << QSize(20, 20);
    QTest::newRow("edit") << "editUserBt" << QSize(18, 18) << QSize(18, 18);
    QTest::newRow("delete") << "deleteUserBt" << QSize(18, 18) << QSize(18, 18);
}

void tst_UserItem::formLayout()
{
    QFETCH(QString, object);
    QFETCH(QSize, minSize);
    QFETCH(QSize, maxSize);

    UserItem row(QStringLiteral("alice"));
    QCOMPARE(row.size(), QSize(373, 34));
    auto *w = row.findChild<QWidget *>(object);
    QVERIFY(w);
    QCOMPARE(w->minimumSize(), minSize);
    QCOMPARE(w->maximumSize(), maxSize);

    auto *outer = row.findChild<QHBoxLayout *>("horizontalLayout_4");
    QVERIFY(outer);
    QCOMPARE(row.layout(), outer);
    QCOMPARE(outer->spacing(), 10);
    QCOMPARE(outer->contentsMargins(), QMargins(0, 0, 8, 0));
    QCOMPARE(outer->stretch(0), 1);
    auto *buttons = row.findChild<QHBoxLayout *>("horizontalLayout");
    QVERIFY(buttons);
    QCOMPARE(buttons->spacing(), 4);
    QCOMPARE(buttons->contentsMargins(), QMargins());
}

void tst_UserItem::hoverAndLeave_data()
{
    QTest::addColumn<bool>("selected");
    QTest::addColumn<bool>("enabled");
    QTest::addColumn<QString>("hoverRow");
    QTest::addColumn<QString>("hoverFlag");
    QTest::addColumn<QString>("hoverName");
    QTest::addColumn<bool>("hoverButtons");
    QTest::addColumn<QString>("leftRow");
    QTest::addColumn<QString>("leftFlag");
    QTest::addColumn<QString>("leftName");

    QTest::newRow("normal row") << false << true << kRowSelected << kTransparent << kNameWhite
                                << true << kTransparent << kTransparent << kNameGrey;
    QTest::newRow("selected row") << true << true << kRowSelected << kFlagSelected << kNameWhite
                                  << true << kRowSelected << kFlagSelected << kNameWhite;
    QTest::newRow("disabled row") << false << false << kRowSelected << kTransparent << kNameWhite
                                  << false << kTransparent << kTransparent << kNameGrey;
    QTest::newRow("disabled selected row")
        << true << false << kRowSelected << kFlagSelected << kNameWhite << false << kRowSelected
        << kFlagSelected << kNameWhite;
}

void tst_UserItem::hoverAndLeave()
{
    QFETCH(bool, selected);
    QFETCH(bool, enabled);
    QFETCH(QString, hoverRow);
    QFETCH(QString, hoverFlag);
    QFETCH(QString, hoverName);
    QFETCH(bool, hoverButtons);
    QFETCH(QString, leftRow);
    QFETCH(QString, leftFlag);
    QFETCH(QString, leftName);

    // Disabled through an ancestor, as when the form locks its left panel.
    QWidget panel;
    auto *row = new UserItem(QStringLiteral("alice"), &panel);
    panel.show();
    QVERIFY(QTest::qWaitForWindowExposed(&panel));
    if (selected)
        row->setState(UserItem::ItemSelected);
    panel.setEnabled(enabled);

    QSignalSpy selections(row, &UserItem::signalCurUserItem);
    hover(row);
    compareLook(*row, hoverRow, hoverFlag, hoverName, hoverButtons);
    unhover(row);
    compareLook(*row, leftRow, leftFlag, leftName, false);
    QCOMPARE(selections.count(), 0);
}

void tst_UserItem::releaseSelects_data()
{
    QTest::addColumn<int>("button");
    QTest::addColumn<bool>("hovered");

    QTest::newRow("left") << int(Qt::LeftButton) << true;
    QTest::newRow("right") << int(Qt::RightButton) << true;
    QTest::newRow("middle") << int(Qt::MiddleButton) << false;
}

void tst_UserItem::releaseSelects()
{
    QFETCH(int, button);
    QFETCH(bool, hovered);

    UserItem row(QStringLiteral("alice"));
    row.show();
    QVERIFY(QTest::qWaitForWindowExposed(&row));
    QSignalSpy selections(&row, &UserItem::signalCurUserItem);

    if (hovered)
        hover(&row);
    QTest::mouseRelease(&row, Qt::MouseButton(button), Qt::NoModifier, QPoint(100, 17));
    QCOMPARE(selections.count(), 1);
    QCOMPARE(selections.at(0).at(0).toString(), QStringLiteral("alice"));
    compareLook(row, kRowSelected, kFlagSelected, kNameWhite, hovered);

    // A selected row is not selected again.
    QTest::mouseClick(&row, Qt::LeftButton, Qt::NoModifier, QPoint(100, 17));
    QCOMPARE(selections.count(), 1);
}

void tst_UserItem::selectionAnnouncedBeforeRestyle()
{
    UserItem row(QStringLiteral("alice"));
    row.show();
    QVERIFY(QTest::qWaitForWindowExposed(&row));
    hover(&row);

    QString rowSheetDuringSignal;
    QString flagSheetDuringSignal;
    connect(&row, &UserItem::signalCurUserItem, &row, [&] {
        rowSheetDuringSignal = row.styleSheet();
        flagSheetDuringSignal = row.findChild<QWidget *>("flagWt")->styleSheet();
    });
    QTest::mouseClick(&row, Qt::LeftButton, Qt::NoModifier, QPoint(100, 17));

    QCOMPARE(rowSheetDuringSignal, kRowSelected);
    QCOMPARE(flagSheetDuringSignal, kTransparent);
    QCOMPARE(row.findChild<QWidget *>("flagWt")->styleSheet(), kFlagSelected);
}

void tst_UserItem::setStateSameValue()
{
    UserItem row(QStringLiteral("alice"));
    QSignalSpy selections(&row, &UserItem::signalCurUserItem);

    // A marker sheet shows whether setState restyled the row.
    row.setStyleSheet(QStringLiteral("QWidget{}"));
    row.setState(UserItem::ItemNormal);
    QCOMPARE(row.styleSheet(), QStringLiteral("QWidget{}"));

    row.setState(UserItem::ItemSelected);
    QCOMPARE(selections.count(), 1);
    row.setStyleSheet(QStringLiteral("QWidget{}"));
    row.setState(UserItem::ItemSelected);
    QCOMPARE(selections.count(), 1);
    QCOMPARE(row.styleSheet(), QStringLiteral("QWidget{}"));

    row.setState(UserItem::ItemNormal);
    compareLook(row, kTransparent, kTransparent, kNameGrey, false);
    QCOMPARE(selections.count(), 1);
}

void tst_UserItem::deselectKeepsButtons()
{
    UserItem row(QStringLiteral("alice"));
    row.show();
    QVERIFY(QTest::qWaitForWindowExposed(&row));
    hover(&row);
    QTest::mouseClick(&row, Qt::LeftButton, Qt::NoModifier, QPoint(100, 17));

    // The list deselects a row while the pointer is still over it.
    row.setState(UserItem::ItemNormal);
    compareLook(row, kTransparent, kTransparent, kNameGrey, true);
    unhover(&row);
    compareLook(row, kTransparent, kTransparent, kNameGrey, false);
}

void tst_UserItem::editButton_data()
{
    QTest::addColumn<bool>("selectedBefore");
    QTest::addColumn<QStringList>("events");

    QTest::newRow("not selected") << false << QStringList{"cur alice", "edit alice"};
    QTest::newRow("selected") << true << QStringList{"edit alice"};
}

void tst_UserItem::editButton()
{
    QFETCH(bool, selectedBefore);
    QFETCH(QStringList, events);

    UserItem row(QStringLiteral("alice"));
    row.show();
    QVERIFY(QTest::qWaitForWindowExposed(&row));
    if (selectedBefore)
        row.setState(UserItem::ItemSelected);

    QStringList seen;
    connect(&row, &UserItem::signalCurUserItem, &row,
            [&](const QString &name) { seen << "cur " + name; });
    connect(&hub(), &UserMgrSignals::signalEditUser, &row,
            [&](const QString &name) { seen << "edit " + name; });
    connect(&hub(), &UserMgrSignals::signalDeleteUser, &row,
            [&](const QString &name) { seen << "delete " + name; });

    hover(&row);
    QTest::mouseClick(row.findChild<QPushButton *>("editUserBt"), Qt::LeftButton);
    QCOMPARE(seen, events);
    compareLook(row, kRowSelected, kFlagSelected, kNameWhite, true);
}

void tst_UserItem::deleteButton()
{
    UserItem row(QStringLiteral("alice"));
    row.show();
    QVERIFY(QTest::qWaitForWindowExposed(&row));
    QSignalSpy selections(&row, &UserItem::signalCurUserItem);
    QSignalSpy deletes(&hub(), &UserMgrSignals::signalDeleteUser);
    QSignalSpy edits(&hub(), &UserMgrSignals::signalEditUser);

    hover(&row);
    QTest::mouseClick(row.findChild<QPushButton *>("deleteUserBt"), Qt::LeftButton);
    QCOMPARE(deletes.count(), 1);
    QCOMPARE(deletes.at(0).at(0).toString(), QStringLiteral("alice"));
    QCOMPARE(edits.count(), 0);
    QCOMPARE(selections.count(), 0);
    // Still only hovered: deleting does not select the row.
    compareLook(row, kRowSelected, kTransparent, kNameWhite, true);
}

QTEST_MAIN(tst_UserItem)
#include "tst_UserItem.moc"
