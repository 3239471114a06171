#include <QClipboard>
#include <QEnterEvent>
#include <QLineEdit>
#include <QMenu>
#include <QPointer>
#include <QVBoxLayout>
#include <QtTest>

#include "CustomIconStyle.h"
#include "UserPwdLineEdit.h"

#include "FormsMgr.h"
#include "LoginAccess.h"
#include "TestSupport.h"

using orlun_userMgr::CustomIconStyle;
using orlun_userMgr::UserPwdLineEdit;

namespace {

const QStringList kIconNames = {"add_gesture_n",    "add_gesture_h", "delete_gesture_n",
                                "delete_gesture_h", "hide_pwd_n",    "hide_pwd_h",
                                "show_pwd_n",       "show_pwd_h",    "user_flag"};

QImage resourceImage(const QString &name)
{
    return QImage(QStringLiteral(":/userMgr_images/images/%1.png").arg(name))
        .convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

// Which module image an icon shows at the field's icon size.
QString shownImage(const QIcon &icon)
{
    const QImage shown =
        icon.pixmap(20).toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied);
    for (const QString &name : kIconNames) {
        if (shown == resourceImage(name))
            return name;
    }
    return icon.isNull() ? "<none>" : "<other>";
}

} // namespace

class tst_UserPwdLineEdit : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void clipboardMenuAndBlanksRefused();
    void scenario_data();
    void scenario();
    void styleOutlivesTheField_data();
    void styleOutlivesTheField();

private:
    QString state() const;
    QAction *gestureAction() const { return m_field->actions().value(0); }
    QAction *pwdAction() const { return m_field->actions().value(1); }
    QToolButton *buttonOf(QAction *action) const
    {
        for (QToolButton *button : m_field->findChildren<QToolButton *>()) {
            if (button->defaultAction() == action)
                return button;
        }
        return nullptr;
    }
    void sendEnter()
    {
        const QPoint inside = m_field->rect().center();
        QEnterEvent enter(inside, m_field->mapTo(m_form, inside), m_field->mapToGlobal(inside));
        QApplication::sendEvent(m_field, &enter);
    }
    void focusOn(QLineEdit *edit)
    {
        QTest::mouseClick(edit, Qt::LeftButton, {}, QPoint(5, edit->height() / 2));
        QTRY_VERIFY(edit->hasFocus());
    }

    QPointer<TypedForm> m_form;
    QPointer<UserPwdLineEdit> m_field;
    QPointer<QLineEdit> m_other;
};

void tst_UserPwdLineEdit::init()
{
    resetHostForTest();
    orlun_login::LoginAccess::_instance().clearScriptedGestures();
    // "alice" has a gesture password, "bob" has none.
    for (const char *name : {"alice", "bob"})
        QVERIFY(hostUsers().addUser({name, "Stored#1", 2, -1, QString(), QString()}));
    const QByteArray salt("salt");
    QVERIFY(hostUsers().setUserGesture("alice", salt,
                                       orlun_login::LoginAccess::hashPattern({0, 1, 2, 5}, salt)));

    m_form = new TypedForm(orlun_base::FormUserMgr);
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
    m_other->setFocus();
    QTRY_VERIFY(m_other->hasFocus());
}

void tst_UserPwdLineEdit::cleanup()
{
    delete m_form;
}

void tst_UserPwdLineEdit::clipboardMenuAndBlanksRefused()
{
    // QLineEdit already refuses copying a hidden password: show it.
    m_field->setText(QStringLiteral("Secret#1"));
    QTest::mouseClick(buttonOf(pwdAction()), Qt::LeftButton);
    QCOMPARE(m_field->echoMode(), QLineEdit::Normal);
    QGuiApplication::clipboard()->setText(QStringLiteral("Clip"));
    focusOn(m_field);
    for (const auto key : {QKeySequence::Paste, QKeySequence::Copy, QKeySequence::Cut}) {
        m_field->selectAll();
        QTest::keySequence(m_field, QKeySequence(key));
        QCOMPARE(m_field->text(), QStringLiteral("Secret#1"));
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("Clip"));
    }

    // Other keys edit, but white space is refused anywhere in the text.
    QTest::keyClick(m_field, Qt::Key_End);
    QTest::keyClicks(m_field, QStringLiteral(" x y"));
    QTest::keyClick(m_field, Qt::Key_Left);
    QTest::keyClick(m_field, Qt::Key_Space);
    QCOMPARE(m_field->text(), QStringLiteral("Secret#1xy"));

    QTest::keyClick(m_field, Qt::Key_End);
    for (int i = 0; i < 10; ++i)
        QTest::keyClick(m_field, Qt::Key_Backspace);
    QCOMPARE(m_field->text(), QString());
    QTest::keyClicks(m_field, QStringLiteral("  c"));
    QCOMPARE(m_field->text(), QStringLiteral("c"));

    // A right click, through the window as a real one arrives, opens no menu.
    const QPoint inField = m_field->mapTo(m_form, QPoint(10, m_field->height() / 2));
    QTest::mouseClick(m_form->windowHandle(), Qt::RightButton, {}, inField);
    QApplication::processEvents();
    for (QWidget *w : QApplication::topLevelWidgets())
        QVERIFY(!(qobject_cast<QMenu *>(w) && w->isVisible()));
}

