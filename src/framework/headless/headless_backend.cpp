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

TSize THeadlessLabel::MeasureText(std::string_view text, const TFontSpec& font) {
    return LayoutText(text, THeadlessMetrics(font.height)).extent;
}

void THeadlessLabel::Update(std::string_view text, const TFontSpec& font, const TRect& bounds) {
    if (text != text_ && backend_.Config().echo) {
        std::printf("label: %.*s\n", static_cast<int>(text.size()), text.data());
        std::fflush(stdout);
    }
    text_ = text;
    font_ = font;
    bounds_ = bounds;
    ++repaints_;
}

void THeadlessLabel::SetMouseCapture(bool captured) {
    if (captured) {
        backend_.SetCapture(this);
    } else if (backend_.CapturedLabel() == this) {
        backend_.SetCapture(nullptr);
    }
}

// ------------------------------------------------------------- THeadlessForm

THeadlessForm::THeadlessForm(THeadlessBackend& backend, const TFormDesign& design, TFormInput& input)
    : backend_(backend), input_(input), font_(design.font) {
    const int frame = backend.Config().frameWidth;
    outer_ = {design.position.x, design.position.y, design.clientSize.width + 2 * frame,
              design.clientSize.height + backend.Config().captionHeight + frame};
}

TSize THeadlessForm::ClientSize() const {
    const int frame = backend_.Config().frameWidth;
    return {outer_.width - 2 * frame, outer_.height - backend_.Config().captionHeight - frame};
}

void THeadlessForm::SetOuterSize(TSize size) {
    outer_.width = size.width;
    outer_.height = size.height;
    ++resizes_;
}

void THeadlessForm::SetClientSize(TSize size) {
    const int frame = backend_.Config().frameWidth;
    SetOuterSize({size.width + 2 * frame, size.height + backend_.Config().captionHeight + frame});
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

void THeadlessForm::Destroy() {
    visible_ = false;
    backend_.Log("destroy");
    backend_.Forget(this);
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

void THeadlessBackend::RunEventLoop(TFailureSink& sink) {
    Log("loop");
    while (!quit_ && !queue_.empty()) {
        auto event = std::move(queue_.front());
        queue_.pop_front();
        try {
            event();
        } catch (...) {
            sink.HandleEventFailure(std::current_exception());
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

// Mouse events go to the label holding the capture, else to the label under
// the pointer, with coordinates relative to that label.
void THeadlessBackend::Deliver(TPoint client, const std::function<void(THeadlessLabel&, TPoint)>& toLabel) {
    THeadlessLabel* target = captured_;
    if (target == nullptr && MainForm() != nullptr) {
        for (auto* label : MainForm()->Labels()) {
            if (label->Bounds().Contains(client)) target = label;
        }
    }
    if (target != nullptr) toLabel(*target, {client.x - target->Bounds().left, client.y - target->Bounds().top});
}

void THeadlessBackend::PostPress(TPoint client, TMouseButton button, bool doubleClick) {
    Post([this, client, button, doubleClick] {
        Deliver(client, [&](THeadlessLabel& label, TPoint) { label.Input().MousePress(button, doubleClick); });
    });
}

void THeadlessBackend::PostRelease(TPoint client, TMouseButton button) {
    Post([this, client, button] {
        Deliver(client, [&](THeadlessLabel& label, TPoint p) { label.Input().MouseRelease(button, p); });
    });
}

void THeadlessBackend::PostClose() {
    Post([this] {
        if (MainForm() != nullptr) MainForm()->Input().CloseRequested();
    });
}

}  // namespace titles::framework::headless
