#pragma once

#include <QString>

namespace orlun_data {

// Settings shared by the data and worker libraries. The super user's name
// lives here so that UserData can keep accounts from taking it without
// linking the worker library that owns it.
inline QString superUserNameKey()
{
    return QStringLiteral("system/superUserName");
}
inline QString defaultSuperUserName()
{
    return QStringLiteral("admin");
}
inline QString userProjectKey()
{
    return QStringLiteral("system/userProject");
}

} // namespace orlun_data