// Show/hide icon and text; gesture action; the accounts with a gesture password.
QString tst_UserPwdLineEdit::state() const
{
    const QString tip = gestureAction()->toolTip();
    QStringList withGesture;
    for (const QString name : {"alice", "bob"}) {
        if (hostUsers().isUserConfigureGesture(name))
            withGesture << name;
    }
    return shownImage(pwdAction()->icon()) +
           (m_field->displayText() == m_field->text() ? " shows | " : " hides | ") +
           (buttonOf(gestureAction())->isVisible() ? "" : "hidden ") +
           (gestureAction()->isChecked() ? "checked " : "") + shownImage(gestureAction()->icon()) +
           (tip == "Remove gesture password" ? " tip:remove"
            : tip == "Add gesture pasword"   ? " tip:add"
                                             : " tip:'" + tip + "'") +
           " | " + withGesture.join(' ');
}

void tst_UserPwdLineEdit::scenario_data()
{
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<QStringList>("seen");

    // Steps: bind (setUserName); enter, leave, focus, unfocus; click or trigger
    // pwd or gesture; script the host (draw, cancel, answer ok|cancel, fail);
    // "=..." checks the state. Seen: alerts and questions asked.
    using L = QStringList;
    // clang-format off
    QTest::newRow("binding accounts")
        << L{"=hide_pwd_n hides | hidden add_gesture_n tip:'' | alice",
             "bind alice", "=hide_pwd_n hides | checked delete_gesture_n tip:remove | alice",
             "bind bob", "=hide_pwd_n hides | add_gesture_n tip:add | alice",
             "bind ", "=hide_pwd_n hides | hidden add_gesture_n tip:add | alice"} << L{};
    // A shown password stays shown on another account or a new one.
    QTest::newRow("show and hide")
        << L{"click pwd", "=show_pwd_h shows | hidden add_gesture_n tip:'' | alice",
             "unfocus", "bind alice", "bind ", "=show_pwd_n shows | hidden add_gesture_n tip:add | alice",
             "trigger pwd", "=hide_pwd_h hides | hidden add_gesture_n tip:add | alice"} << L{};
    // The pointer highlights an unfocused field's icons; losing focus clears it.
    QTest::newRow("pointer and focus")
        << L{"bind bob", "enter", "=hide_pwd_h hides | add_gesture_h tip:add | alice",
             "leave", "=hide_pwd_n hides | add_gesture_n tip:add | alice",
             "enter", "focus", "leave", "=hide_pwd_h hides | add_gesture_h tip:add | alice",
             "unfocus", "=hide_pwd_n hides | add_gesture_n tip:add | alice",
             "focus", "enter", "=hide_pwd_n hides | add_gesture_n tip:add | alice",
             "unfocus", "bind alice", "click pwd", "unfocus", "enter",
             "=show_pwd_h shows | checked delete_gesture_h tip:remove | alice"} << L{};
    // A click on an icon focuses the field, so the icons end highlighted.
    const QString added = "Notice: Add the user's gesture password success";
    const QString asked = "Do you want to remove the user's gesture password? /3";
    QTest::newRow("add, drawn, clicked")
        << L{"bind bob", "draw", "click gesture",
             "=hide_pwd_h hides | checked delete_gesture_h tip:remove | alice bob"} << L{added};
    QTest::newRow("add, cancelled")
        << L{"bind bob", "cancel", "trigger gesture",
             "=hide_pwd_n hides | add_gesture_n tip:add | alice"} << L{};
    QTest::newRow("remove, confirmed, triggered")
        << L{"bind alice", "answer ok", "trigger gesture",
             "=hide_pwd_n hides | add_gesture_n tip:add | "} << L{asked};
    QTest::newRow("remove, confirmed, host fails")
        << L{"bind alice", "answer ok", "fail", "trigger gesture",
             "=hide_pwd_n hides | checked delete_gesture_n tip:remove | alice"} << L{asked};
    QTest::newRow("remove, declined")
        << L{"bind alice", "answer cancel", "trigger gesture",
             "=hide_pwd_n hides | checked delete_gesture_n tip:remove | alice"} << L{asked};
    // Ctrl+H and Ctrl+G act as the icons, only with focus and on a shown action.
    QTest::newRow("shortcuts")
        << L{"press Ctrl+H", "=hide_pwd_n hides | hidden add_gesture_n tip:'' | alice",
             "focus", "press Ctrl+H", "=show_pwd_h shows | hidden add_gesture_n tip:'' | alice",
             "press Ctrl+G", "press Ctrl+H", "=hide_pwd_h hides | hidden add_gesture_n tip:'' | alice",
             "bind bob", "draw", "press Ctrl+G",
             "=hide_pwd_h hides | checked delete_gesture_h tip:remove | alice bob",
             "answer ok", "press Ctrl+G", "=hide_pwd_h hides | add_gesture_h tip:add | alice"}
        << L{added, asked};
    // clang-format on
}

