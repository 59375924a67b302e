// The label and window widgets and the text measure they share.
#include <QCloseEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QTimer>
#include <QWindow>
#include <qpa/qplatformnativeinterface.h>

#include <algorithm>
#include <cstdint>

#include <dlfcn.h>

#include "base/utf8.h"
#include "framework/qt/qt_internal.h"

namespace titles::framework::qt {
namespace {

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
    return font;
}

bool OnWayland() { return QGuiApplication::platformName().startsWith(QLatin1String("wayland")); }

void FixWaylandSize(QWidget& window) {
    using TMarshal = void (*)(void*, std::uint32_t, ...);
    static const TMarshal marshal = [] {
        void* library = dlopen("libwayland-client.so.0", RTLD_LAZY | RTLD_NOLOAD);
        return library == nullptr ? nullptr : reinterpret_cast<TMarshal>(dlsym(library, "wl_proxy_marshal"));
    }();
    QPlatformNativeInterface* native = QGuiApplication::platformNativeInterface();
    void* toplevel = native == nullptr || window.windowHandle() == nullptr
                         ? nullptr
                         : native->nativeResourceForWindow("xdg_toplevel", window.windowHandle());
    if (marshal == nullptr || toplevel == nullptr) return;
    enum : std::uint32_t { kSetMaxSize = 7, kSetMinSize = 8 };  // xdg_toplevel's request numbers
    const QSize size = window.frameGeometry().size();
    marshal(toplevel, kSetMaxSize, size.width(), size.height());
    marshal(toplevel, kSetMinSize, size.width(), size.height());
}

void KeepNormalOnWayland(QWidget& window, const QEvent& event) {
    static constexpr Qt::WindowStates kLarge = Qt::WindowMaximized | Qt::WindowFullScreen;
    if (event.type() == QEvent::WindowStateChange && OnWayland() && (window.windowState() & kLarge)) {
        // Given back once the large frame is out: weston ignores the request
        // to take back a state whose frame it has not yet been sent.
        QTimer::singleShot(50, &window, [&window] { window.setWindowState(window.windowState() & ~kLarge); });
    }
}

// ------------------------------------------------------------- TQtTextMetrics

int TQtTextMetrics::TextWidth(std::string_view run) const { return metrics_.horizontalAdvance(FromBytes(run)); }

std::size_t TQtTextMetrics::CharLength(std::string_view text, std::size_t pos) const {
    return std::max<std::size_t>(1, Utf8SequenceLength(text, pos));
}

void PaintLabelContent(QPainter& painter, const QRect& rect, const TTextLayout& layout, const QFont& font,
                       const QPalette& palette) {
    painter.fillRect(rect, palette.color(QPalette::Button));
    const QFontMetrics metrics(font);
    const QColor ink = palette.color(QPalette::WindowText);
    painter.setFont(font);
    painter.setPen(ink);
    const int baseline = rect.top() + metrics.ascent();
    for (const TTextRun& run : layout.runs) {
        painter.drawText(QPoint(rect.left() + run.x, baseline), FromBytes(run.text));
    }
    const int underlineTop = baseline + metrics.underlinePos();
    const int thickness = std::max(1, metrics.lineWidth());
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

// The widget keeps the text only as far as it is laid out; screen readers
// get that part as the label shows it, and Qt tells them when it changes.
TSize TLabelWidget::SetContent(std::string_view text, const QFont& font) {
    font_ = font;
    layout_ = LayoutText(text, TQtTextMetrics(font_));
    text_ = text.substr(0, layout_.laidOutBytes);
    const QString name = FromBytes(ShownText(text_));
    if (name != accessibleName()) setAccessibleName(name);
    update();
    return layout_.extent;
}

void TLabelWidget::paintEvent(QPaintEvent*) {
    try {
        QPainter painter(this);
        PaintLabelContent(painter, rect(), layout_, font_, palette());
    } catch (...) {
        backend_.DeferFailure(std::current_exception());
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

TFormWidget::TFormWidget(TQtBackend& backend, TFormInput& input)
    : QWidget(nullptr), backend_(backend), input_(input) {
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowCloseButtonHint | Qt::WindowMinimizeButtonHint);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, pal.color(QPalette::Button));
    setPalette(pal);
    setAutoFillBackground(true);
}

// The window never closes itself: the request goes to the framework, which
// ends the program when it is the main window.
void TFormWidget::closeEvent(QCloseEvent* event) {
    event->ignore();
    backend_.Dispatch([&] { input_.CloseRequested(); });
}

void TFormWidget::SetClientSize(TSize size) {
    wanted_ = size;
    Fit();
}

void TFormWidget::moveEvent(QMoveEvent*) { Fit(); }

void TFormWidget::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    KeepNormalOnWayland(*this, *event);
}

// For a top-level widget the frame geometry places the outer frame; before
// the window manager has framed the window it is the client area itself.
// On X11 the size is fixed in Qt's terms, which become the window manager's
// hints; on Wayland it is only set (see OnWayland).
void TFormWidget::Fit() {
    const QRect outer = frameGeometry();
    const QSize frame = outer.size() - size();
    QSize client(std::max(0, FitWindowExtent(outer.x(), wanted_.width + frame.width()) - frame.width()),
                 std::max(0, FitWindowExtent(outer.y(), wanted_.height + frame.height()) - frame.height()));
    if (!OnWayland()) {
        setFixedSize(client);
        return;
    }
    // Where the compositor leaves the decoration to the client, Qt's own has
    // its icon in the first 30 pixels of the title bar and its buttons in the
    // last 76, and centres the title (14 pixels high) over the whole bar: the
    // window is kept wide enough for all of them, wider than a short phrase.
    const QMargins margins = windowHandle() != nullptr ? windowHandle()->frameMargins() : QMargins();
    if (margins.top() > 0) {
        QFont font = QGuiApplication::font();
        font.setPixelSize(14);
        const int titleWidth = QFontMetrics(font).horizontalAdvance(windowTitle());
        client.setWidth(std::max(client.width(), 2 * 76 + titleWidth - margins.left() - margins.right()));
    }
    resize(client);
    FixWaylandSize(*this);
}

// ------------------------------------------------------------------- TQtLabel

TQtLabel::TQtLabel(TQtBackend& backend, TLabelInput& input, QWidget* parent)
    : widget_(new TLabelWidget(backend, input, parent)) {
    widget_->show();
}

TQtLabel::~TQtLabel() { delete widget_.data(); }

TSize TQtLabel::SetText(std::string_view text, const TFontSpec& font) {
    return widget_ ? widget_->SetContent(text, MakeFont(font)) : TSize{};
}

void TQtLabel::SetBounds(const TRect& bounds) {
    if (widget_) widget_->setGeometry(bounds.left, bounds.top, bounds.width, bounds.height);
}

// -------------------------------------------------------------------- TQtForm

TQtForm::TQtForm(TQtBackend& backend, const TFormDesign& design, TFormInput& input)
    : backend_(backend), widget_(new TFormWidget(backend, input)) {
    widget_->setWindowTitle(FromBytes(backend.Title()));
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

TSize TQtForm::ClientSize() const {
    if (!widget_) return {};
    return {widget_->width(), widget_->height()};
}

void TQtForm::SetClientSize(TSize size) {
    if (widget_) widget_->SetClientSize(size);
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
    // The decoration's margins are known once the window is shown.
    if (OnWayland()) widget_->Fit();
}

}  // namespace titles::framework::qt
