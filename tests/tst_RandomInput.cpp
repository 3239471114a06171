// Random but valid GUI input on the user form, with host writes failing and
// the device catalog changing underneath, checked against invariants every
// few events. Seed and event count:
//   tst_RandomInput --seed=N --events=N    or
//   RANDOM_INPUT_SEED=N RANDOM_INPUT_EVENTS=N tst_RandomInput
// A failure names the seed and the event that reproduce it.

#include <QAbstractButton>
#include <QClipboard>
#include <QLineEdit>
#include <QRandomGenerator>
#include <QSqlQuery>
#include <QTableWidget>
#include <QTreeWidgetItemIterator>
#include <QtTest>

#include "BaseForm.h"
#include "ChannelId.h"
#include "ChannelPowerTree.h"
#include "ChannelTree.h"
#include "FunctionPowerList.h"
#include "LoginAccess.h"
#include "TestSupport.h"
#include "UserListWt.h"
#include "UserMgrInit.h"

#include <memory>

using orlun_data::UserData;

namespace {

quint32 g_seed = 20261206;
int g_events = 3000;
const QString kSuper = QStringLiteral("admin");

QString joined(const QSet<QString> &set)
{
    QStringList list = set.values();
    list.sort();
    return list.join(',');
}

} // namespace

class tst_RandomInput : public QObject
{
    Q_OBJECT
private slots:
    void cleanup()
    {
        // The search box's clear button fades with a parentless animation
        // that is only deleted on the animation timer's next tick, also when
        // the box died mid-fade; let every fade end, before and after.
        QTest::qWait(400);
        m_form.reset();
        QTest::qWait(400);
    }
    void randomEventsKeepTheInvariants();

private:
    template<class T>
    T *child(const char *name) const
    {
        return m_form->findChild<T *>(QLatin1String(name));
    }
    template<class T>
    T *anyOf(const QList<T *> &list)
    {
        return list.isEmpty() ? nullptr : list.at(pick(list.size()));
    }
    int pick(int n) { return n > 0 ? int(m_rng.bounded(quint32(n))) : 0; }
    bool chance(int percent) { return pick(100) < percent; }
    QString randomText();
    void act();
    void typeText();
    void changeCatalog();
    QString brokenInvariant();
    QString unsavedForm();

    QRandomGenerator m_rng;
    std::unique_ptr<orlun_base::BaseForm> m_form;
    int m_deviceSerial = 0;
    QString m_lastClicked; // object name of the button the last event clicked
    QSignalSpy m_alerts{&orlun_worker::SystemAssistant::_instance(),
                        &orlun_worker::SystemAssistant::signalMessageAlerted};
};

void tst_RandomInput::randomEventsKeepTheInvariants()
{
    qInfo("seed %u, %d events (--seed=N --events=N to change)", g_seed, g_events);
    m_rng.seed(g_seed);
    resetHostForTest();
    for (int i = 0; i < 3; ++i) {
        const QString id = QStringLiteral("dev%1").arg(m_deviceSerial++);
        QVERIFY(hostDevs().addDevice({id, id, "", i / 2, "", 0, 0, 0, i == 2 ? 1 : 3 + i, ""}));
    }
    QVERIFY(hostDevs().addGroup("g1", "Doors") && hostDevs().addGroupChannel("g1", {"dev0", 1}) &&
            hostDevs().addGroupChannel("g1", {"dev2", 0}));
    QVERIFY(hostUsers().addUser({kSuper, "Root#pw1", 1, -1, QString(), kSuper}));
    for (const QString name : {"alice", "bob", "carol"}) {
        QVERIFY(
            hostUsers().setUserRes(name, {{orlun_data::formatChannelId("dev1", 1), 0}, {"g1", 2}}));
        QVERIFY(hostUsers().addUser({name, "Pw#" + name + "x9", 2, 0x13, "desk", kSuper}));
    }
    auto &login = orlun_login::LoginAccess::_instance();
    m_form.reset(
        TAMCOMMON::TamSingleton<orlun_userMgr::UserMgrInit>::_instance().createUserMgrForm());
    m_form->resize(1600, 800);
    m_form->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_form.get()));

    int savesChecked = 0;
    for (int event = 1; event <= g_events; ++event) {
        // Every question and gesture dialog is answered from the seams, so
        // nothing modal can open.
        static const int answers[] = {orlun_base::Ok, orlun_base::Cancel, orlun_base::Yes,
                                      orlun_base::No};
        orlun_base::TamMessageBox::setNextAnswers({answers[pick(4)]});
        login.clearScriptedGestures();
        // Mostly a cancelled drawing: each stored gesture costs an Argon2id hash.
        login.scriptNextGesture(chance(3) ? QVector<int>{0, 1, 2, pick(3) + 3} : QVector<int>{});
        if (chance(4))
            hostUsers().failNextWrite(UserData::WriteOp(pick(6)));

        const bool wasEditing = !child<QWidget>("okBt")->isHidden();
        const int alertsBefore = m_alerts.count();
        m_lastClicked.clear();
        act();
        // A save that left the adding or editing mode without an alert must
        // have stored what the form shows.
        QString broken;
        if (wasEditing && m_lastClicked == "okBt" && child<QWidget>("okBt")->isHidden() &&
            m_alerts.count() == alertsBefore) {
            ++savesChecked;
            broken = unsavedForm();
        }
        if (broken.isEmpty() && event % 10 == 0)
            broken = brokenInvariant();
        if (!broken.isEmpty())
            QFAIL(qPrintable(
                QStringLiteral("seed %1, event %2: %3").arg(g_seed).arg(event).arg(broken)));
    }
    qInfo("%d events, %d saves checked, %d alerts, %d accounts at the end", g_events, savesChecked,
          int(m_alerts.count()), int(hostUsers().getAllUsers(kSuper).size()));
}

