// Recognising a click on a label from raw mouse events: the left button
// pressed on the label and released inside it. The second press of a double
// click arms nothing, so a double click gives exactly one click. The mouse
// is held by the native label from the press to the release.
#pragma once

#include "framework/geometry.h"

namespace titles::framework {

class TClickTracker {
public:
    // A press at the label. doubleClick is true for the second press of a
    // double click.
    void Press(TMouseButton button, bool doubleClick) noexcept;
    // A release; point is relative to the label of the given size. Returns
    // whether it completes a click.
    bool Release(TMouseButton button, TPoint point, TSize labelSize) noexcept;

private:
    bool pending_ = false;
};

}  // namespace titles::framework
