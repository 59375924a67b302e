// A phrase holding one entry of 20 MiB, from ShowPhrase until it is painted
// on the screen, inside the real program: the time taken and the memory it
// adds at its peak (the phrase itself already exists, as it does when the
// composer hands it over). Run in the shipped lists' directory.
//
//   titles_bench_gui_long_entry
//   prints: bytes=N show_us=N added_kb=N width=N
#include <QTest>
#include <QTimer>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include "app/UMain.h"
#include "framework/qt/qt_window_system.h"

namespace {

long StatusKb(const char* field) {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind(field, 0) == 0) return std::strtol(line.c_str() + std::string(field).size(), nullptr, 10);
    }
    return -1;
}

// Starts the peak resident size afresh from the current one.
void ResetPeak() { std::ofstream("/proc/self/clear_refs") << "5"; }

}  // namespace

int main(int argc, char** argv) {
    std::unique_ptr<titles::framework::TWindowSystem> created = titles::framework::CreateWindowSystem(argc, argv);
    auto& windows = dynamic_cast<titles::framework::qt::TQtWindowSystem&>(*created);
    long long showUs = -1;
    long addedKb = -1;
    std::size_t bytes = 0;
    int width = 0;

    QTimer::singleShot(0, [&] {
        auto* window = windows.Window();
        if (!QTest::qWaitForWindowExposed(window)) std::fprintf(stderr, "the window was not exposed\n");
        std::string phrase = "Endless " + std::string(20u << 20, 'W') + " of the Night";
        bytes = phrase.size();
        const long before = StatusKb("VmRSS:");
        ResetPeak();
        const auto t0 = std::chrono::steady_clock::now();
        titles::app::FormMain->ShowPhrase(std::move(phrase));  // as the composer's result is
        window->repaint();
        const auto t1 = std::chrono::steady_clock::now();
        showUs = std::chrono::duration_cast<std::chrono::microseconds>(t1 - t0).count();
        addedKb = StatusKb("VmHWM:") - before;
        width = window->width();
        window->close();
    });
    const int code = titles::app::RunProgram(windows);
    if (code != 0 || showUs < 0) return 1;
    std::printf("bytes=%zu show_us=%lld added_kb=%ld width=%d\n", bytes, showUs, addedKb, width);
    return 0;
}
