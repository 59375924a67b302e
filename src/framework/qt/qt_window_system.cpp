// The Qt window system: the application object and its event loop with the
// failure guard, the window and its label, fonts, and the message boxes.
#include "framework/qt/qt_window_system.h"

#include <QAccessible>
#include <QCloseEvent>
#include <QFile>
#include <QImage>
#include <QPixmap>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QTimer>
#include <QWindow>
// The box without an owner is typed a dialog for the X window manager,
// which only Qt's private xcb window interface offers.
#include <qpa/qplatformwindow_p.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <unistd.h>

#include <xcb/xcb.h>

namespace titles::framework {

std::unique_ptr<TWindowSystem> CreateWindowSystem(int argc, char** argv) {
    const qt::TDisplayProbe probe;
    return std::make_unique<qt::TQtWindowSystem>(argc > 0 && argv != nullptr && argv[0] != nullptr ? argv[0] : "");
}

}  // namespace titles::framework

namespace titles::framework::qt {
namespace {

using namespace std::chrono_literals;
constexpr auto kLossTime = 300ms;

bool MapButton(Qt::MouseButton qtButton, TMouseButton& button) {
    switch (qtButton) {
    case Qt::LeftButton: button = TMouseButton::Left; return true;
    case Qt::RightButton: button = TMouseButton::Right; return true;
    case Qt::MiddleButton: button = TMouseButton::Middle; return true;
    default: return false;
    }
}

QColor SystemColour(const QPalette& palette, TSystemColour colour) {
    return palette.color(colour == TSystemColour::ButtonFace ? QPalette::Button : QPalette::WindowText);
}

// Qt's connection to the X server; null on any other platform (offscreen
// offers X's native interface too, without a connection).
xcb_connection_t* XConnection() {
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    return x11 != nullptr && QGuiApplication::platformName() == QLatin1String("xcb") ? x11->connection() : nullptr;
}

xcb_atom_t FrameExtentsAtom(xcb_connection_t* connection) {
    static const xcb_atom_t atom = [connection] {
        xcb_intern_atom_reply_t* reply =
            xcb_intern_atom_reply(connection, xcb_intern_atom(connection, 0, 18, "_NET_FRAME_EXTENTS"), nullptr);
        const xcb_atom_t found = reply != nullptr ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
        std::free(reply);
        return found;
    }();
    return atom;
}

// A window's frame, on X as the window manager's extents tell it: Qt reads
// them again only after its next configure event.
QMargins FrameExtents(const QWidget& window) {
    QMargins margins = window.windowHandle() != nullptr ? window.windowHandle()->frameMargins() : QMargins();
    xcb_connection_t* connection = XConnection();
    if (connection == nullptr || !window.testAttribute(Qt::WA_WState_Created)) return margins;
    xcb_get_property_reply_t* reply = xcb_get_property_reply(
        connection, xcb_get_property(connection, 0, static_cast<xcb_window_t>(window.internalWinId()),
                                     FrameExtentsAtom(connection), XCB_ATOM_CARDINAL, 0, 4), nullptr);
    if (reply != nullptr && reply->format == 32 && xcb_get_property_value_length(reply) == 16) {
        const auto* e = static_cast<const std::uint32_t*>(xcb_get_property_value(reply));  // left, right, top, bottom
        margins = QMargins(static_cast<int>(e[0]), static_cast<int>(e[2]), static_cast<int>(e[1]), static_cast<int>(e[3]));
    }
    std::free(reply);
    return margins;
}

// Posted to a window whose frame extents the window manager has set.
QEvent::Type FramedEvent() {
    static const auto type = static_cast<QEvent::Type>(QEvent::registerEventType());
    return type;
}

// Every event passes through notify: a failure that got past the widgets'
// own guards is caught there, before Qt's code.
class TQtApplication : public QApplication {
public:
    TQtApplication(int& argc, char** argv, TQtWindowSystem& windows) : QApplication(argc, argv), windows_(windows) {}
    bool notify(QObject* receiver, QEvent* event) override {
        try {
            return QApplication::notify(receiver, event);
        } catch (...) {
            windows_.Failed(std::current_exception());
            return true;
        }
    }

private:
    TQtWindowSystem& windows_;
};

// The monitor in use: the one of the active window, else the primary one.
QRect MonitorInUse() {
    const QWidget* active = QApplication::activeWindow();
    const QScreen* screen = active != nullptr ? active->screen() : QGuiApplication::primaryScreen();
    return screen == nullptr ? QRect() : screen->geometry();
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

int TQtTextMetrics::TextWidth(std::string_view run) const { return metrics_.horizontalAdvance(FromBytes(run)); }

void PaintLabelContent(QPainter& painter, const QRect& rect, const TTextLayout& layout, const QFont& font,
                       const QPalette& palette) {
    painter.fillRect(rect, palette.color(QPalette::Window));
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

// The label takes the focus when the window becomes active, so that a screen
// reader reads the title as the window appears; it handles no key.
TLabelWidget::TLabelWidget(TQtWindowSystem& windows, QWidget* parent) : QWidget(parent), windows_(windows) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::TabFocus);
}

// The widget keeps the text only as far as it is laid out; screen readers
// get that part as the label shows it, and Qt tells them when it changes.
TSize TLabelWidget::SetContent(std::string_view text, const QFont& font) {
    font_ = font;
    layout_ = LayoutText(text, TQtTextMetrics(font_));
    text_ = text.substr(0, layout_.laidOutBytes);
    const QString name = FromBytes(layout_.shown);
    if (name != accessibleName()) {
        setAccessibleName(name);
        // Screen readers speak a notification as it is shown, so a new title
        // on the shown label is announced as shown. The first title is read
        // as the window becomes active and the label takes the focus.
        if (isVisible()) {
            QAccessibleEvent shown(this, QAccessible::ObjectShow);
            QAccessible::updateAccessibility(&shown);
        }
    }
    update();
    return layout_.extent;
}

void TLabelWidget::paintEvent(QPaintEvent*) {
    try {
        QPainter painter(this);
        PaintLabelContent(painter, rect(), layout_, font_, palette());
    } catch (...) {
        windows_.FailedWhilePainting(std::current_exception());
    }
}

void TLabelWidget::Press(QMouseEvent* event, bool doubleClick) {
    TMouseButton button;
    if (!MapButton(event->button(), button)) return;
    event->accept();
    windows_.Guarded([&] { windows_.Events()->LabelPressed(button, doubleClick); });
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
    windows_.Guarded([&] { windows_.Events()->LabelReleased(button, {p.x(), p.y()}); });
}

void TLabelWidget::InvokeAction() {
    QMetaObject::invokeMethod(
        this, [this] { windows_.Guarded([this] { windows_.Events()->LabelActionInvoked(); }); },
        Qt::QueuedConnection);
}

// -------------------------------------------------------------- TWindowWidget

TWindowWidget::TWindowWidget(TQtWindowSystem& windows) : QWidget(nullptr), windows_(windows) {
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowCloseButtonHint | Qt::WindowMinimizeButtonHint);
}

// The window never closes itself: the program decides.
void TWindowWidget::closeEvent(QCloseEvent* event) {
    event->ignore();
    windows_.Guarded([this] { windows_.Events()->CloseRequested(); });
}

void TWindowWidget::SetClientSize(TSize size) {
    wanted_ = size;
    Fit();
}

void TWindowWidget::moveEvent(QMoveEvent*) { Fit(); }

void TWindowWidget::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    KeepNormalOnWayland(*this, *event);
}

