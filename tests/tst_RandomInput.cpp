// Random but valid GUI input on the user form, with host writes failing and
// the device catalog changing underneath, checked against invariants every
// few events. Seed and event count:
//   tst_RandomInput --seed=N --events=N    or
//   RANDOM_INPUT_SEED=N RANDOM_INPUT_EVENTS=N tst_RandomInput
// A failure names the seed and the event that reproduce it.

#include <QAbstractButton>
#include <QApplication>
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
#include "DataStore.h"
#include "DevsMgrData.h"
#include "FunctionPowerList.h"
#include "LoginAccess.h"
#include "SystemAssistant.h"
#include "TestSupport.h"
#include "UserData.h"
#include "UserListWt.h"
#include "UserMgrInit.h"

#include <memory>

using orlun_data::DevsMgrData;
using orlun_data::UserData;

namespace {

quint32 g_seed = 20261206;
int g_events = 3000;
constexpr int kCheckEvery = 10;

const QString kSuper = QStringLiteral("admin");

} // namespace

class tst_RandomInput : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
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
    int pick(int n) { return n > 0 ? int(m_rng.bounded(quint32(n))) : 0; }
    bool chance(int percent) { return pick(100) < percent; }
    QString randomText();
    void seedSite();
    void act(int event);
    void clickButton();
    void clickListRow();
    void toggleTreeItem();
    void toggleTableRow();
    void typeText();
    void changeCatalog();
    // Empty when every invariant holds, else what broke.
    QString brokenInvariant();
    QString unsavedForm();

    QRandomGenerator m_rng;
    std::unique_ptr<orlun_base::BaseForm> m_form;
    int m_deviceSerial = 0;
    QString m_lastClicked; // object name of the button the last event clicked
    QSignalSpy m_alerts{&orlun_worker::SystemAssistant::_instance(),
                        &orlun_worker::SystemAssistant::signalMessageAlerted};
};

void tst_RandomInput::initTestCase()
{
    qInfo("seed %u, %d events (--seed=N --events=N to change)", g_seed, g_events);
}

void tst_RandomInput::seedSite()
{
    auto &data = DevsMgrData::_instance();
    for (int i = 0; i < 3; ++i) {
        vms_sdk::DevInfo info;
        info.devId = QStringLiteral("dev%1").arg(m_deviceSerial++);
        info.devType = i == 2 ? 1 : 0;
        info.channelCount = i == 2 ? 1 : 3 + i;
        QVERIFY(data.addDevice(info));
    }
    QVERIFY(data.addGroup(QStringLiteral("g1"), QStringLiteral("Doors")));
    QVERIFY(data.addGroupChannel(QStringLiteral("g1"), {QStringLiteral("dev0"), 1}));
    QVERIFY(data.addGroupChannel(QStringLiteral("g1"), {QStringLiteral("dev2"), 0}));
    orlun_data::UserInfo super{kSuper, QStringLiteral("Root#pw1"), 1, -1, QString(), kSuper};
    QVERIFY(UserData::_instance().addUser(super));
    for (const char *name : {"alice", "bob", "carol"}) {
        QVERIFY(UserData::_instance().setUserRes(
            name, {{orlun_data::formatChannelId(QStringLiteral("dev1"), 1), 0}, {"g1", 2}}));
        QVERIFY(UserData::_instance().addUser(
            {name, QStringLiteral("Pw#%1x9").arg(name), 2, 0x13, QStringLiteral("desk"), kSuper}));
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

void tst_RandomInput::randomEventsKeepTheInvariants()
{
    m_rng.seed(g_seed);
    resetHostForTest();
    seedSite();
    auto &login = orlun_login::LoginAccess::_instance();
    login.clearScriptedGestures();
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
            UserData::_instance().failNextWrite(UserData::WriteOp(pick(6)));

        const bool wasEditing = !child<QWidget>("okBt")->isHidden();
        const int alertsBefore = m_alerts.count();
        m_lastClicked.clear();
        act(event);
        // A save that left the adding or editing mode without an alert must
        // have stored what the form shows.
        QString broken;
        if (wasEditing && m_lastClicked == QLatin1String("okBt") &&
            child<QWidget>("okBt")->isHidden() && m_alerts.count() == alertsBefore) {
            ++savesChecked;
            broken = unsavedForm();
        }
        if (broken.isEmpty() && event % kCheckEvery == 0)
            broken = brokenInvariant();
        if (!broken.isEmpty())
            QFAIL(qPrintable(
                QStringLiteral("seed %1, event %2: %3").arg(g_seed).arg(event).arg(broken)));
    }
    qInfo("%d events, %d saves checked, %d alerts, %d accounts at the end", g_events, savesChecked,
          int(m_alerts.count()), int(UserData::_instance().getAllUsers(kSuper).size()));
}

void tst_RandomInput::act(int event)
{
    switch (pick(10)) {
    case 0:
    case 1:
    case 2:
        clickButton();
        break;
    case 3:
        clickListRow();
        break;
    case 4:
        toggleTreeItem();
        break;
    case 5:
        toggleTableRow();
        break;
    case 6:
    case 7:
        typeText();
        break;
    case 8: {
        static const Qt::Key keys[] = {Qt::Key_Return, Qt::Key_Escape, Qt::Key_Tab};
        QWidget *target = QApplication::focusWidget() ? QApplication::focusWidget() : m_form.get();
        QTest::keyClick(target, keys[pick(3)]);
        break;
    }
    case 9:
        changeCatalog();
        break;
    default:
        QFAIL(qPrintable(QStringLiteral("event %1: no such action").arg(event)));
    }
}

void tst_RandomInput::clickButton()
{
    // Row buttons show while the pointer is over the row.
    auto *list = child<orlun_userMgr::UserListWt>("userListWt");
    if (list->count() > 0 && chance(50)) {
        if (QWidget *row = list->itemWidget(list->item(pick(list->count())))) {
            QEvent enter(QEvent::Enter);
            QApplication::sendEvent(row, &enter);
        }
    }
    QList<QAbstractButton *> buttons;
    for (QAbstractButton *button : m_form->findChildren<QAbstractButton *>()) {
        if (button->isVisible() && button->isEnabled())
            buttons.append(button);
    }
    if (buttons.isEmpty())
        return;
    QAbstractButton *button = buttons.at(pick(buttons.size()));
    m_lastClicked = button->objectName();
    QTest::mouseClick(button, Qt::LeftButton);
}

void tst_RandomInput::clickListRow()
{
    auto *list = child<orlun_userMgr::UserListWt>("userListWt");
    if (list->count() == 0 || !list->isEnabled())
        return;
    const QRect rect = list->visualItemRect(list->item(pick(list->count())));
    if (list->viewport()->rect().contains(rect.center()))
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                          QPoint(rect.left() + 5, rect.center().y()));
}

