#pragma once

namespace orlun_data {

// What an account is; stored in UserInfo::userType.
enum UserType : int {
    SuperUserType = 1,
    OrdinaryUserType = 2,
};

// The client's functions. An account's function mask (UserInfo::functionPower)
// is the OR of the ids it is granted, or one of FunctionMask's values.
enum FunctionId : int {
    FunctionVideoPreview = 0x00000001,
    FunctionVideoPlayback = 0x00000002,
    FunctionCapture = 0x00000004,
    FunctionLocalRecord = 0x00000008,
    FunctionTalkSpeak = 0x00000010,
    FunctionPtzControl = 0x00000020,
    FunctionTv = 0x00000040,
    FunctionLog = 0x00000080,
    FunctionPersonManagement = 0x00000100,
    FunctionAttendanceManagement = 0x00000200,
    FunctionAlarmCenter = 0x00000400,
    FunctionAlarmConfigure = 0x00000800,
    FunctionParking = 0x00001000,
    FunctionAccessControl = 0x00002000,
    FunctionDataChart = 0x00004000,
    FunctionTemperatureMeasure = 0x00008000,
    FunctionTurningPlan = 0x00020000,
    FunctionLocalView = 0x00040000,
    FunctionPlateRecognition = 0x00080000,
    FunctionFaceRecognition = 0x00100000,
    FunctionEMap = 0x00200000,
    FunctionAudioMonitor = 0x00400000,
    FunctionDownloadRecording = 0x00800000,
};

enum FunctionMask : int {
    NoFunctions = 0,
    // Every bit set: every function, also those the product does not offer
    // today, so a later configuration needs no new grant.
    AllFunctions = -1,
};

} // namespace orlun_data