// For a top-level widget the frame geometry places the outer frame; before
// the window manager has framed the window it is the client area itself.
// On X11 the size is fixed in Qt's terms, which become the window manager's
// hints; on Wayland, see FitOnWayland.
void TWindowWidget::Fit() {
    const QRect outer = frameGeometry();
    const QSize frame = outer.size() - size();
    const QSize client(std::max(0, FitWindowExtent(outer.x(), wanted_.width + frame.width()) - frame.width()),
                       std::max(0, FitWindowExtent(outer.y(), wanted_.height + frame.height()) - frame.height()));
    if (OnWayland()) {
        FitOnWayland(*this, client);
    } else if (client != size() || minimumSize() != maximumSize()) {
        setFixedSize(client);
    }
}

// ------------------------------------------------------------ TQtWindowSystem

TQtWindowSystem::TQtWindowSystem(std::string argv0) : argv0_(std::move(argv0)) {
    // The design's fonts are Windows fonts. "Arial" is matched by a metric
    // compatible font. "MS Sans Serif" only serves as the scaling reference:
    // its 11-pixel size is expected to be 15 pixels high, as Open Sans (or
    // Noto Sans, its descendant) is.
    QFont::insertSubstitutions(QStringLiteral("MS Sans Serif"), {QStringLiteral("Open Sans"), QStringLiteral("Noto Sans")});
    QFont::insertSubstitutions(QStringLiteral("Arial"), {QStringLiteral("Liberation Sans"), QStringLiteral("Arimo")});
    // The program scales itself from the screen's pixels per inch (the
    // window font's height rule) and places its window unscaled; Qt's own
    // device-pixel scaling would do both over again.
    for (const char* name : {"QT_SCALE_FACTOR", "QT_SCREEN_SCALE_FACTORS", "QT_AUTO_SCREEN_SCALE_FACTOR", "QT_FONT_DPI"}) {
        unsetenv(name);
    }
    setenv("QT_ENABLE_HIGHDPI_SCALING", "0", 1);
    // The program takes no arguments, so Qt gets none of its own options
    // (-platform, -qwindowgeometry, -stylesheet...), and no program name:
    // the X resource name (the instance part of WM_CLASS) is set by its
    // variable, the application name once Qt has started.
    const std::string name = argv0_.substr(argv0_.rfind('/') + 1);
    setenv("RESOURCE_NAME", name.c_str(), 1);
    watched_ = this;
    qtMessages_ = qInstallMessageHandler(&WatchMessages);
    app_ = std::make_unique<TQtApplication>(qtArgc_, qtArgv_, *this);
    // One identity, the desktop entry's id: the X window class is the
    // application name, the Wayland app id the desktop file name. Qt adds a
    // display name to window titles and, while none is set, titles an
    // untitled window with the application name: an empty display name (not
    // a null one, which counts as none) keeps every title as given.
    QCoreApplication::setApplicationName(QStringLiteral("org.example.titles"));
    QGuiApplication::setApplicationDisplayName(QStringLiteral(""));
    QAccessible::installFactory(&AccessibleFactory);
    app_->installNativeEventFilter(&x11Watch_);
    // Boxes shown while the window is hidden must not end the program when
    // they close; only closing the window does.
    QApplication::setQuitOnLastWindowClosed(false);
    QGuiApplication::setDesktopFileName(QCoreApplication::applicationName());
    // The window icon at the sizes window managers ask for, as plain pixels
    // (8-bit RGBA): decoding images would cost start-up about 2 ms.
    QIcon icon;
    for (const int size : {16, 32, 48, 64}) {
        QFile file(QStringLiteral(":/titles/titles-%1.rgba").arg(size));
        const QByteArray pixels = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
        if (pixels.size() != size * size * 4) continue;
        icon.addPixmap(QPixmap::fromImage(
            QImage(reinterpret_cast<const uchar*>(pixels.constData()), size, size, QImage::Format_RGBA8888)));
    }
    QApplication::setWindowIcon(icon);
}

