#pragma once

#include <QIcon>
#include <QPixmap>

namespace orlun_base {

// The library's own icons, drawn from the SVG files of its resources so that
// it needs no image of the application.
enum class BaseIcon {
    Question, // a question's mark in the message box
    Warning,  // a warning's mark in the message box
    Close,    // the message box's title-bar close button
    Search,   // the search box's magnifier
    Edit,     // an operation cell's edit button, unless the application has one
    Delete,   // an operation cell's delete button, unless the application has one
    // A channel's status in the device tree, coloured as its status text, in
    // the order of vms_sdk::ChannelStatus.
    StatusOffline,
    StatusOnline,
    StatusRecording,
    StatusAlarm,
    StatusUnknown,
};

// The icon at its design size for a screen of the given pixel ratio; null
// when its image cannot be read. Rendered once per ratio and then shared.
QPixmap basePixmap(BaseIcon icon, qreal dpr);
QIcon baseIcon(BaseIcon icon, qreal dpr);

} // namespace orlun_base
