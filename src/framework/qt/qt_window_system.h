// The Qt 6 window system's insides: the window and its label as Qt widgets
// on X11 or Wayland. Only its own sources, its tests and its benchmarks
// include this header; the program knows it by CreateWindowSystem.
#pragma once

#include <QAbstractNativeEventFilter>
#include <QApplication>
#include <QFont>
#include <QFontMetrics>
#include <QIcon>
#include <QPointer>
#include <QWidget>

#include <chrono>
#include <exception>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "base/failure.h"
#include "framework/layout.h"
#include "framework/window_system.h"

class QPainter;
class QAccessibleInterface;
class QMessageBox;
struct xcb_connection_t;

namespace titles::framework::qt {

// Text is bytes of the system's code page everywhere else; only here does it
// become a QString.
QString FromBytes(std::string_view text);
// The Qt font for a design font, at its character height in pixels.
QFont MakeFont(const TFontSpec& design);

// Text measurement in one font, for the label's layout.
class TQtTextMetrics : public TTextMetrics {
public:
    explicit TQtTextMetrics(const QFont& font) : TTextMetrics(true), metrics_(font) {}
    int TextWidth(std::string_view run) const override;
    int LineHeight() const override { return metrics_.height(); }
    int AverageCharWidth() const override { return metrics_.averageCharWidth(); }

private:
    QFontMetrics metrics_;
};

// Paints a label's background, then its layout's runs and underlines, into
// rect, unclipped, so that what it draws can be held against the label's size.
void PaintLabelContent(QPainter& painter, const QRect& rect, const TTextLayout& layout, const QFont& font,
                       const QPalette& palette);

class TQtWindowSystem;

// The label: paints its laid-out text and passes the mouse up.
class TLabelWidget : public QWidget {
    Q_OBJECT
public:
    TLabelWidget(TQtWindowSystem& windows, QWidget* parent);
    // Lays text out in font, keeps the layout to paint and returns its extent.
    TSize SetContent(std::string_view text, const QFont& font);
    // The text as far as it is laid out.
    const std::string& Text() const noexcept { return text_; }
    const TTextLayout& Layout() const noexcept { return layout_; }
    const QFont& TextFont() const noexcept { return font_; }
    // The label's action, asked for by a screen reader: run once it has its answer.
    void InvokeAction();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    void Press(QMouseEvent* event, bool doubleClick);

    TQtWindowSystem& windows_;
    std::string text_;
    TTextLayout layout_;
    QFont font_;
};

// The window: a fixed single frame whose size the program sets, never the user.
class TWindowWidget : public QWidget {
    Q_OBJECT
public:
    explicit TWindowWidget(TQtWindowSystem& windows);
    // The client size the program asks for, fitted as the frame stands now.
    void SetClientSize(TSize size);
    void Fit();

protected:
    void closeEvent(QCloseEvent* event) override;
    // The window manager's frame is known only once it has framed the
    // window, which moves the client area: the size is fitted again.
    void moveEvent(QMoveEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    TQtWindowSystem& windows_;
    TSize wanted_;
};

class TQtWindowSystem final : public TWindowSystem {
public:
    explicit TQtWindowSystem(std::string argv0);
    ~TQtWindowSystem() override;

    std::string ProgramFilePath() override;
    TTitleRules TitleRules() override { return {}; }
    int PixelsPerInch() override;
    bool SystemCharsetIsShiftJis() override { return false; }
    int ZeroTextHeight(const TFontSpec& font) override;
    void BuildWindow(const TWindowDesign& design, std::string_view title, TWindowEvents& events) override;
    TSize SetLabelText(std::string_view text, const TFontSpec& font) override;
    void SetLabelBounds(const TRect& bounds) override;
    void SetClientSize(TSize size) override;
    void Show() override;
    void Run() override;
    void Quit() override;
    void ErrorBox(std::string_view caption, std::string_view text) override;
    void FatalBox(std::string_view caption, std::string_view text) override;

