#pragma once

#include <QIcon>

namespace orlun_userMgr {

// The password field's action icons, each a resting and a highlighted image of
// the module's resources.
enum class UserMgrIcon { HidePwd, ShowPwd, AddGesture, DeleteGesture };

// The one icon of the given image, shared by every field: a QIcon made from
// a file name anew each time leaves an icon engine and cached pixmaps behind.
const QIcon &userMgrIcon(UserMgrIcon icon, bool highlighted);

} // namespace orlun_userMgr
