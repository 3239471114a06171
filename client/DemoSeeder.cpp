#include "DemoSeeder.h"

#include <QList>

#include "ChannelId.h"
#include "DevsMgrData.h"
#include "SystemWorker.h"
#include "UserData.h"
#include "UserInfo.h"

#include <array>

namespace {

using orlun_data::DevsMgrData;
using orlun_data::UserData;
using orlun_data::UserInfo;
using orlun_data::UserResInfo;
using orlun_worker::SystemWorker;

const QString HqNvr = QStringLiteral("nvr-hq");
const QString WarehouseNvr = QStringLiteral("nvr-warehouse");
const QString CampusNvr = QStringLiteral("nvr-campus");

struct Nvr
{
    QString id;
    const char *name;
    const char *serial;
    const char *address;
    std::array<const char *, 16> channels;
};

const Nvr Nvrs[] = {
    {HqNvr,
     "HQ NVR",
     "NVR16-2304A0417",
     "192.168.1.10",
     {"Lobby", "Reception", "Main Entrance", "Elevator Hall 1F", "Elevator Hall 2F", "Corridor 2F",
      "Corridor 3F", "Meeting Room A", "Meeting Room B", "Server Room", "Finance Office",
      "Stairwell East", "Stairwell West", "Rooftop", "Loading Dock", "Back Door"}},
    {WarehouseNvr,
     "Warehouse NVR",
     "NVR16-2304A0588",
     "192.168.1.11",
     {"Dock 1", "Dock 2", "Dock 3", "Dock 4", "Aisle A", "Aisle B", "Aisle C", "Aisle D", "Aisle E",
      "Aisle F", "Forklift Bay", "Cold Storage", "Yard North", "Yard South", "Gatehouse",
      "Warehouse Office"}},
    {CampusNvr,
     "Campus NVR",
     "NVR16-2211B0032",
     "192.168.1.12",
     {"Gate North", "Gate South", "Parking P1 Entry", "Parking P1 Exit", "Parking P2", "Bike Shed",
      "Cafeteria", "Library Hall", "Sports Field", "Dormitory A", "Dormitory B", "Lab Building",
      "Fence East", "Fence West", "Bus Stop", "Clinic"}},
};

const char *const Cameras[] = {
    "Front Gate",      "Side Gate",           "Visitor Parking",     "Staff Parking 1",
    "Staff Parking 2", "Parking Barrier In",  "Parking Barrier Out", "Perimeter North",
    "Perimeter East",  "Perimeter South",     "Perimeter West",      "Lobby Dome",
    "Reception Desk",  "Data Center Aisle 1", "Data Center Aisle 2", "UPS Room",
    "Canteen",         "Warehouse Door",      "Roof Access",         "Fire Exit 1",
    "Fire Exit 2",     "Mail Room",           "Bike Rack",           "Generator Yard",
};
constexpr int CameraCount = int(sizeof(Cameras) / sizeof(Cameras[0]));

QString cameraId(int number)
{
    return QStringLiteral("ipc-%1").arg(number, 2, 10, QLatin1Char('0'));
}

QString nvrChannel(const QString &nvrId, int channelNo)
{
    return orlun_data::formatChannelId(nvrId, channelNo);
}

// Cameras are numbered from 1 like their ids.
QString camera(int number)
{
    return orlun_data::formatChannelId(cameraId(number), 0);
}

QList<UserResInfo> grants(const QStringList &groups, const QStringList &channels)
{
    QList<UserResInfo> res;
    for (const QString &id : groups)
        res.append({id, UserResInfo::Group});
    for (const QString &id : channels)
        res.append({id, UserResInfo::Channel});
    return res;
}

} // namespace

bool DemoSeeder::isStoreEmpty()
{
    // The super user is not asked about: the host counts its name as taken
    // whether or not a record was ever written for it.
    const QString superUser = SystemWorker::_instance().getSuperUserName();
    return UserData::_instance().getAllUsers(superUser).isEmpty() &&
           DevsMgrData::_instance().getAllDevices().isEmpty();
}

DemoSeeder::Result DemoSeeder::seedIfEmpty()
{
    if (!isStoreEmpty())
        return AlreadyPopulated;

    m_failures.clear();
    seedConfiguration();
    if (m_largeNvrs > 0) {
        seedLargeSite();
        return m_failures.isEmpty() ? Seeded : Failed;
    }
    seedDevices();
    seedGroups();
    seedChannelStatus();
    seedAccounts();
    return m_failures.isEmpty() ? Seeded : Failed;
}

