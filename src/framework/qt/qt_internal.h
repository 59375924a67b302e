// The Qt 6 backend's insides: the program's windows as Qt widgets on X11 or
// Wayland. Only the backend's own sources (and its tests and benchmarks)
// include this header; everyone else knows the backend by CreateBackend
// (framework/backend.h), and the portable framework never sees a Qt type.
#pragma once

#include <QAbstractNativeEventFilter>
#include <QApplication>
#include <QFont>
#include <QFontMetrics>
#include <QIcon>
#include <QPointer>
#include <QWidget>

#include <exception>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "framework/backend.h"
#include "framework/text_layout.h"

class QPainter;
class QAccessibleInterface;

namespace titles::framework::qt {

// Text is bytes of the system's code page everywhere else; only here does it
// become a QString.
QString FromBytes(std::string_view text);

// The Qt font for a design font: the family (substituted by fontconfig and
// the backend's substitutions when missing) at the character height in
// pixels.
QFont MakeFont(const TFontSpec& design);

// Text measurement in one font, for the label's layout.
class TQtTextMetrics : public TTextMetrics {
public:
    explicit TQtTextMetrics(const QFont& font) : metrics_(font) {}
    int TextWidth(std::string_view run) const override;
    int LineHeight() const override { return metrics_.height(); }
    int AverageCharWidth() const override { return metrics_.averageCharWidth(); }
    // UTF-8: the length of a well-formed sequence, else 1.
    std::size_t CharLength(std::string_view text, std::size_t pos) const override;

private:
    QFontMetrics metrics_;
};

// Paints a label's content into rect: the background, then the text runs
// and mnemonic underlines of its layout, from the top-left corner. Nothing
// is clipped here, so what it draws can be checked against the label's size.
void PaintLabelContent(QPainter& painter, const QRect& rect, const TTextLayout& layout, const QFont& font,
                       const QPalette& palette);

class TQtBackend;

// Native Wayland. Its windows are not fixed in Qt's terms, since Qt would
// then acknowledge a maximised state at the fixed size, which the protocol
// forbids; and Qt tells the compositor their size limits without the
// decoration it draws. So the limits are sent again in the protocol's terms,
// the whole window geometry (taking effect with Qt's next frame), and a
// maximised or full-screen state that the compositor gives a window (Qt's
// decoration offers maximising whatever the window's flags) is given back at
// once.
bool OnWayland();
void FixWaylandSize(QWidget& window);
void KeepNormalOnWayland(QWidget& window, const QEvent& event);

// The label: a child widget that paints its text and passes the mouse on.
class TLabelWidget : public QWidget {
    Q_OBJECT
public:
    TLabelWidget(TQtBackend& backend, TLabelInput& input, QWidget* parent);
    // Lays text out in font, keeps the layout to paint and returns its extent.
    TSize SetContent(std::string_view text, const QFont& font);
    // The text as far as it is laid out: all of it unless the line is wider
    // than any window or longer than kMaxLaidOutBytes.
    const std::string& Text() const noexcept { return text_; }
    const TTextLayout& Layout() const noexcept { return layout_; }
    const QFont& TextFont() const noexcept { return font_; }
    void Click();  // the label's click, asked for by an accessibility tool
    // Presents the program's windows and labels to accessibility tools.
    static QAccessibleInterface* AccessibleFactory(const QString& key, QObject* object);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    void Press(QMouseEvent* event, bool doubleClick);

