// A second program on the same store, for the store's tests:
//   store_helper lock|writelock PATH  holds SQLite's exclusive lock (nobody else reads or
//                                     writes) or its write lock (others only read)
//   store_helper client PATH          another workstation: runs a command a line from stdin
//                                     (add NAME | edit NAME DESCRIPTION | grant NAME RESID |
//                                     delete NAME | device DEVID CHANNELS | rename DEVID NO
//                                     NAME | delchannel DEVID NO | project NUMBER), answers
//                                     "ok" or "refused: <why>". With no event loop, only the
//                                     store stops its stale writes.
// Each prints "ready" once the lock is held (kept until stdin closes) or the store open.

#include <QCoreApplication>
#include <QSqlError>
#include <QSqlQuery>
#include <QTextStream>

#include "DataStore.h"
#include "DevsMgrData.h"
#include "StoreKeys.h"
#include "UserData.h"

#include <cstdio>
#include <iostream>
#include <string>

namespace {

void say(const QString &line)
{
    std::printf("%s\n", qPrintable(line));
    std::fflush(stdout);
}

int holdLock(const QString &path, bool exclusive)
{
    QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE");
    db.setDatabaseName(path);
    if (!db.open())
        return 2;
    QSqlQuery query(db);
    const QStringList statements{
        exclusive ? "PRAGMA locking_mode = EXCLUSIVE" : "SELECT 1",
        exclusive ? "BEGIN EXCLUSIVE" : "BEGIN IMMEDIATE",
        "INSERT OR REPLACE INTO settings (key, value) VALUES ('lock', 'x')"};
    for (const QString &statement : statements) {
        if (!query.exec(statement)) {
            QTextStream(stderr) << statement << ": " << query.lastError().text() << '\n';
            return 3;
        }
    }
    say("ready");
    while (std::getchar() != EOF) {
    }
    return 0;
}

bool runCommand(const QStringList &words)
{
    auto &users = orlun_data::UserData::_instance();
    auto &catalog = orlun_data::DevsMgrData::_instance();
    const QString command = words.value(0);
    const QString name = words.value(1);
    const int number = words.value(2).toInt();
    if (command == "add")
        return users.addUser(
            {name, "Client#2", orlun_data::OrdinaryUserType, orlun_data::AllFunctions, {}, {}});
    if (command == "edit" || command == "grant") {
        orlun_data::UserInfo info = users.getUserInfo(name);
        if (command == "edit")
            info.userDescribe = words.value(2);
        else if (!users.setUserRes(name, {{words.value(2), 0}}))
            return false;
        return users.updateUser(info);
    }
    if (command == "project")
        return orlun_data::DataStore::_instance().setSetting(orlun_data::userProjectKey(), name);
    if (command == "delete")
        return users.deleteUser(name);
    if (command == "device")
        return catalog.addDevice({name, name, {}, 0, {}, 0, 0, 0, number, {}});
    if (command == "rename")
        return catalog.renameChannel({name, number}, words.value(3));
    return command == "delchannel" && catalog.deleteChannels({{name, number}});
}

int client()
{
    say("ready");
    for (std::string line; std::getline(std::cin, line);)
        say(runCommand(QString::fromStdString(line).split(' '))
                ? "ok"
                : "refused: " + orlun_data::UserData::_instance().lastErrorText());
    return 0;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    const QString mode = args.value(1);
    if (mode.endsWith("lock"))
        return holdLock(args.value(2), mode == "lock");
    auto &store = orlun_data::DataStore::_instance();
    if (mode != "client" || !store.open(args.value(2))) {
        say("refused: " + store.lastErrorText());
        return 2;
    }
    return client();
}
