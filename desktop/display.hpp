// Whether a window program can reach a display before Qt tries: Qt's X11
// platform ends the program (abort, core dump) when it cannot.
#pragma once

#include <string>

namespace desktop {

// Why no display could be opened ("DISPLAY is not set", "the X server of
// DISPLAY=:1 cannot be reached"), or "" when one may be: another platform
// is named (QT_QPA_PLATFORM, or -platform among the arguments), Wayland is
// there, or the X server answers. A remote X display is taken on trust.
std::string NoDisplay(int argc, char** argv);

// "PROGRAM: no display could be opened (WHY): run it on a desktop, ..."
std::string NoDisplayMessage(const std::string& program, const std::string& why);

}  // namespace desktop
