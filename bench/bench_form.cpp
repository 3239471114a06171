// The user management form on a large site, driven as an administrator
// drives it: clicks on the account rows and their buttons, check marks in the
// channel tree, typed keywords, header clicks, Save and Cancel. Each flow is
// timed until the event loop is idle again and set against a reference
// measured in the same run:
// - flows over rows of channels: filling a hidden plain QTableWidget with the
//   same rows (seven items and an operation cell widget per channel);
// - opening the form: building the same number of UserItem rows, hidden.
//
// Usage: bench_form [channels...]   (default 2000 8000 32000)
// Exits non-zero when a figure misses its target.

#include <QApplication>
#include <QEnterEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionViewItem>
#include <QTableWidget>
#include <QTextStream>
#include <QTreeWidgetItemIterator>
#include <QtTest/QTest>

#include "BaseForm.h"
#include "ChannelId.h"
#include "DataStore.h"
#include "DevsMgrData.h"
#include "SystemAssistant.h"
#include "SystemWorker.h"
#include "TamMessageBox.h"
#include "TamTreeWidget.h"
#include "TreeItem.h"
#include "UserData.h"
#include "UserItem.h"
#include "UserMgrInit.h"

#include "BenchSupport.h"

#include <algorithm>
#include <memory>
#include <vector>

