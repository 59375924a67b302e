// The Win32 window system: the program's file name and title rules, the
// screen's measures, the three windows, and the message loop.
#include "framework/win32/win32_window_system.h"

#include <algorithm>
#include <memory>

#include "base/failure.h"
#include "framework/layout.h"

namespace titles::framework {

std::unique_ptr<TWindowSystem> CreateWindowSystem(int, char**) { return std::make_unique<win32::TWin32WindowSystem>(); }

}  // namespace titles::framework

namespace titles::framework::win32 {
namespace {

// A fixed single frame with a system menu and a minimise box.
constexpr DWORD kMainStyle = WS_CLIPCHILDREN | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;

bool IsLeadByte(unsigned char byte) { return IsDBCSLeadByte(byte) != FALSE; }

void LowerFrom(std::string& text, std::size_t from) {
    if (from < text.size()) CharLowerA(text.data() + from);
}

int SystemColour(TSystemColour colour) {
    return colour == TSystemColour::ButtonFace ? COLOR_BTNFACE : COLOR_WINDOWTEXT;
}

// A font as the design names it: the character height is a negative height.
TFontHandle CreateDesignFont(const TFontSpec& design) {
    const std::string name(design.name);
    HFONT font = CreateFontA(-design.height, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE,
                             static_cast<DWORD>(design.charset), OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                             DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, name.c_str());
    if (font == nullptr) throw TFailure(TFailureKind::CannotCreateFont, name, static_cast<int>(GetLastError()));
    return TFontHandle(font);
}

HDC ScreenContext(const TWindowDC& screen) {
    return screen ? screen.Get() : throw TFailure(TFailureKind::NoScreenContext);
}

// Mouse positions are signed: while the label holds the mouse, a point left
// of or above it is negative.
TPoint PointFromLParam(LPARAM position) noexcept {
    return {static_cast<short>(LOWORD(static_cast<DWORD_PTR>(position))),
            static_cast<short>(HIWORD(static_cast<DWORD_PTR>(position)))};
}

}  // namespace

TShowRequest ShowRequestFromStartup(bool useShowWindow, unsigned showWindow) noexcept {
    if (!useShowWindow) return TShowRequest::Normal;  // SW_SHOWDEFAULT
    if (showWindow == SW_SHOWMAXIMIZED) return TShowRequest::Maximized;
    if (showWindow == SW_SHOWMINNOACTIVE) return TShowRequest::MinimizedNoActivate;
    return TShowRequest::Normal;
}

TShowRequest LauncherShowRequest() noexcept {
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    GetStartupInfoA(&startup);
    return ShowRequestFromStartup((startup.dwFlags & STARTF_USESHOWWINDOW) != 0, startup.wShowWindow);
}

// The window procedure of each of the three classes: it finds the window
// system through the window's user data and runs the handler, guarded.
template <TWin32WindowSystem::THandler Handler>
LRESULT CALLBACK TWin32WindowSystem::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTA*>(lParam);
        SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* self = reinterpret_cast<TWin32WindowSystem*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (self == nullptr || message == WM_NCDESTROY) return DefWindowProcA(window, message, wParam, lParam);
    try {
        return (self->*Handler)(window, message, wParam, lParam);
    } catch (...) {
        self->Failed(std::current_exception());
        return 0;
    }
}

TWin32WindowSystem::TWin32WindowSystem(TShowRequest showRequest)
    : showRequest_(showRequest), instance_(GetModuleHandleA(nullptr)), icon_(LoadIconA(instance_, "MAINICON")) {}

// Whatever the windows do while they go, the program is no longer told.
TWin32WindowSystem::~TWin32WindowSystem() {
    events_ = nullptr;
    if (program_) ShowWindow(program_.Get(), SW_HIDE);
}

// At most 255 bytes and the terminating zero; older systems leave a cut
// name unterminated, so the last byte stays zero in any case.
std::string TWin32WindowSystem::ProgramFilePath() {
    char buffer[256] = {};
    GetModuleFileNameA(nullptr, buffer, static_cast<DWORD>(sizeof buffer));
    buffer[sizeof buffer - 1] = '\0';
    OemToCharA(buffer, buffer);
    return buffer;
}

TTitleRules TWin32WindowSystem::TitleRules() { return {'\\', &IsLeadByte, &LowerFrom}; }