// The program's window model has gone before its window system.
TQtWindowSystem::~TQtWindowSystem() {
    events_ = nullptr;
    delete window_.data();
    app_.reset();
    qInstallMessageHandler(qtMessages_);
    watched_ = nullptr;
}

// Qt ends the process, with a warning of its own, when the connection to
// its display breaks: the warning is where the program learns of it.
void TQtWindowSystem::WatchMessages(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    if (watched_ != nullptr && type != QtDebugMsg && type != QtInfoMsg) watched_->EndIfDisplayLost();
    if (qtMessages_ != nullptr) qtMessages_(type, context, text);
}

void TQtWindowSystem::EndIfDisplayLost() noexcept {
    if (events_ == nullptr) return;
    const bool wayland = OnWayland();
    xcb_connection_t* x11 = wayland ? nullptr : XConnection();
    if (!(wayland ? WaylandConnectionBroken() : x11 != nullptr && xcb_connection_has_error(x11) != 0)) return;
    const char* name = std::getenv(wayland ? "WAYLAND_DISPLAY" : "DISPLAY");
    try {
        events_->DisplayLost(std::make_exception_ptr(
            TFailure(TFailureKind::DisplayLost, name != nullptr && *name != 0 ? name : wayland ? "wayland-0" : "")));
    } catch (...) {
        // Out of memory: the exit code alone tells.
    }
    std::_Exit(1);
}