void DemoSeeder::seedConfiguration()
{
    SystemWorker &system = SystemWorker::_instance();
    // Written out even when it is the built-in default, so the store names its
    // super user explicitly.
    m_superUser =
        system.getSuperUserName().isEmpty() ? QStringLiteral("admin") : system.getSuperUserName();
    check(system.setSuperUserName(m_superUser), QStringLiteral("super user name"));
    check(system.setUserProject(SystemWorker::ProjectAll), QStringLiteral("product configuration"));
}

void DemoSeeder::seedDevices()
{
    QList<vms_sdk::DevInfo> devices;
    for (const Nvr &nvr : Nvrs) {
        vms_sdk::DevInfo info;
        info.devId = nvr.id;
        info.devName = QString::fromLatin1(nvr.name);
        info.devSn = QString::fromLatin1(nvr.serial);
        info.devType = 0;
        info.ip = QString::fromLatin1(nvr.address);
        info.port = 8000;
        info.channelCount = int(nvr.channels.size());
        info.brand = QStringLiteral("Orlun");
        devices.append(info);
    }
    for (int n = 1; n <= CameraCount; ++n) {
        vms_sdk::DevInfo info;
        info.devId = cameraId(n);
        info.devName = QString::fromLatin1(Cameras[n - 1]);
        info.devSn = QStringLiteral("IPC4MP-2305C%1").arg(1200 + n * 7, 5, 10, QLatin1Char('0'));
        info.devType = 1;
        info.ip = QStringLiteral("192.168.1.%1").arg(100 + n);
        // A few third-party cameras joined over ONVIF: the client shows their
        // brand where it would show a serial number.
        const bool onvif = n % 6 == 0;
        info.port = onvif ? 80 : 8000;
        info.snBrandKind1 = onvif ? 1 : 0;
        info.snBrandKind2 = onvif ? 3 : 0;
        info.brand = onvif ? QStringLiteral("ONVIF") : QStringLiteral("Orlun");
        info.channelCount = 1;
        devices.append(info);
    }
    DevsMgrData &data = DevsMgrData::_instance();
    check(data.addDevices(devices), QStringLiteral("devices"));

    // The catalog names channels "<device>-<n>"; a site gives them places.
    for (const Nvr &nvr : Nvrs) {
        for (int ch = 0; ch < int(nvr.channels.size()); ++ch) {
            check(data.renameChannel({nvr.id, ch}, QString::fromLatin1(nvr.channels[ch])),
                  QStringLiteral("channel name %1").arg(nvrChannel(nvr.id, ch)));
        }
    }
    for (int n = 1; n <= CameraCount; ++n) {
        check(data.renameChannel({cameraId(n), 0}, QString::fromLatin1(Cameras[n - 1])),
              QStringLiteral("channel name %1").arg(camera(n)));
    }
}

void DemoSeeder::seedGroups()
{
    addGroup(QStringLiteral("group-entrances"), QStringLiteral("Entrances"),
             {nvrChannel(HqNvr, 0), nvrChannel(HqNvr, 2), nvrChannel(HqNvr, 15),
              nvrChannel(CampusNvr, 0), nvrChannel(CampusNvr, 1), camera(1), camera(2),
              camera(12)});
    addGroup(QStringLiteral("group-parking"), QStringLiteral("Parking Lots"),
             {nvrChannel(CampusNvr, 2), nvrChannel(CampusNvr, 3), nvrChannel(CampusNvr, 4),
              camera(3), camera(4), camera(5), camera(6), camera(7)});
    addGroup(QStringLiteral("group-perimeter"), QStringLiteral("Perimeter"),
             {camera(8), camera(9), camera(10), camera(11), nvrChannel(CampusNvr, 12),
              nvrChannel(CampusNvr, 13), nvrChannel(WarehouseNvr, 12), nvrChannel(WarehouseNvr, 13),
              camera(24)});
    addGroup(QStringLiteral("group-servers"), QStringLiteral("Server Rooms"),
             {nvrChannel(HqNvr, 9), camera(14), camera(15), camera(16)});
}

