// The one seam between the desktop program and a window system. The
// program asks: build its window hidden, put text on the label, fit the
// window, show it, run, show a box. The window system does it and reports
// what the user does up through TWindowEvents; nothing else runs up.
// Qt, Win32 and the headless test window system implement it, and the
// build links exactly one of them into a program, which provides
// CreateWindowSystem. No window system's types appear here.
#pragma once

#include <algorithm>
#include <cstdint>
#include <exception>
#include <memory>
#include <string>
#include <string_view>

namespace titles::framework {

// The largest coordinate a window's edge may have on any of the window
// systems: X11 keeps coordinates in 16 signed bits, and Win32 shares the
// limit. A label is measured no further than this; text beyond it could
// never be seen.
inline constexpr int kMaxWindowExtent = 32767;

// A window's outer width (or height) cut so that, from its left (or top)
// edge at position, the whole frame stays within 0 to kMaxWindowExtent.
inline int FitWindowExtent(int position, int extent) noexcept {
    return std::min(extent, kMaxWindowExtent - std::clamp(position, 0, kMaxWindowExtent));
}

struct TPoint {
    int x = 0, y = 0;
    friend bool operator==(const TPoint&, const TPoint&) = default;
};

struct TSize {
    int width = 0, height = 0;
    friend bool operator==(const TSize&, const TSize&) = default;
};

struct TRect {
    int left = 0, top = 0, width = 0, height = 0;
    int Right() const noexcept { return left + width; }
    int Bottom() const noexcept { return top + height; }
    // Whether p lies inside, right and bottom edges excluded.
    bool Contains(TPoint p) const noexcept { return p.x >= left && p.x < Right() && p.y >= top && p.y < Bottom(); }
    friend bool operator==(const TRect&, const TRect&) = default;
};

enum class TCharset : std::uint8_t { Ansi = 0, Default = 1, ShiftJis = 128 };

// A font as the design names it, without style. The height is the
// character height in pixels, without the internal leading.
struct TFontSpec {
    std::string_view name;
    int height = 0;
    TCharset charset = TCharset::Default;
    friend bool operator==(const TFontSpec&, const TFontSpec&) = default;
};

// The desktop's own colours, as the user's theme has them.
enum class TSystemColour : std::uint8_t { ButtonFace, WindowText };

enum class TMouseButton : std::uint8_t { Left, Right, Middle };

// The launcher's request for the first showing of the window.
enum class TShowRequest : std::uint8_t { Normal, Maximized, MinimizedNoActivate };

// What the window system needs to build the window: a fixed single frame
// with a system menu and a minimise box, the title, and one label at the
// top-left of its client area.
struct TWindowDesign {
    TPoint position;     // the outer frame's top-left corner, unscaled
    TSize clientSize;    // replaced before the window is first shown
    TSystemColour colour = TSystemColour::ButtonFace;      // the client area's and the label's background
    TSystemColour textColour = TSystemColour::WindowText;  // the label's text
    TRect labelBounds;
};

// How the system's code page reads a file name: the separator between its
// folders, the lead bytes of a double-byte code page (whose trail bytes are
// never a separator or a full stop; null when it has none), and its
// lower-casing of text[from..] (null: ASCII letters only).
struct TTitleRules {
    char separator = '/';
    bool (*isLeadByte)(unsigned char byte) = nullptr;
    void (*lowerFrom)(std::string& text, std::size_t from) = nullptr;
};

// What happens in the window, reported up. The window system catches
// whatever these throw, hands it to EventFailed and goes on; no exception
// crosses the window system's own code.
class TWindowEvents {
public:
    // The mouse at the label. From a left press on the label to the left
    // release, every mouse event goes to the label wherever the pointer is;
    // point is relative to the label's top-left corner.
    virtual void LabelPressed(TMouseButton button, bool doubleClick) = 0;
    virtual void LabelReleased(TMouseButton button, TPoint point) = 0;
    // A screen reader invoked the label's one action, "click".
    virtual void LabelActionInvoked() = 0;
    // The user asked to close the window (close button, system menu, close key).
    virtual void CloseRequested() = 0;
    // A failure raised while an event was handled (also by the window
    // system's own code), to be shown in an error box.
    virtual void EventFailed(std::exception_ptr failure) noexcept = 0;
    // The display is gone: the failure is reported as fatal (no box can come
    // up), and the window system then ends the process with exit code 1.
    virtual void DisplayLost(std::exception_ptr failure) noexcept = 0;

protected:
    ~TWindowEvents() = default;
};

class TWindowSystem {
public:
    virtual ~TWindowSystem() = default;

    // The program's own file, as the system names it, and how to read the name.
    virtual std::string ProgramFilePath() = 0;
    virtual TTitleRules TitleRules() = 0;

    // The screen: its pixels per inch, whether the system's default
    // character set is Shift-JIS, and the height of the text "0" in a font.
    virtual int PixelsPerInch() = 0;
    virtual bool SystemCharsetIsShiftJis() = 0;
    virtual int ZeroTextHeight(const TFontSpec& font) = 0;

    // Builds the window hidden, with the program's title where the system
    // shows one (the task bar entry; the window's own title bar stays empty
    // where the system keeps them apart). Events go to events from now on.
    virtual void BuildWindow(const TWindowDesign& design, std::string_view title, TWindowEvents& events) = 0;
    // Lays text out once in font as the label draws it (mnemonic prefixes,
    // tabs expanded), keeps that layout to paint, marks the label for
    // repainting, and returns the layout's extent.
    virtual TSize SetLabelText(std::string_view text, const TFontSpec& font) = 0;
    // New bounds relative to the client area; the areas covered before and
    // after are repainted.
    virtual void SetLabelBounds(const TRect& bounds) = 0;
    // Gives the window this client size about its current top-left corner,
    // without activating or raising it; the frame is cut where it would pass
    // kMaxWindowExtent. Nothing happens when the size stays as it is.
    virtual void SetClientSize(TSize size) = 0;
    // Shows the window as the program's launcher asked: normally, maximised,
    // or minimised to its task bar entry without showing it.
    virtual void Show() = 0;
    // Handles events until Quit.
    virtual void Run() = 0;
    virtual void Quit() = 0;

    // The modal error box: the stop icon, one OK button, owned by the
    // program, the program's windows disabled while it is up; any mouse
    // capture ends first. Returns when the user has dismissed it.
    virtual void ErrorBox(std::string_view caption, std::string_view text) = 0;
    // The fatal box, with no owner, usable before any window exists.
    virtual void FatalBox(std::string_view caption, std::string_view text) = 0;
};

// Provided by the window system linked into the program. Raises a TFailure
// when the window system cannot be reached at all.
std::unique_ptr<TWindowSystem> CreateWindowSystem(int argc, char** argv);

}  // namespace titles::framework
