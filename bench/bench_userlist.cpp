// Builds, shows, filters and edits the user list with a large site's number
// of accounts. Every figure is compared with a bare QListWidget carrying the
// same row widgets, driven the same way in the same run.
//
// Usage: bench_userlist [accounts]   (default 10000)

#include <QApplication>
#include <QListWidget>
#include <QTextStream>

#include "DataStore.h"
#include "SystemWorker.h"
#include "UserData.h"
#include "UserItem.h"
#include "UserListWt.h"

#include "BenchSupport.h"

#include <functional>
#include <memory>

namespace {

const QStringList kKeywords = {QStringLiteral("user1"), QStringLiteral("99"),
                               QStringLiteral("USER"), QStringLiteral("nomatch"), QString()};

// An item view defers its layout to zero-timers and its painting to posted
// update requests; a figure only counts once all of that has run.
void settle()
{
    for (int i = 0; i < 8; ++i) {
        QCoreApplication::sendPostedEvents();
        QCoreApplication::processEvents();
    }
}

double measure(const std::function<void()> &fn)
{
    settle();
    return benchMs([&] {
        fn();
        settle();
    });
}

struct Figures
{
    double build = 0;
    double show = 0;
    QList<double> filter;
    double addWhileShown = 0;
    double removeCurrent = 0;
    double destroy = 0;
};

QStringList hostNames()
{
    const QString superUser =
        TAMCOMMON::TamSingleton<orlun_worker::SystemWorker>::_instance().getSuperUserName();
    QStringList names;
    for (const auto &user :
         TAMCOMMON::TamSingleton<orlun_data::UserData>::_instance().getAllUsers(superUser))
        names << user.userName;
    return names;
}

// The reference: what a bare QListWidget costs for the same rows.
struct PlainList
{
    std::unique_ptr<QListWidget> view;

    void build()
    {
        view = std::make_unique<QListWidget>();
        for (const QString &name : hostNames())
            add(name);
    }
    void add(const QString &name)
    {
        auto *item = new QListWidgetItem;
        item->setData(Qt::UserRole, name);
        view->addItem(item);
        view->setItemWidget(item, new orlun_userMgr::UserItem(name));
    }
    void filter(const QString &keyword)
    {
        for (int r = 0; r < view->count(); ++r) {
            const QString name = view->item(r)->data(Qt::UserRole).toString();
            view->setRowHidden(r,
                               !keyword.isEmpty() && !name.contains(keyword, Qt::CaseInsensitive));
        }
    }
    void removeFirst() { delete view->takeItem(0); }
};

struct OwnList
{
    std::unique_ptr<orlun_userMgr::UserListWt> view;

    void build() { view = std::make_unique<orlun_userMgr::UserListWt>(nullptr); }
    void add(const QString &name) { view->addUserItem(name); }
    void filter(const QString &keyword) { view->slotSearchByKeyword(keyword); }
    // The current row is row 0 after the first show.
    void removeFirst() { view->removeUserItem(view->getCurUser()); }
};

template<typename List>
Figures run()
{
    Figures f;
    List list;
    f.build = measure([&] { list.build(); });
    list.view->resize(320, 700);
    f.show = measure([&] { list.view->show(); });
    for (const QString &keyword : kKeywords)
        f.filter << measure([&] { list.filter(keyword); });
    f.addWhileShown = measure([&] { list.add(QStringLiteral("newcomer")); });
    f.removeCurrent = measure([&] { list.removeFirst(); });
    f.destroy = measure([&] {
        list.view.reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    });
    return f;
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int accounts = argc > 1 ? qMax(1, QString::fromLocal8Bit(argv[1]).toInt()) : 10000;

    if (!TAMCOMMON::TamSingleton<orlun_data::DataStore>::_instance().open(
            QStringLiteral(":memory:")))
        return 1;
    TAMCOMMON::TamSingleton<orlun_worker::SystemWorker>::_instance().setSuperUserName(
        QStringLiteral("root"));
    auto &users = TAMCOMMON::TamSingleton<orlun_data::UserData>::_instance();
    for (int i = 0; i < accounts; ++i) {
        orlun_data::UserInfo info;
        info.userName = QStringLiteral("user%1").arg(i);
        info.userPwd = QStringLiteral("Secret%1").arg(i);
        if (!users.addUser(info))
            return 1;
    }

    const Figures ref = run<PlainList>();
    const Figures own = run<OwnList>();

    bool ok = true;
    ok &= reportRatio(QStringLiteral("build (not yet shown)"), accounts, own.build, ref.build, 1.3);
    ok &= reportRatio(QStringLiteral("first show"), accounts, own.show, ref.show, 1.5);
    for (int i = 0; i < kKeywords.size(); ++i) {
        ok &= reportRatio(QStringLiteral("filter \"%1\"").arg(kKeywords.at(i)), accounts,
                          own.filter.at(i), ref.filter.at(i), 1.5);
    }
    ok &= reportRatio(QStringLiteral("add one row while shown"), accounts, own.addWhileShown,
                      ref.addWhileShown, 1.5);
    ok &= reportRatio(QStringLiteral("remove current row while shown"), accounts, own.removeCurrent,
                      ref.removeCurrent, 1.5);
    ok &=
        reportRatio(QStringLiteral("destroy while shown"), accounts, own.destroy, ref.destroy, 1.5);
    return ok ? 0 : 2;
}