namespace {

constexpr int kChannelsPerNvr = 16;
constexpr int kGroups = 4;
constexpr int kGroupSize = 1000;
constexpr double kTarget = 1.5;
constexpr double kSwitchAwayTarget = 0.5;
constexpr double kAccountsScaleTarget = 1.2;

const QString kBigUser = QStringLiteral("bigUser");
const QString kEmptyUser = QStringLiteral("emptyUser");

QTextStream &out()
{
    static QTextStream stream(stdout);
    return stream;
}

// Single timings of a few tens of milliseconds, or of a fill that depends
// on the heap's state, swing by a fifth from run to run: figures that set a
// target are the median of a few.
constexpr int kRepeats = 5;

double median(QVector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.at(values.size() / 2);
}

QString nvrId(int n)
{
    return QStringLiteral("nvr%1").arg(n, 5, 10, QLatin1Char('0'));
}

QString groupId(int n)
{
    return QStringLiteral("group%1").arg(n);
}

// A site of 16-channel NVRs, four groups of up to 1,000 channels spread over
// the site, `accounts` accounts, one of which holds every channel.
void seedSite(int channels, int accounts)
{
    if (!orlun_data::DataStore::_instance().open(QStringLiteral(":memory:")))
        qFatal("cannot open an in-memory store");
    auto &devs = orlun_data::DevsMgrData::_instance();
    const int nvrs = channels / kChannelsPerNvr;
    QList<vms_sdk::DevInfo> devices;
    for (int n = 0; n < nvrs; ++n) {
        vms_sdk::DevInfo info;
        info.devId = nvrId(n);
        info.devName = QStringLiteral("NVR %1").arg(n);
        info.devSn = QStringLiteral("NVR16-%1").arg(n, 8, 10, QLatin1Char('0'));
        info.ip = QStringLiteral("10.%1.%2.%3").arg(n / 65536).arg(n / 256 % 256).arg(n % 256);
        info.port = 8000;
        info.channelCount = kChannelsPerNvr;
        devices.append(info);
    }
    devs.addDevices(devices);
    for (int g = 0; g < kGroups; ++g) {
        devs.addGroup(groupId(g), QStringLiteral("Group %1").arg(g));
        const int size = qMin(kGroupSize, channels / kGroups);
        for (int i = 0; i < size; ++i) {
            const int channel = (g + i * kGroups) % channels;
            devs.addGroupChannel(groupId(g),
                                 {nvrId(channel / kChannelsPerNvr), channel % kChannelsPerNvr});
        }
    }

    auto &users = orlun_data::UserData::_instance();
    auto addAccount = [&users](const QString &name) {
        orlun_data::UserInfo info;
        info.userName = name;
        info.userPwd = QStringLiteral("Str0ng#Pass");
        users.addUser(info);
    };
    // The list shows its first row at once; the big account is picked by hand.
    addAccount(kEmptyUser);
    addAccount(kBigUser);
    for (int n = 2; n < accounts; ++n)
        addAccount(QStringLiteral("user%1").arg(n, 5, 10, QLatin1Char('0')));

    QList<orlun_data::UserResInfo> grants;
    for (const vms_sdk::DevInfo &device : devices) {
        for (int ch = 0; ch < kChannelsPerNvr; ++ch)
            grants.append(
                {orlun_data::formatChannelId(device.devId, ch), orlun_data::UserResInfo::Channel});
    }
    users.setUserRes(kBigUser, grants);
}

// The operation cell of the reference: a plain widget holding an edit and a
// delete button, built as a careful Qt program builds many of them (the
// layout filled before it is set, so that no layout pass is queued per
// cell). It shares no code with the kit's cell, so that it keeps measuring
// what Qt itself costs whatever the kit does.
QWidget *plainOperCell(QWidget *parent)
{
    auto *cell = new QWidget(parent);
    auto *layout = new QHBoxLayout;
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(10);
    layout->addStretch(1);
    for (const char *name : {"editBt", "deleteBt"}) {
        auto *button = new QPushButton;
        button->setObjectName(QLatin1String(name));
        button->setFlat(true);
        button->setFixedSize(18, 18);
        button->setFocusPolicy(Qt::NoFocus);
        layout->addWidget(button);
    }
    layout->addStretch(1);
    cell->setLayout(layout);
    layout->itemAt(1)->widget()->hide();
    return cell;
}

struct ChannelRowsReference
{
    double fill;
    // Qt's own cost of removing those rows again, all in one call: what a
    // flow that empties the table cannot get under with Qt's widgets.
    double clear;
};

// The reference for rows of channels: the same rows in a plain table that is
// never shown, which pays for items and cell widgets but for no view upkeep.
ChannelRowsReference channelRowsReferenceOnce(int channels)
{
    QTableWidget table(0, 7);
    const double fill = benchSettledMs([channels, &table] {
        for (int i = 0; i < channels; ++i) {
            const int row = table.rowCount();
            table.insertRow(row);
            const QString id =
                orlun_data::formatChannelId(nvrId(i / kChannelsPerNvr), i % kChannelsPerNvr);
            auto *order = new QTableWidgetItem(QString::number(row + 1));
            order->setCheckState(Qt::Unchecked);
            order->setData(Qt::UserRole, id);
            table.setItem(row, 0, order);
            table.setItem(row, 1, new QTableWidgetItem(QStringLiteral("NVR %1-%2").arg(i)));
            table.setItem(row, 2, new QTableWidgetItem(QStringLiteral("NVR16-%1").arg(i)));
            table.setItem(row, 3, new QTableWidgetItem(QStringLiteral("10.0.0.1:8000")));
            auto *index = new QTableWidgetItem;
            index->setData(Qt::DisplayRole, i % kChannelsPerNvr + 1);
            table.setItem(row, 4, index);
            table.setItem(row, 5, new QTableWidgetItem(QStringLiteral("Offline")));
            table.setItem(row, 6, new QTableWidgetItem);
            table.setCellWidget(row, 6, plainOperCell(&table));
        }
    });
    return {fill, benchSettledMs([&table] { table.setRowCount(0); })};
}

ChannelRowsReference channelRowsReference(int channels)
{
    QVector<double> fills;
    QVector<double> clears;
    for (int i = 0; i < 3; ++i) {
        const ChannelRowsReference once = channelRowsReferenceOnce(channels);
        fills.append(once.fill);
        clears.append(once.clear);
    }
    return {median(fills), median(clears)};
}

// The reference for the account list: its rows built alone, hidden.
double accountRowsReference(int accounts)
{
    QWidget parent;
    return benchSettledMs([accounts, &parent] {
        for (int n = 0; n < accounts; ++n)
            new orlun_userMgr::UserItem(QStringLiteral("user%1").arg(n, 5, 10, QLatin1Char('0')),
                                        &parent);
    });
}

class FormDriver
{
public:
    // The form's fixed widgets are found once: a person does not search the
    // whole form (thousands of row widgets) before each click.
    explicit FormDriver(orlun_base::BaseForm *form)
        : m_form(form)
        , m_panel(form->findChild<QWidget *>(QStringLiteral("channelPowerTable")))
        , m_tableSearch(m_panel->findChild<QLineEdit *>(QStringLiteral("searchBox")))
        , m_tree(form->findChild<TAMCOMMON::TamTreeWidget *>())
    {
        for (const char *name : {"okBt", "cancelBt"})
            m_widgets.insert(name, form->findChild<QAbstractButton *>(QLatin1String(name)));
        for (const char *name : {"channelName", "devSn", "Ip", "channelIndex", "status"})
            m_widgets.insert(name, m_panel->findChild<QWidget *>(QLatin1String(name)));
        for (const QString &user : {kBigUser, kEmptyUser})
            row(user);
    }

