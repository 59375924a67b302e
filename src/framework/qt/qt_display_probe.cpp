// Finding out, before Qt starts, which window system to use and whether it
// can be reached (TDisplayProbe in qt_window_system.h).
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

#include "base/failure.h"
#include "framework/qt/qt_window_system.h"

namespace titles::framework::qt {
namespace {

std::string Env(const char* name) {
    const char* value = std::getenv(name);
    return value == nullptr ? std::string() : std::string(value);
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

[[noreturn]] void Refuse(TFailureKind kind, std::string name = {}) { throw TFailure(kind, std::move(name)); }

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

}  // namespace

TDisplayProbe::TDisplayProbe() { PickPlatform(); }

TDisplayProbe::~TDisplayProbe() {
    if (connection_ != nullptr) xcb_disconnect(connection_);
}

// Whether an X server answers on display and has the screen it names.
bool TDisplayProbe::XServerAnswers(const std::string& display) {
    if (connection_ != nullptr) xcb_disconnect(std::exchange(connection_, nullptr));
    if (display.empty()) return false;
    int screen = 0;
    xcb_connection_t* connection = xcb_connect(display.c_str(), &screen);
    if (xcb_connection_has_error(connection) != 0 || screen >= xcb_setup_roots_length(xcb_get_setup(connection))) {
        xcb_disconnect(connection);
        return false;
    }
    connection_ = connection;
    return true;
}

void TDisplayProbe::PickPlatform() {
    const std::string display = Env("DISPLAY");
    const std::string platform = Env("QT_QPA_PLATFORM");
    if (platform.empty()) {
        // X first: on a Wayland desktop that is its X server, where the
        // window's place, the desktop's frame and a centred box all hold.
        if (XServerAnswers(display)) {
            setenv("QT_QPA_PLATFORM", "xcb", 1);
            return;
        }
        const bool wayland = !Env("WAYLAND_DISPLAY").empty();
        if (wayland && PluginInstalled("wayland") && CompositorAnswers()) {
            setenv("QT_QPA_PLATFORM", "wayland", 1);
            return;
        }
        if (!display.empty()) Refuse(TFailureKind::DisplayUnreachable, display);
        if (!wayland) Refuse(TFailureKind::NoDisplayOrWayland);
        if (PluginInstalled("wayland")) Refuse(TFailureKind::DisplayUnreachable, WaylandName());
        Refuse(TFailureKind::NoWaylandPlugin);
    }
    // The user's choice, a list such as "wayland;xcb" tried in order: Qt is
    // given the first one that works, so it never tries one that fails. The
    // first entry's problem is the one reported.
    std::exception_ptr problem;
    std::string_view rest = platform;
    while (!rest.empty()) {
        const auto end = rest.find(';');
        const std::string_view entry = rest.substr(0, end);
        rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);
        if (entry.empty()) continue;
        try {
            const std::string_view name = entry.substr(0, entry.find(':'));
            if (name == "xcb") {
                if (!XServerAnswers(display)) Refuse(display.empty() ? TFailureKind::NoDisplay : TFailureKind::DisplayUnreachable, display);
            } else if (!PluginInstalled(std::string(name))) {
                Refuse(TFailureKind::NoPlatformPlugin, std::string(name));
            } else if (name.starts_with("wayland") && !CompositorAnswers()) {
                Refuse(TFailureKind::DisplayUnreachable, WaylandName());
            }
            // offscreen, minimal, vnc, eglfs...: Qt reports for itself.
            setenv("QT_QPA_PLATFORM", std::string(entry).c_str(), 1);
            return;
        } catch (const TFailure&) {
            if (!problem) problem = std::current_exception();
        }
    }
    if (problem) std::rethrow_exception(problem);
    Refuse(TFailureKind::NoDisplay);
}

}  // namespace titles::framework::qt
