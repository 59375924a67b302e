// Finding out, before Qt starts, which window system to use and whether it
// answers (TDisplayProbe in qt_window_system.h). Qt waits for ever on a
// display that takes the connection and never answers, and cannot be told
// to stop: so the probe opens each display itself first, as a client does,
// and gives it kAnswerTime to answer in its own protocol.
#include <QDir>
#include <QLibraryInfo>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include <netdb.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>
#include <xcb/xcb.h>

#include "base/failure.h"
#include "framework/qt/qt_window_system.h"

namespace titles::framework::qt {
namespace {

using TClock = std::chrono::steady_clock;
using TProblem = std::optional<TFailureKind>;
constexpr auto kAnswerTime = std::chrono::seconds(5);

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

// A connection to a display's socket on which no wait lasts past
// kAnswerTime from its opening: a display that takes longer does not answer.
class TSocket {
public:
    explicit TSocket(int family) : fd_(::socket(family, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0)) {}
    TSocket(const TSocket&) = delete;
    TSocket& operator=(const TSocket&) = delete;
    ~TSocket() {
        if (fd_ >= 0) ::close(fd_);
    }

    TProblem Connect(const void* address, std::size_t size) {
        if (fd_ < 0) return TFailureKind::DisplayUnreachable;
        if (::connect(fd_, static_cast<const sockaddr*>(address), static_cast<socklen_t>(size)) == 0) return {};
        // A local socket whose queue is full is never taken: nothing accepts on it.
        if (errno == EAGAIN) return TFailureKind::DisplayNoAnswer;
        if (errno != EINPROGRESS) return TFailureKind::DisplayUnreachable;
        if (!Wait(POLLOUT)) return TFailureKind::DisplayNoAnswer;
        int error = 0;
        socklen_t length = sizeof error;
        return ::getsockopt(fd_, SOL_SOCKET, SO_ERROR, &error, &length) == 0 && error == 0
                   ? TProblem() : TFailureKind::DisplayUnreachable;
    }
    bool Send(const void* data, std::size_t size) {
        return ::send(fd_, data, size, MSG_NOSIGNAL) == static_cast<ssize_t>(size);
    }
    // Exactly size bytes, or false when the display closes or falls silent first.
    bool Receive(void* data, std::size_t size) {
        for (auto* bytes = static_cast<char*>(data); size > 0;) {
            if (!Wait(POLLIN)) return false;
            const ssize_t got = ::recv(fd_, bytes, size, 0);
            if (got == 0 || (got < 0 && errno != EINTR && errno != EAGAIN)) return false;
            if (got > 0) bytes += got, size -= static_cast<std::size_t>(got);
        }
        return true;
    }

private:
    bool Wait(short events) {
        for (;;) {
            const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline_ - TClock::now()).count();
            pollfd watched{fd_, events, 0};
            const int ready = left > 0 ? ::poll(&watched, 1, static_cast<int>(left)) : 0;
            if (ready != -1 || errno != EINTR) return ready > 0;
        }
    }