void tst_RandomInput::toggleTreeItem()
{
    QTreeWidget *tree = child<orlun_userMgr::ChannelTree>("channelsTree")->getTreeWidget();
    if (!tree->isVisible())
        return;
    QList<QTreeWidgetItem *> items;
    for (QTreeWidgetItemIterator it(tree); *it; ++it) {
        if (!(*it)->isHidden())
            items.append(*it);
    }
    if (items.isEmpty())
        return;
    tree->setCurrentItem(items.at(pick(items.size())));
    tree->setFocus();
    QTest::keyClick(tree, Qt::Key_Space);
}

void tst_RandomInput::toggleTableRow()
{
    auto *table = child<QWidget>("channelPowerTable")->findChild<QTableWidget *>();
    if (!table->isVisible() || table->rowCount() == 0)
        return;
    table->setCurrentCell(pick(table->rowCount()), 0);
    table->setFocus();
    QTest::keyClick(table, Qt::Key_Space);
}

void tst_RandomInput::typeText()
{
    QList<QLineEdit *> edits;
    for (QLineEdit *edit : m_form->findChildren<QLineEdit *>()) {
        if (edit->isVisible() && edit->isEnabled() && !edit->isReadOnly())
            edits.append(edit);
    }
    if (edits.isEmpty())
        return;
    QLineEdit *edit = edits.at(pick(edits.size()));
    edit->setFocus();
    if (chance(30))
        QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier); // then overwrite it all
    if (chance(20)) {
        QApplication::clipboard()->setText(randomText());
        QTest::keySequence(edit, QKeySequence::Paste);
    } else {
        // QTest::keyClicks knows only ASCII; other characters arrive as an
        // input method without one would deliver them: a text-only key.
        for (QChar c : randomText()) {
            if (c.unicode() < 0x80)
                QTest::keyClick(edit, c.toLatin1());
            else
                QTest::sendKeyEvent(QTest::Click, edit, Qt::Key_unknown, QString(c),
                                    Qt::NoModifier);
        }
    }
}