    orlun_userMgr::UserItem *row(const QString &userName) const
    {
        if (orlun_userMgr::UserItem *known = m_rows.value(userName))
            return known;
        auto *list = m_form->findChild<QListWidget *>(QStringLiteral("userListWt"));
        for (int i = 0; i < list->count(); ++i) {
            QListWidgetItem *item = list->item(i);
            if (item->data(Qt::UserRole).toString() == userName) {
                auto *found = qobject_cast<orlun_userMgr::UserItem *>(list->itemWidget(item));
                m_rows.insert(userName, found);
                return found;
            }
        }
        return nullptr;
    }

    void clickRow(const QString &userName) { QTest::mouseClick(row(userName), Qt::LeftButton); }

    // Hovering shows the row's buttons; then the button is clicked.
    void clickRowButton(const QString &userName, const char *button)
    {
        orlun_userMgr::UserItem *item = row(userName);
        QEnterEvent enter(QPointF(5, 5), QPointF(5, 5), QPointF(item->mapToGlobal(QPoint(5, 5))));
        QApplication::sendEvent(item, &enter);
        QTest::mouseClick(item->findChild<QPushButton *>(QLatin1String(button)), Qt::LeftButton);
    }

    void clickButton(const char *name) { QTest::mouseClick(m_widgets.value(name), Qt::LeftButton); }

    TAMCOMMON::TamTreeWidget *tree() const { return m_tree; }

    QTableWidget *table() const
    {
        return m_form->findChild<QTableWidget *>(QStringLiteral("channelsTable"));
    }

    QTreeWidgetItem *treeItem(const QString &id) const
    {
        for (QTreeWidgetItemIterator it(tree()); *it; ++it) {
            auto *item = dynamic_cast<orlun_base::TreeItem *>(*it);
            if (item && item->getId() == id)
                return item;
        }
        return nullptr;
    }

    void clickCheckBox(QTreeWidgetItem *item)
    {
        QTreeWidget *view = tree();
        view->scrollToItem(item);
        QStyleOptionViewItem option;
        option.initFrom(view);
        option.rect = view->visualItemRect(item);
        option.features =
            QStyleOptionViewItem::HasCheckIndicator | QStyleOptionViewItem::HasDisplay;
        option.text = item->text(0);
        const QRect box =
            view->style()->subElementRect(QStyle::SE_ItemViewItemCheckIndicator, &option, view);
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, box.center());
    }

    void typeTableKeyword(const QString &keyword)
    {
        if (keyword.isEmpty())
            m_tableSearch->clear();
        else
            QTest::keyClicks(m_tableSearch, keyword);
    }

    void clickTableHeader(const char *name)
    {
        QTest::mouseClick(m_widgets.value(name), Qt::LeftButton);
    }

private:
    orlun_base::BaseForm *m_form;
    QWidget *m_panel;
    QLineEdit *m_tableSearch;
    TAMCOMMON::TamTreeWidget *m_tree;
    QHash<QByteArray, QWidget *> m_widgets;
    mutable QHash<QString, QPointer<orlun_userMgr::UserItem>> m_rows;
};

struct Row
{
    QString flow;
    double ms;
    double refMs;
    double target;
    // Shown beside the flows for comparison, never judged.
    bool forComparison = false;
};

class Run
{
public:
    Run(int channels, int accounts, bool accountsRun = false)
        : m_channels(channels)
        , m_accounts(accounts)
        , m_accountsRun(accountsRun)
    {}

    QList<Row> rows;
    double editEnterMs = 0;
    double saveMs = 0;
    double cancelMs = 0;

