// The Qt backend: the application object, the event loop with its failure
// guard, the program's title, fonts and message boxes.
#include "framework/qt/qt_internal.h"

#include <QAccessible>
#include <QMessageBox>
#include <QScreen>

#include <cmath>
#include <cstdio>
#include <unistd.h>

#include <xcb/xcb.h>

#include "base/file_name.h"
#include "base/failure.h"

namespace titles::framework {

std::unique_ptr<TBackend> CreateBackend(int argc, char** argv) {
    const std::string problem = qt::CheckDisplay(argc, argv);
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
        backend_.HandleFailureLater(std::current_exception());
        return true;
    }
}

// ------------------------------------------------------------------ TQtBackend

TQtBackend::TQtBackend(int argc, char** argv) : argc_(argc), argv_(argv) {
    if (argc > 0 && argv != nullptr && argv[0] != nullptr) argv0_ = argv[0];
    InstallFontSubstitutions();
    // The program scales itself from the screen's pixels per inch (the
    // window font's height rule) and places its window unscaled; Qt's own
    // device-pixel scaling would do both over again.
    setenv("QT_ENABLE_HIGHDPI_SCALING", "0", 1);
    app_ = std::make_unique<TQtApplication>(argc_, argv_, *this);
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
    programWindow_.reset();
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
    if (title_.empty() && argc_ > 0 && argv_ != nullptr) {
        // Qt titles a window whose title is empty with the application's
        // name, which it takes from the program's file name; a program
        // whose title is empty has an empty name too.
        static char empty[] = "";
        char* const name = argv_[0];
        argv_[0] = empty;
        QCoreApplication::setApplicationName(QString());
        argv_[0] = name;
    }
    // Never shown: it sits at the screen's centre with no size, carries the
    // title and owns the error boxes, so that they come up centred.
    programWindow_ = std::make_unique<QWidget>();
    programWindow_->setWindowTitle(FromBytes(title_));
    programWindow_->setGeometry(QRect(ScreenCentre(), QSize(0, 0)));
    for (const auto& form : forms_) {
        if (form) form->setWindowTitle(FromBytes(title_));
    }
}

// The centre of the monitor in use: the one of the active window, else the
// primary one.
QPoint TQtBackend::ScreenCentre() const {
    const QWidget* active = QApplication::activeWindow();
    const QScreen* screen = active != nullptr ? active->screen() : QGuiApplication::primaryScreen();
    return screen == nullptr ? QPoint() : screen->geometry().center();
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
// frame) can never be closed by its user: for the program it is closed.
bool TQtBackend::TDestroyWatch::nativeEventFilter(const QByteArray& eventType, void* message, qintptr*) {
    if (eventType != "xcb_generic_event_t") return false;
    const auto* event = static_cast<const xcb_generic_event_t*>(message);
    if ((event->response_type & 0x7F) != XCB_DESTROY_NOTIFY) return false;
    const auto* destroyed = static_cast<const xcb_destroy_notify_event_t*>(message);
    for (const auto& form : backend_.forms_) {
        if (form && form->testAttribute(Qt::WA_WState_Created) && form->winId() == destroyed->window) {
            TFormWidget* widget = form;
            QMetaObject::invokeMethod(widget, [widget] { widget->close(); }, Qt::QueuedConnection);
        }
    }
    return false;
}

void TQtBackend::Forget(TFormWidget* widget) {
    std::erase_if(forms_, [widget](const QPointer<TFormWidget>& form) { return !form || form == widget; });
}

void TQtBackend::RunEventLoop(TFailureSink& sink) {
    sink_ = &sink;
    DeliverPendingFailures();
    while (!quit_) {
        try {
            QApplication::exec();
            break;
        } catch (...) {
            // A failure that escaped a pass of the loop: shown, and the loop
            // goes on.
            sink.HandleEventFailure(std::current_exception());
        }
    }
    sink_ = nullptr;
}

void TQtBackend::Quit() {
    quit_ = true;
    QCoreApplication::exit(0);
}

void TQtBackend::CancelMouseCapture() {
    if (QWidget* grabber = QWidget::mouseGrabber()) grabber->releaseMouse();
}

void TQtBackend::HandleFailure(std::exception_ptr failure) noexcept {
    if (sink_ == nullptr) {
        // Before the loop runs there is no one to show it yet.
        HandleFailureLater(std::move(failure));
        return;
    }
    sink_->HandleEventFailure(std::move(failure));
}

void TQtBackend::HandleFailureLater(std::exception_ptr failure) noexcept {
    try {
        pending_.push_back(std::move(failure));
        if (sink_ != nullptr && !deliveryPosted_ && app_) {
            deliveryPosted_ = true;
            QMetaObject::invokeMethod(app_.get(), [this] { DeliverPendingFailures(); }, Qt::QueuedConnection);
        }
    } catch (...) {
        // Out of memory while recording a failure: it is lost.
    }
}

void TQtBackend::DeliverPendingFailures() noexcept {
    deliveryPosted_ = false;
    while (sink_ != nullptr && !pending_.empty()) {
        std::exception_ptr failure = pending_.front();
        pending_.erase(pending_.begin());
        sink_->HandleEventFailure(failure);
    }
}

// The error box belongs to the program-level window, moved to the centre of
// the monitor in use; it is modal for the whole program, so no click
// reaches the label while it is up.
void TQtBackend::ShowErrorBox(std::string_view caption, std::string_view text) {
    if (programWindow_) programWindow_->move(ScreenCentre());
    QMessageBox box(QMessageBox::Critical, FromBytes(caption), FromBytes(text), QMessageBox::Ok, programWindow_.get());
    box.setTextFormat(Qt::PlainText);
    box.setWindowModality(Qt::ApplicationModal);
    box.exec();
}

void TQtBackend::ShowFatalBox(std::string_view caption, std::string_view text) {
    WriteFatalTextToConsole(caption, text);
    if (!app_) return;
    QMessageBox box(QMessageBox::Critical, FromBytes(caption), FromBytes(text), QMessageBox::Ok);
    box.setTextFormat(Qt::PlainText);
    box.setWindowModality(Qt::ApplicationModal);
    box.exec();
}

}  // namespace titles::framework::qt
