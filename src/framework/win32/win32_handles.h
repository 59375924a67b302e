// Owners of Win32 handles, one kind each: a window, a device context taken
// with GetDC, one painted with BeginPaint, a GDI object, and an object
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

// A window destroyed with DestroyWindow.
class TWindowHandle {
public:
    TWindowHandle() = default;
    explicit TWindowHandle(HWND window) noexcept : window_(window) {}
    TWindowHandle(TWindowHandle&& other) noexcept : window_(std::exchange(other.window_, nullptr)) {}
    TWindowHandle& operator=(TWindowHandle&& other) noexcept {
        if (this != &other) Reset(std::exchange(other.window_, nullptr));
        return *this;
    }
    TWindowHandle(const TWindowHandle&) = delete;
    TWindowHandle& operator=(const TWindowHandle&) = delete;
    ~TWindowHandle() { Reset(); }

    HWND Get() const noexcept { return window_; }
    explicit operator bool() const noexcept { return window_ != nullptr; }
    void Reset(HWND window = nullptr) noexcept {
        if (window_ != nullptr && IsWindow(window_)) DestroyWindow(window_);
        window_ = window;
    }

private:
    HWND window_ = nullptr;
};

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

// A font, pen, brush or bitmap, deleted with DeleteObject.
template <typename THandle>
class TGdiObject {
public:
    TGdiObject() = default;
    explicit TGdiObject(THandle object) noexcept : object_(object) {}
    TGdiObject(TGdiObject&& other) noexcept : object_(std::exchange(other.object_, nullptr)) {}
    TGdiObject& operator=(TGdiObject&& other) noexcept {
        if (this != &other) Reset(std::exchange(other.object_, nullptr));
        return *this;
    }
    TGdiObject(const TGdiObject&) = delete;
    TGdiObject& operator=(const TGdiObject&) = delete;
    ~TGdiObject() { Reset(); }

    THandle Get() const noexcept { return object_; }
    explicit operator bool() const noexcept { return object_ != nullptr; }
    void Reset(THandle object = nullptr) noexcept {
        if (object_ != nullptr) DeleteObject(object_);
        object_ = object;
    }

private:
    THandle object_ = nullptr;
};

using TFontHandle = TGdiObject<HFONT>;

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