int TWin32WindowSystem::PixelsPerInch() {
    const TWindowDC screen;
    return GetDeviceCaps(ScreenContext(screen), LOGPIXELSY);
}

int TWin32WindowSystem::ZeroTextHeight(const TFontSpec& font) {
    const TFontHandle created = CreateDesignFont(font);
    const TWindowDC screen;
    const TSelection selected(ScreenContext(screen), created.Get());
    SIZE extent{};
    GetTextExtentPoint32A(screen.Get(), "0", 1, &extent);
    return extent.cy;
}

void TWin32WindowSystem::RegisterClasses(int colour) const {
    const struct {
        const char* name;
        WNDPROC procedure;
        UINT style;
        HICON icon;
        HBRUSH background;
    } classes[] = {
        {kProgramWindowClass, &WindowProc<&TWin32WindowSystem::OnProgramMessage>, 0, icon_, nullptr},
        {kMainWindowClass, &WindowProc<&TWin32WindowSystem::OnMainMessage>, CS_DBLCLKS, icon_,
         reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(colour + 1))},
        {kLabelWindowClass, &WindowProc<&TWin32WindowSystem::OnLabelMessage>, CS_DBLCLKS, nullptr, nullptr},
    };
    for (const auto& c : classes) {
        WNDCLASSEXA windowClass{};
        windowClass.cbSize = sizeof windowClass;
        if (GetClassInfoExA(instance_, c.name, &windowClass)) continue;
        windowClass.style = c.style;
        windowClass.lpfnWndProc = c.procedure;
        windowClass.hInstance = instance_;
        windowClass.hIcon = c.icon;
        windowClass.hCursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));  // IDC_ARROW
        windowClass.hbrBackground = c.background;
        windowClass.lpszClassName = c.name;
        if (RegisterClassExA(&windowClass) == 0) {
            throw TFailure(TFailureKind::CannotRegisterClass, c.name, static_cast<int>(GetLastError()));
        }
    }
}

// Centred on the screen with no size: only its task bar entry is seen. Its
// window menu there offers restore, minimise and close.
void TWin32WindowSystem::CreateProgramWindow(std::string_view title) {
    const std::string text(title);
    program_.Reset(CreateWindowExA(0, kProgramWindowClass, text.c_str(),
                                   WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPSIBLINGS,
                                   GetSystemMetrics(SM_CXSCREEN) / 2, GetSystemMetrics(SM_CYSCREEN) / 2, 0, 0,
                                   nullptr, nullptr, instance_, this));
    if (!program_) throw TFailure(TFailureKind::CannotCreateProgramWindow, {}, static_cast<int>(GetLastError()));
    if (icon_ != nullptr) {
        SendMessageA(program_.Get(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon_));
        SendMessageA(program_.Get(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon_));
    }
    if (HMENU menu = GetSystemMenu(program_.Get(), FALSE)) {
        for (UINT command : {SC_MAXIMIZE, SC_SIZE, SC_MOVE}) DeleteMenu(menu, command, MF_BYCOMMAND);
    }
}

// The main window is built hidden at the designed position with no title,
// owned by the program-level window (so it has no task bar entry of its own).
void TWin32WindowSystem::BuildWindow(const TWindowDesign& design, std::string_view title, TWindowEvents& events) {
    colour_ = SystemColour(design.colour);
    textColour_ = SystemColour(design.textColour);
    RegisterClasses(colour_);
    CreateProgramWindow(title);
    RECT outer{0, 0, design.clientSize.width, design.clientSize.height};
    AdjustWindowRectEx(&outer, kMainStyle, FALSE, 0);
    main_.Reset(CreateWindowExA(0, kMainWindowClass, "", kMainStyle, design.position.x, design.position.y,
                                outer.right - outer.left, outer.bottom - outer.top, program_.Get(), nullptr,
                                instance_, this));
    if (!main_) throw TFailure(TFailureKind::CannotCreateWindow, {}, static_cast<int>(GetLastError()));
    labelBounds_ = design.labelBounds;
    label_.Reset(CreateWindowExA(0, kLabelWindowClass, "", WS_CHILD | WS_VISIBLE, labelBounds_.left,
                                 labelBounds_.top, labelBounds_.width, labelBounds_.height, main_.Get(), nullptr,
                                 instance_, this));
    if (!label_) throw TFailure(TFailureKind::CannotCreateLabel, {}, static_cast<int>(GetLastError()));
    events_ = &events;
}

