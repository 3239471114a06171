// A second program on the same store, for the store's tests:
//   store_helper lock PATH       holds an exclusive lock: nobody else reads or writes
//   store_helper writelock PATH  holds the write lock: others read, nobody else writes
//   store_helper burst PATH      adds accounts u0, u1, ... (each with a grant) and
//                                prints each name once its transaction committed,
//                                until killed
//   store_helper client PATH     another workstation: runs one command a line from
//                                stdin and answers "ok" or "refused: <why>":
//                                add NAME | edit NAME DESCRIPTION | grant NAME RESID |
//                                delete NAME | device DEVID CHANNELS |
//                                rename DEVID NO NAME | delchannel DEVID NO |
//                                project NUMBER
//                                It runs no event loop, so it never hears of the
//                                others' changes: only the store stops its stale writes.
// The lock modes print "ready" once the lock is held and keep it until stdin
// closes or the process is killed; the client prints it once the store is open.

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
    QStringList statements{"BEGIN IMMEDIATE"};
    if (exclusive)
        statements = QStringList{"PRAGMA locking_mode = EXCLUSIVE", "BEGIN EXCLUSIVE"};
    for (const QString &statement :
         statements << "INSERT OR REPLACE INTO settings (key, value) VALUES ('lock', 'x')") {
        if (!query.exec(statement)) {
            QTextStream(stderr) << statement << ": " << query.lastError().text() << '\n';
            return 3;
        }
    }
    say("ready");
    // Until the test closes stdin or kills us.
    while (std::getchar() != EOF) {
    }
    return 0;
}

int burst()
{
    auto &users = orlun_data::UserData::_instance();
    for (int i = 0;; ++i) {
        orlun_data::UserInfo info;
        info.userName = QStringLiteral("u%1").arg(i);
        info.userPwd = QStringLiteral("Burst#%1").arg(i % 1000);
        info.userDescribe = "written by a burst";
        users.setUserRes(info.userName, {{"d#1", 0}});
        if (users.addUser(info))
            say(info.userName);
    }
}

bool runCommand(const QStringList &words)
{
    auto &users = orlun_data::UserData::_instance();
    auto &catalog = orlun_data::DevsMgrData::_instance();
    const QString command = words.value(0);
    const QString name = words.value(1);
    if (command == "add") {
        orlun_data::UserInfo info;
        info.userName = name;
        info.userPwd = "Client#2";
        return users.addUser(info);
    }
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
    if (command == "device") {
        vms_sdk::DevInfo device;
        device.devId = device.devName = name;
        device.channelCount = words.value(2).toInt();
        return catalog.addDevice(device);
    }
    if (command == "rename")
        return catalog.renameChannel({name, words.value(2).toInt()}, words.value(3));
    return command == "delchannel" && catalog.deleteChannels({{name, words.value(2).toInt()}});
}

int client()
{
    say("ready");
    for (std::string line; std::getline(std::cin, line);) {
        if (runCommand(QString::fromStdString(line).split(' ')))
            say("ok");
        else
            say("refused: " + orlun_data::UserData::_instance().lastErrorText());
    }
    return 0;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    const QString mode = args.value(1);
    if (args.size() != 3)
        return 1;
    if (mode.endsWith("lock"))
        return holdLock(args.at(2), mode == "lock");
    auto &store = orlun_data::DataStore::_instance();
    if (!store.open(args.at(2))) {
        say("refused: " + store.lastErrorText());
        return 2;
    }
    if (mode == "burst")
        return burst();
    return mode == "client" ? client() : 1;
}
