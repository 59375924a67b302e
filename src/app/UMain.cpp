#include "app/UMain.h"

#include <cstdio>
#include <utility>

#include "app/messages.h"
#include "base/data_folders.h"
#include "base/file_name.h"
#include "framework/layout.h"
#include "phrase/composer.h"
#include "phrase/random_source.h"

namespace titles::app {
namespace {

using framework::TCharset;
using framework::TMouseButton;
using framework::TSystemColour;

// FormMain's design values, applied when the window is built. The window's
// own font shows no text: it is the reference the window is scaled by, and
// "0" in it was 15 pixels high when the window was designed at 96 pixels
// per inch.
constexpr struct {
    framework::TPoint position{300, 130};
    framework::TSize clientSize{361, 26};
    TSystemColour colour = TSystemColour::ButtonFace;
    framework::TFontSpec font{"MS Sans Serif", 11, TCharset::Default};
    int pixelsPerInch = 96;
    int textHeight = 15;
    struct {
        framework::TRect bounds{0, 0, 41, 16};
        std::string_view caption = "Label1";
        framework::TFontSpec font{"Arial", 13, TCharset::Ansi};
        TSystemColour textColour = TSystemColour::WindowText;
    } label1;
} kFormMain;

}  // namespace

TFormMain* FormMain = nullptr;

TFormMain::TFormMain(framework::TWindowSystem& windows, std::string programTitle)
    : windows_(windows), programTitle_(std::move(programTitle)),
      label1_{std::string(kFormMain.label1.caption), kFormMain.label1.font, kFormMain.label1.bounds} {
    windows_.BuildWindow({kFormMain.position, kFormMain.clientSize, kFormMain.colour, kFormMain.label1.textColour,
                          kFormMain.label1.bounds},
                         programTitle_, *this);
    // Scaled to the screen once, by the height of "0" in the window's font
    // against the designed one; the label keeps a font of its own.
    const int pixelsPerInch = windows_.PixelsPerInch();
    framework::TFontSpec windowFont = kFormMain.font;
    windowFont.height = framework::ScaledWindowFontHeight(windowFont, kFormMain.pixelsPerInch, pixelsPerInch,
                                                          windows_.SystemCharsetIsShiftJis());
    const framework::TScaleResult scaled =
        framework::ScaleDesign(label1_.bounds, label1_.font.height, kFormMain.clientSize, kFormMain.textHeight,
                               pixelsPerInch, windows_.ZeroTextHeight(windowFont));
    if (scaled.labelBounds != label1_.bounds) {
        label1_.bounds = scaled.labelBounds;
        windows_.SetLabelBounds(label1_.bounds);
    }
    label1_.font.height = scaled.labelFontHeight;
    MeasureLabel();
    windows_.SetClientSize(scaled.clientSize);
    // Built: the creation handler runs under the creation guard. A failure in
    // it is shown in a box, and the window stands as it was built.
    try {
        FormCreate();
    } catch (...) {
        ReportFailure(std::current_exception());
    }
}

void TFormMain::FormCreate() {
    AdjectiveList.LoadWordFile(std::string(kDefaultAdjectiveFile));
    NounList.LoadWordFile(std::string(kDefaultNounFile));
    SeedFromClock();
    Label1Click();
}

// The phrase is complete before anything is shown: a failure leaves the
// label and the window as they were.
void TFormMain::Label1Click() { ShowPhrase(ComposePhrase(AdjectiveList, NounList)); }

// An equal phrase leaves the label alone: no measure, no repaint.
void TFormMain::ShowPhrase(std::string phrase) {
    if (phrase != label1_.caption) {
        label1_.caption = std::move(phrase);
        MeasureLabel();
    }
    windows_.SetClientSize({label1_.bounds.width, label1_.bounds.height});
}

// The label takes the extent of its text as laid out in its font.
void TFormMain::MeasureLabel() {
    const framework::TSize extent = windows_.SetLabelText(label1_.caption, label1_.font);
    const framework::TRect bounds{label1_.bounds.left, label1_.bounds.top, extent.width, extent.height};
    if (bounds == label1_.bounds) return;
    label1_.bounds = bounds;
    windows_.SetLabelBounds(bounds);
}

// A click is the left button pressed on the label and released inside it.
// The second press of a double click arms nothing, so a double click gives
// exactly one click.
void TFormMain::LabelPressed(TMouseButton button, bool doubleClick) {
    if (button == TMouseButton::Left && !doubleClick) clickPending_ = true;
}

void TFormMain::LabelReleased(TMouseButton button, framework::TPoint point) {
    if (button != TMouseButton::Left || !std::exchange(clickPending_, false)) return;
    if (framework::TRect{0, 0, label1_.bounds.width, label1_.bounds.height}.Contains(point)) Label1Click();
}

// As a left click; not while a box is up, when no click reaches the label.
void TFormMain::LabelActionInvoked() {
    if (!boxUp_) Label1Click();
}

// Closing the window ends the program; nothing is asked.
void TFormMain::CloseRequested() { windows_.Quit(); }

void TFormMain::ReportFailure(std::exception_ptr failure) noexcept {
    try {
        waitingFailures_.push_back(std::move(failure));
    } catch (...) {
        return;  // out of memory while keeping it: it is lost
    }
    if (boxUp_) return;
    boxUp_ = true;
    while (!waitingFailures_.empty()) {
        const std::exception_ptr next = std::move(waitingFailures_.front());
        waitingFailures_.pop_front();
        try {
            ShowFailureBox(DescribeFailure(next).message);
        } catch (...) {
            // Nothing is left to show a failure of the box with.
        }
    }
    boxUp_ = false;
}

// No box can come up without a display: the fatal report goes to standard error.
void TFormMain::DisplayLost(std::exception_ptr failure) noexcept {
    ReportFatalFailure(failure, ModuleName(windows_), nullptr);
}

void TFormMain::ShowFailureBox(std::string_view message) { windows_.ErrorBox(programTitle_, WithFullStop(message)); }

std::string ModuleName(framework::TWindowSystem& windows) noexcept {
    try {
        const framework::TTitleRules rules = windows.TitleRules();
        return std::string(FileNameOf(windows.ProgramFilePath(), std::string_view(&rules.separator, 1), rules.isLeadByte));
    } catch (...) {
        return {};  // the module goes unnamed
    }
}

void ReportFatalFailure(const std::exception_ptr& failure, std::string_view moduleName,
                        framework::TWindowSystem* windows) noexcept {
    // The address the box names is where the program's failure handling
    // caught it: C++ failures carry no code address of their own.
    const auto address = reinterpret_cast<std::uintptr_t>(&ReportFatalFailure);
    const TFailureText info = DescribeFailure(failure);
    try {
        const std::string text = FatalBoxText(info.kind, moduleName, address, info.message);
        std::fprintf(stderr, "%.*s: %s\n", static_cast<int>(kFatalCaption.size()), kFatalCaption.data(), text.c_str());
        std::fflush(stderr);
        if (windows != nullptr) windows->FatalBox(kFatalCaption, text);
    } catch (...) {
        // The text is on standard error, or nothing can be shown at all.
    }
}

std::string DeriveProgramTitle(std::string_view path, const framework::TTitleRules& rules) {
    // Both walks go by whole characters, so that a trail byte is never taken
    // for a separator or a full stop.
    std::string_view name = FileNameOf(path, std::string_view(&rules.separator, 1), rules.isLeadByte);
    for (std::size_t i = 0; i < name.size(); ++i) {
        if (name[i] == '.') {
            name = name.substr(0, i);
            break;
        }
        if (rules.isLeadByte && rules.isLeadByte(static_cast<unsigned char>(name[i])) && i + 1 < name.size()) ++i;
    }
    std::string title(name.substr(0, kMaxTitleBytes));
    if (title.size() > 1 && rules.lowerFrom) {
        rules.lowerFrom(title, 1);
    } else {
        for (std::size_t i = 1; i < title.size(); ++i) {
            if (title[i] >= 'A' && title[i] <= 'Z') title[i] = static_cast<char>(title[i] - 'A' + 'a');
        }
    }
    return title;
}

int RunProgram(framework::TWindowSystem& windows) {
    try {
        const std::string ProgramTitle = DeriveProgramTitle(windows.ProgramFilePath(), windows.TitleRules());
        // Started where no word list is, it reads the installed ones.
        EnterInstalledListFolder(std::string(kDefaultAdjectiveFile), std::string(kDefaultNounFile));
        TFormMain form(windows, ProgramTitle);
        FormMain = &form;
        windows.Show();
        windows.Run();
        FormMain = nullptr;
        return 0;
    } catch (...) {
        FormMain = nullptr;
        ReportFatalFailure(std::current_exception(), ModuleName(windows), &windows);
        return 1;
    }
}

}  // namespace titles::app