    int fd_;
    TClock::time_point deadline_ = TClock::now() + kAnswerTime;
};

// The opening of an X connection, without authorization, which every X
// server answers: failed, success or authenticate, then (but for
// authenticate) its protocol's version 11.
TProblem XHandshake(std::unique_ptr<TSocket>& open, int family, const void* address, std::size_t size) {
    open = std::make_unique<TSocket>(family);
    TSocket& socket = *open;
    if (const TProblem problem = socket.Connect(address, size)) return problem;
    static constexpr unsigned char kSetup[12] = {'l', 0, 11, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    unsigned char reply[8];
    if (!socket.Send(kSetup, sizeof kSetup) || !socket.Receive(reply, sizeof reply)) return TFailureKind::DisplayNoAnswer;
    const bool known = reply[0] == 2 || (reply[0] <= 1 && reply[2] == 11 && reply[3] == 0);
    return known ? TProblem() : TFailureKind::DisplayBadAnswer;
}

// Whether the X server of display answers where its clients reach it: a
// local display by its abstract socket, then its socket file; any other
// host by TCP on port 6000 plus the display's number. The connection stays
// open in open.
TProblem XAnswers(const std::string& display, std::unique_ptr<TSocket>& open) {
    char* host = nullptr;
    int number = 0;
    int screen = 0;
    if (xcb_parse_display(display.c_str(), &host, &number, &screen) == 0) return TFailureKind::DisplayUnreachable;
    const std::string hostName(host);
    std::free(host);
    TProblem problem = TFailureKind::DisplayUnreachable;
    if (hostName.empty() || hostName == "unix") {
        const std::string path = "/tmp/.X11-unix/X" + std::to_string(number);
        for (const std::size_t abstract : {1, 0}) {
            sockaddr_un address{};
            address.sun_family = AF_UNIX;
            std::memcpy(address.sun_path + abstract, path.data(), path.size());
            problem = XHandshake(open, AF_UNIX, &address, abstract ? offsetof(sockaddr_un, sun_path) + 1 + path.size() : sizeof address);
            if (problem != TFailureKind::DisplayUnreachable) break;
        }
        return problem;
    }
    addrinfo hints{};
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    if (::getaddrinfo(hostName.c_str(), std::to_string(6000 + number).c_str(), &hints, &found) != 0) return problem;
    for (const addrinfo* a = found; a != nullptr && problem == TFailureKind::DisplayUnreachable; a = a->ai_next) {
        problem = XHandshake(open, a->ai_family, a->ai_addr, a->ai_addrlen);
    }
    ::freeaddrinfo(found);
    return problem;
}

// The compositor's name as its clients find it: wayland-0 unless set.
std::string WaylandName() {
    const std::string name = Env("WAYLAND_DISPLAY");
    return name.empty() ? "wayland-0" : name;
}

// Reads events up to the one of the callback done, handing each other one
// to take (false: not this compositor's protocol).
template <typename F>
TProblem ReadUntilDone(TSocket& socket, std::uint32_t done, F&& take) {
    for (;;) {
        std::uint32_t header[2];
        if (!socket.Receive(header, sizeof header)) return TFailureKind::DisplayNoAnswer;
        const std::uint32_t size = header[1] >> 16;
        if (size < 8 || size % 4 != 0 || size > 4096) return TFailureKind::DisplayBadAnswer;
        std::vector<std::uint32_t> args((size - 8) / 4);
        if (!socket.Receive(args.data(), size - 8)) return TFailureKind::DisplayNoAnswer;
        const std::uint32_t object = header[0], opcode = header[1] & 0xFFFF;
        if (object == done && opcode == 0) return {};
        if (!(object == 1 && opcode == 1) && !take(object, opcode, args)) return TFailureKind::DisplayBadAnswer;
    }
}

}  // namespace

TDisplayProbe::TDisplayProbe() { PickPlatform(); }

TDisplayProbe::~TDisplayProbe() {
    if (connection_ != nullptr) xcb_disconnect(connection_);
}

// Whether an X server answers on display and has the screen it names; the
// connection stays open.
TProblem TDisplayProbe::XServerAnswers(const std::string& display) {
    if (connection_ != nullptr) xcb_disconnect(std::exchange(connection_, nullptr));
    if (display.empty()) return TFailureKind::NoDisplay;
    // Its connection stays open until xcb has its own (see TDisplayProbe).
    std::unique_ptr<TSocket> handshake;
    if (const TProblem problem = XAnswers(display, handshake)) return problem;
    int screen = 0;
    xcb_connection_t* connection = xcb_connect(display.c_str(), &screen);
    if (xcb_connection_has_error(connection) != 0 || screen >= xcb_setup_roots_length(xcb_get_setup(connection))) {
        xcb_disconnect(connection);
        return TFailureKind::DisplayUnreachable;
    }
    connection_ = connection;
    return {};
}

// The dots per inch the X desktop sets for its programs (Xft.dpi), 96 where
// it sets none.
int TDisplayProbe::XDotsPerInch() {
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(connection_)).data->root;
    xcb_get_property_reply_t* reply = xcb_get_property_reply(
        connection_, xcb_get_property(connection_, 0, root, XCB_ATOM_RESOURCE_MANAGER, XCB_ATOM_STRING, 0, 1 << 16), nullptr);
    if (reply == nullptr) return 96;
    const std::string resources(static_cast<const char*>(xcb_get_property_value(reply)),
                                static_cast<std::size_t>(xcb_get_property_value_length(reply)));
    std::free(reply);
    const std::size_t at = resources.find("Xft.dpi:");
    return at == std::string::npos ? 96 : std::atoi(resources.c_str() + at + 8);
}