std::string TQtWindowSystem::ProgramFilePath() {
    std::string path(4096, '\0');
    const ssize_t n = ::readlink("/proc/self/exe", path.data(), path.size());
    if (n <= 0 || static_cast<std::size_t>(n) >= path.size()) return argv0_;
    path.resize(static_cast<std::size_t>(n));
    return path;
}

int TQtWindowSystem::PixelsPerInch() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen == nullptr ? 96 : static_cast<int>(std::lround(screen->logicalDotsPerInchY()));
}

// The height of a text extent is the font's cell height, whatever the text.
int TQtWindowSystem::ZeroTextHeight(const TFontSpec& font) { return QFontMetrics(MakeFont(font)).height(); }

// On X11 and Wayland a window's title bar and its task bar entry show one
// string, the program's title.
void TQtWindowSystem::BuildWindow(const TWindowDesign& design, std::string_view title, TWindowEvents& events) {
    events_ = &events;
    window_ = new TWindowWidget(*this);
    window_->setWindowTitle(FromBytes(title));
    QPalette palette = window_->palette();
    palette.setColor(QPalette::Window, SystemColour(palette, design.colour));
    palette.setColor(QPalette::WindowText, SystemColour(palette, design.textColour));
    window_->setPalette(palette);
    window_->setAutoFillBackground(true);
    // For a top-level widget move() places the outer frame's corner.
    window_->move(design.position.x, design.position.y);
    label_ = new TLabelWidget(*this, window_);
    SetLabelBounds(design.labelBounds);
    window_->SetClientSize(design.clientSize);
}

TSize TQtWindowSystem::SetLabelText(std::string_view text, const TFontSpec& font) {
    return label_ ? label_->SetContent(text, MakeFont(font)) : TSize{};
}

void TQtWindowSystem::SetLabelBounds(const TRect& bounds) {
    if (label_) label_->setGeometry(bounds.left, bounds.top, bounds.width, bounds.height);
}

void TQtWindowSystem::SetClientSize(TSize size) {
    if (window_) window_->SetClientSize(size);
}

// Linux launchers make no show request: the window is shown normally.
void TQtWindowSystem::Show() {
    if (!window_) return;
    window_->show();
    // The decoration's margins are known once the window is shown.
    if (OnWayland()) window_->Fit();
}

void TQtWindowSystem::Run() {
    while (!quit_) {
        try {
            QApplication::exec();
            break;
        } catch (...) {
            // A failure that escaped a pass of the loop: shown, and the loop goes on.
            Failed(std::current_exception());
        }
    }
}

void TQtWindowSystem::Quit() {
    quit_ = true;
    QCoreApplication::exit(0);
}

void TQtWindowSystem::Failed(std::exception_ptr failure) noexcept {
    if (events_ != nullptr) events_->EventFailed(std::move(failure));
}

void TQtWindowSystem::FailedWhilePainting(std::exception_ptr failure) noexcept {
    try {
        QMetaObject::invokeMethod(app_.get(), [this, failure] { Failed(failure); }, Qt::QueuedConnection);
    } catch (...) {
        // Out of memory: nothing is left to report it with.
    }
}

bool TQtWindowSystem::TX11Watch::nativeEventFilter(const QByteArray& eventType, void* message, qintptr*) {
    if (eventType != "xcb_generic_event_t") return false;
    const auto* event = static_cast<const xcb_generic_event_t*>(message);
    const std::uint8_t type = event->response_type & 0x7F;
    xcb_connection_t* connection = XConnection();
    const bool framed = type == XCB_PROPERTY_NOTIFY &&
                        static_cast<const xcb_property_notify_event_t*>(message)->atom == FrameExtentsAtom(connection);
    if (type != XCB_DESTROY_NOTIFY && !framed) return false;
    const xcb_window_t window = framed ? static_cast<const xcb_property_notify_event_t*>(message)->window
                                       : static_cast<const xcb_destroy_notify_event_t*>(message)->window;
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (widget->internalWinId() != window) continue;
        if (framed) {
            QCoreApplication::postEvent(widget, new QEvent(FramedEvent()));
            continue;
        }
        // A desktop that is closing down destroys the window too, just
        // before its display goes: a round trip after a moment tells.
        QTimer::singleShot(kLossTime, widget, [widget, connection] {
            std::free(xcb_get_input_focus_reply(connection, xcb_get_input_focus(connection), nullptr));
            if (watched_ != nullptr) watched_->EndIfDisplayLost();
            widget->close();
        });
    }
    return false;
}