void tst_UserPwdLineEdit::scenario()
{
    QFETCH(QStringList, steps);
    QFETCH(QStringList, seen);

    m_field->setText(QStringLiteral("Secret#1"));
    QSignalSpy alerts(&orlun_worker::SystemAssistant::_instance(),
                      &orlun_worker::SystemAssistant::signalMessageAlerted);

    const QMap<QString, QAction *> actions{{"pwd", pwdAction()}, {"gesture", gestureAction()}};
    const QMap<QString, QVector<int>> drawings{{"draw", {0, 3, 6, 7, 8}}, {"cancel", {}}};
    for (const QString &step : qAsConst(steps)) {
        const QString verb = step.section(' ', 0, 0), arg = step.section(' ', 1);
        QAction *action = actions.value(arg);
        if (step.startsWith('=')) {
            QCOMPARE(state(), step.mid(1));
            QCOMPARE(m_field->text(), QStringLiteral("Secret#1"));
            QCOMPARE(m_field->property("focused").toBool(), m_field->hasFocus());
            QVERIFY(!m_field->testAttribute(Qt::WA_InputMethodEnabled));
        } else if (verb == "bind") {
            m_field->setUserName(arg);
        } else if (step == "enter") {
            sendEnter();
        } else if (step == "leave") {
            sendHover(m_field, false);
        } else if (step == "focus" || step == "unfocus") {
            focusOn(step == "focus" ? m_field.data() : m_other.data());
        } else if (verb == "click" && action) {
            QTest::mouseClick(buttonOf(action), Qt::LeftButton);
        } else if (verb == "trigger" && action) {
            action->trigger();
        } else if (drawings.contains(step)) {
            orlun_login::LoginAccess::_instance().scriptNextGesture(drawings.value(step));
        } else if (step == "answer ok" || step == "answer cancel") {
            orlun_base::TamMessageBox::setNextAnswers(
                {arg == "ok" ? orlun_base::Ok : orlun_base::Cancel});
        } else if (step == "fail") {
            hostUsers().failNextWrite(orlun_data::UserData::DeleteUserGesture);
        } else if (verb == "press") {
            QTest::keySequence(m_field, QKeySequence(arg));
        } else {
            FAIL_UNKNOWN_STEP(step);
        }
    }

    for (const auto &q : orlun_base::TamMessageBox::askedQuestions())
        QVERIFY(q.parent == m_form && !q.warning);
    const QStringList record = alertTexts(alerts) + askedTexts();
    QCOMPARE(record, seen);
}

void tst_UserPwdLineEdit::styleOutlivesTheField_data()
{
    QTest::addColumn<QString>("styleSheetOn");
    QTest::addColumn<bool>("withForm");

    // Under a style sheet Qt runs a proxy style over the field's own style
    // and hands that proxy on to the action buttons.
    QTest::newRow("field, no style sheet") << "" << false;
    QTest::newRow("field, form style sheet") << "form" << false;
    QTest::newRow("form, own style sheet") << "field" << true;
}

void tst_UserPwdLineEdit::styleOutlivesTheField()
{
    QFETCH(QString, styleSheetOn);
    QFETCH(bool, withForm);

    QStyle *iconStyle = m_field->style();
    QVERIFY(qobject_cast<CustomIconStyle *>(iconStyle));
    const QString sheet = QStringLiteral("QLineEdit { background: #101928; color: white; }");
    if (styleSheetOn == "form")
        m_form->setStyleSheet(sheet);
    else if (styleSheetOn == "field")
        m_field->setStyleSheet(sheet);
    QCOMPARE(m_field->style()->pixelMetric(QStyle::PM_SmallIconSize, nullptr, m_field), 20);
    m_field->setUserName(QStringLiteral("alice"));
    focusOn(m_field);
    sendEnter();
    m_form->grab();

    // Anyone still using the icon style, or its proxy, after its deletion would use freed memory.
    const QStyle *inUse = m_field->style();
    QList<QWidget *> users{m_field};
    for (QToolButton *button : m_field->findChildren<QToolButton *>())
        users << button;
    QStringList stillUsing{"the style was not deleted"};
    connect(iconStyle, &QObject::destroyed, this, [&] {
        stillUsing.clear();
        for (QWidget *w : qAsConst(users)) {
            if (w->style() == iconStyle || w->style() == inUse)
                stillUsing << w->metaObject()->className();
        }
    });
    delete (withForm ? static_cast<QWidget *>(m_form) : m_field);
    QCOMPARE(stillUsing, QStringList());
    QApplication::processEvents();
    if (m_form)
        m_form->grab();
}

QTEST_MAIN(tst_UserPwdLineEdit)
#include "tst_UserPwdLineEdit.moc"
