// Owners of Win32 handles, one kind each: a window, a font, a device
// context taken with GetDC, one painted with BeginPaint, and an object
// selected into a device context (put back when the owner goes).
// Only the Win32 window system's sources and tests include this header.
#pragma once

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <utility>

namespace titles::framework::win32 {

// A handle owned alone: given back with Free when its owner goes or takes
// another; moved, never copied.
template <typename THandle, void (*Free)(THandle)>
class TOwned {
public:
    TOwned() = default;
    explicit TOwned(THandle handle) noexcept : handle_(handle) {}
    TOwned(TOwned&& other) noexcept : handle_(std::exchange(other.handle_, nullptr)) {}
    TOwned& operator=(TOwned&& other) noexcept {
        if (this != &other) Reset(std::exchange(other.handle_, nullptr));
        return *this;
    }
    ~TOwned() { Reset(); }

    THandle Get() const noexcept { return handle_; }
    explicit operator bool() const noexcept { return handle_ != nullptr; }
    void Reset(THandle handle = nullptr) noexcept {
        if (handle_ != nullptr) Free(handle_);
        handle_ = handle;
    }

private:
    THandle handle_ = nullptr;
};

// A window, destroyed unless something else has destroyed it already.
inline void DestroyOwnedWindow(HWND window) {
    if (IsWindow(window)) DestroyWindow(window);
}
using TWindowHandle = TOwned<HWND, &DestroyOwnedWindow>;

// A font, deleted as GDI objects are.
inline void DeleteFont(HFONT font) { DeleteObject(font); }
using TFontHandle = TOwned<HFONT, &DeleteFont>;

// A device context from GetDC (of a window, or of the screen for a null
// window), given back with ReleaseDC.
class TWindowDC {
public:
    explicit TWindowDC(HWND window = nullptr) noexcept : window_(window), dc_(GetDC(window)) {}
    TWindowDC(const TWindowDC&) = delete;
    TWindowDC& operator=(const TWindowDC&) = delete;
    ~TWindowDC() {
        if (dc_ != nullptr) ReleaseDC(window_, dc_);
    }
    HDC Get() const noexcept { return dc_; }
    explicit operator bool() const noexcept { return dc_ != nullptr; }

private:
    HWND window_;
    HDC dc_;
};

// The device context of one WM_PAINT, between BeginPaint and EndPaint.
class TPaintDC {
public:
    explicit TPaintDC(HWND window) noexcept : window_(window), dc_(BeginPaint(window, &paint_)) {}
    TPaintDC(const TPaintDC&) = delete;
    TPaintDC& operator=(const TPaintDC&) = delete;
    ~TPaintDC() { EndPaint(window_, &paint_); }
    HDC Get() const noexcept { return dc_; }

private:
    HWND window_;
    PAINTSTRUCT paint_{};
    HDC dc_;
};

// An object selected into a device context; the one it replaced is selected
// again when this goes, before the object itself may be deleted.
class TSelection {
public:
    TSelection(HDC dc, HGDIOBJ object) noexcept : dc_(dc), previous_(SelectObject(dc, object)) {}
    TSelection(const TSelection&) = delete;
    TSelection& operator=(const TSelection&) = delete;
    ~TSelection() {
        if (previous_ != nullptr && previous_ != HGDI_ERROR) SelectObject(dc_, previous_);
    }

private:
    HDC dc_;
    HGDIOBJ previous_;
};

}  // namespace titles::framework::win32
