#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QDir>
#include <QEnterEvent>
#include <QImage>
#include <QLineEdit>
#include <QMenu>
#include <QPointer>
#include <QSignalSpy>
#include <QToolButton>
#include <QVBoxLayout>
#include <QtTest>

#include "BaseForm.h"
#include "DictDef.h"
#include "FormsMgr.h"
#include "LoginAccess.h"
#include "SystemAssistant.h"
#include "TamMessageBox.h"
#include "TestSupport.h"
#include "UserData.h"

#include "CustomIconStyle.h"
#include "UserPwdLineEdit.h"

#include <algorithm>

using orlun_userMgr::CustomIconStyle;
using orlun_userMgr::UserPwdLineEdit;

namespace {

// Stands in for the user management form: the gesture dialogs are parented
// to whatever the form manager holds under the user management type.
class UserMgrTestForm : public orlun_base::BaseForm
{
    Q_OBJECT
public:
    explicit UserMgrTestForm(QWidget *parent = nullptr)
        : BaseForm(parent)
    {}
    orlun_base::FormType getFormType() const override { return orlun_base::FormUserMgr; }
};

const QStringList kIconNames = {
    QStringLiteral("add_gesture_n"),    QStringLiteral("add_gesture_h"),
    QStringLiteral("delete_gesture_n"), QStringLiteral("delete_gesture_h"),
    QStringLiteral("hide_pwd_n"),       QStringLiteral("hide_pwd_h"),
    QStringLiteral("show_pwd_n"),       QStringLiteral("show_pwd_h"),
    QStringLiteral("user_flag"),
};

QImage resourceImage(const QString &name)
{
    return QImage(QStringLiteral(":/userMgr_images/images/%1.png").arg(name))
        .convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

// Which of the module's images an icon shows at the field's icon size, so a
// failure names the image instead of dumping pixels.
QString shownImage(const QIcon &icon)
{
    if (icon.isNull())
        return QStringLiteral("<none>");
    const QImage shown =
        icon.pixmap(20).toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied);
    for (const QString &name : kIconNames) {
        if (shown == resourceImage(name))
            return name;
    }
    return QStringLiteral("<other>");
}

bool anyMenuVisible()
{
    const auto widgets = QApplication::topLevelWidgets();
    return std::any_of(widgets.cbegin(), widgets.cend(),
                       [](QWidget *w) { return qobject_cast<QMenu *>(w) && w->isVisible(); });
}

} // namespace

class tst_UserPwdLineEdit : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void imagesAreNineIconsOf20Pixels_data();
    void imagesAreNineIconsOf20Pixels();
    void startsHiddenWithOnlyTheShowHideIcon();
    void editingKeysAreSwallowed_data();
    void editingKeysAreSwallowed();
    void whiteSpaceIsRefused_data();
    void whiteSpaceIsRefused();
    void textCanBeDeletedToEmpty();
    void rightClickOpensNoMenu();
    void showHideToggles_data();
    void showHideToggles();
    void shownPasswordSurvivesAccountChanges();
    void setUserNameBindsTheGestureAction_data();
    void setUserNameBindsTheGestureAction();
    void hoverAndFocusChooseIcons_data();
    void hoverAndFocusChooseIcons();
    void gestureFlows_data();
    void gestureFlows();
    void destroyedWhileShown_data();
    void destroyedWhileShown();

private:
    QAction *gestureAction() const { return m_field->actions().value(0); }
    QAction *pwdAction() const { return m_field->actions().value(1); }
    QToolButton *buttonOf(QAction *action) const;
    void addAccount(const QString &name, bool withGesture);
    void sendEnter();
    void sendLeave();
    void clickField();

    QPointer<UserMgrTestForm> m_form;
    QPointer<UserPwdLineEdit> m_field;
    QPointer<QLineEdit> m_other;
};

void tst_UserPwdLineEdit::init()
{
    resetHostForTest();
    orlun_login::LoginAccess::_instance().clearScriptedGestures();

    m_form = new UserMgrTestForm;
    auto *layout = new QVBoxLayout(m_form);
    m_field = new UserPwdLineEdit(m_form);
    m_other = new QLineEdit(m_form);
    layout->addWidget(m_field);
    layout->addWidget(m_other);
    m_form->resize(300, 100);
    orlun_base::FormsMgr::_instance().registerForm(m_form);

    m_form->show();
    m_form->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_form));
    // Start every test with the focus away from the field.
    m_other->setFocus();
    QTRY_VERIFY(m_other->hasFocus());
}