void tst_RandomInput::act()
{
    auto *list = child<orlun_userMgr::UserListWt>("userListWt");
    QTreeWidget *tree = child<orlun_userMgr::ChannelTree>("channelsTree")->getTreeWidget();
    auto *table = child<QWidget>("channelPowerTable")->findChild<QTableWidget *>();
    const int what = pick(10);
    if (what < 3) {
        // Row buttons show while the pointer is over the row.
        if (list->count() > 0 && chance(50))
            sendHover(list->itemWidget(list->item(pick(list->count()))));
        QList<QAbstractButton *> buttons;
        for (QAbstractButton *button : m_form->findChildren<QAbstractButton *>()) {
            if (button->isVisible() && button->isEnabled())
                buttons << button;
        }
        if (QAbstractButton *button = anyOf(buttons)) {
            m_lastClicked = button->objectName();
            QTest::mouseClick(button, Qt::LeftButton);
        }
    } else if (what == 3 && list->count() > 0 && list->isEnabled()) {
        const QRect rect = list->visualItemRect(list->item(pick(list->count())));
        if (list->viewport()->rect().contains(rect.center()))
            QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                              QPoint(rect.left() + 5, rect.center().y()));
    } else if (what == 4 && tree->isVisible()) {
        QList<QTreeWidgetItem *> items;
        for (QTreeWidgetItemIterator it(tree, QTreeWidgetItemIterator::NotHidden); *it; ++it)
            items << *it;
        if (QTreeWidgetItem *item = anyOf(items)) {
            tree->setCurrentItem(item);
            tree->setFocus();
            QTest::keyClick(tree, Qt::Key_Space);
        }
    } else if (what == 5 && table->isVisible() && table->rowCount() > 0) {
        table->setCurrentCell(pick(table->rowCount()), 0);
        table->setFocus();
        QTest::keyClick(table, Qt::Key_Space);
    } else if (what == 6 || what == 7) {
        typeText();
    } else if (what == 8) {
        static const Qt::Key keys[] = {Qt::Key_Return, Qt::Key_Escape, Qt::Key_Tab};
        QWidget *target = QApplication::focusWidget() ? QApplication::focusWidget() : m_form.get();
        QTest::keyClick(target, keys[pick(3)]);
    } else if (what == 9) {
        changeCatalog();
    }
}

QString tst_RandomInput::randomText()
{
    static const QStringList pieces{"a", "Z", "7",      " ",    "  ", "\u00e9", "\u4e2d",
                                    "#", "!", "Str0ng", "Pass", "x9", "\t",     "ALICE"};
    QString text;
    const int n = chance(5) ? 40 + pick(40) : 1 + pick(6);
    for (int i = 0; i < n; ++i)
        text += pieces.at(pick(pieces.size()));
    return text;
}

void tst_RandomInput::typeText()
{
    QList<QLineEdit *> edits;
    for (QLineEdit *edit : m_form->findChildren<QLineEdit *>()) {
        if (edit->isVisible() && edit->isEnabled() && !edit->isReadOnly())
            edits << edit;
    }
    QLineEdit *edit = anyOf(edits);
    if (!edit)
        return;
    edit->setFocus();
    if (chance(30))
        QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier); // then overwrite it all
    if (chance(20)) {
        QApplication::clipboard()->setText(randomText());
        QTest::keySequence(edit, QKeySequence::Paste);
        return;
    }
    // QTest::keyClicks knows only ASCII; other characters arrive as an input
    // method without one would deliver them: a text-only key.
    for (QChar c : randomText()) {
        if (c.unicode() < 0x80)
            QTest::keyClick(edit, c.toLatin1());
        else
            QTest::sendKeyEvent(QTest::Click, edit, Qt::Key_unknown, QString(c), Qt::NoModifier);
    }
}

