// A click on the phrase until the new phrase is painted, inside the real
// program: the left button pressed and released on the label through Qt's
// window-system entry (so Label1Click runs as for a real click), then the
// window painted at once (QWidget::repaint) rather than at the next pass of
// the loop. Run in the shipped lists' directory.
//
//   titles_bench_gui_click CLICKS
//   prints: clicks=N changed=N (clicks that gave a different phrase)
//           median_us=N p99_us=N max_us=N
#define QTEST_QPA_MOUSE_HANDLING
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/UMain.h"
#include "framework/qt/qt_window_system.h"

int main(int argc, char** argv) {
    const int clicks = argc > 1 ? std::atoi(argv[1]) : 200;
    std::unique_ptr<titles::framework::TWindowSystem> created = titles::framework::CreateWindowSystem(argc, argv);
    auto& windows = dynamic_cast<titles::framework::qt::TQtWindowSystem&>(*created);
    std::vector<long long> times;
    int changed = 0;

    QTimer::singleShot(0, [&] {
        auto* window = windows.Window();
        if (!QTest::qWaitForWindowExposed(window)) std::fprintf(stderr, "the window was not exposed\n");
        auto* label = windows.Label();
        for (int i = 0; i < clicks; ++i) {
            const QPoint p(2, label->height() / 2);
            const std::string before = label->Text();
            const auto t0 = std::chrono::steady_clock::now();
            QTest::mousePress(label, Qt::LeftButton, {}, p);
            QTest::mouseRelease(label, Qt::LeftButton, {}, p);
            window->repaint();
            const auto t1 = std::chrono::steady_clock::now();
            times.push_back(std::chrono::duration_cast<std::chrono::microseconds>(t1 - t0).count());
            if (label->Text() != before) ++changed;
        }
        window->close();
    });
    const int code = titles::app::RunProgram(windows);
    if (code != 0 || times.empty()) return 1;
    std::sort(times.begin(), times.end());
    std::printf("clicks=%zu changed=%d median_us=%lld p99_us=%lld max_us=%lld\n", times.size(), changed,
                times[times.size() / 2],
                times[times.size() * 99 / 100], times.back());
    return 0;
}