void tst_UserPwdLineEdit::cleanup()
{
    delete m_form;
    qApp->setStyleSheet(QString());
}

QToolButton *tst_UserPwdLineEdit::buttonOf(QAction *action) const
{
    const auto buttons = m_field->findChildren<QToolButton *>();
    for (QToolButton *button : buttons) {
        if (button->defaultAction() == action)
            return button;
    }
    return nullptr;
}

void tst_UserPwdLineEdit::addAccount(const QString &name, bool withGesture)
{
    orlun_data::UserInfo info;
    info.userName = name;
    info.userPwd = QStringLiteral("Stored#1");
    QVERIFY(orlun_data::UserData::_instance().addUser(info));
    if (withGesture) {
        const QByteArray salt("salt");
        QVERIFY(orlun_data::UserData::_instance().setUserGesture(
            name, salt, orlun_login::LoginAccess::hashPattern({0, 1, 2, 5}, salt)));
    }
}

void tst_UserPwdLineEdit::sendEnter()
{
    const QPoint inside = m_field->rect().center();
    QEnterEvent enter(inside, m_field->mapTo(m_form, inside), m_field->mapToGlobal(inside));
    QApplication::sendEvent(m_field, &enter);
}

void tst_UserPwdLineEdit::sendLeave()
{
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(m_field, &leave);
}

void tst_UserPwdLineEdit::clickField()
{
    QTest::mouseClick(m_field, Qt::LeftButton, {}, QPoint(5, m_field->height() / 2));
    QTRY_VERIFY(m_field->hasFocus());
}

void tst_UserPwdLineEdit::imagesAreNineIconsOf20Pixels_data()
{
    QTest::addColumn<QString>("name");
    for (const QString &name : kIconNames)
        QTest::newRow(qPrintable(name)) << name;
}

void tst_UserPwdLineEdit::imagesAreNineIconsOf20Pixels()
{
    QFETCH(QString, name);

    const QDir folder(QStringLiteral(":/userMgr_images/images"));
    QCOMPARE(folder.entryList(QDir::Files).size(), kIconNames.size());

    const QImage image = resourceImage(name);
    QVERIFY(!image.isNull());
    QCOMPARE(image.size(), QSize(20, 20));
    // Drawn on a transparent ground so the dark panels show through.
    QCOMPARE(qAlpha(image.pixel(0, 19)), 0);
    if (name.endsWith(QLatin1String("_n"))) {
        QString lit = name;
        lit.chop(1);
        lit += QLatin1Char('h');
        QVERIFY2(resourceImage(lit) != image, "highlight looks like the resting icon");
    }
}

void tst_UserPwdLineEdit::startsHiddenWithOnlyTheShowHideIcon()
{
    QCOMPARE(m_field->metaObject()->className(), "orlun_userMgr::UserPwdLineEdit");
    QCOMPARE(m_field->echoMode(), QLineEdit::Password);
    QCOMPARE(m_field->contextMenuPolicy(), Qt::NoContextMenu);
    QVERIFY(!m_field->testAttribute(Qt::WA_InputMethodEnabled));
    QVERIFY(qobject_cast<CustomIconStyle *>(m_field->style()));
    QCOMPARE(m_field->style()->pixelMetric(QStyle::PM_SmallIconSize, nullptr, m_field), 20);

    QCOMPARE(m_field->actions().size(), 2);
    QVERIFY(gestureAction()->isCheckable());
    QVERIFY(!gestureAction()->isChecked());
    QVERIFY(!gestureAction()->isVisible());
    QVERIFY(pwdAction()->isCheckable());
    QVERIFY(!pwdAction()->isChecked());
    QVERIFY(pwdAction()->isVisible());
    QCOMPARE(shownImage(pwdAction()->icon()), QStringLiteral("hide_pwd_n"));
    QCOMPARE(shownImage(gestureAction()->icon()), QStringLiteral("add_gesture_n"));
    QVERIFY(pwdAction()->toolTip().isEmpty());

    QVERIFY(buttonOf(pwdAction()));
    QVERIFY(buttonOf(pwdAction())->isVisible());
    QVERIFY(buttonOf(gestureAction()));
    QVERIFY(!buttonOf(gestureAction())->isVisible());
}

