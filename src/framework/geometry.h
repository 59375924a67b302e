// Small value types shared by the framework and its backends.
#pragma once

#include <cstdint>
#include <string>

namespace titles::framework {

// The widest and tallest a window can be on any of the window systems: X11
// keeps coordinates in 16 signed bits, and Win32 shares the limit. A label
// is measured no further than this; text beyond it could never be seen.
inline constexpr int kMaxWindowExtent = 32767;

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
enum class TSystemColor : std::uint8_t { ButtonFace, WindowText };

struct TFontStyle {
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strikeOut = false;
    friend bool operator==(const TFontStyle&, const TFontStyle&) = default;
};

// A font as the design describes it. The height is the character height in
// pixels, without the internal leading.
struct TFontSpec {
    std::string name;
    int height = 0;
    TCharset charset = TCharset::Default;
    TSystemColor color = TSystemColor::WindowText;
    TFontStyle style;
    friend bool operator==(const TFontSpec&, const TFontSpec&) = default;
};

enum class TMouseButton : std::uint8_t { Left, Right, Middle };

// The launcher's request for the first showing of the main window.
enum class TShowRequest : std::uint8_t { Normal, Maximized, MinimizedNoActivate };

}  // namespace titles::framework
