// Finding out, before Qt starts, which window system to use and whether it
// can be reached: Qt's xcb and Wayland platforms end the process when their
// display is missing, and the program must report that instead.
#include <QDir>
#include <QLibraryInfo>

#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>
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

// The probe's connection stays open until Qt has made its own: an X server
// that loses its last client resets itself, and a connection made during
// the reset fails.
xcb_connection_t* probe = nullptr;

// Whether an X server answers on display and has the screen it names.
bool XServerAnswers(const std::string& display) {
    ReleaseDisplayProbe();
    if (display.empty()) return false;
    int screen = 0;
    xcb_connection_t* connection = xcb_connect(display.c_str(), &screen);
    if (xcb_connection_has_error(connection) != 0 || screen >= xcb_setup_roots_length(xcb_get_setup(connection))) {
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

std::string CannotConnect(const std::string& display) {
    return FormatText(texts::kCannotConnectDisplay, {std::string_view(display)});
}

// The compositor's name as its clients find it: wayland-0 unless set.
std::string WaylandName() {
    const std::string name = Env("WAYLAND_DISPLAY");
    return name.empty() ? "wayland-0" : name;
}

// Whether a compositor answers on its socket: an absolute path, or a name in
// XDG_RUNTIME_DIR.
bool CompositorAnswers() {
    std::string path = WaylandName();
    if (path.front() != '/') path = Env("XDG_RUNTIME_DIR").empty() ? std::string() : Env("XDG_RUNTIME_DIR") + "/" + path;
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (path.empty() || path.size() >= sizeof address.sun_path) return false;
    std::memcpy(address.sun_path, path.data(), path.size());
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) return false;
    const bool answers = ::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
    ::close(fd);
    return answers;
}

// Why the named platform cannot be used, or an empty string.
std::string PlatformProblem(std::string_view name, const std::string& display) {
    if (name == "xcb") {
        if (XServerAnswers(display)) return {};
        return display.empty() ? std::string(texts::kNoDisplay) : CannotConnect(display);
    }
    if (!PluginInstalled(std::string(name))) return FormatText(texts::kNoPlatformPlugin, {name});
    if (name.starts_with("wayland") && !CompositorAnswers()) return CannotConnect(WaylandName());
    // offscreen, minimal, vnc, eglfs...: Qt reports for itself.
    return {};
}

}  // namespace

void ReleaseDisplayProbe() noexcept {
    if (probe != nullptr) xcb_disconnect(probe);
    probe = nullptr;
}

std::string CheckDisplay() {
    const std::string display = Env("DISPLAY");
    const std::string platform = Env("QT_QPA_PLATFORM");
    if (platform.empty()) {
        // X first: on a Wayland desktop that is its X server, where the
        // window's place, the desktop's frame and a centred box all hold.
        if (XServerAnswers(display)) {
            setenv("QT_QPA_PLATFORM", "xcb", 1);
            return {};
        }
        const bool wayland = !Env("WAYLAND_DISPLAY").empty();
        if (wayland && PluginInstalled("wayland") && CompositorAnswers()) {
            setenv("QT_QPA_PLATFORM", "wayland", 1);
            return {};
        }
        if (!display.empty()) return CannotConnect(display);
        if (!wayland) return std::string(texts::kNoDisplayOrWayland);
        return PluginInstalled("wayland") ? CannotConnect(WaylandName()) : std::string(texts::kNoWaylandPlugin);
    }
    // The user's choice, a list such as "wayland;xcb" tried in order: Qt is
    // given the first one that works, so it never tries one that fails.
    std::string problem;
    std::string_view rest = platform;
    while (!rest.empty()) {
        const auto end = rest.find(';');
        const std::string_view entry = rest.substr(0, end);
        rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);
        if (entry.empty()) continue;
        const std::string reason = PlatformProblem(entry.substr(0, entry.find(':')), display);
        if (reason.empty()) {
            setenv("QT_QPA_PLATFORM", std::string(entry).c_str(), 1);
            return {};
        }
        if (problem.empty()) problem = reason;
    }
    return problem.empty() ? std::string(texts::kNoDisplay) : problem;
}

}  // namespace titles::framework::qt
