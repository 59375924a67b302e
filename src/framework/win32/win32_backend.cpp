#include "framework/win32/win32_internal.h"

#include <vector>

#include "base/file_name.h"
#include "base/texts.h"
#include "framework/win32/win32_wide_text.h"
#include "base/failure.h"

namespace titles::framework::win32 {
namespace {

constexpr std::size_t kModuleNameBuffer = 256;

bool IsLeadByte(unsigned char byte) { return IsDBCSLeadByte(byte) != FALSE; }

void LowerFrom(std::string& text, std::size_t from) {
    if (from < text.size()) CharLowerA(text.data() + from);
}

std::string OwnFileName() {
    // At most 255 bytes and the terminating zero; older systems leave a cut
    // name unterminated, so the last byte stays zero in any case.
    char buffer[kModuleNameBuffer] = {};
    GetModuleFileNameA(nullptr, buffer, static_cast<DWORD>(sizeof buffer));
    buffer[sizeof buffer - 1] = '\0';
    OemToCharA(buffer, buffer);
    return buffer;
}

void RegisterWindowClass(HINSTANCE instance, const char* name, HICON icon, HBRUSH background) {
    WNDCLASSEXA existing{};
    existing.cbSize = sizeof existing;
    if (GetClassInfoExA(instance, name, &existing)) return;
    WNDCLASSEXA windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.style = CS_DBLCLKS;
    windowClass.lpfnWndProc = &TWindowObject::WindowProc;
    windowClass.hInstance = instance;
    windowClass.hIcon = icon;
    windowClass.hCursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));  // IDC_ARROW
    windowClass.hbrBackground = background;
    windowClass.lpszClassName = name;
    if (RegisterClassExA(&windowClass) == 0) throw TFailure(FormatText(texts::kCannotRegisterClass, {std::string_view(name)}));
}

}  // namespace

TShowRequest ShowRequestFromStartup(bool useShowWindow, unsigned showWindow) noexcept {
    if (!useShowWindow) return TShowRequest::Normal;  // SW_SHOWDEFAULT
    if (showWindow == SW_SHOWMAXIMIZED) return TShowRequest::Maximized;
    if (showWindow == SW_SHOWMINNOACTIVE) return TShowRequest::MinimizedNoActivate;
    return TShowRequest::Normal;
}

// ----------------------------------------------------------- TWindowObject

LRESULT CALLBACK TWindowObject::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTA*>(lParam);
        SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* object = reinterpret_cast<TWindowObject*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (object == nullptr) return DefWindowProcA(window, message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrA(window, GWLP_USERDATA, 0);
        return DefWindowProcA(window, message, wParam, lParam);
    }
    try {
        return object->HandleMessage(window, message, wParam, lParam);
    } catch (...) {
        object->backend_.EventFailed(std::current_exception());
        return 0;
    }
}

// ----------------------------------------------------------- TWin32Backend

TWin32Backend::TWin32Backend(TWin32Options options)
    : TWindowObject(*this), options_(options), instance_(GetModuleHandleA(nullptr)) {
    icon_ = LoadIconA(instance_, "MAINICON");
    RegisterWindowClass(instance_, kProgramWindowClass, icon_, nullptr);
    RegisterWindowClass(instance_, kLabelWindowClass, nullptr, nullptr);
}

TWin32Backend::~TWin32Backend() {
    programWindow_.Reset();
    if (options_.exitProcessOnDestroy) ExitProcess(fatalBoxShown_ ? 1 : 0);
}

std::string TWin32Backend::ProgramFilePath() { return OwnFileName(); }

TTitleRules TWin32Backend::TitleRules() { return {'\\', &IsLeadByte, &LowerFrom}; }

std::string TWin32Backend::ModuleName() { return std::string(FileNameOf(OwnFileName(), "\\", &IsLeadByte)); }

TShowRequest TWin32Backend::LauncherShowRequest() {
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    GetStartupInfoA(&startup);
    return ShowRequestFromStartup((startup.dwFlags & STARTF_USESHOWWINDOW) != 0, startup.wShowWindow);
}

void TWin32Backend::CreateProgramWindow(std::string_view title) {
    const std::string text(title);
    // Centred on the screen with no size: only its task bar entry is seen.
    HWND window = CreateWindowExA(0, kProgramWindowClass, text.c_str(),
                                  WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPSIBLINGS,
                                  GetSystemMetrics(SM_CXSCREEN) / 2, GetSystemMetrics(SM_CYSCREEN) / 2, 0, 0,
                                  nullptr, nullptr, instance_, static_cast<TWindowObject*>(this));
    if (window == nullptr) throw TFailure(std::string(texts::kCannotCreateProgramWindow));
    programWindow_.Reset(window);
    if (icon_ != nullptr) {
        SendMessageA(window, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon_));
        SendMessageA(window, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon_));
    }
    // The task bar entry's window menu offers restore, minimise and close.
    HMENU menu = GetSystemMenu(window, FALSE);
    if (menu != nullptr) {
        DeleteMenu(menu, SC_MAXIMIZE, MF_BYCOMMAND);
        DeleteMenu(menu, SC_SIZE, MF_BYCOMMAND);
        DeleteMenu(menu, SC_MOVE, MF_BYCOMMAND);
    }
}