    void measure()
    {
        seedSite(m_channels, m_accounts);
        const ChannelRowsReference reference = channelRowsReference(m_channels);
        const double channelRef = reference.fill;
        rows.append({QStringLiteral("plain table: remove the reference's rows"), reference.clear,
                     channelRef, 0, true});
        // Opening is judged in the run with many accounts: the median of three.
        const int openings = m_accountsRun ? 3 : 1;
        QVector<double> accountRefs;
        for (int i = 0; i < openings; ++i)
            accountRefs.append(accountRowsReference(m_accounts));
        const double accountRef = median(accountRefs);
        m_accountRef = accountRef;

        std::unique_ptr<orlun_base::BaseForm> form;
        QVector<double> opens;
        for (int i = 0; i < openings; ++i) {
            form.reset();
            settleEvents();
            opens.append(benchSettledMs([&] {
                form.reset(TAMCOMMON::TamSingleton<orlun_userMgr::UserMgrInit>::_instance()
                               .createUserMgrForm());
                form->resize(1920, 1040);
                form->show();
            }));
        }
        record(QStringLiteral("open the form"), median(opens), accountRef, kTarget);
        FormDriver d(form.get());
        add(QStringLiteral("show the big account"), channelRef, kTarget,
            [&] { d.clickRow(kBigUser); });
        add(QStringLiteral("switch to an account without grants"), channelRef, kSwitchAwayTarget,
            [&] { d.clickRow(kEmptyUser); });
        add(QStringLiteral("show the big account again"), channelRef, kTarget,
            [&] { d.clickRow(kBigUser); });
        add(QStringLiteral("edit the big account"), channelRef, kTarget,
            [&] { d.clickRowButton(kBigUser, "editUserBt"); });

        QTreeWidgetItem *folder = d.tree()->topLevelItem(0);
        QTreeWidgetItem *device = d.treeItem(nvrId(0));
        QTreeWidgetItem *group = d.treeItem(groupId(1));
        add(QStringLiteral("uncheck the device folder"), channelRef, kTarget,
            [&] { d.clickCheckBox(folder); });
        add(QStringLiteral("check the device folder"), channelRef, kTarget,
            [&] { d.clickCheckBox(folder); });
        add(QStringLiteral("uncheck a device"), channelRef, kTarget,
            [&] { d.clickCheckBox(device); });
        add(QStringLiteral("check a device"), channelRef, kTarget,
            [&] { d.clickCheckBox(device); });
        if (group) {
            add(QStringLiteral("check a group"), channelRef, kTarget,
                [&] { d.clickCheckBox(group); });
            add(QStringLiteral("uncheck a group"), channelRef, kTarget,
                [&] { d.clickCheckBox(group); });
        }
        add(QStringLiteral("save"), channelRef, kTarget, [&] { d.clickButton("okBt"); });

        d.clickRowButton(kBigUser, "editUserBt");
        settleEvents();
        d.clickCheckBox(device);
        settleEvents();
        orlun_base::TamMessageBox::pushNextAnswer(orlun_base::Ok);
        add(QStringLiteral("cancel (restores the account)"), channelRef, kTarget,
            [&] { d.clickButton("cancelBt"); });

        add(QStringLiteral("filter the table by a keyword"), channelRef, kTarget,
            [&] { d.typeTableKeyword(QStringLiteral("NVR 1")); });
        add(QStringLiteral("clear the keyword"), channelRef, kTarget,
            [&] { d.typeTableKeyword(QString()); });
        for (const char *column : {"channelName", "devSn", "Ip", "channelIndex", "status"}) {
            add(QStringLiteral("sort by %1").arg(QLatin1String(column)), channelRef, kTarget,
                [&] { d.clickTableHeader(column); });
        }

        measureEditingRepeatedly(d);

        orlun_base::TamMessageBox::pushNextAnswer(orlun_base::Ok);
        add(QStringLiteral("delete the big account"), channelRef, kTarget,
            [&] { d.clickRowButton(kBigUser, "deleteUserBt"); });
        if (orlun_data::UserData::_instance().isUserExist(kBigUser))
            out() << "warning: the big account was not deleted\n";

        // Destroy a form that shows the big account again.
        seedSite(m_channels, m_accounts);
        form.reset(
            TAMCOMMON::TamSingleton<orlun_userMgr::UserMgrInit>::_instance().createUserMgrForm());
        form->resize(1920, 1040);
        form->show();
        settleEvents();
        FormDriver(form.get()).clickRow(kBigUser);
        settleEvents();
        add(QStringLiteral("destroy the form"), channelRef, kSwitchAwayTarget,
            [&] { form.reset(); });
    }

