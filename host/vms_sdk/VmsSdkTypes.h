#pragma once

#include <QList>
#include <QMetaType>
#include <QPair>
#include <QString>

// Record types of the device SDK, shared by the client's data, base and
// module libraries. Field order is part of the contract: callers rely on the
// position of the fields named in the comments.
namespace vms_sdk {

enum ChannelStatus {
    ChannelOffline = 0,
    ChannelOnline = 1,
    ChannelRecording = 2,
    ChannelAlarm = 3,
    ChannelUnknown = 4,
};

// One video channel of a device.
struct DevChannelInfo
{
    QString channelName;            // 1st: display name
    QPair<QString, int> channelKey; // 2nd: (device id, zero-based channel number)
    int channelType = 0;            // 0 video, 1 audio only
    ChannelStatus status = ChannelOffline;
};

// One device of the catalog.
struct DevInfo
{
    QString devId;         // 1st: unique id, empty for "no such device"
    QString devName;       // 2nd
    QString devSn;         // 3rd: serial number
    int devType = 0;       // 4th: 0 NVR/DVR (channels as children), 1 IP camera, 2 RTSP stream
    QString ip;            // 5th: address
    unsigned int port = 0; // 6th
    int snBrandKind1 = 0;  // how to show the serial number column: 0 serial, 1 brand
    int snBrandKind2 = 0;  // brand code used when snBrandKind1 asks for the brand
    int channelCount = 0;
    QString brand;
};

// One member channel of a channel group.
struct GroupChannelInfo
{
    QString groupId;     // 1st
    QString groupName;   // 2nd
    QString channelName; // 3rd
    QString devId;       // 4th: device id
    int channelNo = 0;   // 5th: zero-based channel number
};

// One channel group.
struct GroupInfo
{
    QString groupId;
    QString groupName;
};

} // namespace vms_sdk

Q_DECLARE_METATYPE(vms_sdk::ChannelStatus)
Q_DECLARE_METATYPE(vms_sdk::DevChannelInfo)
Q_DECLARE_METATYPE(vms_sdk::DevInfo)
Q_DECLARE_METATYPE(vms_sdk::GroupChannelInfo)
