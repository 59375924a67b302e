// The Qt backend: the application object, the event loop with its failure
// guard, the program's title, fonts and message boxes.
#include "framework/qt/qt_internal.h"

#include <QAccessible>
#include <QMessageBox>
#include <QScreen>
#include <QWindow>
#include <qpa/qplatformwindow_p.h>

#include <cmath>
#include <cstdio>
#include <unistd.h>

#include <xcb/xcb.h>

#include "base/file_name.h"
#include "base/failure.h"

namespace titles::framework {

std::unique_ptr<TBackend> CreateBackend(int argc, char** argv) {
    const std::string problem = qt::CheckDisplay();
    if (!problem.empty()) throw TFailure(problem);
    return std::make_unique<qt::TQtBackend>(argc, argv);
}

}  // namespace titles::framework

namespace titles::framework::qt {
namespace {

// The design's fonts are Windows fonts. "Arial" is matched by a metric
// compatible font through fontconfig. "MS Sans Serif" only serves as the
// scaling reference: its 11-pixel size is expected to be 15 pixels high, as
// Open Sans (or Noto Sans, its descendant) is.
void InstallFontSubstitutions() {
    QFont::insertSubstitutions(QStringLiteral("MS Sans Serif"), {QStringLiteral("Open Sans"), QStringLiteral("Noto Sans")});
    QFont::insertSubstitutions(QStringLiteral("Arial"), {QStringLiteral("Liberation Sans"), QStringLiteral("Arimo")});
}

}  // namespace

// -------------------------------------------------------------- TQtApplication

TQtApplication::TQtApplication(int& argc, char** argv, TQtBackend& backend)
    : QApplication(argc, argv), backend_(backend) {}

bool TQtApplication::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (...) {
        backend_.DeferFailure(std::current_exception());
        return true;
    }
}

// ------------------------------------------------------------------ TQtBackend

TQtBackend::TQtBackend(int argc, char** argv) {
    if (argc > 0 && argv != nullptr && argv[0] != nullptr) argv0_ = argv[0];
    InstallFontSubstitutions();
    // The program scales itself from the screen's pixels per inch (the
    // window font's height rule) and places its window unscaled; Qt's own
    // device-pixel scaling would do both over again.
    for (const char* name : {"QT_SCALE_FACTOR", "QT_SCREEN_SCALE_FACTORS", "QT_AUTO_SCREEN_SCALE_FACTOR"}) unsetenv(name);
    setenv("QT_ENABLE_HIGHDPI_SCALING", "0", 1);
    // The program takes no arguments, so Qt gets none of its own options
    // (-platform, -qwindowgeometry, -stylesheet...), and no program name: the
    // application name is set here, so that emptying it leaves it empty, and
    // the X resource name (the instance part of WM_CLASS) by its variable.
    const std::string name = argv0_.substr(argv0_.rfind('/') + 1);
    setenv("RESOURCE_NAME", name.c_str(), 1);
    app_ = std::make_unique<TQtApplication>(qtArgc_, qtArgv_, *this);
    QCoreApplication::setApplicationName(QString::fromLocal8Bit(name));
    ReleaseDisplayProbe();
    QAccessible::installFactory(&TLabelWidget::AccessibleFactory);
    app_->installNativeEventFilter(&destroyWatch_);
    // Boxes shown while the main window is hidden must not end the program
    // when they close; only closing the main window does.
    QApplication::setQuitOnLastWindowClosed(false);
    QGuiApplication::setDesktopFileName(QStringLiteral("org.example.titles"));
    icon_ = QIcon(QStringLiteral(":/titles/titles.svg"));
    QApplication::setWindowIcon(icon_);
}

TQtBackend::~TQtBackend() {
    for (auto& form : forms_) delete form.data();
    forms_.clear();
    app_.reset();
}

std::string TQtBackend::ProgramFilePath() {
    std::string path(4096, '\0');
    const ssize_t n = ::readlink("/proc/self/exe", path.data(), path.size());
    if (n <= 0 || static_cast<std::size_t>(n) >= path.size()) return argv0_;
    path.resize(static_cast<std::size_t>(n));
    return path;
}

std::string TQtBackend::ModuleName() { return std::string(FileNameOf(ProgramFilePath())); }

void TQtBackend::CreateProgramWindow(std::string_view title) {
    title_ = title;
    // Qt titles a window whose title is empty with the application's name;
    // emptied, it falls back to the empty program name Qt was given.
    if (title_.empty()) QCoreApplication::setApplicationName(QString());
    for (const auto& form : forms_) {
        if (form) form->setWindowTitle(FromBytes(title_));
    }
}

// The monitor in use: the one of the active window, else the primary one.
QRect TQtBackend::MonitorInUse() const {
    const QWidget* active = QApplication::activeWindow();
    const QScreen* screen = active != nullptr ? active->screen() : QGuiApplication::primaryScreen();
    return screen == nullptr ? QRect() : screen->geometry();
}

