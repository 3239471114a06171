// Prints a line for the client's end-to-end test about one account of a store: description,
// function mask, password right or not, groups, and whether its channel grants are exactly
// the channels of those groups.

#include <QCoreApplication>
#include <QSet>
#include <QTextStream>

#include "ChannelId.h"
#include "DataStore.h"
#include "DevsMgrData.h"
#include "UserData.h"

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    QTextStream out(stdout);
    auto &users = orlun_data::UserData::_instance();
    if (args.size() != 4 || !orlun_data::DataStore::_instance().open(args.at(1)) ||
        !users.isUserExist(args.at(2))) {
        out << "usage: storeCheck STORE USER PASSWORD (an account of an openable store)\n";
        return 1;
    }
    const orlun_data::UserInfo info = users.getUserInfo(args.at(2));
    QSet<QString> channels;
    QStringList groups;
    for (const orlun_data::UserResInfo &res : users.getUserRes(info.userName)) {
        if (res.resType == orlun_data::UserResInfo::Group)
            groups << res.resId;
        else
            channels.insert(res.resId);
    }
    groups.sort();
    QSet<QString> groupChannels;
    for (const vms_sdk::GroupChannelInfo &member :
         orlun_data::DevsMgrData::_instance().getGroupsChannels(groups))
        groupChannels.insert(orlun_data::formatChannelId(member.devId, member.channelNo));

    out << "describe=" << info.userDescribe << " mask=" << info.functionPower
        << " password=" << (info.userPwd == args.at(3) ? "ok" : "wrong")
        << " groups=" << groups.join(',')
        << " channels=" << (channels == groupChannels ? "those of the groups" : "others") << " ("
        << channels.size() << ")\n";
    orlun_data::DataStore::_instance().close();
    return 0;
}
