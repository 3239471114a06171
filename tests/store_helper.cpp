// A second program on the same store, for the store's tests:
//   store_helper lock PATH       holds an exclusive lock: nobody else reads or writes
//   store_helper writelock PATH  holds the write lock: others read, nobody else writes
//   store_helper burst PATH      adds accounts u0, u1, ... and prints each name once
//                                its transaction committed, until killed
//   store_helper client PATH     another workstation: runs one command a line from
//                                stdin and answers "ok" or "refused: <why>":
//                                add NAME | edit NAME DESCRIPTION | grant NAME RESID |
//                                delete NAME | device DEVID CHANNELS |
//                                rename DEVID NO NAME | delchannel DEVID NO
//                                It runs no event loop, so it never hears of the
//                                others' changes: only the store stops its stale writes.
// The lock modes print "ready" once the lock is held and keep it until stdin
// closes or the process is killed.

#include <QCoreApplication>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTextStream>

#include "DataStore.h"
#include "DevsMgrData.h"
#include "UserData.h"

#include <cstdio>
#include <iostream>
#include <string>

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

bool runCommand(const QStringList &words)
{
    auto &users = orlun_data::UserData::_instance();
    auto &catalog = orlun_data::DevsMgrData::_instance();
    const QString command = words.value(0);
    const QString name = words.value(1);
    if (command == QLatin1String("add")) {
        orlun_data::UserInfo info;
        info.userName = name;
        info.userPwd = QStringLiteral("Client#2");
        return users.addUser(info);
    }
    if (command == QLatin1String("edit")) {
        orlun_data::UserInfo info = users.getUserInfo(name);
        info.userDescribe = words.value(2);
        return users.updateUser(info);
    }
    if (command == QLatin1String("grant")) {
        const orlun_data::UserInfo info = users.getUserInfo(name);
        return users.setUserRes(name, {{words.value(2), 0}}) && users.updateUser(info);
    }
    if (command == QLatin1String("delete"))
        return users.deleteUser(name);
    if (command == QLatin1String("device")) {
        vms_sdk::DevInfo info;
        info.devId = name;
        info.devName = name;
        info.channelCount = words.value(2).toInt();
        return catalog.addDevice(info);
    }
    if (command == QLatin1String("rename"))
        return catalog.renameChannel({name, words.value(2).toInt()}, words.value(3));
    if (command == QLatin1String("delchannel"))
        return catalog.deleteChannels({{name, words.value(2).toInt()}});
    return false;
}

int client(const QString &path)
{
    auto &store = orlun_data::DataStore::_instance();
    if (!store.open(path)) {
        std::printf("refused: %s\n", qPrintable(store.lastErrorText()));
        return 2;
    }
    std::puts("ready");
    std::fflush(stdout);
    for (std::string line; std::getline(std::cin, line);) {
        const QStringList words = QString::fromStdString(line).split(QLatin1Char(' '));
        if (runCommand(words))
            std::puts("ok");
        else
            std::printf("refused: %s\n",
                        qPrintable(orlun_data::UserData::_instance().lastErrorText()));
        std::fflush(stdout);
    }
    return 0;
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
    if (args.at(1) == QLatin1String("client"))
        return client(args.at(2));
    return 1;
}
