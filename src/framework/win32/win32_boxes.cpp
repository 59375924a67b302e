// The message boxes: the error box, owned by the program-level window, modal
// for the whole program and on the monitor in use; the fatal box, unowned.
#include <vector>

#include "base/code_page_text.h"
#include "framework/win32/win32_window_system.h"

namespace titles::framework::win32 {
namespace {

// While a box is up, the program's other visible and enabled top-level
// windows are disabled; afterwards they are enabled again and the window
// that was active gets the activation and the focus back.
class TModalScope {
public:
    explicit TModalScope(HWND owner) : owner_(owner), active_(GetActiveWindow()), focus_(GetFocus()) {
        EnumThreadWindows(GetCurrentThreadId(), &TModalScope::Disable, reinterpret_cast<LPARAM>(this));
    }
    TModalScope(const TModalScope&) = delete;
    TModalScope& operator=(const TModalScope&) = delete;
    ~TModalScope() {
        for (HWND window : disabled_) {
            if (IsWindow(window)) EnableWindow(window, TRUE);
        }
        if (active_ != nullptr && IsWindow(active_)) SetActiveWindow(active_);
        if (focus_ != nullptr && IsWindow(focus_)) SetFocus(focus_);
    }
    HWND Active() const noexcept { return active_; }

private:
    static BOOL CALLBACK Disable(HWND window, LPARAM self) noexcept {
        auto* scope = reinterpret_cast<TModalScope*>(self);
        // The owner is disabled by the box itself.
        if (window != scope->owner_ && IsWindowVisible(window) && IsWindowEnabled(window)) {
            try {
                scope->disabled_.push_back(window);
            } catch (...) {
                return FALSE;
            }
            EnableWindow(window, FALSE);
        }
        return TRUE;
    }

    HWND owner_;
    HWND active_;
    HWND focus_;
    std::vector<HWND> disabled_;
};

// Brings the box up on the monitor in use: when the active window lies on
// another monitor than the program-level window, the latter moves to the
// centre of that monitor while the box is shown. Where the system has no
// monitor functions, the whole screen is one monitor and nothing moves.
class TMonitorPlacement {
public:
    TMonitorPlacement(const TMonitorApi& api, HWND programWindow, HWND active) : programWindow_(programWindow) {
        if (api.monitorFromWindow == nullptr || api.getMonitorInfo == nullptr) return;
        if (active == nullptr || programWindow == nullptr || active == programWindow) return;
        HMONITOR inUse = api.monitorFromWindow(active, MONITOR_DEFAULTTONEAREST);
        if (inUse == api.monitorFromWindow(programWindow, MONITOR_DEFAULTTONEAREST)) return;
        MONITORINFO info{};
        info.cbSize = sizeof info;
        if (!api.getMonitorInfo(inUse, &info)) return;
        if (!GetWindowRect(programWindow, &saved_)) return;
        moved_ = true;
        SetWindowPos(programWindow, nullptr, (info.rcMonitor.left + info.rcMonitor.right) / 2,
                     (info.rcMonitor.top + info.rcMonitor.bottom) / 2, 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    TMonitorPlacement(const TMonitorPlacement&) = delete;
    TMonitorPlacement& operator=(const TMonitorPlacement&) = delete;
    ~TMonitorPlacement() {
        if (moved_) {
            SetWindowPos(programWindow_, nullptr, saved_.left, saved_.top, 0, 0,
                         SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        }
    }

private:
    HWND programWindow_;
    RECT saved_{};
    bool moved_ = false;
};

}  // namespace

TMonitorApi TMonitorApi::Lookup() noexcept {
    TMonitorApi api;
    HMODULE user32 = GetModuleHandleA("user32.dll");
    if (user32 == nullptr) return api;
    // Through a plain function pointer type, so that the cast says what it does.
    api.monitorFromWindow = reinterpret_cast<decltype(api.monitorFromWindow)>(
        reinterpret_cast<void (*)()>(GetProcAddress(user32, "MonitorFromWindow")));
    api.getMonitorInfo = reinterpret_cast<decltype(api.getMonitorInfo)>(
        reinterpret_cast<void (*)()>(GetProcAddress(user32, "GetMonitorInfoA")));
    return api;
}

// Any mouse capture ends first. A box that comes up before the main window
// is shown still gets the program's task bar entry.
void TWin32WindowSystem::ErrorBox(std::string_view caption, std::string_view text) {
    if (HWND captured = GetCapture(); captured != nullptr) SendMessageA(captured, WM_CANCELMODE, 0, 0);
    const std::wstring wideCaption = MixedTextToWide(caption);
    const std::wstring wideText = MixedTextToWide(text);
    HWND owner = program_.Get();
    if (owner != nullptr && !IsWindowVisible(owner)) ShowWindow(owner, SW_SHOWNOACTIVATE);
    {
        const TModalScope modal(owner);
        const TMonitorPlacement placement(monitors_, owner, modal.Active());
        MessageBoxW(owner, wideText.c_str(), wideCaption.c_str(), MB_OK | MB_ICONSTOP);
    }
    HideProgramWindowIfAlone();
}

// Task-modal, with no owner: usable before any window exists. Its caption
// is at most 63 bytes.
void TWin32WindowSystem::FatalBox(std::string_view caption, std::string_view text) {
    constexpr std::size_t kMaxFatalCaptionBytes = 63;
    const std::wstring wideCaption = MixedTextToWide(caption.substr(0, kMaxFatalCaptionBytes));
    const std::wstring wideText = MixedTextToWide(text);
    MessageBoxW(nullptr, wideText.c_str(), wideCaption.c_str(), MB_TASKMODAL | MB_ICONSTOP);
}

}  // namespace titles::framework::win32
