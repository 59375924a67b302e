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
    const QFontMetrics& Metrics() const noexcept { return metrics_; }

private:
    QFontMetrics metrics_;
};

// Paints a label's content into rect: the background, then the text runs
// and mnemonic underlines of its layout, from the top-left corner. Nothing
// is clipped here, so what it draws can be checked against the label's size.
void PaintLabelContent(QPainter& painter, const QRect& rect, std::string_view text, const QFont& font,
                       const QPalette& palette);

class TQtBackend;

// The label: a child widget that paints its text and passes the mouse on.
class TLabelWidget : public QWidget {
    Q_OBJECT
public:
    TLabelWidget(TQtBackend& backend, TLabelInput& input, QWidget* parent);
    void SetContent(std::string_view text, const QFont& font);
    // The text as far as it can be drawn: all of it unless the line is
    // wider than any window.
    const std::string& Text() const noexcept { return text_; }
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
    QFont font_;
};

// A top-level window. Its size is fixed by the program, never by the user.
class TFormWidget : public QWidget {
    Q_OBJECT
public:
    TFormWidget(TQtBackend& backend, TFormInput& input, const TFormDesign& design);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    TQtBackend& backend_;
    TFormInput& input_;
};

class TQtLabel : public TNativeLabel {
public:
    TQtLabel(TQtBackend& backend, TLabelInput& input, QWidget* parent);
    ~TQtLabel() override;
    TSize MeasureText(std::string_view text, const TFontSpec& font) override;
    void Update(std::string_view text, const TFontSpec& font, const TRect& bounds) override;
    void SetMouseCapture(bool captured) override;
    TLabelWidget* Widget() const noexcept { return widget_; }

private:
    QPointer<TLabelWidget> widget_;
};

class TQtForm : public TNativeForm {
public:
    TQtForm(TQtBackend& backend, const TFormDesign& design, TFormInput& input);
    ~TQtForm() override;
    TRect OuterBounds() const override;
    TSize ClientSize() const override;
    void SetOuterSize(TSize size) override;
    void SetClientSize(TSize size) override;
    void SetFont(const TFontSpec& font) override;
    std::unique_ptr<TNativeLabel> CreateLabel(TLabelInput& input) override;
    void Show(TShowRequest request) override;
    bool IsVisible() const override;
    void Destroy() override;
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
    void RunEventLoop(TFailureSink& sink) override;
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
            HandleFailure(std::current_exception());
        }
    }
    // A failure caught where no box may come up (painting, Qt's own code):
    // reported from the event loop as soon as it gets control back.
    void HandleFailureLater(std::exception_ptr failure) noexcept;

    // The first of the program's windows that still exists: the main window.
    TFormWidget* MainWindow() const;
    const QIcon& Icon() const noexcept { return icon_; }
    const std::string& Title() const noexcept { return title_; }
    void Forget(TFormWidget* widget);

private:
    class TDestroyWatch : public QAbstractNativeEventFilter {
    public:
        explicit TDestroyWatch(TQtBackend& backend) : backend_(backend) {}
        bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;

    private:
        TQtBackend& backend_;
    };

    void HandleFailure(std::exception_ptr failure) noexcept;
    void DeliverPendingFailures() noexcept;
    QPoint ScreenCentre() const;

    int argc_;
    char** argv_;
    std::string argv0_;
    std::unique_ptr<TQtApplication> app_;
    QIcon icon_;
    std::string title_;
    TFailureSink* sink_ = nullptr;
    std::vector<std::exception_ptr> pending_;
    bool deliveryPosted_ = false;
    bool quit_ = false;
    std::vector<QPointer<TFormWidget>> forms_;
    std::unique_ptr<QWidget> programWindow_;
    TDestroyWatch destroyWatch_{*this};
};

// Whether the window system Qt is about to use can be reached: an empty
// string, or the reason why not. Qt's own start-up ends the process when its
// display is missing, so this runs before it.
std::string CheckDisplay(int argc, char** argv);
// Closes the connection CheckDisplay made, once Qt has connected.
void ReleaseDisplayProbe() noexcept;

}  // namespace titles::framework::qt