int TQtBackend::ScreenPixelsPerInch() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen == nullptr ? 96 : static_cast<int>(std::lround(screen->logicalDotsPerInchY()));
}

// The height of a text extent is the font's cell height, whatever the text.
int TQtBackend::ZeroTextHeight(const TFontSpec& font) { return QFontMetrics(MakeFont(font)).height(); }

std::unique_ptr<TNativeForm> TQtBackend::CreateForm(const TFormDesign& design, TFormInput& input) {
    auto form = std::make_unique<TQtForm>(*this, design, input);
    forms_.emplace_back(form->Widget());
    return form;
}

TFormWidget* TQtBackend::MainWindow() const {
    for (const auto& form : forms_) {
        if (form) return form;
    }
    return nullptr;
}

// A window destroyed by another client (xdotool windowclose, a killed
// frame) can never be closed by its user: for the program it is closed, the
// main window as by its close button, a box as by its OK button.
bool TQtBackend::TDestroyWatch::nativeEventFilter(const QByteArray& eventType, void* message, qintptr*) {
    if (eventType != "xcb_generic_event_t") return false;
    const auto* event = static_cast<const xcb_generic_event_t*>(message);
    if ((event->response_type & 0x7F) != XCB_DESTROY_NOTIFY) return false;
    const auto* destroyed = static_cast<const xcb_destroy_notify_event_t*>(message);
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (widget->internalWinId() == destroyed->window) {
            QMetaObject::invokeMethod(widget, [widget] { widget->close(); }, Qt::QueuedConnection);
        }
    }
    return false;
}

void TQtBackend::Forget(TFormWidget* widget) {
    std::erase_if(forms_, [widget](const QPointer<TFormWidget>& form) { return !form || form == widget; });
}

void TQtBackend::RunEventLoop() {
    while (!quit_) {
        try {
            QApplication::exec();
            break;
        } catch (...) {
            // A failure that escaped a pass of the loop: shown, and the loop
            // goes on.
            if (failureSink_ != nullptr) failureSink_->HandleEventFailure(std::current_exception());
        }
    }
}

void TQtBackend::Quit() {
    quit_ = true;
    QCoreApplication::exit(0);
}

void TQtBackend::CancelMouseCapture() {
    if (QWidget* grabber = QWidget::mouseGrabber()) grabber->releaseMouse();
}

void TQtBackend::DeferFailure(std::exception_ptr failure) noexcept {
    if (failureSink_ == nullptr || !app_) return;
    failureSink_->DeferFailure(std::move(failure));
    try {
        QMetaObject::invokeMethod(
            app_.get(), [this] { if (failureSink_ != nullptr) failureSink_->ShowDeferredFailures(); },
            Qt::QueuedConnection);
    } catch (...) {
        // Out of memory: the failure is shown with the next one.
    }
}

// The error box is a dialog of the main window while that is shown, else of
// no window; either way it comes up at the centre of the monitor in use. It
// is modal for the whole program, so no click reaches the label while it is
// up.
void TQtBackend::ShowErrorBox(std::string_view caption, std::string_view text) {
    TFormWidget* main = MainWindow();
    RunBox(caption, text, main != nullptr && main->isVisible() ? main : nullptr);
}

void TQtBackend::ShowFatalBox(std::string_view caption, std::string_view text) {
    WriteFatalTextToConsole(caption, text);
    if (app_) RunBox(caption, text, nullptr);
}

void TQtBackend::RunBox(std::string_view caption, std::string_view text, QWidget* owner) {
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
            if (owner != nullptr) return;
            // On X Qt makes a dialog without a shown owner transient for its
            // hidden group window, which makes some window managers place it
            // on their own: it is a plain window of the dialog type instead.
            setWindowFlags((windowFlags() & ~Qt::WindowType_Mask) | Qt::Window);
        }
        QPoint Centred(QSize outer) const {
            return {monitor_.x() + (monitor_.width() - outer.width()) / 2, monitor_.y() + (monitor_.height() - outer.height()) / 2};
        }

    protected:
        void showEvent(QShowEvent* event) override {
            QMessageBox::showEvent(event);
            move(Centred(frameGeometry().size()));
        }
        // The box fixes its size in Qt's terms whenever it lays itself out;
        // on Wayland that is undone (see OnWayland).
        bool event(QEvent* event) override {
            const bool handled = QMessageBox::event(event);
            if (OnWayland() && minimumSize() != QSize(0, 0)) {
                setMinimumSize(0, 0);
                setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
                QMetaObject::invokeMethod(this, [this] { FixWaylandSize(*this); }, Qt::QueuedConnection);
            }
            return handled;
        }
        void changeEvent(QEvent* event) override {
            QMessageBox::changeEvent(event);
            KeepNormalOnWayland(*this, *event);
        }

    private:
        QRect monitor_;
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