void tst_RandomInput::changeCatalog()
{
    auto &data = DevsMgrData::_instance();
    const QList<vms_sdk::DevInfo> devices = data.getAllDevices();
    switch (pick(5)) {
    case 0: {
        vms_sdk::DevInfo info;
        info.devId = QStringLiteral("dev%1").arg(m_deviceSerial++);
        info.devType = pick(3);
        info.channelCount = info.devType == 0 ? 1 + pick(4) : 1;
        data.addDevice(info);
        break;
    }
    case 1:
        if (!devices.isEmpty())
            data.deleteDevice(devices.at(pick(devices.size())).devId);
        break;
    case 2:
        if (!devices.isEmpty()) {
            const QString devId = devices.at(pick(devices.size())).devId;
            const auto channels = data.getDevChannels(devId);
            if (!channels.isEmpty())
                data.deleteChannels({channels.at(pick(channels.size())).channelKey});
        }
        break;
    case 3: {
        const QString id = QStringLiteral("g%1").arg(2 + pick(4));
        if (!data.isGroup(id))
            data.addGroup(id, id);
        if (!devices.isEmpty())
            data.addGroupChannel(id, {devices.at(pick(devices.size())).devId, 0});
        break;
    }
    case 4:
        data.deleteGroup(QStringLiteral("g%1").arg(1 + pick(5)));
        break;
    }
}

QString tst_RandomInput::brokenInvariant()
{
    auto &users = UserData::_instance();
    QSet<QString> stored, folded;
    for (const orlun_data::UserInfo &info : users.getAllUsers(kSuper)) {
        stored.insert(info.userName);
        if (folded.contains(info.userName.toCaseFolded()))
            return QStringLiteral("two accounts named %1 ignoring case").arg(info.userName);
        folded.insert(info.userName.toCaseFolded());
    }
    if (folded.contains(kSuper.toCaseFolded()))
        return QStringLiteral("an account shares the super user's name");
    auto *list = child<orlun_userMgr::UserListWt>("userListWt");
    QSet<QString> listed;
    for (int r = 0; r < list->count(); ++r)
        listed.insert(list->item(r)->data(Qt::UserRole).toString());
    if (listed != stored)
        return QStringLiteral("the list shows %1, the store holds %2")
            .arg(QStringList(listed.values()).join(','), QStringList(stored.values()).join(','));
    if (listed.contains(kSuper))
        return QStringLiteral("the super user is listed");

    auto *tree = child<orlun_userMgr::ChannelTree>("channelsTree");
    if (tree->isVisible()) {
        auto *table = child<QWidget>("channelPowerTable")->findChild<QTableWidget *>();
        QSet<QString> rows;
        for (int r = 0; r < table->rowCount(); ++r)
            rows.insert(table->item(r, 0)->data(Qt::UserRole).toString());
        if (rows != tree->getCheckedChannels())
            return QStringLiteral("the table lists %1, the tree has %2 checked")
                .arg(QStringList(rows.values()).join(','),
                     QStringList(tree->getCheckedChannels().values()).join(','));
    }

    QSqlQuery query(orlun_data::DataStore::_instance().database());
    if (!query.exec(QStringLiteral("SELECT count(*) FROM user_res WHERE user_name NOT IN"
                                   " (SELECT name FROM users)")) ||
        !query.next() || query.value(0).toInt() != 0)
        return QStringLiteral("grants stored for a name without an account");
    return QString();
}

QString tst_RandomInput::unsavedForm()
{
    const QString name = child<QLineEdit>("userName")->text().trimmed();
    const orlun_data::UserInfo info = UserData::_instance().getUserInfo(name);
    if (info.userName != name)
        return QStringLiteral("saved account %1 is not in the store").arg(name);
    const QString shown[] = {child<QLineEdit>("userPwd")->text().trimmed(),
                             child<QLineEdit>("userDescribe")->text().trimmed()};
    if (info.userPwd != shown[0] || info.userDescribe != shown[1])
        return QStringLiteral("%1 stored as %2/%3, shown as %4/%5")
            .arg(name, info.userPwd, info.userDescribe, shown[0], shown[1]);
    if (info.functionPower !=
        child<orlun_userMgr::FunctionPowerList>("functionPowerList")->getMask())
        return QStringLiteral("%1's functions differ from the form").arg(name);
    QSet<QString> storedIds, shownIds;
    for (const auto &res : UserData::_instance().getUserRes(name))
        storedIds.insert(QString::number(res.resType) + res.resId);
    for (const auto &res : child<orlun_userMgr::ChannelPowerTree>("channelPowerTree")->getUserRes())
        shownIds.insert(QString::number(res.resType) + res.resId);
    if (storedIds != shownIds)
        return QStringLiteral("%1's grants differ from the tree").arg(name);
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
        if (arg.startsWith(QLatin1String("--seed=")))
            g_seed = arg.mid(7).toUInt(&ok);
        else if (arg.startsWith(QLatin1String("--events=")))
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