void tst_RandomInput::changeCatalog()
{
    auto &data = hostDevs();
    const QList<vms_sdk::DevInfo> devices = data.getAllDevices();
    const QString devId = devices.isEmpty() ? QString() : devices.at(pick(devices.size())).devId;
    const QString group = QStringLiteral("g%1").arg(1 + pick(5));
    switch (pick(5)) {
    case 0: {
        const int type = pick(3);
        const QString id = QStringLiteral("dev%1").arg(m_deviceSerial++);
        data.addDevice({id, id, "", type, "", 0, 0, 0, type == 0 ? 1 + pick(4) : 1, ""});
        break;
    }
    case 1:
        data.deleteDevice(devId);
        break;
    case 2:
        if (const auto channels = data.getDevChannels(devId); !channels.isEmpty())
            data.deleteChannels({channels.at(pick(channels.size())).channelKey});
        break;
    case 3:
        if (!data.isGroup(group))
            data.addGroup(group, group);
        if (!devId.isEmpty())
            data.addGroupChannel(group, {devId, 0});
        break;
    case 4:
        data.deleteGroup(group);
        break;
    }
}

// Empty when every invariant holds, else what broke.
QString tst_RandomInput::brokenInvariant()
{
    QSet<QString> stored, folded;
    for (const orlun_data::UserInfo &info : hostUsers().getAllUsers(kSuper)) {
        stored << info.userName;
        if (folded.contains(info.userName.toCaseFolded()))
            return "two accounts named " + info.userName + " ignoring case";
        folded << info.userName.toCaseFolded();
    }
    if (folded.contains(kSuper.toCaseFolded()))
        return "an account shares the super user's name";
    auto *list = child<orlun_userMgr::UserListWt>("userListWt");
    QSet<QString> listed;
    for (int r = 0; r < list->count(); ++r)
        listed << list->item(r)->data(Qt::UserRole).toString();
    if (listed != stored)
        return "the list shows " + joined(listed) + ", the store holds " + joined(stored);

    auto *tree = child<orlun_userMgr::ChannelTree>("channelsTree");
    if (tree->isVisible()) {
        auto *table = child<QWidget>("channelPowerTable")->findChild<QTableWidget *>();
        QSet<QString> rows;
        for (int r = 0; r < table->rowCount(); ++r)
            rows << table->item(r, 0)->data(Qt::UserRole).toString();
        if (rows != tree->getCheckedChannels())
            return "the table lists " + joined(rows) + ", the tree has " +
                   joined(tree->getCheckedChannels()) + " checked";
    }
    QSqlQuery query(orlun_data::DataStore::_instance().database());
    if (!query.exec("SELECT count(*) FROM user_res WHERE user_name NOT IN"
                    " (SELECT name FROM users)") ||
        !query.next() || query.value(0).toInt() != 0)
        return "grants stored for a name without an account";
    return QString();
}

QString tst_RandomInput::unsavedForm()
{
    const QString name = child<QLineEdit>("userName")->text().trimmed();
    const orlun_data::UserInfo info = hostUsers().getUserInfo(name);
    if (info.userName != name)
        return "saved account " + name + " is not in the store";
    const QString shown = child<QLineEdit>("userPwd")->text().trimmed() + "/" +
                          child<QLineEdit>("userDescribe")->text().trimmed();
    if (info.userPwd + "/" + info.userDescribe != shown)
        return name + " stored as " + info.userPwd + "/" + info.userDescribe + ", shown as " +
               shown;
    if (info.functionPower !=
        child<orlun_userMgr::FunctionPowerList>("functionPowerList")->getMask())
        return name + "'s functions differ from the form";
    QSet<QString> storedIds, shownIds;
    for (const auto &res : hostUsers().getUserRes(name))
        storedIds << QString::number(res.resType) + res.resId;
    for (const auto &res : child<orlun_userMgr::ChannelPowerTree>("channelPowerTree")->getUserRes())
        shownIds << QString::number(res.resType) + res.resId;
    if (storedIds != shownIds)
        return name + "'s grants differ from the tree";
    return QString();
}

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QStringList args;
    bool ok = true;
    if (qEnvironmentVariableIsSet("RANDOM_INPUT_SEED"))
        g_seed = qEnvironmentVariable("RANDOM_INPUT_SEED").toUInt(&ok);
    if (qEnvironmentVariableIsSet("RANDOM_INPUT_EVENTS"))
        g_events = qEnvironmentVariableIntValue("RANDOM_INPUT_EVENTS");
    for (const QString &arg : app.arguments()) {
        if (arg.startsWith("--seed="))
            g_seed = arg.mid(7).toUInt(&ok);
        else if (arg.startsWith("--events="))
            g_events = arg.mid(9).toInt();
        else
            args << arg;
    }
    if (!ok || g_events < 0) {
        qCritical("usage: tst_RandomInput [--seed=N] [--events=N] [QtTest options]");
        return 2;
    }
    tst_RandomInput test;
    return QTest::qExec(&test, args);
}

#include "tst_RandomInput.moc"
