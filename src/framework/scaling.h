// Scaling a designed window to the screen it is built on. The design was
// made at 96 pixels per inch with "0" 15 pixels high in the window's font;
// the label is resized and its font re-sized by the ratio of the actual
// height of "0" to the designed one.
#pragma once

#include "framework/geometry.h"

namespace titles::framework {

// The window font's character height on a screen of pixelsPerInch. The
// design height is kept at the design resolution, and also when the font
// equals the default font every new font starts with (then it is left as is).
int ScaledWindowFontHeight(const TFontSpec& windowFont, int designPixelsPerInch, int pixelsPerInch,
                           bool systemCharsetIsShiftJis = false);

struct TScaleResult {
    bool scaled = false;     // false when the height of "0" equals the design's
    TRect labelBounds;       // the label's bounds after scaling
    int labelFontHeight = 0; // the label font's character height after scaling
    TSize clientSize;        // the window's client size to set
};

// zeroHeight is the height of "0" in the (already re-sized) window font.
TScaleResult ScaleDesign(const TRect& labelBounds, int labelFontHeight, TSize designClientSize,
                         int designTextHeight, int pixelsPerInch, int zeroHeight);

}  // namespace titles::framework