    bool print() const
    {
        bool ok = true;
        for (const Row &row : rows) {
            const QString what = QStringLiteral("%1 (%2 accounts)").arg(row.flow).arg(m_accounts);
            if (row.forComparison) {
                out() << QStringLiteral("%1 n=%2: %3 ms, reference %4 ms, ratio %5 (for "
                                        "comparison)\n")
                             .arg(what, -40)
                             .arg(m_channels)
                             .arg(row.ms, 0, 'f', 1)
                             .arg(row.refMs, 0, 'f', 1)
                             .arg(row.ms / row.refMs, 0, 'f', 2);
                continue;
            }
            if (row.target > 0) {
                ok &= reportRatio(what, m_channels, row.ms, row.refMs, row.target);
                continue;
            }
            out() << QStringLiteral("%1 n=%2: %3 ms (not judged in this run)\n")
                         .arg(what, -40)
                         .arg(m_channels)
                         .arg(row.ms, 0, 'f', 1);
        }
        return ok;
    }

private:
    // Entering editing, saving and cancelling, each the median of a few
    // rounds: these are what the account list's size must not change.
    void measureEditingRepeatedly(FormDriver &d)
    {
        QVector<double> edits;
        QVector<double> saves;
        QVector<double> cancels;
        QTreeWidgetItem *device = d.treeItem(nvrId(0));
        for (int round = 0; round < kRepeats; ++round) {
            edits.append(benchSettledMs([&] { d.clickRowButton(kBigUser, "editUserBt"); }));
            d.clickCheckBox(device);
            settleEvents();
            saves.append(benchSettledMs([&] { d.clickButton("okBt"); }));
            d.clickRowButton(kBigUser, "editUserBt");
            settleEvents();
            d.clickCheckBox(device);
            settleEvents();
            orlun_base::TamMessageBox::pushNextAnswer(orlun_base::Ok);
            cancels.append(benchSettledMs([&] { d.clickButton("cancelBt"); }));
        }
        editEnterMs = median(edits);
        saveMs = median(saves);
        cancelMs = median(cancels);
    }

    // A run over many channels judges the flows over rows of channels; a run
    // over many accounts judges opening the form (and, against a run with
    // fewer accounts, editing).
    void record(const QString &flow, double ms, double refMs, double target)
    {
        const bool opening = refMs == m_accountRef;
        if (opening != m_accountsRun)
            target = 0;
        rows.append({flow, ms, refMs, target});
        out() << "  " << flow << ": " << ms << " ms" << Qt::endl;
    }

    void add(const QString &flow, double refMs, double target, const std::function<void()> &fn)
    {
        record(flow, benchSettledMs(fn), refMs, target);
    }

    int m_channels;
    int m_accounts;
    bool m_accountsRun;
    double m_accountRef = -1;
};

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    orlun_base::TamMessageBox::setTestMode(true);
    orlun_worker::SystemAssistant::_instance().setAlertPopupsEnabled(false);

    // Sizes in channels; "accounts" alone runs only the large account list.
    const QStringList args = QCoreApplication::arguments().mid(1);
    const bool accountsOnly = args == QStringList(QStringLiteral("accounts"));
    QList<int> sizes;
    for (const QString &arg : args)
        sizes.append(arg.toInt());
    if (args.isEmpty())
        sizes = {2000, 8000, 32000};
    if (accountsOnly)
        sizes.clear();

    bool ok = true;
    std::vector<std::unique_ptr<Run>> runs;
    for (int channels : sizes) {
        out() << "site of " << channels << " channels, 1000 accounts" << Qt::endl;
        runs.emplace_back(new Run(channels, 1000));
        runs.back()->measure();
    }
    // Entering and leaving editing must not depend on the number of accounts.
    out() << "site of 2000 channels, 10000 accounts" << Qt::endl;
    Run small(2000, 1000);
    if (!accountsOnly)
        small.measure();
    Run many(2000, 10000, true);
    many.measure();

    for (const auto &run : runs)
        ok &= run->print();
    ok &= many.print();
    if (accountsOnly)
        return ok ? 0 : 1;
    ok &= reportRatio(QStringLiteral("edit, 10000 vs 1000 accounts"), 2000, many.editEnterMs,
                      small.editEnterMs, kAccountsScaleTarget);
    ok &= reportRatio(QStringLiteral("save, 10000 vs 1000 accounts"), 2000, many.saveMs,
                      small.saveMs, kAccountsScaleTarget);
    ok &= reportRatio(QStringLiteral("cancel, 10000 vs 1000 accounts"), 2000, many.cancelMs,
                      small.cancelMs, kAccountsScaleTarget);
    return ok ? 0 : 1;
}
