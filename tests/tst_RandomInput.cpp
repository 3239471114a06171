// Random GUI input on the user form, host writes failing and devices changing,
// checked against invariants. RANDOM_INPUT_SEED and RANDOM_INPUT_EVENTS vary the run.

#include <QAbstractButton>
#include <QClipboard>
#include <QLineEdit>
#include <QRandomGenerator>
#include <QTableWidget>
#include <QTreeWidgetItemIterator>
#include <QtTest>

#include "BaseForm.h"
#include "ChannelPowerTree.h"
#include "ChannelTree.h"
#include "FunctionPowerList.h"
#include "LoginAccess.h"
#include "TestSupport.h"
#include "UserListWt.h"
#include "UserMgrInit.h"

#include <memory>

using namespace orlun_userMgr;

class tst_RandomInput : public QObject
{
    Q_OBJECT
private slots:
    void cleanup()
    {
        // Let every search box clear button fade end, before and after.
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
    void act();
    void changeCatalog();
    QString brokenInvariant(bool justSaved);

    QRandomGenerator m_rng;
    std::unique_ptr<orlun_base::BaseForm> m_form;
    int m_devices = 0;
    QAbstractButton *m_clicked = nullptr; // by the last event
};

void tst_RandomInput::randomEventsKeepTheInvariants()
{
    const quint32 seed = qEnvironmentVariable("RANDOM_INPUT_SEED", "20261206").toUInt();
    const int events = qEnvironmentVariable("RANDOM_INPUT_EVENTS", "3000").toInt();
    m_rng.seed(seed);
    resetHostForTest();
    for (int i = 0; i < 3; ++i)
        changeCatalog();
    QVERIFY(hostUsers().addUser({"admin", "Root#pw1", 1, -1, QString(), "admin"}));
    for (const QString name : {"alice", "bob", "carol"})
        QVERIFY(hostUsers().addUser({name, "Pw#" + name + "x9", 2, 0x13, "desk", "admin"}));
    m_form.reset(TAMCOMMON::TamSingleton<UserMgrInit>::_instance().createUserMgrForm());
    m_form->resize(1600, 800);
    m_form->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_form.get()));
    QSignalSpy alerts(&orlun_worker::SystemAssistant::_instance(),
                      &orlun_worker::SystemAssistant::signalMessageAlerted);

    auto &login = orlun_login::LoginAccess::_instance();
    int saves = 0;
    for (int event = 1; event <= events; ++event) {
        // Nothing modal opens; most drawings cancel, as each stored one costs an Argon2id hash.
        static const int answers[] = {orlun_base::Ok, orlun_base::Cancel, orlun_base::Yes,
                                      orlun_base::No};
        orlun_base::TamMessageBox::setNextAnswers({answers[pick(4)]});
        login.clearScriptedGestures();
        login.scriptNextGesture(pick(100) < 3 ? QVector<int>{0, 1, 2, pick(3) + 3}
                                              : QVector<int>{});
        if (pick(100) < 4)
            hostUsers().failNextWrite(orlun_data::UserData::WriteOp(pick(6)));

        auto *ok = child<QAbstractButton>("okBt");
        const bool wasEditing = !ok->isHidden();
        const int alertsBefore = alerts.count();
        m_clicked = nullptr;
        act();
        // A save without an alert must have stored what the form shows.
        const bool saved =
            wasEditing && m_clicked == ok && ok->isHidden() && alerts.count() == alertsBefore;
        saves += saved;
        if (saved || event % 10 == 0) {
            const QString broken = brokenInvariant(saved);
            if (!broken.isEmpty())
                QFAIL(
                    qPrintable(QString("seed %1, event %2: %3").arg(seed).arg(event).arg(broken)));
        }
    }
    qInfo("seed %u: %d events, %d saves checked, %d alerts, %d accounts at the end", seed, events,
          saves, int(alerts.count()), int(hostUsers().getAllUsers("admin").size()));
}