void tst_UserPwdLineEdit::editingKeysAreSwallowed_data()
{
    QTest::addColumn<QKeySequence::StandardKey>("key");
    QTest::addColumn<bool>("shown");

    // Copy and cut of a hidden password are refused by QLineEdit anyway; the
    // shown password is where the field itself has to hold them back.
    QTest::newRow("paste into hidden") << QKeySequence::Paste << false;
    QTest::newRow("paste into shown") << QKeySequence::Paste << true;
    QTest::newRow("copy shown") << QKeySequence::Copy << true;
    QTest::newRow("cut shown") << QKeySequence::Cut << true;
}

void tst_UserPwdLineEdit::editingKeysAreSwallowed()
{
    QFETCH(QKeySequence::StandardKey, key);
    QFETCH(bool, shown);

    m_field->setText(QStringLiteral("Secret#1"));
    if (shown)
        QTest::mouseClick(buttonOf(pwdAction()), Qt::LeftButton);
    QCOMPARE(m_field->echoMode(), shown ? QLineEdit::Normal : QLineEdit::Password);
    QGuiApplication::clipboard()->setText(QStringLiteral("Clip"));
    clickField();
    m_field->selectAll();

    QTest::keySequence(m_field, QKeySequence(key));

    QCOMPARE(m_field->text(), QStringLiteral("Secret#1"));
    QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("Clip"));
    // Other keys still edit.
    QTest::keyClick(m_field, Qt::Key_End);
    QTest::keyClicks(m_field, QStringLiteral("x"));
    QCOMPARE(m_field->text(), QStringLiteral("Secret#1x"));
}

void tst_UserPwdLineEdit::whiteSpaceIsRefused_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("expected");

    QTest::newRow("inside") << "ab cd"
                            << "abcd";
    QTest::newRow("leading") << " ab"
                             << "ab";
    QTest::newRow("trailing") << "ab "
                              << "ab";
    QTest::newRow("only spaces") << "   "
                                 << "";
    QTest::newRow("punctuation is fine") << "a#b!"
                                         << "a#b!";
}

void tst_UserPwdLineEdit::whiteSpaceIsRefused()
{
    QFETCH(QString, typed);
    QFETCH(QString, expected);

    clickField();
    QTest::keyClicks(m_field, typed);
    QCOMPARE(m_field->text(), expected);

    // In the middle of existing text as well.
    QTest::keyClicks(m_field, QStringLiteral("zz"));
    QTest::keyClick(m_field, Qt::Key_Left);
    QTest::keyClick(m_field, Qt::Key_Space);
    QCOMPARE(m_field->text(), expected + QStringLiteral("zz"));
}

void tst_UserPwdLineEdit::textCanBeDeletedToEmpty()
{
    clickField();
    QTest::keyClicks(m_field, QStringLiteral("ab"));
    QTest::keyClick(m_field, Qt::Key_Backspace);
    QTest::keyClick(m_field, Qt::Key_Backspace);
    QCOMPARE(m_field->text(), QString());
    QTest::keyClicks(m_field, QStringLiteral("c"));
    QCOMPARE(m_field->text(), QStringLiteral("c"));

    // A stored password is put in as it is.
    m_field->setText(QStringLiteral("old pass"));
    QCOMPARE(m_field->text(), QStringLiteral("old pass"));
}

void tst_UserPwdLineEdit::rightClickOpensNoMenu()
{
    m_field->setText(QStringLiteral("Secret#1"));
    QVERIFY(!anyMenuVisible());

    // Through the window, the way a real right click arrives.
    const QPoint inField = m_field->mapTo(m_form, QPoint(10, m_field->height() / 2));
    QTest::mouseClick(m_form->windowHandle(), Qt::RightButton, {}, inField);
    QApplication::processEvents();
    QVERIFY(!anyMenuVisible());

    // The menu key.
    clickField();
    QContextMenuEvent fromKeyboard(QContextMenuEvent::Keyboard, QPoint(10, 5),
                                   m_field->mapToGlobal(QPoint(10, 5)));
    QApplication::sendEvent(m_field, &fromKeyboard);
    QApplication::processEvents();
    QVERIFY(!anyMenuVisible());
}

void tst_UserPwdLineEdit::showHideToggles_data()
{
    QTest::addColumn<bool>("byClick");
    QTest::newRow("clicking the icon") << true;
    QTest::newRow("triggering the action") << false;
}

