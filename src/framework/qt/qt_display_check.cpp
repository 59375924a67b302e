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
#include "framework/qt/qt_internal.h"
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

// Whether a window-system plug-in whose file name begins with prefix is
// installed where Qt looks for it (libqxcb.so for "xcb", libqwayland-egl.so
// for "wayland-egl", the Wayland ones all under "wayland").
bool PluginInstalled(const std::string& prefix) {
    QStringList folders{QLibraryInfo::path(QLibraryInfo::PluginsPath) + QStringLiteral("/platforms")};
    const QString pluginPath = QString::fromLocal8Bit(Env("QT_QPA_PLATFORM_PLUGIN_PATH"));
    if (!pluginPath.isEmpty()) folders << pluginPath;
    for (const QString& folder : QString::fromLocal8Bit(Env("QT_PLUGIN_PATH")).split(QLatin1Char(':'), Qt::SkipEmptyParts)) {
        folders << folder + QStringLiteral("/platforms");
    }
    const QString pattern = QStringLiteral("libq") + QString::fromStdString(prefix) + QStringLiteral("*.so");
    for (const QString& folder : folders) {
        for (const QString& file : QDir(folder).entryList({pattern}, QDir::Files)) {
            const QString key = file.mid(4, file.size() - 7);  // without "libq" and ".so"
            if (prefix == "wayland" ? key.startsWith(QStringLiteral("wayland")) : key == QString::fromStdString(prefix)) {
                return true;
            }
        }
    }
    return false;
}

bool WaylandPluginInstalled() { return PluginInstalled("wayland"); }

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
        std::string unknown;  // the first named plug-in that is not installed
        while (!rest.empty()) {
            const auto end = rest.find(';');
            std::string_view name = rest.substr(0, end);
            rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);
            name = name.substr(0, name.find(':'));
            if (name == "xcb") {
                if (!display.empty() && XServerReachable(display)) return {};
            } else if (name.starts_with("wayland")) {
                if (Env("WAYLAND_DISPLAY").empty()) continue;
                if (PluginInstalled(std::string(name))) return {};
                if (unknown.empty()) unknown = name;
            } else if (!name.empty()) {
                // offscreen, minimal, vnc, eglfs...: Qt reports for itself,
                // once it has found the plug-in.
                if (PluginInstalled(std::string(name))) return {};
                if (unknown.empty()) unknown = name;
            }
        }
        if (!unknown.empty()) return FormatText(texts::kNoPlatformPlugin, {std::string_view(unknown)});
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
    if (display.empty()) {
        return std::string(Env("WAYLAND_DISPLAY").empty() ? texts::kNoDisplayOrWayland : texts::kNoWaylandPlugin);
    }
    return CannotConnect(display);
}

}  // namespace titles::framework::qt
