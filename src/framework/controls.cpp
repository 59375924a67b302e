#include "framework/controls.h"

#include "framework/application.h"
#include "framework/scaling.h"

namespace titles::framework {

// ---------------------------------------------------------------- TLabel

TLabel::TLabel(TForm& owner, const TLabelDesign& design)
    : name_(design.name), caption_(design.caption), font_(design.font), bounds_(design.bounds),
      native_(owner.Native().CreateLabel(*this)) {
    ShowText();
    native_->SetBounds(bounds_);
}

void TLabel::SetCaption(std::string caption) {
    if (caption == caption_) return;
    caption_ = std::move(caption);
    ShowText();
}

void TLabel::SetFont(const TFontSpec& font) {
    font_ = font;
    ShowText();
}

void TLabel::SetBounds(const TRect& bounds) {
    if (bounds == bounds_) return;
    bounds_ = bounds;
    native_->SetBounds(bounds_);
}

// The text is laid out once, by the native label, which paints that layout;
// its extent is the label's size (auto-size).
void TLabel::ShowText() {
    const TSize extent = native_->SetText(caption_, font_);
    if (!loading_) SetBounds({bounds_.left, bounds_.top, extent.width, extent.height});
}

void TLabel::MousePress(TMouseButton button, bool doubleClick) { clicks_.Press(button, doubleClick); }

void TLabel::MouseRelease(TMouseButton button, TPoint point) {
    if (clicks_.Release(button, point, {bounds_.width, bounds_.height})) Click();
}

// ----------------------------------------------------------------- TForm

TForm::TForm(TApplication& application, std::string_view resource)
    : application_(application), design_(ParseFormResource(resource)),
      native_(application_.Backend().CreateForm(design_, *this)),
      label_(std::make_unique<TLabel>(*this, design_.label)) {
    ScaleToScreen();
    // Measured once more now that the window is complete, with final fonts.
    label_->loading_ = false;
    label_->ShowText();
}

TForm::~TForm() = default;

void TForm::ScaleToScreen() {
    TBackend& backend = application_.Backend();
    const int pixelsPerInch = backend.ScreenPixelsPerInch();
    const int fontHeight = ScaledWindowFontHeight(design_.font, design_.pixelsPerInch, pixelsPerInch,
                                                  backend.SystemCharsetIsShiftJis());
    if (fontHeight != design_.font.height) {
        design_.font.height = fontHeight;
        native_->SetFont(design_.font);
    }
    const TScaleResult r = ScaleDesign(label_->Bounds(), label_->Font().height, design_.clientSize,
                                       design_.textHeight, pixelsPerInch, backend.ZeroTextHeight(design_.font));
    if (r.scaled) {
        label_->SetBounds(r.labelBounds);
        TFontSpec font = label_->Font();
        font.height = r.labelFontHeight;
        label_->SetFont(font);
    }
    clientSize_ = r.clientSize;
    native_->SetClientSize(clientSize_);
}

void TForm::BindHandlers() {
    auto bind = [this](const std::string& handlerName) {
        if (handlerName.empty()) return TNotifyEvent();
        TNotifyEvent handler = ResolveHandler(handlerName);
        if (!handler) throw TResourceError("form resource: unknown handler " + handlerName);
        return handler;
    };
    onCreate_ = bind(design_.onCreate);
    label_->OnClick = bind(design_.label.onClick);
}

void TForm::SetClientWidth(int width) {
    clientSize_.width = width;
    native_->SetClientSize(clientSize_);
}

void TForm::SetClientHeight(int height) {
    clientSize_.height = height;
    native_->SetClientSize(clientSize_);
}

TLabel* TForm::FindLabel(std::string_view name) const { return label_->Name() == name ? label_.get() : nullptr; }

void TForm::Close() { CloseRequested(); }

// Closing the main window ends the program; nothing is asked.
void TForm::CloseRequested() {
    if (application_.MainForm() == this || application_.MainForm() == nullptr) application_.Terminate();
}

}  // namespace titles::framework
