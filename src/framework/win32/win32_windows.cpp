// The main window and its label as Win32 windows.
#include <algorithm>
#include <string>

#include "base/failure.h"
#include "base/texts.h"
#include "framework/text_layout.h"
#include "framework/win32/win32_internal.h"

namespace titles::framework::win32 {
namespace {

// Mouse positions are signed: while the label holds the mouse, a point left
// of or above it is negative.
TPoint PointFromLParam(LPARAM position) noexcept {
    return {static_cast<short>(LOWORD(static_cast<DWORD_PTR>(position))),
            static_cast<short>(HIWORD(static_cast<DWORD_PTR>(position)))};
}

// A fixed single frame with a system menu and a minimise box.
constexpr DWORD kFormStyle = WS_CLIPCHILDREN | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;

}  // namespace

TFontHandle CreateDesignFont(const TFontSpec& design) {
    HFONT font = CreateFontA(-design.height, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE,
                             static_cast<DWORD>(design.charset), OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                             DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, design.name.c_str());
    if (font == nullptr) throw TFailure(FormatText(texts::kCannotCreateFont, {std::string_view(design.name)}));
    return TFontHandle(font);
}

// ------------------------------------------------------------ TWin32Label

TWin32Label::TWin32Label(TWin32Backend& backend, HWND parent, TLabelInput& input)
    : TWindowObject(backend), input_(input), parent_(parent) {
    HWND window = CreateWindowExA(0, kLabelWindowClass, "", WS_CHILD | WS_VISIBLE, 0, 0, 0, 0, parent, nullptr,
                                  backend.Instance(), static_cast<TWindowObject*>(this));
    if (window == nullptr) throw TFailure(std::string(texts::kCannotCreateLabel));
    window_.Reset(window);
}

TWin32Label::~TWin32Label() {
    if (GetCapture() == window_.Get() && window_) ReleaseCapture();
    window_.Reset();
}

// DrawTextA lays the text out, to measure it here and to paint it; both see
// no more than kMaxLaidOutBytes of it. Nothing changes when the measure fails.
TSize TWin32Label::SetText(std::string_view text, const TFontSpec& font) {
    TFontHandle created = !font_ || font != fontSpec_ ? CreateDesignFont(font) : TFontHandle();
    const std::string_view shown = text.substr(0, kMaxLaidOutBytes);
    const std::string_view measured = TextToMeasure(shown);
    RECT extent{0, 0, bounds_.width, bounds_.height};
    {
        TWindowDC screen;
        if (!screen) throw TFailure(std::string(texts::kNoScreenContext));
        TSelection selected(screen.Get(), created ? created.Get() : font_.Get());
        DrawTextA(screen.Get(), measured.data(), static_cast<int>(measured.size()), &extent,
                  DT_CALCRECT | DT_EXPANDTABS);
    }
    if (created) {
        font_ = std::move(created);
        fontSpec_ = font;
    }
    if (shown != text_) {
        text_ = shown;
        SetWindowTextA(window_.Get(), text_.c_str());
    }
    InvalidateRect(window_.Get(), nullptr, TRUE);
    return {std::min<int>(extent.right, kMaxWindowExtent), std::min<int>(extent.bottom, kMaxWindowExtent)};
}

// The area covered before is repainted by the parent, the new one by the label.
void TWin32Label::SetBounds(const TRect& bounds) {
    const RECT before{bounds_.left, bounds_.top, bounds_.Right(), bounds_.Bottom()};
    bounds_ = bounds;
    SetWindowPos(window_.Get(), nullptr, bounds.left, bounds.top, bounds.width, bounds.height,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    InvalidateRect(parent_, &before, TRUE);
    InvalidateRect(window_.Get(), nullptr, TRUE);
}

void TWin32Label::OnPaint(HWND window) {
    TPaintDC paint(window);
    RECT area{};
    GetClientRect(window, &area);
    FillRect(paint.Get(), &area, GetSysColorBrush(COLOR_BTNFACE));
    if (!font_) return;
    TSelection selected(paint.Get(), font_.Get());
    SetBkMode(paint.Get(), TRANSPARENT);
    SetTextColor(paint.Get(), GetSysColor(COLOR_WINDOWTEXT));
    DrawTextA(paint.Get(), text_.data(), static_cast<int>(text_.size()), &area, DT_EXPANDTABS | DT_LEFT);
}

// The label holds the mouse from a left press until the left release.
void TWin32Label::OnPress(TMouseButton button, bool doubleClick) {
    if (button == TMouseButton::Left) SetCapture(window_.Get());
    input_.MousePress(button, doubleClick);
}

void TWin32Label::OnRelease(TMouseButton button, LPARAM position) {
    if (button == TMouseButton::Left && GetCapture() == window_.Get()) ReleaseCapture();
    input_.MouseRelease(button, PointFromLParam(position));
}

LRESULT TWin32Label::HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_PAINT:
        OnPaint(window);
        return 0;
    case WM_ERASEBKGND:
        return 1;  // the whole label is filled when it is painted
    case WM_LBUTTONDOWN:
        OnPress(TMouseButton::Left, false);
        return 0;
    case WM_LBUTTONDBLCLK:
        OnPress(TMouseButton::Left, true);
        return 0;
    case WM_LBUTTONUP:
        OnRelease(TMouseButton::Left, lParam);
        return 0;
    case WM_RBUTTONDOWN:
    case WM_RBUTTONDBLCLK:
        OnPress(TMouseButton::Right, message == WM_RBUTTONDBLCLK);
        return 0;
    case WM_RBUTTONUP:
        OnRelease(TMouseButton::Right, lParam);
        return 0;
    case WM_MBUTTONDOWN:
    case WM_MBUTTONDBLCLK:
        OnPress(TMouseButton::Middle, message == WM_MBUTTONDBLCLK);
        return 0;
    case WM_MBUTTONUP:
        OnRelease(TMouseButton::Middle, lParam);
        return 0;
    default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
}

// ------------------------------------------------------------- TWin32Form

TWin32Form::TWin32Form(TWin32Backend& backend, const TFormDesign& design, TFormInput& input)
    : TWindowObject(backend), input_(input) {
    backend.RegisterFormClass(design.className);
    RECT outer{0, 0, design.clientSize.width, design.clientSize.height};
    AdjustWindowRectEx(&outer, kFormStyle, FALSE, 0);
    // Hidden, at the designed position, with no title, owned by the
    // program-level window (so it has no task bar button of its own).
    HWND window = CreateWindowExA(0, design.className.c_str(), "", kFormStyle, design.position.x,
                                  design.position.y, outer.right - outer.left, outer.bottom - outer.top,
                                  backend.ProgramWindow(), nullptr, backend.Instance(),
                                  static_cast<TWindowObject*>(this));
    if (window == nullptr) throw TFailure(std::string(texts::kCannotCreateWindow));
    window_.Reset(window);
    SetFont(design.font);
    backend.FormCreated(*this);
}

TWin32Form::~TWin32Form() { Destroy(); }

TSize TWin32Form::ClientSize() const {
    RECT r{};
    GetClientRect(window_.Get(), &r);
    return {r.right - r.left, r.bottom - r.top};
}

// The outer size is the frame as it stands around the new client size.
void TWin32Form::SetClientSize(TSize size) {
    RECT outer{};
    RECT client{};
    GetWindowRect(window_.Get(), &outer);
    GetClientRect(window_.Get(), &client);
    const int width = outer.right - outer.left;
    const int height = outer.bottom - outer.top;
    const int newWidth = FitWindowExtent(outer.left, width - client.right + size.width);
    const int newHeight = FitWindowExtent(outer.top, height - client.bottom + size.height);
    if (newWidth == width && newHeight == height) return;
    SetWindowPos(window_.Get(), nullptr, 0, 0, newWidth, newHeight, SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOMOVE);
}

void TWin32Form::SetFont(const TFontSpec& font) {
    TFontHandle created = CreateDesignFont(font);
    SendMessageA(window_.Get(), WM_SETFONT, reinterpret_cast<WPARAM>(created.Get()), FALSE);
    font_ = std::move(created);
}

std::unique_ptr<TNativeLabel> TWin32Form::CreateLabel(TLabelInput& input) {
    return std::make_unique<TWin32Label>(backend_, window_.Get(), input);
}

void TWin32Form::Show(TShowRequest request) {
    switch (request) {
    case TShowRequest::MinimizedNoActivate:
        backend_.StartMinimized();
        break;
    case TShowRequest::Maximized:
        backend_.ShowProgramWindow(SW_SHOWNOACTIVATE);
        ShowWindow(window_.Get(), SW_SHOWMAXIMIZED);
        break;
    case TShowRequest::Normal:
        backend_.ShowProgramWindow(SW_SHOWNOACTIVATE);
        ShowWindow(window_.Get(), SW_SHOWNORMAL);
        break;
    }
}

bool TWin32Form::IsVisible() const { return window_ && IsWindowVisible(window_.Get()) != FALSE; }

void TWin32Form::Destroy() {
    if (!window_) return;
    backend_.FormDestroyed(*this);
    window_.Reset();
}

LRESULT TWin32Form::HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CLOSE:
        input_.CloseRequested();
        return 0;
    case WM_SYSCOMMAND:
        if ((wParam & 0xFFF0) == SC_MINIMIZE) {
            backend_.MinimizeProgram();
            return 0;
        }
        return DefWindowProcA(window, message, wParam, lParam);
    default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
}

}  // namespace titles::framework::win32
