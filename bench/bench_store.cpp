// Opens a store of many accounts with grants, and sees a change that another
// client made, on PostgreSQL; each figure is compared with the same on an
// SQLite file in the same run. An SQLite client sees another program's
// change only by reading the store again, so that is its reference.
//
// Usage: bench_store [accounts]   (default 10000)
// Needs ORLUN_TEST_PG, a server URL whose user may create databases, e.g.
//   source scripts/common.sh && start_private_pg_server && build/bin/bench_store

#include <QApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTextStream>
#include <QUrl>

#include "DataStore.h"
#include "UserData.h"

#include "BenchSupport.h"

#include <algorithm>
#include <iostream>
#include <string>

namespace {

using orlun_data::DataStore;
using orlun_data::UserData;

constexpr int GrantsPerAccount = 3;
constexpr int Rounds = 3;

DataStore &store()
{
    return DataStore::_instance();
}

// Another client: adds the account named on each stdin line, answers "ok".
int writer(const QString &path)
{
    if (!store().open(path))
        return 2;
    std::cout << "ready" << std::endl;
    for (std::string line; std::getline(std::cin, line);) {
        orlun_data::UserInfo info;
        info.userName = QString::fromStdString(line);
        info.userPwd = QStringLiteral("Bench#1");
        std::cout << (UserData::_instance().addUser(info) ? "ok" : "refused") << std::endl;
    }
    return 0;
}

bool fill(const QString &path, int accounts)
{
    if (!store().open(path))
        return false;
    const bool stored = store().transaction([&] {
        QSqlQuery user(store().database());
        user.prepare(QStringLiteral("INSERT INTO users (name, pwd, function_power, description)"
                                    " VALUES (?, 'Bench#1', 3, 'bench')"));
        QSqlQuery grant(store().database());
        grant.prepare(QStringLiteral(
            "INSERT INTO user_res (user_name, position, res_id, res_type) VALUES (?, ?, ?, 0)"));
        for (int i = 0; i < accounts; ++i) {
            const QString name = QStringLiteral("user%1").arg(i);
            user.addBindValue(name);
            if (!store().exec(user))
                return false;
            for (int g = 0; g < GrantsPerAccount; ++g) {
                grant.addBindValue(name);
                grant.addBindValue(g);
                grant.addBindValue(QStringLiteral("nvr-%1#%2").arg(i % 500).arg(g));
                if (!store().exec(grant))
                    return false;
            }
        }
        return true;
    });
    store().close();
    return stored;
}

double openMs(const QString &path)
{
    double best = 1e9;
    for (int round = 0; round < Rounds; ++round) {
        store().close();
        best = std::min(best, benchMs([&] { store().open(path); }));
    }
    return best;
}

// From asking the other client to add an account until this one lists it.
double changeSeenMs(const QString &path, bool reopen)
{
    store().open(path);
    QProcess other;
    other.start(QCoreApplication::applicationFilePath(), {"--writer", path});
    if (!other.waitForStarted() || !other.waitForReadyRead(30000))
        return -1;
    other.readLine();
    double best = 1e9;
    for (int round = 0; round < Rounds; ++round) {
        const QString name = QStringLiteral("remote%1").arg(round);
        QElapsedTimer timer;
        timer.start();
        other.write(name.toUtf8() + '\n');
        if (reopen) {
            other.waitForReadyRead(30000);
            other.readLine();
            store().open(path);
        }
        while (!UserData::_instance().isUserExist(name) && timer.elapsed() < 30000)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 10);
        best = std::min(best, timer.nsecsElapsed() / 1e6);
        if (!reopen)
            other.readAll();
    }
    other.closeWriteChannel();
    other.waitForFinished();
    store().close();
    return best;
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() == 3 && args.at(1) == QLatin1String("--writer"))
        return writer(args.at(2));
    const int accounts = args.size() > 1 ? args.at(1).toInt() : 10000;
    QUrl server(qEnvironmentVariable("ORLUN_TEST_PG"));
    if (server.isEmpty()) {
        QTextStream(stderr) << "Set ORLUN_TEST_PG to a PostgreSQL server URL (see the README).\n";
        return 1;
    }

    // A database of its own, dropped and made anew.
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), "admin");
        db.setHostName(server.host());
        db.setPort(server.port(5432));
        db.setUserName(server.userName());
        db.setDatabaseName(server.path().mid(1));
        QSqlQuery query(db);
        if (!db.open() || !query.exec(QStringLiteral("DROP DATABASE IF EXISTS orlun_bench")) ||
            !query.exec(QStringLiteral("CREATE DATABASE orlun_bench"))) {
            QTextStream(stderr) << "cannot make the bench database: " << db.lastError().text()
                                << query.lastError().text() << '\n';
            return 1;
        }
    }
    QSqlDatabase::removeDatabase("admin");
    server.setPath(QStringLiteral("/orlun_bench"));
    const QString pg = server.toString();
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("bench.db"));
    if (!fill(file, accounts) || !fill(pg, accounts)) {
        QTextStream(stderr) << "filling the stores failed: " << store().lastErrorText() << '\n';
        return 1;
    }

    const double fileOpen = openMs(file);
    const double pgOpen = openMs(pg);
    const double fileSeen = changeSeenMs(file, true);
    const double pgSeen = changeSeenMs(pg, false);
    bool ok =
        reportRatio(QStringLiteral("open PostgreSQL / SQLite"), accounts, pgOpen, fileOpen, 3.0);
    ok &= reportRatio(QStringLiteral("another client's add seen, PG / SQLite"), accounts, pgSeen,
                      fileSeen, 1.0);
    return ok ? 0 : 1;
}