// The error box is a dialog of the window while that is shown, else of no
// window; either way it comes up at the centre of the monitor in use. It is
// modal for the whole program, so no click reaches the label while it is up.
void TQtWindowSystem::ErrorBox(std::string_view caption, std::string_view text) {
    if (QWidget* grabber = QWidget::mouseGrabber()) grabber->releaseMouse();
    RunBox(caption, text, window_ && window_->isVisible() ? window_.data() : nullptr);
}

void TQtWindowSystem::FatalBox(std::string_view caption, std::string_view text) { RunBox(caption, text, nullptr); }

void TQtWindowSystem::RunBox(std::string_view caption, std::string_view text, QWidget* owner) {
    // A message box takes its final size as it is shown, and some window
    // managers (weston's for Xwayland) place a window only where it was
    // created: the size is found on a box never put on screen, and the box
    // is created centred on the monitor in use, and centred again as shown.
    class TBox : public QMessageBox {
    public:
        TBox(const QString& caption, const QString& text, QWidget* owner, QRect monitor)
            : QMessageBox(QMessageBox::Critical, caption, text, QMessageBox::Ok, owner), monitor_(monitor) {
            setTextFormat(Qt::PlainText);
            setWindowModality(Qt::ApplicationModal);
            // On X Qt makes a dialog without a shown owner transient for its
            // hidden group window, which makes some window managers place it
            // on their own: it is a plain window of the dialog type instead.
            if (owner == nullptr) setWindowFlags((windowFlags() & ~Qt::WindowType_Mask) | Qt::Window);
        }
        QPoint Centred(QSize outer) const {
            return {monitor_.x() + (monitor_.width() - outer.width()) / 2,
                    monitor_.y() + (monitor_.height() - outer.height()) / 2};
        }

    protected:
        void showEvent(QShowEvent* event) override {
            QMessageBox::showEvent(event);
            move(Centred(frameGeometry().size()));
        }
        // Some window managers set the frame's extents only once they have
        // framed the box, and read the place asked for in their own way:
        // the box is moved by what its frame's centre is off, and checked
        // again where that moved it; a few times at most, and never for
        // the user's own moves.
        void moveEvent(QMoveEvent* event) override {
            QMessageBox::moveEvent(event);
            if (std::exchange(checking_, false)) Recentre();
        }
        bool event(QEvent* event) override {
            if (event->type() == FramedEvent()) Recentre();
            const bool handled = QMessageBox::event(event);
            LetBoxSizeOnWayland(*this);
            return handled;
        }
        void changeEvent(QEvent* event) override {
            QMessageBox::changeEvent(event);
            KeepNormalOnWayland(*this, *event);
        }

    private:
        void Recentre() {
            const QRect outer = geometry().marginsAdded(FrameExtents(*this));
            const QPoint off = Centred(outer.size()) - outer.topLeft();
            if (off.isNull() || ++corrections_ > 3) return;
            checking_ = true;
            move(pos() + off);
        }
        QRect monitor_;
        bool checking_ = false;
        int corrections_ = 0;
    };
    QSize size;
    {
        TBox probe(FromBytes(caption), FromBytes(text), owner, MonitorInUse());
        probe.setAttribute(Qt::WA_DontShowOnScreen);
        probe.show();
        size = probe.size();
    }
    TBox box(FromBytes(caption), FromBytes(text), owner, MonitorInUse());
    box.setGeometry(QRect(box.Centred(size), size));
    if (owner == nullptr) {
        box.winId();
        using TXcbWindow = QNativeInterface::Private::QXcbWindow;
        if (auto* xcb = box.windowHandle()->nativeInterface<TXcbWindow>()) xcb->setWindowType(TXcbWindow::Dialog);
    }
    box.exec();
}

}  // namespace titles::framework::qt
