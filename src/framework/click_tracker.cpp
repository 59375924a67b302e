#include "framework/click_tracker.h"

namespace titles::framework {

void TClickTracker::Press(TMouseButton button, bool doubleClick) noexcept {
    if (button == TMouseButton::Left && !doubleClick) pending_ = true;
}

bool TClickTracker::Release(TMouseButton button, TPoint point, TSize labelSize) noexcept {
    if (button != TMouseButton::Left || !pending_) return false;
    pending_ = false;
    return TRect{0, 0, labelSize.width, labelSize.height}.Contains(point);
}

}  // namespace titles::framework
