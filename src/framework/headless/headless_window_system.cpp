#include "framework/headless/headless_window_system.h"

#include <cstdio>

#include "base/failure.h"

namespace titles::framework {

// As a program's window system: no display and no events but a close
// request; boxes and titles are echoed to standard output, so a run shows
// the program's start-up on the console and ends as if the window were closed.
std::unique_ptr<TWindowSystem> CreateWindowSystem(int argc, char** argv) {
    headless::THeadlessConfig config;
    if (argc > 0 && argv[0] != nullptr) config.programPath = argv[0];
    config.echo = true;
    auto windows = std::make_unique<headless::THeadlessWindowSystem>(config);
    windows->PostClose();
    return windows;
}

}  // namespace titles::framework

namespace titles::framework::headless {

namespace {

constexpr int kFrame = 3;         // left, right and bottom border
constexpr int kCaption = 22;  // title bar and top border

class TMetrics : public TTextMetrics {
public:
    explicit TMetrics(int characterHeight) : TTextMetrics(false), height_(characterHeight) {}
    // Layouts measure runs of a few kilobytes at most.
    int TextWidth(std::string_view run) const override { return static_cast<int>(run.size()) * AverageCharWidth(); }
    int LineHeight() const override { return height_ + 3; }
    int AverageCharWidth() const override { return (height_ + 1) / 2; }

private:
    int height_;
};

}  // namespace

int THeadlessWindowSystem::ZeroTextHeight(const TFontSpec& font) {
    return config_.zeroHeight ? config_.zeroHeight(font) : font.height + 4;
}

void THeadlessWindowSystem::BuildWindow(const TWindowDesign& design, std::string_view title, TWindowEvents& events) {
    if (config_.failBuild) throw TFailure(TFailureKind::CannotCreateWindow);
    events_ = &events;
    outer_ = {design.position.x, design.position.y, design.clientSize.width + 2 * kFrame,
              design.clientSize.height + kCaption + kFrame};
    labelBounds_ = design.labelBounds;
    log_.push_back("window " + std::string(title));
}

TSize THeadlessWindowSystem::SetLabelText(std::string_view text, const TFontSpec& font) {
    if (config_.echo && text != labelText_) {
        std::printf("label: %.*s\n", static_cast<int>(text.size()), text.data());
        std::fflush(stdout);
    }
    labelText_ = text;
    labelFont_ = font;
    ++repaints_;
    return LayoutText(text, TMetrics(font.height)).extent;
}

void THeadlessWindowSystem::SetLabelBounds(const TRect& bounds) { labelBounds_ = bounds, ++repaints_; }

TSize THeadlessWindowSystem::ClientSize() const noexcept {
    return {outer_.width - 2 * kFrame, outer_.height - kCaption - kFrame};
}

void THeadlessWindowSystem::SetClientSize(TSize size) {
    const TRect outer{outer_.left, outer_.top, FitWindowExtent(outer_.left, size.width + 2 * kFrame),
                      FitWindowExtent(outer_.top, size.height + kCaption + kFrame)};
    if (outer != outer_) outer_ = outer, ++resizes_;
}

void THeadlessWindowSystem::Show() {
    visible_ = config_.showRequest != TShowRequest::MinimizedNoActivate;
    log_.push_back((visible_ ? "show " : "show minimized ") + labelText_);
}

// Each event is handled under the guard: its failure goes up as a failed event.
void THeadlessWindowSystem::Run() {
    log_.push_back("loop");
    while (!quit_ && !queue_.empty()) {
        const std::function<void()> event = std::move(queue_.front());
        queue_.pop_front();
        try {
            event();
        } catch (...) {
            if (events_ != nullptr) events_->EventFailed(std::current_exception());
        }
    }
    log_.push_back("loop end");
}

void THeadlessWindowSystem::Quit() { quit_ = true, log_.push_back("quit"); }

void THeadlessWindowSystem::ErrorBox(std::string_view caption, std::string_view text) {
    if (std::exchange(captured_, false)) log_.push_back("cancel capture");
    Record({false, std::string(caption), std::string(text), visible_});
}

void THeadlessWindowSystem::FatalBox(std::string_view caption, std::string_view text) {
    Record({true, std::string(caption), std::string(text), false});
}

// A box comes up and is dismissed at once: logged, echoed when asked for,
// kept for the tests and handed to their hook.
void THeadlessWindowSystem::Record(TRecordedBox box) {
    log_.push_back((box.fatal ? "fatal box " : "box ") + box.text);
    if (config_.echo) {
        std::printf("%s: %s | %s\n", box.fatal ? "fatal" : "box", box.caption.c_str(), box.text.c_str());
        std::fflush(stdout);
    }
    if (onBox) onBox(box);
    boxes_.push_back(std::move(box));
}

// A left press on the label gives it the mouse until the left release.
void THeadlessWindowSystem::PostPress(TPoint client, TMouseButton button, bool doubleClick) {
    Post([this, client, button, doubleClick] {
        if (events_ == nullptr || !(captured_ || labelBounds_.Contains(client))) return;
        if (button == TMouseButton::Left) captured_ = true;
        events_->LabelPressed(button, doubleClick);
    });
}

void THeadlessWindowSystem::PostRelease(TPoint client, TMouseButton button) {
    Post([this, client, button] {
        if (events_ == nullptr || !(captured_ || labelBounds_.Contains(client))) return;
        if (button == TMouseButton::Left) captured_ = false;
        events_->LabelReleased(button, {client.x - labelBounds_.left, client.y - labelBounds_.top});
    });
}

void THeadlessWindowSystem::PostClose() {
    Post([this] {
        if (events_ != nullptr) events_->CloseRequested();
    });
}

void THeadlessWindowSystem::PostLabelAction() {
    Post([this] {
        if (events_ != nullptr) events_->LabelActionInvoked();
    });
}

}  // namespace titles::framework::headless