// Asks the compositor, as a client starting up does, for its globals, and
// binds each output to learn its scale. The compositor's socket is a name
// in XDG_RUNTIME_DIR or an absolute path.
TProblem TDisplayProbe::AskCompositor() {
    std::string path = WaylandName();
    if (path.front() != '/') path = Env("XDG_RUNTIME_DIR").empty() ? std::string() : Env("XDG_RUNTIME_DIR") + "/" + path;
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (path.empty() || path.size() >= sizeof address.sun_path) return TFailureKind::DisplayUnreachable;
    std::memcpy(address.sun_path, path.data(), path.size());
    TSocket socket(AF_UNIX);
    if (const TProblem problem = socket.Connect(&address, sizeof address)) return problem;

    // Requests are the object, the size and opcode, the arguments: here
    // wl_display.get_registry, then wl_display.sync.
    enum : std::uint32_t { kDisplay = 1, kRegistry = 2, kFirstDone = 3 };
    std::vector<std::uint32_t> requests{kDisplay, 12 << 16 | 1, kRegistry, kDisplay, 12 << 16, kFirstDone};
    std::vector<std::uint32_t> outputs;
    std::uint32_t id = kFirstDone;  // the last object made
    // The registry's globals (more may come at any time, and go), then the
    // bound outputs' events, of which wl_output.scale counts.
    const auto take = [&](std::uint32_t object, std::uint32_t opcode, const std::vector<std::uint32_t>& args) {
        if (object > kFirstDone && object <= id) {
            if (opcode == 3 && !args.empty()) scale_ = std::max(scale_, static_cast<int>(args[0]));
            return true;
        }
        if (object != kRegistry || opcode > 1 || args.empty()) return false;
        if (opcode == 1) return true;
        const std::size_t words = args.size() < 3 ? 0 : (std::size_t{args[1]} + 3) / 4;
        if (words == 0 || 2 + words >= args.size()) return false;
        const std::string_view name(reinterpret_cast<const char*>(&args[2]), args[1] - 1);
        serverDecorations_ = serverDecorations_ || name == "zxdg_decoration_manager_v1";
        // wl_output: its scale is sent from version 2 on.
        if (name == "wl_output" && args[2 + words] >= 2 && id == kFirstDone) outputs.push_back(args[0]);
        return true;
    };
    if (!socket.Send(requests.data(), 4 * requests.size())) return TFailureKind::DisplayNoAnswer;
    if (const TProblem problem = ReadUntilDone(socket, kFirstDone, take)) return problem;

    requests.clear();
    for (const std::uint32_t name : outputs) {  // wl_registry.bind(name, "wl_output", 2, id)
        requests.insert(requests.end(), {kRegistry, 36 << 16, name, 10, 0, 0, 0, 2, ++id});
        std::memcpy(&requests[requests.size() - 5], "wl_output", 10);
    }
    requests.insert(requests.end(), {kDisplay, 12 << 16, ++id});
    if (!socket.Send(requests.data(), 4 * requests.size())) return TFailureKind::DisplayNoAnswer;
    return ReadUntilDone(socket, id, take);
}

void TDisplayProbe::PickPlatform() {
    const std::string display = Env("DISPLAY");
    const std::string platform = Env("QT_QPA_PLATFORM");
    if (platform.empty()) {
        // Both answer: native Wayland where the compositor frames its
        // windows itself, or where it scales its outputs while X draws at
        // 96 dpi (the compositor would enlarge, and blur, an X window); X
        // elsewhere, where the window's place holds and the desktop frames it.
        const TProblem x = XServerAnswers(display);
        const bool wayland = !Env("WAYLAND_DISPLAY").empty() && PluginInstalled("wayland");
        const TProblem compositor = wayland ? AskCompositor() : TFailureKind::NoWaylandPlugin;
        if (!x && (compositor || (!serverDecorations_ && (scale_ <= 1 || XDotsPerInch() > 96)))) {
            setenv("QT_QPA_PLATFORM", "xcb", 1);
            return;
        }
        if (!compositor) {
            setenv("QT_QPA_PLATFORM", "wayland", 1);
            return;
        }
        if (!display.empty()) Refuse(*x, display);
        if (Env("WAYLAND_DISPLAY").empty()) Refuse(TFailureKind::NoDisplayOrWayland);
        Refuse(*compositor, WaylandName());
    }
    // The user's choice, a list such as "wayland;xcb" tried in order, its
    // names matched in any case: Qt is given the first one that works, so it
    // never tries one that fails. The first entry's problem is the one reported.
    std::exception_ptr problem;
    for (std::string_view rest = platform; !rest.empty();) {
        const std::string_view entry = rest.substr(0, rest.find(';'));
        rest.remove_prefix(std::min(rest.size(), entry.size() + 1));
        std::string name(entry.substr(0, entry.find(':')));
        for (char& c : name) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
        if (name.empty()) continue;
        try {
            if (name == "xcb") {
                if (const TProblem x = XServerAnswers(display)) Refuse(*x, display);
            } else if (!PluginInstalled(name)) {
                Refuse(TFailureKind::NoPlatformPlugin, name);
            } else if (name.starts_with("wayland")) {
                if (const TProblem compositor = AskCompositor()) Refuse(*compositor, WaylandName());
            } else if (name != "offscreen") {
                // eglfs, linuxfb, vnc, minimal...: the screen's one window, a
                // remote one, or none. offscreen draws for the tests alone.
                Refuse(TFailureKind::UnsupportedPlatform, name);
            }
            setenv("QT_QPA_PLATFORM", (name + std::string(entry.substr(name.size()))).c_str(), 1);
            return;
        } catch (const TFailure&) {
            if (!problem) problem = std::current_exception();
        }
    }
    if (problem) std::rethrow_exception(problem);
    Refuse(TFailureKind::NoPlatformNamed, platform);
}

}  // namespace titles::framework::qt
