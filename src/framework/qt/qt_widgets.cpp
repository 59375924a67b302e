// The label and window widgets and the text measure they share.
#include <QCloseEvent>
#include <QMouseEvent>
#include <QPainter>

#include <algorithm>

#include "base/utf8.h"
#include "framework/qt/qt_internal.h"

namespace titles::framework::qt {
namespace {

QPalette::ColorRole RoleOf(TSystemColor color) {
    return color == TSystemColor::ButtonFace ? QPalette::Button : QPalette::WindowText;
}

bool MapButton(Qt::MouseButton qtButton, TMouseButton& button) {
    switch (qtButton) {
    case Qt::LeftButton: button = TMouseButton::Left; return true;
    case Qt::RightButton: button = TMouseButton::Right; return true;
    case Qt::MiddleButton: button = TMouseButton::Middle; return true;
    default: return false;
    }
}

}  // namespace

QString FromBytes(std::string_view text) {
    return QString::fromLocal8Bit(text.data(), static_cast<qsizetype>(text.size()));
}

QFont MakeFont(const TFontSpec& design) {
    QFont font(FromBytes(design.name));
    if (design.height > 0) font.setPixelSize(design.height);
    font.setBold(design.style.bold);
    font.setItalic(design.style.italic);
    font.setUnderline(design.style.underline);
    font.setStrikeOut(design.style.strikeOut);
    return font;
}

// ------------------------------------------------------------- TQtTextMetrics

int TQtTextMetrics::TextWidth(std::string_view run) const { return metrics_.horizontalAdvance(FromBytes(run)); }

std::size_t TQtTextMetrics::CharLength(std::string_view text, std::size_t pos) const {
    return std::max<std::size_t>(1, Utf8SequenceLength(text, pos));
}

void PaintLabelContent(QPainter& painter, const QRect& rect, std::string_view text, const QFont& font,
                       const QPalette& palette) {
    painter.fillRect(rect, palette.color(QPalette::Button));
    const TQtTextMetrics metrics(font);
    const TTextLayout layout = LayoutText(text, metrics);
    const QColor ink = palette.color(QPalette::WindowText);
    painter.setFont(font);
    painter.setPen(ink);
    const int baseline = rect.top() + metrics.Metrics().ascent();
    for (const TTextRun& run : layout.runs) {
        painter.drawText(QPoint(rect.left() + run.x, baseline), FromBytes(run.text));
    }
    const int underlineTop = baseline + metrics.Metrics().underlinePos();
    const int thickness = std::max(1, metrics.Metrics().lineWidth());
    for (const TUnderline& underline : layout.underlines) {
        painter.fillRect(rect.left() + underline.x, underlineTop, underline.width, thickness, ink);
    }
}

// --------------------------------------------------------------- TLabelWidget

TLabelWidget::TLabelWidget(TQtBackend& backend, TLabelInput& input, QWidget* parent)
    : QWidget(parent), backend_(backend), input_(input) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::NoFocus);
}

// The widget keeps the text only as far as it can be drawn; screen readers
// get that part as the label shows it, and Qt tells them when it changes.
void TLabelWidget::SetContent(std::string_view text, const QFont& font) {
    font_ = font;
    text_ = text.substr(0, LayoutText(text, TQtTextMetrics(font_)).laidOutBytes);
    const QString name = FromBytes(ShownText(text_));
    if (name != accessibleName()) setAccessibleName(name);
    update();
}

void TLabelWidget::paintEvent(QPaintEvent*) {
    try {
        QPainter painter(this);
        PaintLabelContent(painter, rect(), text_, font_, palette());
    } catch (...) {
        backend_.HandleFailureLater(std::current_exception());
    }
}

void TLabelWidget::Press(QMouseEvent* event, bool doubleClick) {
    TMouseButton button;
    if (!MapButton(event->button(), button)) return;
    event->accept();
    backend_.Dispatch([&] { input_.MousePress(button, doubleClick); });
}

void TLabelWidget::mousePressEvent(QMouseEvent* event) { Press(event, false); }

void TLabelWidget::mouseDoubleClickEvent(QMouseEvent* event) { Press(event, true); }

// While the button is down Qt sends every mouse event to the widget it was
// pressed on, wherever the pointer is: the label's mouse capture.
void TLabelWidget::mouseReleaseEvent(QMouseEvent* event) {
    TMouseButton button;
    if (!MapButton(event->button(), button)) return;
    event->accept();
    const QPoint p = event->position().toPoint();
    backend_.Dispatch([&] { input_.MouseRelease(button, {p.x(), p.y()}); });
}