void DemoSeeder::addGroup(const QString &groupId, const QString &name,
                          const QStringList &channelIds)
{
    DevsMgrData &data = DevsMgrData::_instance();
    check(data.addGroup(groupId, name), QStringLiteral("group %1").arg(groupId));
    for (const QString &channelId : channelIds) {
        check(data.addGroupChannel(groupId, orlun_data::parseChannelId(channelId)),
              QStringLiteral("member %1 of %2").arg(channelId, groupId));
    }
}

void DemoSeeder::seedChannelStatus()
{
    // Mostly online, with the dark corners a real site has: an NVR's yard
    // cameras down and a few single cameras unreachable.
    const QStringList offline = {
        nvrChannel(WarehouseNvr, 12),
        nvrChannel(WarehouseNvr, 13),
        nvrChannel(CampusNvr, 8),
        nvrChannel(CampusNvr, 14),
        camera(19),
        camera(21),
        camera(24),
    };
    DevsMgrData &data = DevsMgrData::_instance();
    const QList<vms_sdk::DevInfo> devices = data.getAllDevices();
    for (const vms_sdk::DevInfo &device : devices) {
        const QList<vms_sdk::DevChannelInfo> channels = data.getDevChannels(device.devId);
        for (const vms_sdk::DevChannelInfo &channel : channels) {
            const QString id =
                orlun_data::formatChannelId(channel.channelKey.first, channel.channelKey.second);
            const vms_sdk::ChannelStatus status =
                offline.contains(id) ? vms_sdk::ChannelOffline : vms_sdk::ChannelOnline;
            check(data.setChannelStatus(channel.channelKey, status),
                  QStringLiteral("status of %1").arg(id));
        }
    }
}

void DemoSeeder::seedAccounts()
{
    struct Account
    {
        const char *name;
        const char *password;
        const char *description;
        int functions;
        QList<UserResInfo> grants;
    };

    QStringList hqFront;
    for (int ch = 0; ch < 8; ++ch)
        hqFront.append(nvrChannel(HqNvr, ch));
    QStringList warehouse;
    for (int ch = 0; ch < 16; ++ch)
        warehouse.append(nvrChannel(WarehouseNvr, ch));

    const QStringList allGroups = {
        QStringLiteral("group-entrances"), QStringLiteral("group-parking"),
        QStringLiteral("group-perimeter"), QStringLiteral("group-servers")};
    const Account accounts[] = {
        {"operator1", "Desk7!Harbor24", "Control room operator, day shift",
         orlun_data::FunctionVideoPreview | orlun_data::FunctionVideoPlayback |
             orlun_data::FunctionCapture | orlun_data::FunctionLocalRecord |
             orlun_data::FunctionDownloadRecording | orlun_data::FunctionPtzControl |
             orlun_data::FunctionLog | orlun_data::FunctionTv | orlun_data::FunctionAlarmCenter |
             orlun_data::FunctionEMap,
         grants({QStringLiteral("group-entrances"), QStringLiteral("group-parking")}, hqFront)},
        {"guard", "Night#Patrol81", "Night patrol guard",
         orlun_data::FunctionVideoPreview | orlun_data::FunctionTalkSpeak |
             orlun_data::FunctionAudioMonitor | orlun_data::FunctionAlarmCenter |
             orlun_data::FunctionEMap | orlun_data::FunctionAccessControl,
         grants({QStringLiteral("group-entrances"), QStringLiteral("group-perimeter")}, {})},
        {"Lead", "Lead&Shift2024", "Security team lead", -1, grants(allGroups, warehouse)},
        {"bob", "Bob.Fixes.UPS9", "Maintenance contractor (temp)", orlun_data::FunctionVideoPreview,
         grants({}, {camera(14), camera(15), camera(16)})},
        {"auditor", "Audit2024!Q3", "External auditor, access pending", 0, {}},
    };

    UserData &users = UserData::_instance();
    // The super user's record holds every function and no grants; the user
    // list never shows it.
    if (users.getUserInfo(m_superUser).userName.isEmpty()) {
        UserInfo admin;
        admin.userName = m_superUser;
        admin.userPwd = QStringLiteral("Orlun@Admin1");
        admin.userType = orlun_data::SuperUserType;
        admin.functionPower = orlun_data::AllFunctions;
        admin.userDescribe = QStringLiteral("Super administrator");
        admin.superUserName = m_superUser;
        check(users.addUser(admin), QStringLiteral("account %1").arg(m_superUser));
    }

    for (const Account &account : accounts) {
        const QString name = QString::fromLatin1(account.name);
        check(users.setUserRes(name, account.grants), QStringLiteral("grants of %1").arg(name));
        UserInfo info;
        info.userName = name;
        info.userPwd = QString::fromLatin1(account.password);
        info.functionPower = account.functions;
        info.userDescribe = QString::fromLatin1(account.description);
        info.superUserName = m_superUser;
        check(users.addUser(info), QStringLiteral("account %1").arg(name));
    }
}

