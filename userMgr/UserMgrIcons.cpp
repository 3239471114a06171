#include "UserMgrIcons.h"

#include <array>

namespace orlun_userMgr {

namespace {

constexpr int IconCount = 4;

// Resting and highlighted image of each icon, by UserMgrIcon.
constexpr const char *IconPaths[IconCount][2] = {
    {":/userMgr_images/images/hide_pwd_n.png", ":/userMgr_images/images/hide_pwd_h.png"},
    {":/userMgr_images/images/show_pwd_n.png", ":/userMgr_images/images/show_pwd_h.png"},
    {":/userMgr_images/images/add_gesture_n.png", ":/userMgr_images/images/add_gesture_h.png"},
    {":/userMgr_images/images/delete_gesture_n.png",
     ":/userMgr_images/images/delete_gesture_h.png"},
};

} // namespace

const QIcon &userMgrIcon(UserMgrIcon icon, bool highlighted)
{
    static std::array<std::array<QIcon, 2>, IconCount> icons;
    const int index = static_cast<int>(icon);
    const int variant = highlighted ? 1 : 0;
    QIcon &cached = icons[index][variant];
    if (cached.isNull())
        cached = QIcon(QLatin1String(IconPaths[index][variant]));
    return cached;
}

} // namespace orlun_userMgr
