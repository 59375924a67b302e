// The real program (app::RunProgram) on the Qt window system, on Qt's offscreen
// platform, for the suites that drive it with real Qt events.
#pragma once

#include <gtest/gtest.h>

// Mouse events go through Qt's window-system entry, as a real pointer's do:
// double-click recognition and the pressed widget's mouse grab included.
#define QTEST_QPA_MOUSE_HANDLING
#include <QAbstractButton>
#include <QMessageBox>
#include <QTest>
#include <QTimer>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "app/UMain.h"
#include "base/failure.h"
#include "framework/qt/qt_window_system.h"
#include "phrase/composer.h"
#include "phrase/random_source.h"
#include "support/test_support.h"

namespace titles::framework::qt {

inline constexpr const char* kAdjectives = "Dark\nSilent\nGolden\nBroken\nQuiet\nHidden\n";
inline constexpr const char* kNouns = "Running\nCastle\nDragon\nFalling\nStar\nMoon\nSword\nRiver\nGarden\n";

struct TSeenBox {
    QString caption;
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QMessageBox::StandardButtons buttons;
    Qt::WindowModality modality = Qt::NonModal;
    QWidget* owner = nullptr;
    bool mainWindowVisible = false;
    QRect geometry;
};

// Runs the real program (app::RunProgram) on the real Qt window system in a fresh
// working directory. Message boxes are read and dismissed with their OK
// button as they come up; the test's script runs inside the event loop once
// the main window is shown, and should end by closing the window.
class QtProgramTest : public ::testing::Test {
protected:
    void SetUp() override {
        setenv("QT_QPA_PLATFORM", "offscreen", 0);
        saved_ = std::filesystem::current_path();
        std::filesystem::current_path(dir_.Path());
        RandomSeed = 0;
    }
    void TearDown() override { std::filesystem::current_path(saved_); }
    void WriteLists(const char* adjectives = kAdjectives, const char* nouns = kNouns) {
        if (adjectives != nullptr) dir_.Write("adjectives.txt", adjectives);
        if (nouns != nullptr) dir_.Write("nouns.txt", nouns);
    }

    int Run(std::function<void()> script) {
        test_support::TWatchdog watchdog(std::chrono::seconds(60), "program run");
        static char name[] = "qt_tests";
        static char* argv[] = {name, nullptr};
        std::unique_ptr<TWindowSystem> created = CreateWindowSystem(1, argv);
        windows_ = dynamic_cast<TQtWindowSystem*>(created.get());
        EXPECT_NE(windows_, nullptr);

        QTimer boxWatch;
        boxWatch.setInterval(5);
        QObject::connect(&boxWatch, &QTimer::timeout, [this] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (box == nullptr || !box->isVisible()) return;
            TWindowWidget* main = windows_->Window();
            boxes_.push_back({box->windowTitle(), box->text(), box->icon(), box->standardButtons(),
                              box->windowModality(), box->parentWidget(), main != nullptr && main->isVisible(),
                              box->frameGeometry()});
            box->button(QMessageBox::Ok)->click();
        });
        boxWatch.start();

        bool started = false;
        QTimer starter;
        starter.setInterval(5);
        QObject::connect(&starter, &QTimer::timeout, [&] {
            if (started || QApplication::activeModalWidget() != nullptr) return;
            TWindowWidget* main = windows_->Window();
            if (main == nullptr || !main->isVisible()) return;
            started = true;
            starter.stop();
            window_ = main;
            label_ = windows_->Label();
            script();
        });
        starter.start();

        const int code = app::RunProgram(*created);
        EXPECT_TRUE(started) << "the main window never came up";
        window_ = nullptr;
        label_ = nullptr;
        return code;
    }

    QSize Client() const { return window_->size(); }
    QPoint Inside() const { return {label_->width() / 2, label_->height() / 2}; }
    // The phrase that the next composition gives from seed, and the seed after it.
    static std::pair<std::string, std::uint32_t> NextPhrase(std::uint32_t seed) {
        RandomSeed = seed;
        std::string phrase = ComposePhrase(app::FormMain->AdjectiveList, app::FormMain->NounList);
        const std::uint32_t after = RandomSeed;
        RandomSeed = seed;
        return {phrase, after};
    }

    test_support::TTempDir dir_;
    std::filesystem::path saved_;
    TQtWindowSystem* windows_ = nullptr;
    TWindowWidget* window_ = nullptr;
    TLabelWidget* label_ = nullptr;
    std::vector<TSeenBox> boxes_;
};

}  // namespace titles::framework::qt
