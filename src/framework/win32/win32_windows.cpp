// The main window and its label as Win32 windows.
#include <algorithm>
#include <string>

#include "base/texts.h"
#include "framework/win32/win32_internal.h"
#include "base/failure.h"

namespace titles::framework::win32 {
namespace {

// No window is wider than kMaxWindowExtent, and every character is at least
// a pixel wide (a mnemonic's "&" and a double-byte character take two bytes
// each): what lies beyond this many bytes can never be seen, and is neither
// measured nor drawn.
constexpr std::size_t kMaxShownBytes = 4 * static_cast<std::size_t>(kMaxWindowExtent);

std::string_view Showable(std::string_view text) noexcept { return text.substr(0, kMaxShownBytes); }

int SystemColorIndex(TSystemColor color) noexcept {
    return color == TSystemColor::ButtonFace ? COLOR_BTNFACE : COLOR_WINDOWTEXT;
}

// Mouse positions are signed: while the label holds the capture, a point
// left of or above it is negative.
TPoint PointFromLParam(LPARAM position) noexcept {
    return {static_cast<short>(LOWORD(static_cast<DWORD_PTR>(position))),
            static_cast<short>(HIWORD(static_cast<DWORD_PTR>(position)))};
}

DWORD FormStyle(const TFormDesign& design) noexcept {
    DWORD style = WS_CLIPCHILDREN;
    switch (design.borderStyle) {
    case TBorderStyle::Single:
        style |= WS_CAPTION;
        break;
    case TBorderStyle::Sizeable:
        style |= WS_CAPTION | WS_THICKFRAME;
        break;
    case TBorderStyle::None:
        style |= WS_POPUP;
        break;
    }
    if (design.borderStyle != TBorderStyle::None && design.systemMenu) {
        style |= WS_SYSMENU;
        if (design.minimizeBox) style |= WS_MINIMIZEBOX;
        if (design.maximizeBox) style |= WS_MAXIMIZEBOX;
    }
    return style;
}

}  // namespace

TFontHandle CreateDesignFont(const TFontSpec& design) {
    HFONT font = CreateFontA(-design.height, 0, 0, 0, design.style.bold ? FW_BOLD : FW_NORMAL, design.style.italic,
                             design.style.underline, design.style.strikeOut, static_cast<DWORD>(design.charset),
                             OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE,
                             design.name.c_str());
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

const TFontHandle& TWin32Label::FontFor(const TFontSpec& wanted, TFontHandle& scratch) const {
    if (font_ && wanted == fontSpec_) return font_;
    scratch = CreateDesignFont(wanted);
    return scratch;
}

TSize TWin32Label::MeasureText(std::string_view text, const TFontSpec& font) {
    TFontHandle scratch;
    const TFontHandle& measureFont = FontFor(font, scratch);
    RECT extent{0, 0, bounds_.width, bounds_.height};
    {
        TWindowDC screen;
        if (!screen) throw TFailure(std::string(texts::kNoScreenContext));
        TSelection selected(screen.Get(), measureFont.Get());
        const std::string_view shown = Showable(text);
        DrawTextA(screen.Get(), shown.data(), static_cast<int>(shown.size()), &extent, DT_CALCRECT | DT_EXPANDTABS);
    }
    return {std::min<int>(extent.right, kMaxWindowExtent), std::min<int>(extent.bottom, kMaxWindowExtent)};
}

void TWin32Label::Update(std::string_view text, const TFontSpec& font, const TRect& bounds) {
    if (!font_ || font != fontSpec_) {
        font_ = CreateDesignFont(font);
        fontSpec_ = font;
    }
    if (Showable(text) != text_) {
        text_ = Showable(text);
        SetWindowTextA(window_.Get(), text_.c_str());
    }
    // The area covered before is repainted by the parent, the new one by the label.
    const RECT before{bounds_.left, bounds_.top, bounds_.Right(), bounds_.Bottom()};
    if (bounds != bounds_) {
        bounds_ = bounds;
        SetWindowPos(window_.Get(), nullptr, bounds.left, bounds.top, bounds.width, bounds.height,
                     SWP_NOZORDER | SWP_NOACTIVATE);
        InvalidateRect(parent_, &before, TRUE);
    }
    InvalidateRect(window_.Get(), nullptr, TRUE);
    backend_.ThrowPendingFailure();
}

void TWin32Label::SetMouseCapture(bool captured) {
    if (captured) {
        SetCapture(window_.Get());
    } else if (GetCapture() == window_.Get()) {
        ReleaseCapture();
    }
}

void TWin32Label::OnPaint(HWND window) {
    TPaintDC paint(window);
    RECT area{};
    GetClientRect(window, &area);
    FillRect(paint.Get(), &area, GetSysColorBrush(COLOR_BTNFACE));
    if (!font_) return;
    TSelection selected(paint.Get(), font_.Get());
    SetBkMode(paint.Get(), TRANSPARENT);
    SetTextColor(paint.Get(), GetSysColor(SystemColorIndex(fontSpec_.color)));
    DrawTextA(paint.Get(), text_.data(), static_cast<int>(text_.size()), &area, DT_EXPANDTABS | DT_LEFT);
}

void TWin32Label::OnPress(TMouseButton button, bool doubleClick) { input_.MousePress(button, doubleClick); }

void TWin32Label::OnRelease(TMouseButton button, LPARAM position) {
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
    const DWORD style = FormStyle(design);
    RECT outer{0, 0, design.clientSize.width, design.clientSize.height};
    AdjustWindowRectEx(&outer, style, FALSE, 0);
    // Hidden, at the designed position, owned by the program-level window
    // (so it has no task bar button of its own).
    HWND window = CreateWindowExA(0, design.className.c_str(), design.caption.c_str(), style, design.position.x,
                                  design.position.y, outer.right - outer.left, outer.bottom - outer.top,
                                  backend.ProgramWindow(), nullptr, backend.Instance(),
                                  static_cast<TWindowObject*>(this));
    if (window == nullptr) throw TFailure(std::string(texts::kCannotCreateWindow));
    window_.Reset(window);
    SetFont(design.font);
    backend.FormCreated(*this);
    backend.ThrowPendingFailure();
}

TWin32Form::~TWin32Form() { Destroy(); }

TRect TWin32Form::OuterBounds() const {
    RECT r{};
    GetWindowRect(window_.Get(), &r);
    return {r.left, r.top, r.right - r.left, r.bottom - r.top};
}

TSize TWin32Form::ClientSize() const {
    RECT r{};
    GetClientRect(window_.Get(), &r);
    return {r.right - r.left, r.bottom - r.top};
}

void TWin32Form::SetOuterSize(TSize size) {
    SetWindowPos(window_.Get(), nullptr, 0, 0, size.width, size.height,
                 SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOMOVE);
    backend_.ThrowPendingFailure();
}

void TWin32Form::SetClientSize(TSize size) {
    const TRect outer = OuterBounds();
    const TSize client = ClientSize();
    SetOuterSize({outer.width - client.width + size.width, outer.height - client.height + size.height});
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
    backend_.ThrowPendingFailure();
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
