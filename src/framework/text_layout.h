// Laying out a label's one line of text the way the label draws it: "&"
// marks the next character as its mnemonic (underlined, the "&" itself not
// drawn), "&&" draws one "&", and a tab moves on to the next stop every
// eight average character widths. Measuring and painting both use this
// layout, so a label is always exactly as large as what it draws.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "framework/geometry.h"

namespace titles::framework {

// Text measurement in one font, supplied by a backend.
class TTextMetrics {
public:
    virtual ~TTextMetrics() = default;
    // Advance width of a run of bytes holding no tab and no "&" prefix.
    virtual int TextWidth(std::string_view run) const = 0;
    virtual int LineHeight() const = 0;
    virtual int AverageCharWidth() const = 0;
    // Number of bytes of the character that starts at text[pos].
    virtual std::size_t CharLength(std::string_view text, std::size_t pos) const;
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
};

TTextLayout LayoutText(std::string_view text, const TTextMetrics& metrics);

// What the label measures: its text, or the text with a space appended when
// it is empty or exactly "&", so that a label never measures zero wide.
std::string TextToMeasure(std::string_view caption);

}  // namespace titles::framework
