#pragma once

#include <QList>
#include <QMetaType>
#include <QString>

#include "UserRights.h"

namespace orlun_data {

// One local account.
struct UserInfo
{
    QString userName;
    QString userPwd;
    int userType = OrdinaryUserType;  // a UserType
    int functionPower = AllFunctions; // a FunctionMask value or an OR of FunctionIds
    QString userDescribe;
    QString superUserName; // the super user who wrote the record
};

// One grant of an account.
struct UserResInfo
{
    enum ResType { Channel = 0, Group = 2 };

    QString resId; // channel id (resType 0) or group id (resType 2)
    int resType = Channel;

    bool operator==(const UserResInfo &other) const
    {
        return resId == other.resId && resType == other.resType;
    }
};

} // namespace orlun_data

Q_DECLARE_METATYPE(orlun_data::UserInfo)
Q_DECLARE_METATYPE(orlun_data::UserResInfo)