void tst_RandomInput::act()
{
    auto *list = child<UserListWt>("userListWt");
    QTreeWidget *tree = child<ChannelTree>("channelsTree")->getTreeWidget();
    auto *table = child<QWidget>("channelPowerTable")->findChild<QTableWidget *>();
    const int what = pick(10);
    if (what < 3) {
        if (list->count() > 0 && pick(2))
            sendHover(list->itemWidget(list->item(pick(list->count()))));
        QList<QAbstractButton *> buttons;
        for (QAbstractButton *button : m_form->findChildren<QAbstractButton *>()) {
            if (button->isVisible() && button->isEnabled())
                buttons << button;
        }
        if ((m_clicked = anyOf(buttons)))
            QTest::mouseClick(m_clicked, Qt::LeftButton);
    } else if (what == 3 && list->count() > 0 && list->isEnabled()) {
        const QRect rect = list->visualItemRect(list->item(pick(list->count())));
        if (list->viewport()->rect().contains(rect.center()))
            QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, rect.center());
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
    } else if (what < 8) {
        QList<QLineEdit *> edits;
        for (QLineEdit *edit : m_form->findChildren<QLineEdit *>()) {
            if (edit->isVisible() && edit->isEnabled() && !edit->isReadOnly())
                edits << edit;
        }
        static const QStringList pieces{"a", "Z",      "7",    " ",  "\u00e9", "\u4e2d", "#",
                                        "!", "Str0ng", "Pass", "x9", "\t",     "ALICE"};
        QString text;
        for (int i = 0, n = pick(100) < 5 ? 40 + pick(40) : 1 + pick(6); i < n; ++i)
            text += pieces.at(pick(pieces.size()));
        if (QLineEdit *edit = anyOf(edits)) {
            edit->setFocus();
            if (pick(100) < 30)
                QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier); // then overwrite it all
            if (pick(100) < 20) {
                QApplication::clipboard()->setText(text);
                QTest::keySequence(edit, QKeySequence::Paste);
            } else {
                typeText(edit, text);
            }
        }
    } else if (what == 8) {
        static const Qt::Key keys[] = {Qt::Key_Return, Qt::Key_Escape, Qt::Key_Tab};
        QWidget *target = QApplication::focusWidget() ? QApplication::focusWidget() : m_form.get();
        QTest::keyClick(target, keys[pick(3)]);
    } else {
        changeCatalog();
    }
}

void tst_RandomInput::changeCatalog()
{
    auto &data = hostDevs();
    const QList<vms_sdk::DevInfo> devices = data.getAllDevices();
    const QString devId = devices.isEmpty() ? QString() : devices.at(pick(devices.size())).devId;
    const QString group = QStringLiteral("g%1").arg(1 + pick(5));
    const int type = pick(3), what = m_devices < 3 ? 0 : pick(4);
    const QString id = QStringLiteral("dev%1").arg(m_devices);
    if (what == 0)
        m_devices += data.addDevice({id, id, "", type, "", 0, 0, 0, type ? 1 : 1 + pick(4), ""});
    else if (what == 1)
        data.deleteDevice(devId);
    else if (what == 2 && (data.isGroup(group) || data.addGroup(group, group)))
        data.addGroupChannel(group, {devId, 0});
    else
        data.deleteGroup(group);
}

// Empty when every invariant holds, else what broke.
QString tst_RandomInput::brokenInvariant(bool justSaved)
{
    QStringList stored, listed, folded{"admin"};
    for (const orlun_data::UserInfo &info : hostUsers().getAllUsers("admin")) {
        stored << info.userName;
        folded << info.userName.toCaseFolded();
    }
    auto *list = child<UserListWt>("userListWt");
    for (int r = 0; r < list->count(); ++r)
        listed << list->item(r)->data(Qt::UserRole).toString();
    // Names are unique ignoring case, the super user's included.
    if (folded.removeDuplicates())
        return "two accounts share a name ignoring case: " + stored.join(',');
    stored.sort();
    listed.sort();
    if (listed != stored)
        return "the list shows " + listed.join(',') + ", the store holds " + stored.join(',');

    auto *tree = child<ChannelTree>("channelsTree");
    auto *table = child<QWidget>("channelPowerTable")->findChild<QTableWidget *>();
    QStringList rows;
    for (int r = 0; r < table->rowCount(); ++r)
        rows << table->item(r, 0)->data(Qt::UserRole).toString();
    if (tree->isVisible() && idSet(rows) != tree->getCheckedChannels())
        return "the table lists " + rows.join(',') + ", not the tree's checked channels";
    if (!justSaved)
        return QString();

    const QString name = child<QLineEdit>("userName")->text().trimmed();
    const orlun_data::UserInfo info = hostUsers().getUserInfo(name);
    const QString shown = child<QLineEdit>("userPwd")->text().trimmed() + "/" +
                          child<QLineEdit>("userDescribe")->text().trimmed() + "/" +
                          QString::number(child<FunctionPowerList>("functionPowerList")->getMask());
    QStringList storedRes, shownRes;
    for (const auto &res : hostUsers().getUserRes(name))
        storedRes << QString::number(res.resType) + res.resId;
    for (const auto &res : child<ChannelPowerTree>("channelPowerTree")->getUserRes())
        shownRes << QString::number(res.resType) + res.resId;
    if (info.userPwd + "/" + info.userDescribe + "/" + QString::number(info.functionPower) !=
            shown ||
        idSet(storedRes) != idSet(shownRes))
        return "saved " + name + " is stored otherwise than shown: " + shown;
    return QString();
}

QTEST_MAIN(tst_RandomInput)
#include "tst_RandomInput.moc"
