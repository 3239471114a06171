// A second program on the same store, for the store's tests:
//   store_helper lock PATH       holds an exclusive lock: nobody else reads or writes
//   store_helper writelock PATH  holds the write lock: others read, nobody else writes
//   store_helper burst PATH      adds accounts u0, u1, ... and prints each name once
//                                its transaction committed, until killed
// The lock modes print "ready" once the lock is held and keep it until stdin
// closes or the process is killed.

#include <QCoreApplication>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTextStream>

#include "DataStore.h"
#include "UserData.h"

#include <cstdio>

namespace {

int holdLock(const QString &path, bool exclusive)
{
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"));
    db.setDatabaseName(path);
    if (!db.open())
        return 2;
    QSqlQuery query(db);
    const QStringList statements =
        exclusive ? QStringList{"PRAGMA locking_mode = EXCLUSIVE", "BEGIN EXCLUSIVE"}
                  : QStringList{"BEGIN IMMEDIATE"};
    for (const QString &statement : statements + QStringList{"INSERT OR REPLACE INTO settings "
                                                             "(key, value) VALUES ('lock', 'x')"}) {
        if (!query.exec(statement)) {
            QTextStream(stderr) << statement << ": " << query.lastError().text() << '\n';
            return 3;
        }
    }
    std::puts("ready");
    std::fflush(stdout);
    // Until the test closes stdin or kills us.
    while (std::getchar() != EOF) {
    }
    return 0;
}

int burst(const QString &path)
{
    auto &store = orlun_data::DataStore::_instance();
    if (!store.open(path))
        return 2;
    for (int i = 0;; ++i) {
        orlun_data::UserInfo info;
        info.userName = QStringLiteral("u%1").arg(i);
        info.userPwd = QStringLiteral("Burst#%1").arg(i % 1000);
        info.userDescribe = QStringLiteral("written by a burst");
        orlun_data::UserData::_instance().setUserRes(info.userName, {{QStringLiteral("d#1"), 0}});
        if (orlun_data::UserData::_instance().addUser(info)) {
            std::printf("%s\n", qPrintable(info.userName));
            std::fflush(stdout);
        }
    }
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 3)
        return 1;
    if (args.at(1) == QLatin1String("lock"))
        return holdLock(args.at(2), true);
    if (args.at(1) == QLatin1String("writelock"))
        return holdLock(args.at(2), false);
    if (args.at(1) == QLatin1String("burst"))
        return burst(args.at(2));
    return 1;
}
