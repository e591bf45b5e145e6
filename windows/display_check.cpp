#include "display_check.h"

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string_view>

#include <xcb/xcb.h>

namespace windows {
namespace {

std::vector<std::string> SplitPlatforms(std::string_view list) {
    // "wayland;xcb" tries each in turn; "offscreen:fontengine=freetype" carries options.
    std::vector<std::string> names;
    while (!list.empty()) {
        const std::size_t end = list.find(';');
        const std::string_view entry = list.substr(0, end);
        const std::string_view name = entry.substr(0, entry.find(':'));
        if (!name.empty()) names.emplace_back(name);
        if (end == std::string_view::npos) break;
        list.remove_prefix(end + 1);
    }
    return names;
}

bool X11Reachable(const std::string& display) {
    struct Disconnect {
        void operator()(xcb_connection_t* connection) const { xcb_disconnect(connection); }
    };
    const std::unique_ptr<xcb_connection_t, Disconnect> connection(
        xcb_connect(display.empty() ? nullptr : display.c_str(), nullptr));
    return connection && xcb_connection_has_error(connection.get()) == 0;
}

bool WaylandReachable() {
    if (const char* socket = std::getenv("WAYLAND_SOCKET"); socket && *socket) return true;
    const char* name = std::getenv("WAYLAND_DISPLAY");
    std::filesystem::path path(name && *name ? name : "wayland-0");
    if (path.is_relative()) {
        const char* runtime = std::getenv("XDG_RUNTIME_DIR");
        if (!runtime || !*runtime) return false;
        path = std::filesystem::path(runtime) / path;
    }
    std::error_code error;
    return std::filesystem::is_socket(path, error);
}

}  // namespace

PlatformRequest RequestedPlatform(const std::vector<std::string>& args,
                                  const std::function<const char*(const char*)>& getEnv) {
    PlatformRequest request;
    std::string fromArgs;
    for (std::size_t i = 1; i < args.size(); ++i) {
        std::string_view arg = args[i];
        // Qt takes its options with one dash or two.
        if (arg.substr(0, 2) == "--") arg.remove_prefix(1);
        if (i + 1 < args.size() && arg == "-platform") fromArgs = args[++i];
        else if (i + 1 < args.size() && arg == "-display") request.x11Display = args[++i];
    }
    const char* fromEnv = getEnv("QT_QPA_PLATFORM");
    if (!fromArgs.empty()) request.platforms = SplitPlatforms(fromArgs);
    else if (fromEnv && *fromEnv) request.platforms = SplitPlatforms(fromEnv);
    if (request.platforms.empty()) request.platforms = {"xcb", "wayland"};
    return request;
}

bool PlatformUsable(const PlatformRequest& request, const std::function<bool(const std::string&)>& x11Reachable,
                    const std::function<bool()>& waylandReachable) {
    for (const std::string& name : request.platforms) {
        if (name == "xcb") {
            if (x11Reachable(request.x11Display)) return true;
        } else if (name.rfind("wayland", 0) == 0) {
            if (waylandReachable()) return true;
        } else {
            return true;
        }
    }
    return false;
}

bool CanShowWindows(int argc, char** argv) {
    const std::vector<std::string> args(argv, argv + argc);
    const auto getEnv = [](const char* name) -> const char* { return std::getenv(name); };
    return PlatformUsable(RequestedPlatform(args, getEnv), X11Reachable, WaylandReachable);
}

std::string NoDisplayMessage(const std::string& program) {
    return program +
           ": нет графического дисплея: DISPLAY (или WAYLAND_DISPLAY) не задан или недоступен; "
           "no graphical display: DISPLAY (or WAYLAND_DISPLAY) is not set or cannot be reached";
}

}  // namespace windows