// DrawTextA lays the text out, to measure it here and to paint it; both see
// no more than kMaxLaidOutBytes of it. Nothing changes when the measure fails.
TSize TWin32WindowSystem::SetLabelText(std::string_view text, const TFontSpec& font) {
    if (!label_) return {};
    TFontHandle created = !font_ || font != fontSpec_ ? CreateDesignFont(font) : TFontHandle();
    const std::string_view shown = text.substr(0, kMaxLaidOutBytes);
    const std::string_view measured = TextToMeasure(shown);
    RECT extent{0, 0, labelBounds_.width, labelBounds_.height};
    {
        const TWindowDC screen;
        const TSelection selected(ScreenContext(screen), created ? created.Get() : font_.Get());
        DrawTextA(screen.Get(), measured.data(), static_cast<int>(measured.size()), &extent,
                  DT_CALCRECT | DT_EXPANDTABS);
    }
    if (created) {
        font_ = std::move(created);
        fontName_ = font.name;
        fontSpec_ = font;
        fontSpec_.name = fontName_;
    }
    if (shown != labelText_) {
        labelText_ = shown;
        SetWindowTextA(label_.Get(), labelText_.c_str());
    }
    InvalidateRect(label_.Get(), nullptr, TRUE);
    return {std::min<int>(extent.right, kMaxWindowExtent), std::min<int>(extent.bottom, kMaxWindowExtent)};
}

// The area covered before is repainted by the main window, the new one by the label.
void TWin32WindowSystem::SetLabelBounds(const TRect& bounds) {
    if (!label_) return;
    const RECT before{labelBounds_.left, labelBounds_.top, labelBounds_.Right(), labelBounds_.Bottom()};
    labelBounds_ = bounds;
    SetWindowPos(label_.Get(), nullptr, bounds.left, bounds.top, bounds.width, bounds.height,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    InvalidateRect(main_.Get(), &before, TRUE);
    InvalidateRect(label_.Get(), nullptr, TRUE);
}

// The outer size is the frame as it stands around the new client size.
void TWin32WindowSystem::SetClientSize(TSize size) {
    if (!main_) return;
    RECT outer{};
    RECT client{};
    GetWindowRect(main_.Get(), &outer);
    GetClientRect(main_.Get(), &client);
    const int width = outer.right - outer.left;
    const int height = outer.bottom - outer.top;
    const int newWidth = FitWindowExtent(outer.left, width - client.right + size.width);
    const int newHeight = FitWindowExtent(outer.top, height - client.bottom + size.height);
    if (newWidth == width && newHeight == height) return;
    SetWindowPos(main_.Get(), nullptr, 0, 0, newWidth, newHeight, SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOMOVE);
}

// The program-level window is shown with the main window, for the task bar
// entry; started minimised, only the entry is shown, minimised, and the
// main window comes when the program is restored.
void TWin32WindowSystem::Show() {
    if (!main_) return;
    if (showRequest_ == TShowRequest::MinimizedNoActivate) {
        mainHiddenByMinimize_ = true;
        ShowWindow(program_.Get(), SW_SHOWMINNOACTIVE);
        return;
    }
    ShowWindow(program_.Get(), SW_SHOWNOACTIVATE);
    ShowWindow(main_.Get(), showRequest_ == TShowRequest::Maximized ? SW_SHOWMAXIMIZED : SW_SHOWNORMAL);
}

// A failure that escapes a pass of the loop is reported as one in a window
// procedure is, and the loop goes on.
void TWin32WindowSystem::Run() {
    for (;;) {
        try {
            MSG message{};
            if (!PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
                WaitMessage();
            } else if (message.message == WM_QUIT) {
                return;
            } else {
                TranslateMessage(&message);
                DispatchMessageA(&message);
            }
        } catch (...) {
            Failed(std::current_exception());
        }
    }
}

void TWin32WindowSystem::Failed(std::exception_ptr failure) noexcept {
    if (events_ != nullptr) events_->EventFailed(std::move(failure));
}

// ------------------------------------------------------------------ the label

LRESULT TWin32WindowSystem::OnLabelMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_PAINT: PaintLabel(); return 0;
    case WM_ERASEBKGND: return 1;  // the whole label is filled when it is painted
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: LabelPressed(TMouseButton::Left, message == WM_LBUTTONDBLCLK); return 0;
    case WM_RBUTTONDOWN:
    case WM_RBUTTONDBLCLK: LabelPressed(TMouseButton::Right, message == WM_RBUTTONDBLCLK); return 0;
    case WM_MBUTTONDOWN:
    case WM_MBUTTONDBLCLK: LabelPressed(TMouseButton::Middle, message == WM_MBUTTONDBLCLK); return 0;
    case WM_LBUTTONUP: LabelReleased(TMouseButton::Left, lParam); return 0;
    case WM_RBUTTONUP: LabelReleased(TMouseButton::Right, lParam); return 0;
    case WM_MBUTTONUP: LabelReleased(TMouseButton::Middle, lParam); return 0;
    default: return DefWindowProcA(window, message, wParam, lParam);
    }
}