    // Runs a call up into the program from an event handler; whatever it
    // throws goes up as a failed event, and never into Qt's code.
    template <typename F>
    void Guarded(F&& call) noexcept {
        try {
            call();
        } catch (...) {
            Failed(std::current_exception());
        }
    }
    void Failed(std::exception_ptr failure) noexcept;
    // A failure caught while painting, when no box may come up: reported
    // once the event loop has control again.
    void FailedWhilePainting(std::exception_ptr failure) noexcept;

    TWindowEvents* Events() const noexcept { return events_; }
    TWindowWidget* Window() const noexcept { return window_; }
    TLabelWidget* Label() const noexcept { return label_; }

private:
    // A window destroyed by another client (xdotool windowclose, a killed
    // frame) can never be closed by its user: for the program it is closed,
    // the main window as by its close button, a box as by its OK button. A
    // window whose frame extents the window manager sets (on some, only once
    // it has framed it) is told of them as of a move.
    struct TX11Watch : QAbstractNativeEventFilter {
        bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;
    };

    void RunBox(std::string_view caption, std::string_view text, QWidget* owner);
    static void WatchMessages(QtMsgType type, const QMessageLogContext& context, const QString& text);
    // Where the connection to the display has broken, the program reports
    // it and the process ends with exit code 1.
    void EndIfDisplayLost() noexcept;

    // Whose display Qt's messages are watched for (a plain function's reach).
    static inline TQtWindowSystem* watched_ = nullptr;
    static inline QtMessageHandler qtMessages_ = nullptr;

    std::string argv0_;
    int qtArgc_ = 1;
    char qtName_[1] = {};
    char* qtArgv_[2] = {qtName_, nullptr};
    std::unique_ptr<QApplication> app_;
    TX11Watch x11Watch_;
    TWindowEvents* events_ = nullptr;
    QPointer<TWindowWidget> window_;
    QPointer<TLabelWidget> label_;
    bool quit_ = false;
};

// Chooses the window system Qt is to use and checks, before Qt starts, that
// it answers: Qt ends the process on a missing display and waits for ever on
// a silent one. Raises a TFailure naming the display or plug-in when none
// can be used. Its X connection stays open while it lives, until Qt has its
// own: an X server that loses its last client resets itself, and a
// connection made during the reset fails.
class TDisplayProbe {
public:
    // A display that has not answered within answerTime does not answer.
    explicit TDisplayProbe(std::chrono::milliseconds answerTime = std::chrono::seconds(5));
    TDisplayProbe(const TDisplayProbe&) = delete;
    TDisplayProbe& operator=(const TDisplayProbe&) = delete;
    ~TDisplayProbe();

private:
    // Whether the X server of display answers and has the screen it names;
    // the connection stays open. loadPlugin: X is to be Qt's platform.
    std::optional<TFailureKind> XServerAnswers(const std::string& display, bool loadPlugin);
    int XDotsPerInch();
    void PickPlatform();
    std::chrono::milliseconds answerTime_;
    xcb_connection_t* connection_ = nullptr;
};

// Native Wayland. Windows that Qt decorates itself are not fixed in Qt's
// terms (Qt would acknowledge a maximised state at the fixed size, which the
// protocol forbids), and Qt gives the compositor their size limits without
// its decoration: the limits are sent again, the whole window's, and a
// maximised or full-screen state given to a window is given back at once.
inline bool OnWayland() { return QGuiApplication::platformName().startsWith(QLatin1String("wayland")); }
// Gives a window the client size on Wayland, kept wide enough for the
// title bar that Qt draws where the compositor leaves it to the client.
void FitOnWayland(QWidget& window, QSize client);
void KeepNormalOnWayland(QWidget& window, const QEvent& event);
// Whether the connection to the compositor has broken.
bool WaylandConnectionBroken();
// A message box fixes its size in Qt's terms whenever it lays itself out:
// undone on Wayland.
void LetBoxSizeOnWayland(QMessageBox& box);

// The screen-reader bridge: the program's windows and label as AT-SPI sees them.
QAccessibleInterface* AccessibleFactory(const QString& key, QObject* object);

}  // namespace titles::framework::qt
