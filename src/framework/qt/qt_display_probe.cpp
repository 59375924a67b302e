// Finding out, before Qt starts, which window system to use and whether it
// answers (TDisplayProbe in qt_window_system.h). A display that takes the
// connection and never answers holds its client for ever, Qt included: so
// the probe asks each display from a thread of its own and waits its answer
// time for the answer, leaving the thread to the silent display.
#include <QDir>
#include <QFile>
#include <QLibraryInfo>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <future>
#include <memory>
#include <thread>

#include <dlfcn.h>
#include <pthread.h>
#include <wayland-client.h>
#include <xcb/xcb.h>

#include "framework/qt/qt_window_system.h"

namespace titles::framework::qt {
namespace {

using TProblem = std::optional<TFailureKind>;

std::string Env(const char* name) {
    const char* value = std::getenv(name);
    return value == nullptr ? std::string() : std::string(value);
}

// The folders Qt looks for window-system plug-ins in: its own first, then
// those the environment adds.
QStringList PlatformFolders() {
    QStringList folders{QLibraryInfo::path(QLibraryInfo::PluginsPath) + QStringLiteral("/platforms")};
    if (const std::string path = Env("QT_QPA_PLATFORM_PLUGIN_PATH"); !path.empty()) folders << QString::fromLocal8Bit(path);
    for (const QString& folder : QString::fromLocal8Bit(Env("QT_PLUGIN_PATH")).split(QLatin1Char(':'), Qt::SkipEmptyParts)) {
        folders << folder + QStringLiteral("/platforms");
    }
    return folders;
}

// Whether the window-system plug-in name is installed where Qt looks for it
// (libqxcb.so for "xcb"; for "wayland", any of Qt's Wayland plug-ins).
bool PluginInstalled(const std::string& name) {
    const QStringList folders = PlatformFolders();
    const QString file = QStringLiteral("libq%1%2.so").arg(QString::fromStdString(name), name == "wayland" ? "*" : "");
    return std::any_of(folders.begin(), folders.end(),
                       [&](const QString& folder) { return !QDir(folder).entryList({file}, QDir::Files).isEmpty(); });
}

[[noreturn]] void Refuse(TFailureKind kind, std::string name = {}) { throw TFailure(kind, std::move(name)); }

// Runs ask in a thread of its own; Await gives its answer, or silence when
// none came within the answer time of the start.
template <typename T>
class TAnswer {
public:
    template <typename F>
    TAnswer(F ask, T silence, std::chrono::milliseconds answerTime)
        : silence_(std::move(silence)), deadline_(std::chrono::steady_clock::now() + answerTime) {
        auto task = std::make_shared<std::packaged_task<T()>>(std::move(ask));
        answer_ = task->get_future();
        std::thread([task] {
            // A display that closes the connection must not end the program
            // through a write to it: the write fails, and the answer says so.
            sigset_t pipe;
            sigemptyset(&pipe);
            sigaddset(&pipe, SIGPIPE);
            pthread_sigmask(SIG_BLOCK, &pipe, nullptr);
            (*task)();
        }).detach();
    }
    T Await() { return answer_.wait_until(deadline_) == std::future_status::ready ? answer_.get() : silence_; }

private:
    T silence_;
    std::chrono::steady_clock::time_point deadline_;
    std::future<T> answer_;
};

// An X connection, and why there is none.
struct TXAnswer {
    xcb_connection_t* connection = nullptr;
    TProblem problem;
};

// Connects to the X server of display, which must have the screen it names.
TXAnswer AskX(const std::string& display) {
    int screen = 0;
    xcb_connection_t* connection = xcb_connect(display.c_str(), &screen);
    const int error = xcb_connection_has_error(connection);
    if (error == 0 && screen < xcb_setup_roots_length(xcb_get_setup(connection))) return {connection, {}};
    xcb_disconnect(connection);
    // A reply that is no X setup at all, or a connection that could not be made.
    return {nullptr, error == XCB_CONN_CLOSED_PARSE_ERR ? TFailureKind::DisplayBadAnswer : TFailureKind::DisplayUnreachable};
}

// What the compositor offers: whether it frames windows itself, and its
// outputs' largest scale.
struct TCompositorAnswer {
    TProblem problem;
    bool serverDecorations = false;
    int scale = 1;
};

// Asks the compositor, as a client starting up does, for its globals, and
// binds each output to learn its scale (sent from wl_output's version 2 on).
TCompositorAnswer AskCompositor() {
    TCompositorAnswer answer;
    wl_display* display = wl_display_connect(nullptr);
    if (display == nullptr) return {TFailureKind::DisplayUnreachable};
    static const wl_output_listener output{
        [](void*, wl_output*, int32_t, int32_t, int32_t, int32_t, int32_t, const char*, const char*, int32_t) {},
        [](void*, wl_output*, uint32_t, int32_t, int32_t, int32_t) {}, [](void*, wl_output*) {},
        [](void* data, wl_output*, int32_t scale) {
            auto* facts = static_cast<TCompositorAnswer*>(data);
            facts->scale = std::max(facts->scale, static_cast<int>(scale));
        },
        [](void*, wl_output*, const char*) {}, [](void*, wl_output*, const char*) {}};
    static const wl_registry_listener registry{
        [](void* data, wl_registry* globals, uint32_t name, const char* interface, uint32_t version) {
            auto* facts = static_cast<TCompositorAnswer*>(data);
            const std::string_view global(interface);
            facts->serverDecorations = facts->serverDecorations || global == "zxdg_decoration_manager_v1";
            if (global != "wl_output" || version < 2) return;
            auto* bound = static_cast<wl_output*>(wl_registry_bind(globals, name, &wl_output_interface, 2));
            wl_output_add_listener(bound, &output, facts);
        },
        [](void*, wl_registry*, uint32_t) {}};
    wl_registry_add_listener(wl_display_get_registry(display), &registry, &answer);
    // The globals, then the outputs' events. A connection the compositor
    // closes has no answer; any other error is one (a protocol error).
    if (wl_display_roundtrip(display) < 0 || wl_display_roundtrip(display) < 0) {
        const int error = wl_display_get_error(display);
        answer.problem = error == EPIPE || error == ECONNRESET ? TFailureKind::DisplayNoAnswer
                                                               : TFailureKind::DisplayBadAnswer;
    }
    wl_display_disconnect(display);
    return answer;
}

// The compositor's name as its clients find it: wayland-0 unless set.
std::string WaylandName() {
    const std::string name = Env("WAYLAND_DISPLAY");
    return name.empty() ? "wayland-0" : name;
}

}  // namespace

TDisplayProbe::TDisplayProbe(std::chrono::milliseconds answerTime) : answerTime_(answerTime) { PickPlatform(); }

TDisplayProbe::~TDisplayProbe() {
    if (connection_ != nullptr) xcb_disconnect(connection_);
}

TProblem TDisplayProbe::XServerAnswers(const std::string& display, bool loadPlugin) {
    if (connection_ != nullptr) xcb_disconnect(std::exchange(connection_, nullptr));
    if (display.empty()) return TFailureKind::NoDisplay;
    TAnswer<TXAnswer> asked([display] { return AskX(display); }, {nullptr, TFailureKind::DisplayNoAnswer}, answerTime_);
    // Qt's X plug-in is loaded while the server answers, rather than after:
    // Qt finds it loaded (start-up is about 4% shorter). Only Qt's own
    // folder is sure to be where Qt takes it from.
    if (loadPlugin) {
        const QStringList folders = PlatformFolders();
        const QByteArray plugin = QFile::encodeName(folders.front() + QStringLiteral("/libqxcb.so"));
        if (folders.size() == 1) dlopen(plugin.constData(), RTLD_LAZY | RTLD_LOCAL);
    }
    const TXAnswer answer = asked.Await();
    connection_ = answer.connection;
    return answer.problem;
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

void TDisplayProbe::PickPlatform() {
    const std::string display = Env("DISPLAY");
    const std::string platform = Env("QT_QPA_PLATFORM");
    const auto askCompositor = [this] {
        return TAnswer<TCompositorAnswer>(&AskCompositor, {TFailureKind::DisplayNoAnswer}, answerTime_);
    };
    if (platform.empty()) {
        // Both answer: native Wayland where the compositor frames its
        // windows itself, or where it scales its outputs while X draws at
        // 96 dpi (the compositor would enlarge, and blur, an X window); X
        // elsewhere, where the window's place holds and the desktop frames
        // it. Both are asked at once, so that neither waits on the other.
        const bool wayland = !Env("WAYLAND_DISPLAY").empty() && PluginInstalled("wayland");
        std::optional<TAnswer<TCompositorAnswer>> asked;
        if (wayland) asked.emplace(askCompositor());
        const TProblem x = XServerAnswers(display, !wayland);
        const TCompositorAnswer compositor = asked ? asked->Await() : TCompositorAnswer{TFailureKind::NoWaylandPlugin};
        if (!x && (compositor.problem || (!compositor.serverDecorations && (compositor.scale <= 1 || XDotsPerInch() > 96)))) {
            setenv("QT_QPA_PLATFORM", "xcb", 1);
            return;
        }
        if (!compositor.problem) {
            setenv("QT_QPA_PLATFORM", "wayland", 1);
            return;
        }
        if (!display.empty()) Refuse(*x, display);
        if (Env("WAYLAND_DISPLAY").empty()) Refuse(TFailureKind::NoDisplayOrWayland);
        Refuse(*compositor.problem, WaylandName());
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
                if (const TProblem x = XServerAnswers(display, true)) Refuse(*x, display);
            } else if (!PluginInstalled(name)) {
                Refuse(TFailureKind::NoPlatformPlugin, name);
            } else if (name.starts_with("wayland")) {
                if (const TProblem compositor = askCompositor().Await().problem) Refuse(*compositor, WaylandName());
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