void TWin32WindowSystem::PaintLabel() {
    const TPaintDC paint(label_.Get());
    RECT area{};
    GetClientRect(label_.Get(), &area);
    FillRect(paint.Get(), &area, GetSysColorBrush(colour_));
    if (!font_) return;
    const TSelection selected(paint.Get(), font_.Get());
    SetBkMode(paint.Get(), TRANSPARENT);
    SetTextColor(paint.Get(), GetSysColor(textColour_));
    DrawTextA(paint.Get(), labelText_.data(), static_cast<int>(labelText_.size()), &area, DT_EXPANDTABS | DT_LEFT);
}

// The label holds the mouse from a left press until the left release.
void TWin32WindowSystem::LabelPressed(TMouseButton button, bool doubleClick) {
    if (button == TMouseButton::Left) SetCapture(label_.Get());
    if (events_ != nullptr) events_->LabelPressed(button, doubleClick);
}

void TWin32WindowSystem::LabelReleased(TMouseButton button, LPARAM position) {
    if (button == TMouseButton::Left && GetCapture() == label_.Get()) ReleaseCapture();
    if (events_ != nullptr) events_->LabelReleased(button, PointFromLParam(position));
}

// ------------------------------------------------------------ the main window

LRESULT TWin32WindowSystem::OnMainMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_CLOSE) {
        if (events_ != nullptr) events_->CloseRequested();
        return 0;
    }
    if (message == WM_SYSCOMMAND && (wParam & 0xFFF0) == SC_MINIMIZE) {
        MinimizeProgram();
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

// The main window's minimise command minimises the program as a whole: the
// main window is hidden until the program is restored.
void TWin32WindowSystem::MinimizeProgram() {
    if (IsWindowVisible(main_.Get())) {
        ShowWindow(main_.Get(), SW_HIDE);
        mainHiddenByMinimize_ = true;
    }
    ShowWindow(program_.Get(), SW_MINIMIZE);
}

// --------------------------------------------------- the program-level window

LRESULT TWin32WindowSystem::OnProgramMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CLOSE:  // close on the task bar entry closes the main window
        if (events_ != nullptr) events_->CloseRequested();
        return 0;
    case WM_SIZE:
        ProgramSized(wParam);
        break;
    case WM_SYSCOMMAND:
        if (const WPARAM command = wParam & 0xFFF0; command == SC_MAXIMIZE || command == SC_SIZE || command == SC_MOVE) {
            return 0;
        }
        break;
    case WM_SETFOCUS:
        if (IsWindowVisible(main_.Get()) && IsWindowEnabled(main_.Get())) {
            SetFocus(main_.Get());
            return 0;
        }
        break;
    default: break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

// Minimised from its task bar entry, the program takes the main window with
// it; restored, it brings it back.
void TWin32WindowSystem::ProgramSized(WPARAM kind) {
    if (!main_) return;
    if (kind == SIZE_MINIMIZED && IsWindowVisible(main_.Get())) {
        ShowWindow(main_.Get(), SW_HIDE);
        mainHiddenByMinimize_ = true;
    } else if (kind == SIZE_RESTORED && mainHiddenByMinimize_) {
        mainHiddenByMinimize_ = false;
        ShowWindow(main_.Get(), SW_SHOW);
    }
}

// The program-level window is seen while one of the program's windows is.
void TWin32WindowSystem::HideProgramWindowIfAlone() {
    if (!program_ || IsIconic(program_.Get()) || mainHiddenByMinimize_ || IsWindowVisible(main_.Get())) return;
    ShowWindow(program_.Get(), SW_HIDE);
}

}  // namespace titles::framework::win32