void tst_UserPwdLineEdit::showHideToggles()
{
    QFETCH(bool, byClick);

    m_field->setText(QStringLiteral("Secret#1"));
    auto toggle = [&] {
        if (byClick)
            QTest::mouseClick(buttonOf(pwdAction()), Qt::LeftButton);
        else
            pwdAction()->trigger();
    };

    toggle();
    QCOMPARE(m_field->echoMode(), QLineEdit::Normal);
    QVERIFY(pwdAction()->isChecked());
    QCOMPARE(shownImage(pwdAction()->icon()), QStringLiteral("show_pwd_h"));
    QVERIFY(!m_field->testAttribute(Qt::WA_InputMethodEnabled));
    QCOMPARE(m_field->displayText(), QStringLiteral("Secret#1"));

    toggle();
    QCOMPARE(m_field->echoMode(), QLineEdit::Password);
    QVERIFY(!pwdAction()->isChecked());
    QCOMPARE(shownImage(pwdAction()->icon()), QStringLiteral("hide_pwd_h"));
    QVERIFY(!m_field->testAttribute(Qt::WA_InputMethodEnabled));
    QVERIFY(m_field->displayText() != QStringLiteral("Secret#1"));

    QCOMPARE(m_field->text(), QStringLiteral("Secret#1"));
    QVERIFY(pwdAction()->toolTip().isEmpty());
}

void tst_UserPwdLineEdit::shownPasswordSurvivesAccountChanges()
{
    addAccount(QStringLiteral("alice"), true);
    m_field->setText(QStringLiteral("Stored#1"));
    QTest::mouseClick(buttonOf(pwdAction()), Qt::LeftButton);
    QCOMPARE(m_field->echoMode(), QLineEdit::Normal);
    // The administrator moves on to the list, which takes the focus.
    QTest::mouseClick(m_other, Qt::LeftButton);
    QTRY_VERIFY(!m_field->hasFocus());

    m_field->setUserName(QStringLiteral("alice"));
    QCOMPARE(m_field->echoMode(), QLineEdit::Normal);
    QVERIFY(pwdAction()->isChecked());
    QCOMPARE(shownImage(pwdAction()->icon()), QStringLiteral("show_pwd_n"));

    m_field->setUserName(QString());
    QCOMPARE(m_field->echoMode(), QLineEdit::Normal);
    QVERIFY(pwdAction()->isChecked());

    QTest::mouseClick(buttonOf(pwdAction()), Qt::LeftButton);
    QCOMPARE(m_field->echoMode(), QLineEdit::Password);
}

void tst_UserPwdLineEdit::setUserNameBindsTheGestureAction_data()
{
    QTest::addColumn<QString>("previous");
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("visible");
    QTest::addColumn<bool>("checked");
    QTest::addColumn<QString>("icon");
    QTest::addColumn<QString>("toolTip");

    const QString add = QStringLiteral("Add gesture pasword");
    const QString remove = QStringLiteral("Remove gesture password");
    // "alice" has a gesture password, "bob" has none, "carol" is unknown.
    QTest::newRow("new account") << ""
                                 << "" << false << false << "add_gesture_n" << add;
    QTest::newRow("account with gesture")
        << ""
        << "alice" << true << true << "delete_gesture_n" << remove;
    QTest::newRow("account without, after one with")
        << "alice"
        << "bob" << true << false << "add_gesture_n" << add;
    QTest::newRow("new account, after one with gesture")
        << "alice"
        << "" << false << false << "add_gesture_n" << add;
    QTest::newRow("unknown name") << "bob"
                                  << "carol" << true << false << "add_gesture_n" << add;
}

