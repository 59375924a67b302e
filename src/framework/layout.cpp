#include "framework/layout.h"

#include <algorithm>
#include <cstdint>
#include <limits>

#include "base/utf8.h"

namespace titles::framework {

int MulDiv(int a, int b, int c) noexcept {
    if (c == 0) return -1;
    const std::int64_t product = static_cast<std::int64_t>(a) * b;
    const bool negative = (product < 0) != (c < 0);
    const std::uint64_t num = product < 0 ? static_cast<std::uint64_t>(-product) : static_cast<std::uint64_t>(product);
    const std::uint64_t den = c < 0 ? static_cast<std::uint64_t>(-static_cast<std::int64_t>(c)) : static_cast<std::uint64_t>(c);
    const std::uint64_t rounded = (num + den / 2) / den;
    if (rounded > static_cast<std::uint64_t>(std::numeric_limits<int>::max())) return -1;
    const auto magnitude = static_cast<std::int64_t>(rounded);
    return static_cast<int>(negative ? -magnitude : magnitude);
}

namespace {

// Whether font equals the default font a new font starts with on a screen
// of pixelsPerInch: "MS Sans Serif", default character set, no style, 8 points
// (or 9 points of Shift-JIS on a Japanese system).
bool IsDefaultFont(const TFontSpec& font, int pixelsPerInch, bool systemCharsetIsShiftJis) {
    if (systemCharsetIsShiftJis) {
        return font.charset == TCharset::ShiftJis && font.height == MulDiv(9, pixelsPerInch, 72);
    }
    return font.name == "MS Sans Serif" && font.charset == TCharset::Default &&
           font.height == MulDiv(8, pixelsPerInch, 72);
}

}  // namespace

int ScaledWindowFontHeight(const TFontSpec& windowFont, int designPixelsPerInch, int pixelsPerInch,
                           bool systemCharsetIsShiftJis) {
    if (pixelsPerInch == designPixelsPerInch || IsDefaultFont(windowFont, pixelsPerInch, systemCharsetIsShiftJis)) {
        return windowFont.height;
    }
    return MulDiv(windowFont.height, pixelsPerInch, designPixelsPerInch);
}

TScaleResult ScaleDesign(const TRect& labelBounds, int labelFontHeight, TSize designClientSize,
                         int designTextHeight, int pixelsPerInch, int zeroHeight) {
    TScaleResult result;
    if (zeroHeight == designTextHeight) {
        result.labelBounds = labelBounds;
        result.labelFontHeight = labelFontHeight;
        result.clientSize = designClientSize;
        return result;
    }
    const int h = zeroHeight;
    const int d = designTextHeight;
    result.scaled = true;
    result.labelBounds.left = MulDiv(labelBounds.left, h, d);
    result.labelBounds.top = MulDiv(labelBounds.top, h, d);
    result.labelBounds.width = MulDiv(labelBounds.Right(), h, d) - result.labelBounds.left;
    result.labelBounds.height = MulDiv(labelBounds.Bottom(), h, d) - result.labelBounds.top;
    // The label's font is its own: its point size is scaled, then turned back
    // into a character height at the screen's resolution.
    const int points = MulDiv(labelFontHeight, 72, pixelsPerInch);
    const int scaledPoints = MulDiv(points, h, d);
    result.labelFontHeight = MulDiv(scaledPoints, pixelsPerInch, 72);
    result.clientSize = {MulDiv(designClientSize.width, h, d), MulDiv(designClientSize.height, h, d)};
    return result;
}

std::string_view TextToMeasure(std::string_view caption) {
    if (caption.empty()) return " ";
    if (caption == "&") return "& ";
    return caption;
}

TTextLayout LayoutText(std::string_view text, const TTextMetrics& metrics) {
    TTextLayout layout;
    const int tabWidth = 8 * metrics.AverageCharWidth();
    int x = 0;
    std::string run;
    int runX = 0;
    std::vector<std::size_t> marks;  // offsets in run of underlined characters
    std::vector<std::size_t> markLengths;

    auto flush = [&] {
        if (run.empty()) return;
        // Each mark's offset adds the part of the run since the previous
        // mark, so a run with many marks is still measured only once over.
        int before = 0;
        std::size_t measuredTo = 0;
        for (std::size_t i = 0; i < marks.size(); ++i) {
            before += metrics.TextWidth(std::string_view(run).substr(measuredTo, marks[i] - measuredTo));
            measuredTo = marks[i];
            const int width = metrics.TextWidth(std::string_view(run).substr(marks[i], markLengths[i]));
            layout.underlines.push_back({runX + before, width});
        }
        x = runX + metrics.TextWidth(run);
        layout.runs.push_back({runX, std::move(run)});
        run.clear();
        marks.clear();
        markLengths.clear();
    };

    std::size_t i = 0;
    while (i < text.size() && i < kMaxLaidOutBytes && x <= kMaxWindowExtent) {
        char c = text[i];
        bool underline = false;
        if (c == '&') {
            if (i + 1 == text.size()) {
                i = text.size();  // a last lone "&" draws nothing
                break;
            }
            ++i;
            c = text[i];
            underline = c != '&';
        }
        if (c == '\t') {
            flush();
            if (tabWidth > 0) x = (x / tabWidth + 1) * tabWidth;
            runX = x;
            layout.shown += c;
            ++i;
            continue;
        }
        if (run.empty()) runX = x;
        const std::size_t len = metrics.Utf8() ? std::max<std::size_t>(1, Utf8SequenceLength(text, i)) : 1;
        if (underline) {
            marks.push_back(run.size());
            markLengths.push_back(len);
        }
        run.append(text.substr(i, len));
        layout.shown.append(text.substr(i, len));
        i += len;
        if (run.size() >= kLongRunBytes) flush();
    }
    flush();
    // A text measured with a space added is longer: no need to compare the text itself.
    if (TextToMeasure(text).size() != text.size()) x = metrics.TextWidth(" ");
    layout.extent = {std::min(x, kMaxWindowExtent), metrics.LineHeight()};
    layout.laidOutBytes = i;
    return layout;
}

}  // namespace titles::framework
