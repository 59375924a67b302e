// Finding out, before Qt starts, whether its window system can be reached:
// Qt's xcb platform ends the process when the X server is missing, and the
// program must report that instead.
#include <QDir>
#include <QLibraryInfo>

#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

#include <xcb/xcb.h>

#include "base/texts.h"
#include "framework/qt/qt_backend.h"
#include "base/failure.h"

namespace titles::framework::qt {
namespace {

std::string Env(const char* name) {
    const char* value = std::getenv(name);
    return value == nullptr ? std::string() : std::string(value);
}

// The value of a Qt command-line option such as -platform or -display.
std::string Option(int argc, char** argv, std::string_view name) {
    for (int i = 1; i + 1 < argc; ++i) {
        if (argv[i] != nullptr && (name == argv[i] || (argv[i][0] == '-' && name == argv[i] + 1))) {
            return argv[i + 1] == nullptr ? std::string() : std::string(argv[i + 1]);
        }
    }
    return {};
}

// The probe's connection stays open until Qt has made its own: an X server
// that loses its last client resets itself, and a connection made during
// the reset fails.
xcb_connection_t* probe = nullptr;

bool XServerReachable(const std::string& display) {
    ReleaseDisplayProbe();
    xcb_connection_t* connection = xcb_connect(display.empty() ? nullptr : display.c_str(), nullptr);
    if (xcb_connection_has_error(connection) != 0) {
        xcb_disconnect(connection);
        return false;
    }
    probe = connection;
    return true;
}

bool WaylandPluginInstalled() {
    const QDir platforms(QLibraryInfo::path(QLibraryInfo::PluginsPath) + QStringLiteral("/platforms"));
    return !platforms.entryList({QStringLiteral("libqwayland*")}, QDir::Files).isEmpty();
}

std::string CannotConnect(const std::string& display) {
    return FormatText(texts::kCannotConnectDisplay, {std::string_view(display)});
}

}  // namespace

void ReleaseDisplayProbe() noexcept {
    if (probe != nullptr) xcb_disconnect(probe);
    probe = nullptr;
}

std::string CheckDisplay(int argc, char** argv) {
    std::string display = Option(argc, argv, "-display");
    if (display.empty()) display = Env("DISPLAY");
    std::string platform = Option(argc, argv, "-platform");
    if (platform.empty()) platform = Env("QT_QPA_PLATFORM");

    if (!platform.empty()) {
        // A list such as "wayland;xcb" is tried in order by Qt; the first
        // usable one decides.
        std::string_view rest = platform;
        while (!rest.empty()) {
            const auto end = rest.find(';');
            std::string_view name = rest.substr(0, end);
            rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);
            name = name.substr(0, name.find(':'));
            if (name == "xcb") {
                if (!display.empty() && XServerReachable(display)) return {};
            } else if (name.starts_with("wayland")) {
                if (!Env("WAYLAND_DISPLAY").empty()) return {};
            } else if (!name.empty()) {
                return {};  // offscreen, minimal, vnc, eglfs...: Qt reports for itself
            }
        }
        return display.empty() ? std::string(texts::kNoDisplay)
                               : CannotConnect(display);
    }

    if (!display.empty() && XServerReachable(display)) return {};
    if (!Env("WAYLAND_DISPLAY").empty() && WaylandPluginInstalled()) {
        // No X server, but a Wayland compositor: Qt is told to use it rather
        // than fail on X.
        setenv("QT_QPA_PLATFORM", "wayland", 1);
        return {};
    }
    if (display.empty()) return std::string(texts::kNoDisplayOrWayland);
    return CannotConnect(display);
}

}  // namespace titles::framework::qt