void tst_UserPwdLineEdit::setUserNameBindsTheGestureAction()
{
    QFETCH(QString, previous);
    QFETCH(QString, name);
    QFETCH(bool, visible);
    QFETCH(bool, checked);
    QFETCH(QString, icon);
    QFETCH(QString, toolTip);

    addAccount(QStringLiteral("alice"), true);
    addAccount(QStringLiteral("bob"), false);
    QSignalSpy alerts(&orlun_worker::SystemAssistant::_instance(),
                      &orlun_worker::SystemAssistant::signalMessageAlerted);

    m_field->setUserName(previous);
    m_field->setUserName(name);

    QCOMPARE(gestureAction()->isVisible(), visible);
    QCOMPARE(buttonOf(gestureAction())->isVisible(), visible);
    QCOMPARE(gestureAction()->isChecked(), checked);
    QCOMPARE(shownImage(gestureAction()->icon()), icon);
    QCOMPARE(gestureAction()->toolTip(), toolTip);
    QCOMPARE(shownImage(pwdAction()->icon()), QStringLiteral("hide_pwd_n"));

    // Binding only reads the host: nothing asked, announced or removed.
    QVERIFY(orlun_base::TamMessageBox::askedQuestions().isEmpty());
    QCOMPARE(alerts.count(), 0);
    QVERIFY(orlun_data::UserData::_instance().isUserConfigureGesture(QStringLiteral("alice")));

    // The gesture icon takes the outer end; without it the show/hide icon
    // moves there.
    QToolButton *pwdButton = buttonOf(pwdAction());
    QToolButton *gestureButton = buttonOf(gestureAction());
    if (visible) {
        QVERIFY(gestureButton->x() > pwdButton->x());
    } else {
        m_field->setUserName(QStringLiteral("bob"));
        const int outer = gestureButton->x();
        m_field->setUserName(QString());
        QCOMPARE(pwdButton->x(), outer);
    }
}

void tst_UserPwdLineEdit::hoverAndFocusChooseIcons_data()
{
    QTest::addColumn<bool>("withGesture");
    QTest::addColumn<bool>("shown");
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<QString>("pwdIcon");
    QTest::addColumn<QString>("gestureIcon");

    const QString hideN = "hide_pwd_n", hideH = "hide_pwd_h";
    const QString addN = "add_gesture_n", addH = "add_gesture_h";
    using L = QStringList;
    QTest::newRow("pointer over") << false << false << L{"enter"} << hideH << addH;
    QTest::newRow("pointer gone") << false << false << L{"enter", "leave"} << hideN << addN;
    QTest::newRow("focus alone changes nothing") << false << false << L{"focus"} << hideN << addN;
    QTest::newRow("focus keeps the highlight")
        << false << false << L{"enter", "focus"} << hideH << addH;
    QTest::newRow("enter while focused") << false << false << L{"focus", "enter"} << hideN << addN;
    QTest::newRow("leave while focused")
        << false << false << L{"enter", "focus", "leave"} << hideH << addH;
    QTest::newRow("focus out") << false << false << L{"enter", "focus", "unfocus"} << hideN << addN;
    QTest::newRow("focus out under the pointer")
        << false << false << L{"focus", "enter", "unfocus"} << hideN << addN;
    QTest::newRow("checked icons, pointer over") << true << true << L{"enter"} << "show_pwd_h"
                                                 << "delete_gesture_h";
    QTest::newRow("checked icons, pointer gone")
        << true << true << L{"enter", "leave"} << "show_pwd_n"
        << "delete_gesture_n";
}

void tst_UserPwdLineEdit::hoverAndFocusChooseIcons()
{
    QFETCH(bool, withGesture);
    QFETCH(bool, shown);
    QFETCH(QStringList, steps);
    QFETCH(QString, pwdIcon);
    QFETCH(QString, gestureIcon);

    addAccount(QStringLiteral("alice"), withGesture);
    m_field->setUserName(QStringLiteral("alice"));
    if (shown) {
        // Clicking an icon focuses the field; start from an unfocused one.
        QTest::mouseClick(buttonOf(pwdAction()), Qt::LeftButton);
        QTest::mouseClick(m_other, Qt::LeftButton);
        QTRY_VERIFY(!m_field->hasFocus());
    }

    for (const QString &step : qAsConst(steps)) {
        if (step == QLatin1String("enter")) {
            sendEnter();
        } else if (step == QLatin1String("leave")) {
            sendLeave();
        } else if (step == QLatin1String("focus")) {
            clickField();
        } else if (step == QLatin1String("unfocus")) {
            QTest::mouseClick(m_other, Qt::LeftButton);
            QTRY_VERIFY(m_other->hasFocus());
        }
    }

    QCOMPARE(shownImage(pwdAction()->icon()), pwdIcon);
    QCOMPARE(shownImage(gestureAction()->icon()), gestureIcon);
    // The style sheets' focus look follows the focus both ways.
    QCOMPARE(m_field->property("focused").toBool(), m_field->hasFocus());
}

