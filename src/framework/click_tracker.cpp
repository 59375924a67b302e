#include "framework/click_tracker.h"

namespace titles::framework {

TMouseReaction TClickTracker::Press(TMouseButton button, bool doubleClick) noexcept {
    TMouseReaction reaction;
    if (button != TMouseButton::Left) return reaction;
    reaction.captureMouse = true;
    if (!doubleClick) pending_ = true;
    return reaction;
}

TMouseReaction TClickTracker::Release(TMouseButton button, TPoint point, TSize labelSize) noexcept {
    TMouseReaction reaction;
    if (button != TMouseButton::Left) return reaction;
    reaction.releaseCapture = true;
    if (pending_) {
        pending_ = false;
        reaction.click = TRect{0, 0, labelSize.width, labelSize.height}.Contains(point);
    }
    return reaction;
}

}  // namespace titles::framework
