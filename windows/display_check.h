#pragma once
// Whether the windows have a screen to go to, decided before QApplication is made: without
// one, Qt would end the program with an abort and advice meant for packagers.
#include <functional>
#include <string>
#include <vector>

namespace windows {

// The platform plugins Qt will try, in order, and the X display asked for on the command line.
struct PlatformRequest {
    std::vector<std::string> platforms;
    std::string x11Display;  // empty: the one DISPLAY names
};

// What the command line (-platform, -display) and QT_QPA_PLATFORM ask for, as Qt reads them;
// neither: X11, or Wayland where it runs. getEnv returns nullptr for an unset variable.
PlatformRequest RequestedPlatform(const std::vector<std::string>& args,
                                  const std::function<const char*(const char*)>& getEnv);

// Whether one of the requested platforms can show windows. Only X11 and Wayland need a
// display; any other platform (offscreen, a framebuffer, VNC) is left to Qt.
bool PlatformUsable(const PlatformRequest& request, const std::function<bool(const std::string&)>& x11Reachable,
                    const std::function<bool()>& waylandReachable);

// The same for this process: the X server is asked for a connection, Wayland's socket looked for.
bool CanShowWindows(int argc, char** argv);

// The one line the program writes to standard error when there is no display.
std::string NoDisplayMessage(const std::string& program);

}  // namespace windows
