// The main window: one label, Label1, showing a random title; each click on
// it shows a new one. TFormMain is the whole window as the program sees it:
// its design values, its label, its handlers and the failures waiting for
// their box. The window system (framework/window_system.h) draws it and
// reports what the user does. RunProgram is the program's life around it,
// from its title to its exit code.
#pragma once

#include <deque>
#include <exception>
#include <string>
#include <string_view>

#include "framework/window_system.h"
#include "phrase/word_list.h"

namespace titles::app {

class TFormMain final : private framework::TWindowEvents {
public:
    // Builds the window hidden from its design values, scales it to the
    // screen and runs FormCreate under the creation guard. programTitle
    // captions the error boxes.
    TFormMain(framework::TWindowSystem& windows, std::string programTitle);
    TFormMain(const TFormMain&) = delete;
    TFormMain& operator=(const TFormMain&) = delete;

    // Loads the word lists, seeds the random source and shows the first title.
    void FormCreate();
    // Composes a new title and shows it.
    void Label1Click();
    // Puts the phrase on the label and fits the window's client area to it.
    void ShowPhrase(std::string phrase);

    // Shows a caught failure in an error box. One box is up at a time: a
    // failure that comes while one is up waits until it is dismissed.
    void ReportFailure(std::exception_ptr failure) noexcept;
    void ShowFailureBox(std::string_view message);

    // The label's state: its text, its own font, its bounds in the client area.
    struct TLabel1 {
        std::string caption;
        framework::TFontSpec font;
        framework::TRect bounds;
    };
    const TLabel1& Label1() const noexcept { return label1_; }

    // The two word lists: empty until FormCreate loads them, kept as long as
    // the window.
    TWordList AdjectiveList;
    TWordList NounList;

private:
    void LabelPressed(framework::TMouseButton button, bool doubleClick) override;
    void LabelReleased(framework::TMouseButton button, framework::TPoint point) override;
    void LabelActionInvoked() override;
    void CloseRequested() override;
    void EventFailed(std::exception_ptr failure) noexcept override { ReportFailure(std::move(failure)); }
    void DisplayLost(std::exception_ptr failure) noexcept override;
    void MeasureLabel();

    framework::TWindowSystem& windows_;
    const std::string programTitle_;
    TLabel1 label1_;
    bool clickPending_ = false;  // a left press on the label, waiting for its release
    bool boxUp_ = false;
    std::deque<std::exception_ptr> waitingFailures_;
};

// The fatal box's text for a failure that escaped start-up, or for the
// display's loss, on standard error; with a window system, also in the
// fatal box. The caller then ends the process with exit code 1.
void ReportFatalFailure(const std::exception_ptr& failure, std::string_view moduleName,
                        framework::TWindowSystem* windows) noexcept;
// The program file's name without its folder, as the fatal box names it.
std::string ModuleName(framework::TWindowSystem& windows) noexcept;

// The one main window, while start-up has it (RunProgram).
extern TFormMain* FormMain;

// Runs the program on a window system: derives the title, builds the main
// window and runs its creation handler, handles events until the window is
// closed. Returns the exit code: 0, or 1 after a fatal failure.
int RunProgram(framework::TWindowSystem& windows);

// The program's title from its own file name: the name without its folder,
// cut at its first full stop, lower-cased from the second byte on
// (TITLES.EXE gives Titles, MY.TOOL.EXE gives My), at most 255 bytes.
std::string DeriveProgramTitle(std::string_view path, const framework::TTitleRules& rules);
inline constexpr std::size_t kMaxTitleBytes = 255;

}  // namespace titles::app
