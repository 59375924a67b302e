// A deterministic window system for tests, a peer of the real ones: fixed
// text metrics, no display, a scripted event queue, and a record of the
// window and of every box shown.
#pragma once

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "framework/layout.h"
#include "framework/window_system.h"

namespace titles::framework::headless {

// Its text metrics are fixed: every byte is half the character height wide
// (rounded up), a line is the character height plus 3. Its window's frame
// is 3 pixels wide, 22 high at the top with its title bar.
struct THeadlessConfig {
    std::string programPath = "/usr/local/bin/titles";
    TShowRequest showRequest = TShowRequest::Normal;
    int pixelsPerInch = 96;
    // The height of "0" in a font; by default its character height plus 4,
    // so the designed window font (11) gives the designed 15.
    std::function<int(const TFontSpec&)> zeroHeight;
    bool failBuild = false;  // the window system refuses the window
    bool echo = false;       // also print boxes and titles on standard output
};

struct TRecordedBox {
    bool fatal = false;
    std::string caption;
    std::string text;
    bool windowVisible = false;
};

class THeadlessWindowSystem final : public TWindowSystem {
public:
    explicit THeadlessWindowSystem(THeadlessConfig config = {}) : config_(std::move(config)) {}

    std::string ProgramFilePath() override { return config_.programPath; }
    TTitleRules TitleRules() override { return {}; }
    int PixelsPerInch() override { return config_.pixelsPerInch; }
    bool SystemCharsetIsShiftJis() override { return false; }
    int ZeroTextHeight(const TFontSpec& font) override;
    void BuildWindow(const TWindowDesign& design, std::string_view title, TWindowEvents& events) override;
    TSize SetLabelText(std::string_view text, const TFontSpec& font) override;
    void SetLabelBounds(const TRect& bounds) override;
    void SetClientSize(TSize size) override;
    void Show() override;
    void Run() override;
    void Quit() override;
    void ErrorBox(std::string_view caption, std::string_view text) override;
    void FatalBox(std::string_view caption, std::string_view text) override;

    // ---- the test's side
    // Queues an event; the loop runs it, a failure goes to the window's
    // guard as a failed event's does.
    void Post(std::function<void()> event) { queue_.push_back(std::move(event)); }
    // Mouse events at a point of the client area, routed as a window
    // system routes them: to the label under the pointer, or to the label
    // holding the mouse from a left press to the left release.
    void PostPress(TPoint client, TMouseButton button = TMouseButton::Left, bool doubleClick = false);
    void PostRelease(TPoint client, TMouseButton button = TMouseButton::Left);
    void PostClick(TPoint client) { PostPress(client), PostRelease(client); }
    void PostClose();
    void PostLabelAction();
    // Runs when a box comes up, before it is recorded as dismissed.
    std::function<void(const TRecordedBox&)> onBox;

    // The window as it stands.
    bool Visible() const noexcept { return visible_; }
    const TRect& OuterBounds() const noexcept { return outer_; }
    TSize ClientSize() const noexcept;
    void MoveTo(TPoint p) { outer_.left = p.x, outer_.top = p.y; }
    const std::string& LabelText() const noexcept { return labelText_; }
    const TFontSpec& LabelFont() const noexcept { return labelFont_; }
    const TRect& LabelBounds() const noexcept { return labelBounds_; }
    bool LabelHoldsMouse() const noexcept { return captured_; }
    int Resizes() const noexcept { return resizes_; }
    int Repaints() const noexcept { return repaints_; }
    const std::vector<TRecordedBox>& Boxes() const noexcept { return boxes_; }
    const std::vector<std::string>& Log() const noexcept { return log_; }

private:
    void Record(TRecordedBox box);

    THeadlessConfig config_;
    TWindowEvents* events_ = nullptr;
    bool visible_ = false;
    bool quit_ = false;
    TRect outer_;
    std::string labelText_;
    TFontSpec labelFont_;
    TRect labelBounds_;
    bool captured_ = false;
    int resizes_ = 0;
    int repaints_ = 0;
    std::deque<std::function<void()>> queue_;
    std::vector<TRecordedBox> boxes_;
    std::vector<std::string> log_;
};

}  // namespace titles::framework::headless
