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
    // Shows the failure now.
    virtual void HandleEventFailure(std::exception_ptr failure) noexcept = 0;
    // Keeps a failure caught where no box may come up (painting, the window
    // system's own code) until ShowDeferredFailures.
    virtual void DeferFailure(std::exception_ptr failure) noexcept = 0;
    // Shows the kept failures, oldest first.
    virtual void ShowDeferredFailures() noexcept = 0;
};

// Mouse input at a label, already routed to it. The native label holds the
// mouse from a left press until the left button is released, so that every
// mouse event in between goes to it, wherever the pointer is.
class TLabelInput {
public:
    virtual ~TLabelInput() = default;
    virtual void MousePress(TMouseButton button, bool doubleClick) = 0;
    // point is relative to the label's top-left corner.
    virtual void MouseRelease(TMouseButton button, TPoint point) = 0;
    virtual void Click() = 0;  // asked for without the mouse, by an accessibility tool
};

// The native side of a label: draws its text with an opaque background in
// the window's colour and exposes it to accessibility tools.
class TNativeLabel {
public:
    virtual ~TNativeLabel() = default;
    // Lays text out once in font as the label draws it (mnemonic prefixes,
    // tabs expanded), keeps the layout to paint, marks the label for
    // repainting, and returns the layout's extent.
    virtual TSize SetText(std::string_view text, const TFontSpec& font) = 0;
    // New bounds relative to the client area; the areas covered before and
    // after are repainted.
    virtual void SetBounds(const TRect& bounds) = 0;
};

// Events of a form's native window.
class TFormInput {
public:
    virtual ~TFormInput() = default;
    // The user asked to close the window (close button, system menu, close key).
    virtual void CloseRequested() = 0;
};

// The native side of a top-level window: a fixed single frame with a system
// menu and a minimise box, built hidden at the design's position (never
// scaled) with the design's client size, and destroyed with this object.
class TNativeForm {
public:
    virtual ~TNativeForm() = default;
    virtual TSize ClientSize() const = 0;
    // Gives the window this client size, keeping its top-left corner,
    // without activating it or changing its stacking order. The frame is
    // cut where it would pass kMaxWindowExtent (FitWindowExtent); nothing
    // happens when the size stays as it is.
    virtual void SetClientSize(TSize size) = 0;
    // The window's font (the scaling reference) changed.
    virtual void SetFont(const TFontSpec& font) = 0;
    virtual std::unique_ptr<TNativeLabel> CreateLabel(TLabelInput& input) = 0;
    virtual void Show(TShowRequest request) = 0;
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

    // Where the failures caught in event handling go from now on.
    void SetFailureSink(TFailureSink* sink) noexcept { failureSink_ = sink; }
    // Handles events until Quit is called.
    virtual void RunEventLoop() = 0;
    virtual void Quit() = 0;

    // Ends any mouse capture before a box comes up.
    virtual void CancelMouseCapture() = 0;
    // Modal error box: stop icon, one OK button, owned by the program-level
    // window, the program's other windows disabled while it is up.
    virtual void ShowErrorBox(std::string_view caption, std::string_view text) = 0;
    // The fatal box, shown with no owner; also usable without a display.
    virtual void ShowFatalBox(std::string_view caption, std::string_view text) = 0;

protected:
    TFailureSink* failureSink_ = nullptr;
};

// Provided by the backend linked into the program. May raise a TFailure
// when the window system cannot be reached at all.
std::unique_ptr<TBackend> CreateBackend(int argc, char** argv);

// Writes the fatal box's text to standard error, for when no window system
// is available. Portable: defined by the framework, not by the backends.
void WriteFatalTextToConsole(std::string_view caption, std::string_view text) noexcept;

}  // namespace titles::framework
