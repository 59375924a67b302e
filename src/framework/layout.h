// The window's portable layout: scaling the design to the screen, and
// laying out the label's one line of text the way the label draws it ("&"
// marks the next character as its mnemonic, underlined, the "&" itself not
// drawn; "&&" draws one "&"; a tab moves on to the next stop every eight
// average character widths). Measuring and painting both use one layout,
// so the label is always exactly as large as what it draws.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "framework/window_system.h"

namespace titles::framework {

// a * b / c with a 64-bit intermediate, rounded to the nearest integer,
// halves away from zero. Returns -1 when c is 0 or the result overflows.
int MulDiv(int a, int b, int c) noexcept;

// The window font's character height on a screen of pixelsPerInch. The
// design height is kept at the design resolution, and also when the font
// equals the default font every new font starts with.
int ScaledWindowFontHeight(const TFontSpec& windowFont, int designPixelsPerInch, int pixelsPerInch,
                           bool systemCharsetIsShiftJis = false);

struct TScaleResult {
    bool scaled = false;     // false when the height of "0" equals the design's
    TRect labelBounds;       // the label's bounds after scaling
    int labelFontHeight = 0; // the label font's character height after scaling
    TSize clientSize;        // the window's client size to set
};

// Scales the design by the ratio of the height of "0" in the (already
// re-sized) window font, zeroHeight, to the designed one.
TScaleResult ScaleDesign(const TRect& labelBounds, int labelFontHeight, TSize designClientSize,
                         int designTextHeight, int pixelsPerInch, int zeroHeight);

// Text measurement in one font, supplied by a window system. Its text is
// UTF-8, where a well-formed character takes several bytes, or else one
// byte is one character.
class TTextMetrics {
public:
    explicit TTextMetrics(bool utf8) noexcept : utf8_(utf8) {}
    virtual ~TTextMetrics() = default;
    // Advance width of a run of bytes holding no tab and no "&" prefix.
    virtual int TextWidth(std::string_view run) const = 0;
    virtual int LineHeight() const = 0;
    virtual int AverageCharWidth() const = 0;
    bool Utf8() const noexcept { return utf8_; }

private:
    bool utf8_;
};

struct TTextRun {
    int x = 0;
    std::string text;
    friend bool operator==(const TTextRun&, const TTextRun&) = default;
};

struct TUnderline {
    int x = 0;
    int width = 0;
    friend bool operator==(const TUnderline&, const TUnderline&) = default;
};

struct TTextLayout {
    TSize extent;
    std::vector<TTextRun> runs;           // drawn left to right on one line
    std::vector<TUnderline> underlines;   // mnemonic underlines
    // The text as far as it is laid out, as the label shows it, for screen
    // readers: each mnemonic "&" left out, "&&" as one "&", a last lone "&"
    // dropped, tabs kept.
    std::string shown;
    // How many bytes of the text the runs cover: all of it, unless the line
    // went past the widest window or kMaxLaidOutBytes, where the layout stops.
    std::size_t laidOutBytes = 0;
};

// Runs longer than this are measured piece by piece, so that a line is
// measured no further than the widest window, however long the text.
inline constexpr std::size_t kLongRunBytes = 1024;

// Nor is a line laid out past this many bytes: four for each pixel of the
// widest window, more than any visible character needs, so that text of
// characters without width (combining marks, joiners), which never grows
// wider, costs no more than text that fills the window.
inline constexpr std::size_t kMaxLaidOutBytes = 4 * static_cast<std::size_t>(kMaxWindowExtent);

// Lays the text out on one line, as the label draws it. The work stops once
// the line is wider than kMaxWindowExtent (the extent is then that width and
// the runs reach just past it) or has taken kMaxLaidOutBytes. An empty text
// or a lone "&" draws nothing but is as wide as a space (TextToMeasure).
TTextLayout LayoutText(std::string_view text, const TTextMetrics& metrics);

// What the label measures: its text, or the text with a space appended when
// it is empty or exactly "&", so that a label never measures zero wide.
std::string_view TextToMeasure(std::string_view caption);

}  // namespace titles::framework
