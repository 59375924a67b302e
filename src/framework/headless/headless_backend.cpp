#include "framework/headless/headless_backend.h"

#include <algorithm>
#include <cstdio>
#include <limits>

#include "base/file_name.h"
#include "base/texts.h"
#include "base/failure.h"

namespace titles::framework::headless {

int THeadlessMetrics::TextWidth(std::string_view run) const {
    const auto width = static_cast<long long>(run.size()) * ((height_ + 1) / 2);
    return static_cast<int>(std::min<long long>(width, std::numeric_limits<int>::max()));
}

// ------------------------------------------------------------ THeadlessLabel

THeadlessLabel::~THeadlessLabel() { backend_.Forget(this); }

TSize THeadlessLabel::SetText(std::string_view text, const TFontSpec& font) {
    if (text != text_ && backend_.Config().echo) {
        std::printf("label: %.*s\n", static_cast<int>(text.size()), text.data());
        std::fflush(stdout);
    }
    text_ = text;
    font_ = font;
    ++repaints_;
    return LayoutText(text, THeadlessMetrics(font.height)).extent;
}

void THeadlessLabel::SetBounds(const TRect& bounds) {
    bounds_ = bounds;
    ++repaints_;
}

// ------------------------------------------------------------- THeadlessForm

THeadlessForm::THeadlessForm(THeadlessBackend& backend, const TFormDesign& design, TFormInput& input)
    : backend_(backend), input_(input), font_(design.font) {
    const int frame = backend.Config().frameWidth;
    outer_ = {design.position.x, design.position.y, design.clientSize.width + 2 * frame,
              design.clientSize.height + backend.Config().captionHeight + frame};
}

THeadlessForm::~THeadlessForm() {
    backend_.Log("destroy");
    backend_.Forget(this);
}

TSize THeadlessForm::ClientSize() const {
    const int frame = backend_.Config().frameWidth;
    return {outer_.width - 2 * frame, outer_.height - backend_.Config().captionHeight - frame};
}

void THeadlessForm::SetClientSize(TSize size) {
    const int frame = backend_.Config().frameWidth;
    const int width = FitWindowExtent(outer_.left, size.width + 2 * frame);
    const int height = FitWindowExtent(outer_.top, size.height + backend_.Config().captionHeight + frame);
    if (width == outer_.width && height == outer_.height) return;
    outer_.width = width;
    outer_.height = height;
    ++resizes_;
}

std::unique_ptr<TNativeLabel> THeadlessForm::CreateLabel(TLabelInput& input) {
    auto label = std::make_unique<THeadlessLabel>(backend_, input);
    labels_.push_back(label.get());
    return label;
}

void THeadlessForm::Show(TShowRequest request) {
    shownAs_ = request;
    visible_ = request != TShowRequest::MinimizedNoActivate;
    const std::string shown = labels_.empty() ? std::string() : " " + labels_.front()->Text();
    backend_.Log((visible_ ? "show" : "show minimized") + shown);
}

// ---------------------------------------------------------- THeadlessBackend

THeadlessBackend::THeadlessBackend(THeadlessConfig config) : config_(std::move(config)) {}

std::string THeadlessBackend::ModuleName() { return std::string(FileNameOf(config_.programPath)); }

void THeadlessBackend::CreateProgramWindow(std::string_view title) {
    programTitle_ = title;
    programWindow_ = true;
    Log("program window " + programTitle_);
}

int THeadlessBackend::ZeroTextHeight(const TFontSpec& font) {
    return config_.zeroHeight ? config_.zeroHeight(font) : font.height + 4;
}

std::unique_ptr<TNativeForm> THeadlessBackend::CreateForm(const TFormDesign& design, TFormInput& input) {
    if (config_.failFormCreation) throw TFailure(std::string(texts::kCannotCreateWindow));
    auto form = std::make_unique<THeadlessForm>(*this, design, input);
    forms_.push_back(form.get());
    Log("create form " + design.name);
    return form;
}

void THeadlessBackend::RunEventLoop() {
    Log("loop");
    while (!quit_ && !queue_.empty()) {
        auto event = std::move(queue_.front());
        queue_.pop_front();
        try {
            event();
        } catch (...) {
            if (failureSink_ != nullptr) failureSink_->HandleEventFailure(std::current_exception());
        }
    }
    Log("loop end");
}

void THeadlessBackend::CancelMouseCapture() {
    if (captured_ != nullptr) {
        Log("cancel capture");
        captured_ = nullptr;
    }
}

void THeadlessBackend::ShowErrorBox(std::string_view caption, std::string_view text) {
    Record({false, std::string(caption), std::string(text), MainForm() != nullptr && MainForm()->IsVisible()});
}

void THeadlessBackend::ShowFatalBox(std::string_view caption, std::string_view text) {
    Record({true, std::string(caption), std::string(text), false});
}

// A box comes up and is dismissed at once: logged, echoed when asked for,
// kept for the tests and handed to their hook.
void THeadlessBackend::Record(const TRecordedBox& box) {
    Log((box.fatal ? "fatal box " : "box ") + box.text);
    if (config_.echo) {
        std::printf("%s: %s | %s\n", box.fatal ? "fatal" : "box", box.caption.c_str(), box.text.c_str());
        std::fflush(stdout);
    }
    boxes_.push_back(box);
    if (onBox) onBox(box);
}

THeadlessLabel* THeadlessBackend::MainLabel() const {
    THeadlessForm* form = MainForm();
    return form == nullptr || form->Labels().empty() ? nullptr : form->Labels().front();
}

void THeadlessBackend::Log(std::string entry) { log_.push_back(std::move(entry)); }

void THeadlessBackend::Forget(THeadlessForm* form) {
    forms_.erase(std::remove(forms_.begin(), forms_.end(), form), forms_.end());
}

void THeadlessBackend::Forget(THeadlessLabel* label) {
    if (captured_ == label) captured_ = nullptr;
    for (auto* form : forms_) {
        auto& labels = form->Labels();
        labels.erase(std::remove(labels.begin(), labels.end(), label), labels.end());
    }
}

// Mouse events go to the label holding the mouse, else to the label under
// the pointer.
THeadlessLabel* THeadlessBackend::TargetAt(TPoint client) const {
    if (captured_ != nullptr || MainForm() == nullptr) return captured_;
    for (auto* label : MainForm()->Labels()) {
        if (label->Bounds().Contains(client)) return label;
    }
    return nullptr;
}

// A left press gives the label the mouse until the left release.
void THeadlessBackend::PostPress(TPoint client, TMouseButton button, bool doubleClick) {
    Post([this, client, button, doubleClick] {
        THeadlessLabel* label = TargetAt(client);
        if (label == nullptr) return;
        if (button == TMouseButton::Left) captured_ = label;
        label->Input().MousePress(button, doubleClick);
    });
}

// The point goes relative to the label.
void THeadlessBackend::PostRelease(TPoint client, TMouseButton button) {
    Post([this, client, button] {
        THeadlessLabel* label = TargetAt(client);
        if (label == nullptr) return;
        if (button == TMouseButton::Left) captured_ = nullptr;
        label->Input().MouseRelease(button, {client.x - label->Bounds().left, client.y - label->Bounds().top});
    });
}

void THeadlessBackend::PostClose() {
    Post([this] {
        if (MainForm() != nullptr) MainForm()->Input().CloseRequested();
    });
}

}  // namespace titles::framework::headless
