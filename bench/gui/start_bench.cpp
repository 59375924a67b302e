// Start-up of the real titles program on the X server in $DISPLAY: the time
// from launching it to its window showing its first phrase (mapped, and its
// pixels no longer one colour), and its resident memory once started. Each
// run ends with a close request, as a window manager sends it. Given a
// second program (the yardstick: a bare Qt program showing one label), the
// two are launched in turn, so that both see the machine alike.
//
//   titles_bench_gui_start TITLES WORKING-DIRECTORY RUNS [YARDSTICK]
//   prints per launch: program=0|1 start_us=N rss_kb=N exit=N
#include <xcb/xcb.h>

#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <memory>
#include <set>
#include <string>
#include <thread>

namespace {

using Clock = std::chrono::steady_clock;

template <typename T>
using Reply = std::unique_ptr<T, decltype(&std::free)>;

xcb_atom_t Atom(xcb_connection_t* c, const char* name) {
    Reply<xcb_intern_atom_reply_t> r(
        xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, static_cast<std::uint16_t>(std::strlen(name)), name), nullptr),
        &std::free);
    return r ? r->atom : xcb_atom_t{XCB_ATOM_NONE};
}

long ResidentKb(pid_t pid) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmRSS:", 0) == 0) return std::strtol(line.c_str() + 6, nullptr, 10);
    }
    return -1;
}

// Whether the window's pixels hold more than one colour: its text is drawn.
bool Drawn(xcb_connection_t* c, xcb_window_t window) {
    Reply<xcb_get_geometry_reply_t> g(xcb_get_geometry_reply(c, xcb_get_geometry(c, window), nullptr), &std::free);
    if (!g || g->width == 0 || g->height == 0) return false;
    Reply<xcb_get_image_reply_t> image(
        xcb_get_image_reply(c, xcb_get_image(c, XCB_IMAGE_FORMAT_Z_PIXMAP, window, 0, 0, g->width, g->height, ~0u),
                            nullptr),
        &std::free);
    if (!image) return false;
    const auto* pixels = reinterpret_cast<const std::uint32_t*>(xcb_get_image_data(image.get()));
    const int count = xcb_get_image_data_length(image.get()) / 4;
    for (int i = 1; i < count; ++i) {
        if ((pixels[i] & 0xFFFFFF) != (pixels[0] & 0xFFFFFF)) return true;
    }
    return false;
}

// Launches one program and times it until its window shows drawn pixels.
bool Launch(xcb_connection_t* c, int index, const char* program, const char* directory, xcb_atom_t protocols,
            xcb_atom_t deleteWindow) {
    const auto start = Clock::now();
    const pid_t pid = fork();
    if (pid == 0) {
        if (chdir(directory) != 0) _exit(127);
        execl(program, program, static_cast<char*>(nullptr));
        _exit(127);
    }
    xcb_window_t window = XCB_NONE;
    const auto deadline = start + std::chrono::seconds(10);
    while (window == XCB_NONE && Clock::now() < deadline) {
        Reply<xcb_generic_event_t> e(xcb_poll_for_event(c), &std::free);
        if (!e) {
            std::this_thread::sleep_for(std::chrono::microseconds(200));
            continue;
        }
        if ((e->response_type & 0x7F) == XCB_MAP_NOTIFY) {
            window = reinterpret_cast<xcb_map_notify_event_t*>(e.get())->window;
        }
    }
    while (window != XCB_NONE && !Drawn(c, window) && Clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::microseconds(500));
    }
    const auto shown = Clock::now();
    if (window == XCB_NONE || shown >= deadline) {
        std::fprintf(stderr, "%s: the window did not show\n", program);
        kill(pid, SIGKILL);
        waitpid(pid, nullptr, 0);
        return false;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    const long rss = ResidentKb(pid);

    xcb_client_message_event_t close{};
    close.response_type = XCB_CLIENT_MESSAGE;
    close.format = 32;
    close.window = window;
    close.type = protocols;
    close.data.data32[0] = deleteWindow;
    xcb_send_event(c, 0, window, XCB_EVENT_MASK_NO_EVENT, reinterpret_cast<const char*>(&close));
    xcb_flush(c);
    int status = 0;
    waitpid(pid, &status, 0);
    while (Reply<xcb_generic_event_t>(xcb_poll_for_event(c), &std::free)) {
    }
    std::printf("program=%d start_us=%lld rss_kb=%ld exit=%d\n", index,
                static_cast<long long>(std::chrono::duration_cast<std::chrono::microseconds>(shown - start).count()),
                rss, WIFEXITED(status) ? WEXITSTATUS(status) : -1);
    std::fflush(stdout);
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 4 && argc != 5) {
        std::fprintf(stderr, "usage: %s TITLES WORKING-DIRECTORY RUNS [YARDSTICK]\n", argv[0]);
        return 2;
    }
    const int runs = std::atoi(argv[3]);
    xcb_connection_t* c = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(c) != 0) {
        std::fprintf(stderr, "%s: no X server\n", argv[0]);
        return 1;
    }
    xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
    const std::uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    xcb_change_window_attributes(c, root, XCB_CW_EVENT_MASK, &mask);
    xcb_flush(c);
    const xcb_atom_t protocols = Atom(c, "WM_PROTOCOLS");
    const xcb_atom_t deleteWindow = Atom(c, "WM_DELETE_WINDOW");
    for (int run = 0; run < runs; ++run) {
        for (int index = 0; index + 3 < argc; ++index) {
            const char* program = index == 0 ? argv[1] : argv[4];
            if (!Launch(c, index, program, argv[2], protocols, deleteWindow)) return 1;
        }
    }
    xcb_disconnect(c);
    return 0;
}