    TQtBackend& backend_;
    TLabelInput& input_;
    std::string text_;
    TTextLayout layout_;
    QFont font_;
};

// A top-level window. Its size is fixed by the program, never by the user.
class TFormWidget : public QWidget {
    Q_OBJECT
public:
    TFormWidget(TQtBackend& backend, TFormInput& input);
    // The client size the program asks for, cut so that the frame stays
    // within the window system's coordinates (FitWindowExtent).
    void SetClientSize(TSize size);
    // Fits the window to the client size asked for, as the frame stands now.
    void Fit();

protected:
    void closeEvent(QCloseEvent* event) override;
    // The window manager's frame is known only once it has framed the
    // window, which moves the client area: the size is fitted again.
    void moveEvent(QMoveEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    TQtBackend& backend_;
    TFormInput& input_;
    TSize wanted_;
};

class TQtLabel : public TNativeLabel {
public:
    TQtLabel(TQtBackend& backend, TLabelInput& input, QWidget* parent);
    ~TQtLabel() override;
    TSize SetText(std::string_view text, const TFontSpec& font) override;
    void SetBounds(const TRect& bounds) override;
    TLabelWidget* Widget() const noexcept { return widget_; }

private:
    QPointer<TLabelWidget> widget_;
};

class TQtForm : public TNativeForm {
public:
    TQtForm(TQtBackend& backend, const TFormDesign& design, TFormInput& input);
    ~TQtForm() override;
    TSize ClientSize() const override;
    void SetClientSize(TSize size) override;
    void SetFont(const TFontSpec& font) override;
    std::unique_ptr<TNativeLabel> CreateLabel(TLabelInput& input) override;
    void Show(TShowRequest request) override;
    TFormWidget* Widget() const noexcept { return widget_; }

private:
    TQtBackend& backend_;
    QPointer<TFormWidget> widget_;
};

// The application object. Every event passes through notify; a failure that
// got past the widgets' own guards is caught there, before Qt's code.
class TQtApplication : public QApplication {
public:
    TQtApplication(int& argc, char** argv, TQtBackend& backend);
    bool notify(QObject* receiver, QEvent* event) override;

private:
    TQtBackend& backend_;
};

class TQtBackend : public TBackend {
public:
    TQtBackend(int argc, char** argv);
    ~TQtBackend() override;

    std::string ProgramFilePath() override;
    TTitleRules TitleRules() override { return {}; }
    std::string ModuleName() override;
    // Linux launchers make no show request.
    TShowRequest LauncherShowRequest() override { return TShowRequest::Normal; }
    // On X11 and Wayland a window's title bar and its task bar entry show one
    // string: there is no separate program-level window, the title goes to
    // the program's windows.
    void CreateProgramWindow(std::string_view title) override;
    std::string ProgramWindowTitle() override { return title_; }
    int ScreenPixelsPerInch() override;
    int ZeroTextHeight(const TFontSpec& font) override;
    std::unique_ptr<TNativeForm> CreateForm(const TFormDesign& design, TFormInput& input) override;
    void RunEventLoop() override;
    void Quit() override;
    void CancelMouseCapture() override;
    void ShowErrorBox(std::string_view caption, std::string_view text) override;
    void ShowFatalBox(std::string_view caption, std::string_view text) override;

    // Runs a call into the framework from an event handler; whatever it
    // throws goes to the failure sink at once.
    template <typename F>
    void Dispatch(F&& call) noexcept {
        try {
            call();
        } catch (...) {
            if (failureSink_ != nullptr) failureSink_->HandleEventFailure(std::current_exception());
        }
    }
    // A failure caught where no box may come up (painting, Qt's own code):
    // kept by the failure sink, which shows it as soon as the event loop
    // gets control back.
    void DeferFailure(std::exception_ptr failure) noexcept;

    // The first of the program's windows that still exists: the main window.
    TFormWidget* MainWindow() const;
    const QIcon& Icon() const noexcept { return icon_; }
    const std::string& Title() const noexcept { return title_; }
    void Forget(TFormWidget* widget);

private:
    struct TDestroyWatch : QAbstractNativeEventFilter {
        bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;
    };

    QRect MonitorInUse() const;
    void RunBox(std::string_view caption, std::string_view text, QWidget* owner);

    std::string argv0_;
    int qtArgc_ = 1;
    char qtName_[1] = {};
    char* qtArgv_[2] = {qtName_, nullptr};
    std::unique_ptr<TQtApplication> app_;
    QIcon icon_;
    std::string title_;
    bool quit_ = false;
    std::vector<QPointer<TFormWidget>> forms_;
    TDestroyWatch destroyWatch_;
};

// Whether the window system Qt is about to use can be reached: an empty
// string, or the reason why not. Qt's own start-up ends the process when its
// display is missing, so this runs before it.
std::string CheckDisplay();
// Closes the connection CheckDisplay made, once Qt has connected.
void ReleaseDisplayProbe() noexcept;

}  // namespace titles::framework::qt