std::string TWin32Backend::ProgramWindowTitle() {
    char buffer[kMaxTitleBytes + 1] = {};
    if (programWindow_) GetWindowTextA(programWindow_.Get(), buffer, static_cast<int>(sizeof buffer));
    return buffer;
}

int TWin32Backend::ScreenPixelsPerInch() {
    TWindowDC screen;
    if (!screen) throw TFailure(std::string(texts::kNoScreenContext));
    return GetDeviceCaps(screen.Get(), LOGPIXELSY);
}

int TWin32Backend::ZeroTextHeight(const TFontSpec& font) {
    const TFontHandle created = CreateDesignFont(font);
    TWindowDC screen;
    if (!screen) throw TFailure(std::string(texts::kNoScreenContext));
    TSelection selected(screen.Get(), created.Get());
    SIZE extent{};
    GetTextExtentPoint32A(screen.Get(), "0", 1, &extent);
    return extent.cy;
}

bool TWin32Backend::SystemCharsetIsShiftJis() { return GetACP() == 932; }

void TWin32Backend::RegisterFormClass(const std::string& className) {
    RegisterWindowClass(instance_, className.c_str(), icon_,
                        reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_BTNFACE + 1)));
}

std::unique_ptr<TNativeForm> TWin32Backend::CreateForm(const TFormDesign& design, TFormInput& input) {
    if (!programWindow_) throw TFailure(std::string(texts::kNoProgramWindow));
    return std::make_unique<TWin32Form>(*this, design, input);
}

void TWin32Backend::FormCreated(TWin32Form& form) {
    if (mainForm_ == nullptr) mainForm_ = &form;
}

void TWin32Backend::FormDestroyed(TWin32Form& form) noexcept {
    if (mainForm_ != &form) return;
    mainForm_ = nullptr;
    mainHiddenByMinimize_ = false;
    if (programWindow_) ShowWindow(programWindow_.Get(), SW_HIDE);
}

void TWin32Backend::RunEventLoop() {
    bool quit = false;
    while (!quit) {
        try {
            MSG message{};
            if (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
                if (message.message == WM_QUIT) {
                    quit = true;
                } else {
                    TranslateMessage(&message);
                    DispatchMessageA(&message);
                }
            } else {
                WaitMessage();
            }
        } catch (...) {
            EventFailed(std::current_exception());
        }
    }
}

void TWin32Backend::Quit() { PostQuitMessage(0); }

void TWin32Backend::EventFailed(std::exception_ptr failure) noexcept {
    if (failureSink_ != nullptr) failureSink_->HandleEventFailure(std::move(failure));
}

void TWin32Backend::ShowProgramWindow(int command) {
    if (programWindow_) ShowWindow(programWindow_.Get(), command);
}

void TWin32Backend::StartMinimized() {
    mainHiddenByMinimize_ = true;
    ShowProgramWindow(SW_SHOWMINNOACTIVE);
}

void TWin32Backend::MinimizeProgram() {
    if (mainForm_ != nullptr && IsWindowVisible(mainForm_->Handle())) {
        ShowWindow(mainForm_->Handle(), SW_HIDE);
        mainHiddenByMinimize_ = true;
    }
    ShowProgramWindow(SW_MINIMIZE);
}

void TWin32Backend::HideProgramWindowIfAlone() {
    if (!programWindow_ || IsIconic(programWindow_.Get())) return;
    if (mainForm_ != nullptr && IsWindowVisible(mainForm_->Handle())) return;
    if (mainHiddenByMinimize_) return;
    ShowWindow(programWindow_.Get(), SW_HIDE);
}

void TWin32Backend::OnProgramWindowSize(WPARAM kind) {
    if (mainForm_ == nullptr) return;
    HWND main = mainForm_->Handle();
    if (kind == SIZE_MINIMIZED) {
        // Minimised from its task bar entry: the main window goes with it.
        if (IsWindowVisible(main)) {
            ShowWindow(main, SW_HIDE);
            mainHiddenByMinimize_ = true;
        }
    } else if (kind == SIZE_RESTORED && mainHiddenByMinimize_) {
        mainHiddenByMinimize_ = false;
        ShowWindow(main, SW_SHOW);
    }
}

LRESULT TWin32Backend::HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CLOSE:
        // Close on the task bar entry closes the main window, which ends the program.
        if (mainForm_ != nullptr) {
            mainForm_->Input().CloseRequested();
        } else {
            Quit();
        }
        return 0;
    case WM_SIZE:
        OnProgramWindowSize(wParam);
        return DefWindowProcA(window, message, wParam, lParam);
    case WM_SYSCOMMAND:
        switch (wParam & 0xFFF0) {
        case SC_MAXIMIZE:
        case SC_SIZE:
        case SC_MOVE:
            return 0;
        default:
            return DefWindowProcA(window, message, wParam, lParam);
        }
    case WM_SETFOCUS:
        if (mainForm_ != nullptr && IsWindowVisible(mainForm_->Handle()) && IsWindowEnabled(mainForm_->Handle())) {
            SetFocus(mainForm_->Handle());
            return 0;
        }
        return DefWindowProcA(window, message, wParam, lParam);
    default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
}

}  // namespace titles::framework::win32