// ---------------------------------------------------------------- TFormWidget

TFormWidget::TFormWidget(TQtBackend& backend, TFormInput& input, const TFormDesign& design)
    : QWidget(nullptr), backend_(backend), input_(input) {
    Qt::WindowFlags flags = Qt::Window | Qt::CustomizeWindowHint;
    if (design.borderStyle != TBorderStyle::None) flags |= Qt::WindowTitleHint;
    if (design.systemMenu) flags |= Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
    if (design.minimizeBox) flags |= Qt::WindowMinimizeButtonHint;
    if (design.maximizeBox && design.borderStyle == TBorderStyle::Sizeable) flags |= Qt::WindowMaximizeButtonHint;
    if (design.borderStyle == TBorderStyle::None) flags |= Qt::FramelessWindowHint;
    setWindowFlags(flags);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, pal.color(RoleOf(design.color)));
    setPalette(pal);
    setAutoFillBackground(true);
}

// The window never closes itself: the request goes to the framework, which
// ends the program when it is the main window.
void TFormWidget::closeEvent(QCloseEvent* event) {
    event->ignore();
    backend_.Dispatch([&] { input_.CloseRequested(); });
}

// ------------------------------------------------------------------- TQtLabel

TQtLabel::TQtLabel(TQtBackend& backend, TLabelInput& input, QWidget* parent)
    : widget_(new TLabelWidget(backend, input, parent)) {
    widget_->show();
}

TQtLabel::~TQtLabel() { delete widget_.data(); }

TSize TQtLabel::MeasureText(std::string_view text, const TFontSpec& font) {
    return LayoutText(text, TQtTextMetrics(MakeFont(font))).extent;
}

void TQtLabel::Update(std::string_view text, const TFontSpec& font, const TRect& bounds) {
    if (!widget_) return;
    widget_->SetContent(text, MakeFont(font));
    widget_->setGeometry(bounds.left, bounds.top, bounds.width, bounds.height);
}

// Qt gives the label the mouse from a press until the release by itself.
void TQtLabel::SetMouseCapture(bool) {}

// -------------------------------------------------------------------- TQtForm

TQtForm::TQtForm(TQtBackend& backend, const TFormDesign& design, TFormInput& input)
    : backend_(backend), widget_(new TFormWidget(backend, input, design)) {
    widget_->setWindowTitle(FromBytes(design.caption.empty() ? backend.Title() : design.caption));
    if (!backend.Icon().isNull()) widget_->setWindowIcon(backend.Icon());
    widget_->setFont(MakeFont(design.font));
    // For a top-level widget move() places the outer frame's corner.
    widget_->move(design.position.x, design.position.y);
    SetClientSize(design.clientSize);
}

TQtForm::~TQtForm() {
    if (widget_) {
        backend_.Forget(widget_);
        delete widget_.data();
    }
}

TRect TQtForm::OuterBounds() const {
    if (!widget_) return {};
    const QRect r = widget_->frameGeometry();
    return {r.x(), r.y(), r.width(), r.height()};
}

TSize TQtForm::ClientSize() const {
    if (!widget_) return {};
    return {widget_->width(), widget_->height()};
}

// The frame's size is the window manager's: the client area is what the
// program sets, the outer size minus the frame as it stands now.
void TQtForm::SetOuterSize(TSize size) {
    if (!widget_) return;
    const QSize frame = widget_->frameGeometry().size() - widget_->size();
    SetClientSize({size.width - frame.width(), size.height - frame.height()});
}

void TQtForm::SetClientSize(TSize size) {
    if (!widget_) return;
    widget_->setFixedSize(std::max(0, size.width), std::max(0, size.height));
}

void TQtForm::SetFont(const TFontSpec& font) {
    if (widget_) widget_->setFont(MakeFont(font));
}

std::unique_ptr<TNativeLabel> TQtForm::CreateLabel(TLabelInput& input) {
    return std::make_unique<TQtLabel>(backend_, input, widget_);
}

void TQtForm::Show(TShowRequest request) {
    if (!widget_) return;
    switch (request) {
    case TShowRequest::Maximized: widget_->showMaximized(); break;
    case TShowRequest::MinimizedNoActivate: widget_->showMinimized(); break;
    case TShowRequest::Normal: widget_->show(); break;
    }
}

bool TQtForm::IsVisible() const { return widget_ && widget_->isVisible(); }

void TQtForm::Destroy() {
    if (widget_) widget_->hide();
}

}  // namespace titles::framework::qt
