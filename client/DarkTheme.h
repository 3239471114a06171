#pragma once

class QApplication;

// The client's dark look: a Fusion palette for anything the style sheets do
// not reach, and the application style sheet that serves the style hooks the
// modules set as dynamic properties ("common_bt_style1" and friends).
class DarkTheme
{
public:
    static void apply(QApplication &app);
};
