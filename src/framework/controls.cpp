#include "framework/controls.h"

#include <algorithm>

#include "framework/application.h"
#include "framework/scaling.h"
#include "framework/text_layout.h"

namespace titles::framework {

// ---------------------------------------------------------------- TLabel

TLabel::TLabel(TForm& owner, const TLabelDesign& design)
    : owner_(owner), name_(design.name), caption_(design.caption), font_(design.font), bounds_(design.bounds),
      autoSize_(design.autoSize) {
    native_ = owner.Native().CreateLabel(*this);
    Refresh();
}

TLabel::~TLabel() = default;

void TLabel::SetCaption(std::string caption) {
    if (caption == caption_) return;
    caption_ = std::move(caption);
    AdjustSize();
    Refresh();
}

void TLabel::SetFont(const TFontSpec& font) {
    font_ = font;
    AdjustSize();
    Refresh();
}

void TLabel::SetBounds(const TRect& bounds) {
    if (bounds == bounds_) return;
    bounds_ = bounds;
    Refresh();
}

void TLabel::AdjustSize() {
    if (loading_ || !autoSize_) return;
    const TSize size = native_->MeasureText(TextToMeasure(caption_), font_);
    bounds_.width = size.width;
    bounds_.height = size.height;
}

void TLabel::Refresh() { native_->Update(caption_, font_, bounds_); }

void TLabel::MousePress(TMouseButton button, bool doubleClick) {
    const TMouseReaction reaction = clicks_.Press(button, doubleClick);
    if (reaction.captureMouse) native_->SetMouseCapture(true);
}

void TLabel::MouseRelease(TMouseButton button, TPoint point) {
    const TMouseReaction reaction = clicks_.Release(button, point, {bounds_.width, bounds_.height});
    if (reaction.releaseCapture) native_->SetMouseCapture(false);
    if (reaction.click) Click();
}

// ----------------------------------------------------------------- TForm

TForm::TForm(TApplication& application, std::string_view resource)
    : application_(application), design_(ParseFormResource(resource)) {
    native_ = application_.Backend().CreateForm(design_, *this);
    for (const auto& labelDesign : design_.labels) labels_.push_back(std::make_unique<TLabel>(*this, labelDesign));
    ScaleToScreen();
    // Measured once more now that the window is complete, with final fonts.
    for (auto& label : labels_) {
        label->loading_ = false;
        label->AdjustSize();
        label->Refresh();
    }
}

TForm::~TForm() {
    labels_.clear();
    if (native_) native_->Destroy();
}

void TForm::ScaleToScreen() {
    if (!design_.scaled) {
        native_->SetClientSize(design_.clientSize);
        return;
    }
    TBackend& backend = application_.Backend();
    const int pixelsPerInch = backend.ScreenPixelsPerInch();
    const int fontHeight = ScaledWindowFontHeight(design_.font, design_.pixelsPerInch, pixelsPerInch,
                                                  backend.SystemCharsetIsShiftJis());
    if (fontHeight != design_.font.height) {
        design_.font.height = fontHeight;
        native_->SetFont(design_.font);
    }
    const int zeroHeight = backend.ZeroTextHeight(design_.font);
    TSize client = design_.clientSize;
    for (std::size_t i = 0; i < labels_.size(); ++i) {
        TLabel& label = *labels_[i];
        const TScaleResult r = ScaleDesign(label.Bounds(), label.Font().height, design_.clientSize,
                                           design_.textHeight, pixelsPerInch, zeroHeight);
        client = r.clientSize;
        if (!r.scaled) continue;
        label.SetBounds(r.labelBounds);
        TFontSpec font = label.Font();
        font.height = design_.labels[i].parentFont ? design_.font.height : r.labelFontHeight;
        label.SetFont(font);
    }
    if (labels_.empty()) {
        client = ScaleDesign({}, 0, design_.clientSize, design_.textHeight, pixelsPerInch, zeroHeight).clientSize;
    }
    native_->SetClientSize(client);
}

void TForm::BindHandlers() {
    auto bind = [this](const std::string& handlerName) {
        if (handlerName.empty()) return TNotifyEvent();
        TNotifyEvent handler = ResolveHandler(handlerName);
        if (!handler) throw TResourceError("form resource: unknown handler " + handlerName);
        return handler;
    };
    onCreate_ = bind(design_.onCreate);
    for (std::size_t i = 0; i < labels_.size(); ++i) labels_[i]->OnClick = bind(design_.labels[i].onClick);
}

int TForm::ClientWidth() const { return native_->ClientSize().width; }
int TForm::ClientHeight() const { return native_->ClientSize().height; }
TRect TForm::OuterBounds() const { return native_->OuterBounds(); }

// The window system keeps a window within kMaxWindowExtent; a label wider
// than that is cut at the window's edge.
void TForm::SetClientWidth(int width) {
    const TRect outer = native_->OuterBounds();
    const int outerWidth = std::min(outer.width - native_->ClientSize().width + width, kMaxWindowExtent);
    if (outerWidth != outer.width) native_->SetOuterSize({outerWidth, outer.height});
}

void TForm::SetClientHeight(int height) {
    const TRect outer = native_->OuterBounds();
    const int outerHeight = std::min(outer.height - native_->ClientSize().height + height, kMaxWindowExtent);
    if (outerHeight != outer.height) native_->SetOuterSize({outer.width, outerHeight});
}

TLabel* TForm::FindLabel(std::string_view name) const {
    for (const auto& label : labels_) {
        if (label->Name() == name) return label.get();
    }
    return nullptr;
}

void TForm::Close() { CloseRequested(); }

// Closing the main window ends the program; nothing is asked.
void TForm::CloseRequested() {
    if (application_.MainForm() == this || application_.MainForm() == nullptr) application_.Terminate();
}

}  // namespace titles::framework
