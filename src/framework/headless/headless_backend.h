// A deterministic window-system backend for tests: fixed text metrics, no
// display, a scripted event queue, and a record of every box shown.
#pragma once

#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "framework/backend.h"
#include "framework/text_layout.h"

namespace titles::framework::headless {

// Fixed metrics: every byte is half the character height wide (rounded
// up), a line is the character height plus 3.
class THeadlessMetrics : public TTextMetrics {
public:
    explicit THeadlessMetrics(int characterHeight) : height_(characterHeight) {}
    int TextWidth(std::string_view run) const override;
    int LineHeight() const override { return height_ + 3; }
    int AverageCharWidth() const override { return (height_ + 1) / 2; }

private:
    int height_;
};

struct THeadlessConfig {
    std::string programPath = "/usr/local/bin/titles";
    TShowRequest showRequest = TShowRequest::Normal;
    int pixelsPerInch = 96;
    int frameWidth = 3;      // left, right and bottom border
    int captionHeight = 22;  // title bar plus top border
    // The height of "0" in a font; by default its character height plus 4,
    // so the designed window font (11) gives the designed 15.
    std::function<int(const TFontSpec&)> zeroHeight;
    bool failFormCreation = false;  // the window system refuses the window
    bool echo = false;              // also print boxes and phrases to stdout
};

struct TRecordedBox {
    bool fatal = false;
    std::string caption;
    std::string text;
    bool mainWindowVisible = false;
};

class THeadlessBackend;

class THeadlessLabel : public TNativeLabel {
public:
    THeadlessLabel(THeadlessBackend& backend, TLabelInput& input) : backend_(backend), input_(input) {}
    ~THeadlessLabel() override;
    TSize SetText(std::string_view text, const TFontSpec& font) override;
    void SetBounds(const TRect& bounds) override;

    const std::string& Text() const noexcept { return text_; }
    const TFontSpec& Font() const noexcept { return font_; }
    const TRect& Bounds() const noexcept { return bounds_; }
    TLabelInput& Input() const noexcept { return input_; }
    int Repaints() const noexcept { return repaints_; }

private:
    THeadlessBackend& backend_;
    TLabelInput& input_;
    std::string text_;
    TFontSpec font_;
    TRect bounds_;
    int repaints_ = 0;
};

class THeadlessForm : public TNativeForm {
public:
    THeadlessForm(THeadlessBackend& backend, const TFormDesign& design, TFormInput& input);
    ~THeadlessForm() override;
    TSize ClientSize() const override;
    void SetClientSize(TSize size) override;
    void SetFont(const TFontSpec& font) override { font_ = font; }
    std::unique_ptr<TNativeLabel> CreateLabel(TLabelInput& input) override;
    void Show(TShowRequest request) override;

    // Test access.
    const TRect& OuterBounds() const noexcept { return outer_; }
    bool IsVisible() const noexcept { return visible_; }
    TFormInput& Input() const noexcept { return input_; }
    const TFontSpec& Font() const noexcept { return font_; }
    TShowRequest ShownAs() const noexcept { return shownAs_; }
    int Resizes() const noexcept { return resizes_; }
    void MoveTo(TPoint p) { outer_.left = p.x; outer_.top = p.y; }
    std::vector<THeadlessLabel*>& Labels() { return labels_; }

private:
    THeadlessBackend& backend_;
    TFormInput& input_;
    TRect outer_;
    TFontSpec font_;
    bool visible_ = false;
    TShowRequest shownAs_ = TShowRequest::Normal;
    int resizes_ = 0;
    std::vector<THeadlessLabel*> labels_;
};

class THeadlessBackend : public TBackend {
public:
    explicit THeadlessBackend(THeadlessConfig config = {});

    std::string ProgramFilePath() override { return config_.programPath; }
    TTitleRules TitleRules() override { return {'/', nullptr, nullptr}; }
    std::string ModuleName() override;
    TShowRequest LauncherShowRequest() override { return config_.showRequest; }
    void CreateProgramWindow(std::string_view title) override;
    std::string ProgramWindowTitle() override { return programTitle_; }
    int ScreenPixelsPerInch() override { return config_.pixelsPerInch; }
    int ZeroTextHeight(const TFontSpec& font) override;
    std::unique_ptr<TNativeForm> CreateForm(const TFormDesign& design, TFormInput& input) override;
    void RunEventLoop() override;
    void Quit() override { quit_ = true; Log("quit"); }
    void CancelMouseCapture() override;
    void ShowErrorBox(std::string_view caption, std::string_view text) override;
    void ShowFatalBox(std::string_view caption, std::string_view text) override;

    // ---- test side
    const THeadlessConfig& Config() const noexcept { return config_; }
    // Queues an event; the loop runs it, failures go to the loop's guard.
    void Post(std::function<void()> event) { queue_.push_back(std::move(event)); }
    // Queue mouse events at a point of the main window's client area.
    void PostPress(TPoint client, TMouseButton button = TMouseButton::Left, bool doubleClick = false);
    void PostRelease(TPoint client, TMouseButton button = TMouseButton::Left);
    void PostClick(TPoint client) { PostPress(client); PostRelease(client); }
    void PostDoubleClick(TPoint client) {
        PostClick(client);
        PostPress(client, TMouseButton::Left, true);
        PostRelease(client);
    }
    void PostClose();
    // Runs when a box comes up (before it is recorded as dismissed).
    std::function<void(const TRecordedBox&)> onBox;

    THeadlessForm* MainForm() const noexcept { return forms_.empty() ? nullptr : forms_.front(); }
    THeadlessLabel* MainLabel() const;
    const std::vector<TRecordedBox>& Boxes() const noexcept { return boxes_; }
    const std::vector<std::string>& Log() const noexcept { return log_; }
    bool QuitRequested() const noexcept { return quit_; }
    THeadlessLabel* CapturedLabel() const noexcept { return captured_; }
    THeadlessMetrics MetricsFor(const TFontSpec& font) const { return THeadlessMetrics(font.height); }

    // Used by the native objects.
    void Log(std::string entry);
    void Forget(THeadlessForm* form);
    void Forget(THeadlessLabel* label);

private:
    void Record(const TRecordedBox& box);
    THeadlessLabel* TargetAt(TPoint client) const;

    THeadlessConfig config_;
    std::string programTitle_;
    bool programWindow_ = false;
    bool quit_ = false;
    std::deque<std::function<void()>> queue_;
    std::vector<THeadlessForm*> forms_;
    THeadlessLabel* captured_ = nullptr;
    std::vector<TRecordedBox> boxes_;
    std::vector<std::string> log_;
};

}  // namespace titles::framework::headless