void DemoSeeder::setLargeSite(int nvrs, int accounts)
{
    m_largeNvrs = qMax(nvrs, 0);
    m_largeAccounts = qMax(accounts, 1);
}

void DemoSeeder::seedLargeSite()
{
    constexpr int ChannelsPerNvr = 16;
    constexpr int Groups = 4;
    constexpr int GroupSize = 1000;
    const auto nvrId = [](int n) {
        return QStringLiteral("nvr-%1").arg(n, 5, 10, QLatin1Char('0'));
    };

    QList<vms_sdk::DevInfo> devices;
    devices.reserve(m_largeNvrs);
    for (int n = 0; n < m_largeNvrs; ++n) {
        vms_sdk::DevInfo info;
        info.devId = nvrId(n);
        info.devName = QStringLiteral("NVR %1").arg(n + 1);
        info.devSn = QStringLiteral("NVR16-%1").arg(n + 1, 8, 10, QLatin1Char('0'));
        info.ip = QStringLiteral("10.%1.%2.%3").arg(n / 65536).arg(n / 256 % 256).arg(n % 256);
        info.port = 8000;
        info.channelCount = ChannelsPerNvr;
        info.brand = QStringLiteral("Orlun");
        devices.append(info);
    }
    DevsMgrData &data = DevsMgrData::_instance();
    check(data.addDevices(devices), QStringLiteral("devices"));

    // Groups spread over the whole site, as zones of a campus are.
    const int channels = m_largeNvrs * ChannelsPerNvr;
    const int groupSize = qMin(GroupSize, channels / Groups);
    for (int g = 0; g < Groups && groupSize > 0; ++g) {
        const QString groupId = QStringLiteral("zone-%1").arg(g + 1);
        check(data.addGroup(groupId, QStringLiteral("Zone %1").arg(g + 1)),
              QStringLiteral("group %1").arg(groupId));
        for (int i = 0; i < groupSize; ++i) {
            const int channel = (g + i * Groups) % channels;
            check(data.addGroupChannel(groupId,
                                       {nvrId(channel / ChannelsPerNvr), channel % ChannelsPerNvr}),
                  QStringLiteral("member %1 of %2").arg(channel).arg(groupId));
        }
    }

    UserData &users = UserData::_instance();
    QList<UserResInfo> everything;
    everything.reserve(channels);
    for (const vms_sdk::DevInfo &device : qAsConst(devices)) {
        for (int ch = 0; ch < ChannelsPerNvr; ++ch)
            everything.append({nvrChannel(device.devId, ch), UserResInfo::Channel});
    }
    for (int n = 0; n < m_largeAccounts; ++n) {
        UserInfo info;
        info.userName = n == 0 ? QStringLiteral("everything")
                               : QStringLiteral("operator%1").arg(n, 5, 10, QLatin1Char('0'));
        info.userPwd = QStringLiteral("Desk7!Harbor%1").arg(n % 100, 2, 10, QLatin1Char('0'));
        info.functionPower =
            n == 0 ? orlun_data::AllFunctions
                   : (orlun_data::FunctionVideoPreview | orlun_data::FunctionVideoPlayback);
        info.userDescribe =
            n == 0 ? QStringLiteral("Every channel of the site") : QStringLiteral("Operator");
        info.superUserName = m_superUser;
        if (n == 0)
            check(users.setUserRes(info.userName, everything),
                  QStringLiteral("grants of everything"));
        check(users.addUser(info), QStringLiteral("account %1").arg(info.userName));
    }
}

void DemoSeeder::check(bool ok, const QString &what)
{
    if (!ok)
        m_failures.append(what);
}
