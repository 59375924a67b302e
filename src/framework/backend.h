// The window-system backend: what the framework needs from Qt, Win32 or the
// headless test backend. Exactly one backend is linked into a program; it
// provides CreateBackend(). Nothing here exposes a window system's types.
#pragma once

#include <exception>
#include <memory>
#include <string>
#include <string_view>

#include "framework/form_resource.h"
#include "framework/geometry.h"
#include "framework/program_title.h"

namespace titles::framework {

// Where a failure raised while an event is handled goes: every backend
// catches everything its event handling throws and hands it here, so that no
// exception ever crosses the window system's own code.
class TFailureSink {
public:
    virtual ~TFailureSink() = default;
    virtual void HandleEventFailure(std::exception_ptr failure) noexcept = 0;
};

// Mouse input at a label, already routed to it (while the label holds the
// capture, every mouse event of the window goes to it).
class TLabelInput {
public:
    virtual ~TLabelInput() = default;
    virtual void MousePress(TMouseButton button, bool doubleClick) = 0;
    // point is relative to the label's top-left corner.
    virtual void MouseRelease(TMouseButton button, TPoint point) = 0;
    virtual void Click() = 0;  // asked for without the mouse, by an accessibility tool
};

// The native side of a label: draws its text with an opaque background in
// the window's colour, exposes the text to accessibility tools, measures.
class TNativeLabel {
public:
    virtual ~TNativeLabel() = default;
    // The extent of text as this label draws it in font (mnemonic prefixes,
    // tabs expanded), on the screen.
    virtual TSize MeasureText(std::string_view text, const TFontSpec& font) = 0;
    // New text, font and bounds (relative to the client area) to draw; the
    // areas covered before and after are repainted.
    virtual void Update(std::string_view text, const TFontSpec& font, const TRect& bounds) = 0;
    virtual void SetMouseCapture(bool captured) = 0;
};

// Events of a form's native window.
class TFormInput {
public:
    virtual ~TFormInput() = default;
    // The user asked to close the window (close button, system menu, close key).
    virtual void CloseRequested() = 0;
};

// The native side of a top-level window. Built hidden with a fixed frame as
// the design says, at the design's position (never scaled).
class TNativeForm {
public:
    virtual ~TNativeForm() = default;
    virtual TRect OuterBounds() const = 0;  // position on the screen and outer size
    virtual TSize ClientSize() const = 0;
    // Resizes the outer frame keeping the current top-left corner, without
    // activating the window or changing its stacking order.
    virtual void SetOuterSize(TSize size) = 0;
    virtual void SetClientSize(TSize size) = 0;
    // The window's font (the scaling reference) changed.
    virtual void SetFont(const TFontSpec& font) = 0;
    virtual std::unique_ptr<TNativeLabel> CreateLabel(TLabelInput& input) = 0;
    virtual void Show(TShowRequest request) = 0;
    virtual bool IsVisible() const = 0;
    virtual void Destroy() = 0;
};

class TBackend {
public:
    virtual ~TBackend() = default;

    // The program's own file name, as the system reports it, and how to read it.
    virtual std::string ProgramFilePath() = 0;
    virtual TTitleRules TitleRules() = 0;
    // The module name shown by the fatal box (the file name without directory).
    virtual std::string ModuleName() = 0;
    virtual TShowRequest LauncherShowRequest() = 0;

    // The program-level window that carries the title and the task bar
    // entry; the title is read back from it whenever needed.
    virtual void CreateProgramWindow(std::string_view title) = 0;
    virtual std::string ProgramWindowTitle() = 0;

    virtual int ScreenPixelsPerInch() = 0;
    virtual int ZeroTextHeight(const TFontSpec& font) = 0;
    virtual bool SystemCharsetIsShiftJis() { return false; }

    virtual std::unique_ptr<TNativeForm> CreateForm(const TFormDesign& design, TFormInput& input) = 0;

    // Handles events until Quit is called; failures go to sink.
    virtual void RunEventLoop(TFailureSink& sink) = 0;
    virtual void Quit() = 0;

    // Ends any mouse capture before a box comes up.
    virtual void CancelMouseCapture() = 0;
    // Modal error box: stop icon, one OK button, owned by the program-level
    // window, the program's other windows disabled while it is up.
    virtual void ShowErrorBox(std::string_view caption, std::string_view text) = 0;
    // The fatal box, shown with no owner; also usable without a display.
    virtual void ShowFatalBox(std::string_view caption, std::string_view text) = 0;
};

// Provided by the backend linked into the program. May raise a TFailure
// when the window system cannot be reached at all.
std::unique_ptr<TBackend> CreateBackend(int argc, char** argv);

// Writes the fatal box's text to standard error, for when no window system
// is available. Portable: defined by the framework, not by the backends.
void WriteFatalTextToConsole(std::string_view caption, std::string_view text) noexcept;

}  // namespace titles::framework