void tst_UserPwdLineEdit::gestureFlows_data()
{
    QTest::addColumn<bool>("hadGesture");
    QTest::addColumn<QVector<int>>("drawn");
    QTest::addColumn<QList<int>>("answers");
    QTest::addColumn<bool>("refuseRemoval");
    QTest::addColumn<QString>("how");
    QTest::addColumn<bool>("checked");
    QTest::addColumn<QString>("gestureIcon");
    QTest::addColumn<QString>("pwdIcon");
    QTest::addColumn<bool>("alerted");
    QTest::addColumn<bool>("asked");

    // "click" presses the icon, which also focuses the field; "trigger"
    // fires the action on an unfocused field, "trigger focused" on a focused
    // one.
    const QVector<int> pattern{0, 3, 6, 7, 8};
    const QVector<int> cancelled;
    const QList<int> none;
    const QList<int> confirm{orlun_base::Ok};
    const QList<int> decline{orlun_base::Cancel};
    // clang-format off
    QTest::newRow("add: recorded, clicked")
        << false << pattern << none << false << "click"
        << true << "delete_gesture_h" << "hide_pwd_h" << true << false;
    QTest::newRow("add: recorded, unfocused")
        << false << pattern << none << false << "trigger"
        << true << "delete_gesture_n" << "hide_pwd_n" << true << false;
    QTest::newRow("add: recorded, focused")
        << false << pattern << none << false << "trigger focused"
        << true << "delete_gesture_h" << "hide_pwd_h" << true << false;
    QTest::newRow("add: dialog cancelled, clicked")
        << false << cancelled << none << false << "click"
        << false << "add_gesture_h" << "hide_pwd_h" << false << false;
    QTest::newRow("add: dialog cancelled, unfocused")
        << false << cancelled << none << false << "trigger"
        << false << "add_gesture_n" << "hide_pwd_n" << false << false;
    QTest::newRow("remove: confirmed, clicked")
        << true << cancelled << confirm << false << "click"
        << false << "add_gesture_h" << "hide_pwd_h" << false << true;
    QTest::newRow("remove: confirmed, unfocused")
        << true << cancelled << confirm << false << "trigger"
        << false << "add_gesture_n" << "hide_pwd_n" << false << true;
    QTest::newRow("remove: confirmed, host refuses")
        << true << cancelled << confirm << true << "trigger"
        << true << "delete_gesture_n" << "hide_pwd_n" << false << true;
    QTest::newRow("remove: confirmed, host refuses, clicked")
        << true << cancelled << confirm << true << "click"
        << true << "delete_gesture_h" << "hide_pwd_h" << false << true;
    QTest::newRow("remove: declined, unfocused")
        << true << cancelled << decline << false << "trigger"
        << true << "delete_gesture_n" << "hide_pwd_n" << false << true;
    QTest::newRow("remove: declined, clicked")
        << true << cancelled << decline << false << "click"
        << true << "delete_gesture_h" << "hide_pwd_h" << false << true;
    // clang-format on
}

void tst_UserPwdLineEdit::gestureFlows()
{
    QFETCH(bool, hadGesture);
    QFETCH(QVector<int>, drawn);
    QFETCH(QList<int>, answers);
    QFETCH(bool, refuseRemoval);
    QFETCH(QString, how);
    QFETCH(bool, checked);
    QFETCH(QString, gestureIcon);
    QFETCH(QString, pwdIcon);
    QFETCH(bool, alerted);
    QFETCH(bool, asked);

    auto &users = orlun_data::UserData::_instance();
    addAccount(QStringLiteral("alice"), hadGesture);
    addAccount(QStringLiteral("bob"), false);
    m_field->setText(QStringLiteral("Unsaved#1"));
    m_field->setUserName(QStringLiteral("alice"));
    if (!hadGesture)
        orlun_login::LoginAccess::_instance().scriptNextGesture(drawn);
    orlun_base::TamMessageBox::setNextAnswers(answers);
    if (refuseRemoval)
        users.failNextWrite(orlun_data::UserData::DeleteUserGesture);
    QSignalSpy alerts(&orlun_worker::SystemAssistant::_instance(),
                      &orlun_worker::SystemAssistant::signalMessageAlerted);

    if (how == QLatin1String("click")) {
        QTest::mouseClick(buttonOf(gestureAction()), Qt::LeftButton);
    } else {
        if (how == QLatin1String("trigger focused"))
            clickField();
        gestureAction()->trigger();
    }

    QCOMPARE(m_field->hasFocus(), how != QLatin1String("trigger"));
    QCOMPARE(gestureAction()->isChecked(), checked);
    QCOMPARE(users.isUserConfigureGesture(QStringLiteral("alice")), checked);
    QCOMPARE(shownImage(gestureAction()->icon()), gestureIcon);
    QCOMPARE(shownImage(pwdAction()->icon()), pwdIcon);
    QCOMPARE(gestureAction()->toolTip(), checked ? QStringLiteral("Remove gesture password")
                                                 : QStringLiteral("Add gesture pasword"));

    if (alerted) {
        QCOMPARE(alerts.count(), 1);
        QCOMPARE(alerts.at(0).at(0).toString(), orlun_worker::DictDef::_instance().noticeTitle);
        QCOMPARE(alerts.at(0).at(1).toString(),
                 QStringLiteral("Add the user's gesture password success"));
    } else {
        QCOMPARE(alerts.count(), 0);
    }

    const auto questions = orlun_base::TamMessageBox::askedQuestions();
    QCOMPARE(questions.size(), asked ? 1 : 0);
    if (asked) {
        QCOMPARE(questions.at(0).parent.data(), static_cast<QWidget *>(m_form.data()));
        QCOMPARE(questions.at(0).text,
                 QStringLiteral("Do you want to remove the user's gesture password?"));
        QCOMPARE(questions.at(0).buttons, short(3));
        QCOMPARE(questions.at(0).warning, false);
    }

    // Only the bound account is touched, and the typed text stays.
    QVERIFY(!users.isUserConfigureGesture(QStringLiteral("bob")));
    QCOMPARE(m_field->text(), QStringLiteral("Unsaved#1"));
    QCOMPARE(m_field->echoMode(), QLineEdit::Password);
}

