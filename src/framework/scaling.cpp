#include "framework/scaling.h"

#include "framework/mul_div.h"

namespace titles::framework {
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

}  // namespace titles::framework
