// Small value types shared by the framework and its backends.
#pragma once

#include <algorithm>
#include <cstdint>
#include <string>

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
    int x = 0;
    int y = 0;
    friend bool operator==(const TPoint&, const TPoint&) = default;
};

struct TSize {
    int width = 0;
    int height = 0;
    friend bool operator==(const TSize&, const TSize&) = default;
};

struct TRect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    int Right() const noexcept { return left + width; }
    int Bottom() const noexcept { return top + height; }
    // Whether p lies inside, right and bottom edges excluded.
    bool Contains(TPoint p) const noexcept {
        return p.x >= left && p.x < Right() && p.y >= top && p.y < Bottom();
    }
    friend bool operator==(const TRect&, const TRect&) = default;
};

enum class TCharset : std::uint8_t { Ansi = 0, Default = 1, ShiftJis = 128 };

// A font as the design describes it, in the window-text colour and without
// style. The height is the character height in pixels, without the
// internal leading.
struct TFontSpec {
    std::string name;
    int height = 0;
    TCharset charset = TCharset::Default;
    friend bool operator==(const TFontSpec&, const TFontSpec&) = default;
};

enum class TMouseButton : std::uint8_t { Left, Right, Middle };

// The launcher's request for the first showing of the main window.
enum class TShowRequest : std::uint8_t { Normal, Maximized, MinimizedNoActivate };

}  // namespace titles::framework