void tst_UserPwdLineEdit::destroyedWhileShown_data()
{
    QTest::addColumn<QString>("styleSheetOn");
    QTest::addColumn<bool>("withForm");

    // Under a style sheet Qt runs a proxy style over the field's own style
    // and hands that proxy on to the action buttons.
    QTest::newRow("field, no style sheet") << "" << false;
    QTest::newRow("field, form style sheet") << "form" << false;
    QTest::newRow("field, own style sheet") << "field" << false;
    QTest::newRow("form, no style sheet") << "" << true;
    QTest::newRow("form, form style sheet") << "form" << true;
    QTest::newRow("form, own style sheet") << "field" << true;
}

void tst_UserPwdLineEdit::destroyedWhileShown()
{
    QFETCH(QString, styleSheetOn);
    QFETCH(bool, withForm);

    auto *iconStyle = qobject_cast<CustomIconStyle *>(m_field->style());
    QVERIFY(iconStyle);
    const QString sheet = QStringLiteral("QLineEdit { background: #101928; color: white; }");
    if (styleSheetOn == QLatin1String("form"))
        m_form->setStyleSheet(sheet);
    else if (styleSheetOn == QLatin1String("field"))
        m_field->setStyleSheet(sheet);
    if (!styleSheetOn.isEmpty())
        QVERIFY(m_field->style() != iconStyle);
    // Proxy or not, the field still sizes its icons by its own style.
    QCOMPARE(m_field->style()->pixelMetric(QStyle::PM_SmallIconSize, nullptr, m_field), 20);

    addAccount(QStringLiteral("alice"), true);
    m_field->setUserName(QStringLiteral("alice"));
    clickField();
    sendEnter();
    m_form->grab();
    QVERIFY(m_field->isVisible());

    // Whoever still refers to the icon style, directly or through the proxy,
    // at the moment it is deleted would use freed memory afterwards.
    const QStyle *inUse = m_field->style();
    QWidget *field = m_field;
    const auto buttons = m_field->findChildren<QToolButton *>();
    QCOMPARE(buttons.size(), 2);
    bool deleted = false;
    QStringList stillUsing;
    connect(iconStyle, &QObject::destroyed, this, [&] {
        deleted = true;
        if (field->style() == iconStyle || field->style() == inUse)
            stillUsing << QStringLiteral("field");
        for (QToolButton *button : buttons) {
            if (button->style() == iconStyle || button->style() == inUse)
                stillUsing << QStringLiteral("action button");
        }
    });

    if (withForm)
        delete m_form;
    else
        delete m_field;

    QVERIFY(deleted);
    QCOMPARE(stillUsing, QStringList());
    QVERIFY(!m_field);
    QApplication::processEvents();
    if (m_form)
        m_form->grab();
}

QTEST_MAIN(tst_UserPwdLineEdit)
#include "tst_UserPwdLineEdit.moc"
