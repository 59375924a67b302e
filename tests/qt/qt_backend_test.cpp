// The program on the Qt window system (offscreen platform): real widgets, real
// Qt mouse events, real message boxes.
#include "qt/qt_program_test.h"

#include <QAccessible>
#include <QFontInfo>
#include <QPainter>
#include <QtGui/private/qguiapplication_p.h>
#include <qpa/qplatformaccessibility.h>
#include <qpa/qplatformintegration.h>

#include <cstring>
#include <optional>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include "app/messages.h"

namespace titles::framework::qt {
namespace {

using namespace std::chrono_literals;

TEST_F(QtProgramTest, StartsFittedWithAPhraseAndEndsWithCodeZeroOnClose) {
    WriteLists();
    std::string firstText;
    QRect geometry;
    QString title;
    const int code = Run([&] {
        firstText = label_->Text();
        geometry = window_->frameGeometry();
        title = window_->windowTitle();
        EXPECT_EQ(label_->pos(), QPoint(0, 0));
        EXPECT_EQ(label_->size(), Client());
        EXPECT_EQ(label_->accessibleName(), QString::fromStdString(label_->Text()));
        EXPECT_FALSE(window_->windowIcon().pixmap(32).isNull()) << "no window icon";
        window_->close();
    });
    EXPECT_EQ(code, 0);
    EXPECT_TRUE(boxes_.empty());
    EXPECT_NE(firstText, "Label1");
    EXPECT_FALSE(firstText.empty());
    EXPECT_EQ(geometry.topLeft(), QPoint(300, 130));
    EXPECT_EQ(title, "qt_tests");
    for (QWidget* w : QApplication::topLevelWidgets()) EXPECT_EQ(qobject_cast<TWindowWidget*>(w), nullptr);
}

// The design's fonts resolve as the window's scaling expects: the window font
// is 15 pixels high, so the label keeps its designed 13-pixel Arial.
TEST_F(QtProgramTest, FontsGiveTheDesignedScale) {
    WriteLists();
    Run([&] {
        const TFontSpec windowFont{"MS Sans Serif", 11, TCharset::Default};
        EXPECT_EQ(windows_->ZeroTextHeight(windowFont), 15);
        EXPECT_EQ(windows_->PixelsPerInch(), 96);
        EXPECT_EQ(label_->TextFont().pixelSize(), 13);
        EXPECT_EQ(QFontInfo(label_->TextFont()).family(), "Liberation Sans");
        window_->close();
    });
}

TEST_F(QtProgramTest, MouseButtonsAndKeysOnTheLabel) {
    WriteLists();
    Run([&] {
        // A left click: exactly the next composition, and the window fits it.
        auto [expected, after] = NextPhrase(12345);
        QTest::mouseClick(label_, Qt::LeftButton, {}, Inside());
        EXPECT_EQ(label_->Text(), expected);
        EXPECT_EQ(RandomSeed, after);
        EXPECT_EQ(Client(), label_->size());

        // A double click: one composition, not two.
        std::tie(expected, after) = NextPhrase(777);
        QTest::mouseDClick(label_, Qt::LeftButton, {}, Inside());
        EXPECT_EQ(label_->Text(), expected);
        EXPECT_EQ(RandomSeed, after);

        // Right and middle clicks do nothing.
        const std::string shown = label_->Text();
        RandomSeed = 99;
        QTest::mouseClick(label_, Qt::RightButton, {}, Inside());
        QTest::mouseClick(label_, Qt::MiddleButton, {}, Inside());
        EXPECT_EQ(label_->Text(), shown);
        EXPECT_EQ(RandomSeed, 99u);

        // Pressed on the phrase, released outside the window: no click. The
        // release still reaches the label, so the next click works.
        QTest::mousePress(label_, Qt::LeftButton, {}, Inside());
        QTest::mouseMove(label_, QPoint(label_->width() + 40, label_->height() + 40));
        QTest::mouseRelease(label_, Qt::LeftButton, {}, QPoint(label_->width() + 40, label_->height() + 40));
        EXPECT_EQ(label_->Text(), shown);
        EXPECT_EQ(RandomSeed, 99u);
        std::tie(expected, after) = NextPhrase(4242);
        QTest::mouseClick(label_, Qt::LeftButton, {}, Inside());
        EXPECT_EQ(label_->Text(), expected);

        // The label has the focus, for screen readers; the window has no
        // keyboard commands, so no key composes.
        EXPECT_TRUE(label_->hasFocus());
        const std::string clicked = label_->Text();
        RandomSeed = 99;
        for (const Qt::Key key : {Qt::Key_Space, Qt::Key_Return, Qt::Key_Enter, Qt::Key_Tab, Qt::Key_Backtab}) {
            QTest::keyClick(window_->windowHandle(), key);
        }
        EXPECT_TRUE(label_->hasFocus());
        EXPECT_EQ(label_->Text(), clicked);
        EXPECT_EQ(RandomSeed, 99u);
        window_->close();
    });
    EXPECT_TRUE(boxes_.empty());
}

struct TLayoutCase {
    const char* text;
    const char* drawn;  // the runs as drawn, without prefixes
    bool tab;           // "drawn" is the part after one tab
    const char* before = nullptr;  // the drawn text before the underlined character
    const char* marked = nullptr;  // the underlined character
};

// The label is as large as the text it draws: "&" prefixes are not drawn
// ("&&" draws one "&"), a tab moves to the next stop of eight average
// character widths, and the ink reaches the label's right edge and never
// leaves the label.
TEST_F(QtProgramTest, LabelIsTheDrawnExtentOfItsText) {
    WriteLists();
    const TLayoutCase cases[] = {
        {"Plain Title Words", "Plain Title Words", false},
        {"Salt &and Pepper", "Salt and Pepper", false, "Salt ", "a"},
        {"Rock && Roll", "Rock & Roll", false},
        {"Hidden\tGarden", "Garden", true},
        {"Wide WWW MMM", "Wide WWW MMM", false},
        {"Caf\xC3\xA9 &\xC3\xA9t\xC3\xA9", "Caf\xC3\xA9 \xC3\xA9t\xC3\xA9", false, "Caf\xC3\xA9 ", "\xC3\xA9"},
        {"Salt && &Pepper&", "Salt & Pepper", false, "Salt & ", "P"},
    };
    static std::vector<QString> readOut;  // names screen readers were told of
    QAccessible::installUpdateHandler([](QAccessibleEvent* event) {
        if (event->type() == QAccessible::NameChanged && event->accessibleInterface() != nullptr) {
            readOut.push_back(event->accessibleInterface()->text(QAccessible::Name));
        }
    });
    Run([&] {
        // As when a screen reader listens: Qt then tells of every change.
        QGuiApplicationPrivate::platformIntegration()->accessibility()->setActive(true);
        for (const TLayoutCase& c : cases) {
            SCOPED_TRACE(c.text);
            readOut.clear();
            app::FormMain->ShowPhrase(c.text);
            // Screen readers are told the text as shown, as a notification.
            const QString name = QString::fromUtf8(c.tab ? c.text : c.drawn);
            QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(label_);
            ASSERT_NE(accessible, nullptr);
            EXPECT_EQ(accessible->role(), QAccessible::Notification);
            EXPECT_EQ(accessible->text(QAccessible::Name), name);
            EXPECT_EQ(readOut, std::vector<QString>{name});
            const QFontMetrics metrics(label_->TextFont());
            int width = metrics.horizontalAdvance(QString::fromUtf8(c.drawn));
            if (c.tab) width += 8 * metrics.averageCharWidth();
            EXPECT_EQ(label_->size(), QSize(width, metrics.height()));
            EXPECT_EQ(Client(), label_->size());

            // What the widget shows is what the label's painting draws...
            const QSize size = label_->size();
            QImage shown = label_->grab().toImage().convertToFormat(QImage::Format_RGB32);
            QImage painted(size, QImage::Format_RGB32);
            {
                QPainter painter(&painted);
                PaintLabelContent(painter, QRect(QPoint(0, 0), size), label_->Layout(), label_->TextFont(),
                                  label_->palette());
            }
            EXPECT_EQ(shown, painted);

            // ...and, drawn with room around it, that stays inside the label.
            const QRgb outside = qRgb(255, 0, 255);
            const QRgb face = label_->palette().color(QPalette::Button).rgb();
            QImage roomy(size + QSize(40, 20), QImage::Format_RGB32);
            roomy.fill(outside);
            {
                QPainter painter(&roomy);
                PaintLabelContent(painter, QRect(QPoint(0, 0), size), label_->Layout(), label_->TextFont(),
                                  label_->palette());
            }
            int right = -1;
            bool leaked = false;
            for (int y = 0; y < roomy.height(); ++y) {
                for (int x = 0; x < roomy.width(); ++x) {
                    const QRgb p = roomy.pixel(x, y);
                    if (x >= size.width() || y >= size.height()) {
                        leaked = leaked || p != outside;
                    } else if (p != face) {
                        right = std::max(right, x);
                    }
                }
            }
            EXPECT_FALSE(leaked) << "drawn outside the label";
            EXPECT_GE(right, size.width() - 3) << "ink ends well before the label's edge";
            // The mnemonic's character is underlined along its whole width.
            if (c.marked != nullptr) {
                const int x0 = metrics.horizontalAdvance(QString::fromUtf8(c.before));
                const int w = metrics.horizontalAdvance(QString::fromUtf8(c.marked));
                const int y = metrics.ascent() + metrics.underlinePos();
                const QRgb ink = label_->palette().color(QPalette::WindowText).rgb();
                for (int x = x0; x < x0 + w; ++x) EXPECT_EQ(roomy.pixel(x, y), ink) << "no underline at " << x;
            }
        }
        QGuiApplicationPrivate::platformIntegration()->accessibility()->setActive(false);
        window_->close();
    });
    QAccessible::installUpdateHandler(nullptr);
}

TEST_F(QtProgramTest, AFailingClickShowsOneBoxAndTheProgramGoesOn) {
    WriteLists();
    std::string before;
    QSize sizeBefore;
    QPoint centre;
    QWidget* window_seen = nullptr;
    Run([&] {
        window_seen = window_;
        before = label_->Text();
        sizeBefore = Client();
        centre = QGuiApplication::primaryScreen()->geometry().center();
        app::FormMain->NounList.ClearWords();
        QTest::mouseClick(label_, Qt::LeftButton, {}, Inside());
        // The box has come and gone inside the click.
        EXPECT_EQ(boxes_.size(), 1u);
        EXPECT_EQ(label_->Text(), before);
        EXPECT_EQ(Client(), sizeBefore);

        app::FormMain->NounList.LoadWordFile("nouns.txt");
        auto [expected, after] = NextPhrase(31337);
        QTest::mouseClick(label_, Qt::LeftButton, {}, Inside());
        EXPECT_EQ(label_->Text(), expected);
        window_->close();
    });
    ASSERT_EQ(boxes_.size(), 1u);
    const TSeenBox& box = boxes_[0];
    EXPECT_EQ(box.caption, "qt_tests");
    EXPECT_EQ(box.text.toStdString(), "リストのインデックスが範囲を超えています (0)");
    EXPECT_EQ(box.icon, QMessageBox::Critical);
    EXPECT_EQ(box.buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
    EXPECT_EQ(box.modality, Qt::ApplicationModal);
    // A dialog of the shown main window, yet at the screen's centre rather
    // than over the main window.
    EXPECT_EQ(box.owner, window_seen);
    EXPECT_TRUE(box.mainWindowVisible);
    EXPECT_LE((box.geometry.center() - centre).manhattanLength(), 2) << box.geometry.center().x() << ","
                                                                     << box.geometry.center().y();
}

// A failure that gets past the widgets' guards into Qt's event delivery is
// caught by the application object and shown like any other.
TEST_F(QtProgramTest, AFailureInQtsEventDeliveryIsShown) {
    WriteLists();
    struct TThrower : QObject {
        bool event(QEvent* e) override {
            if (e->type() == QEvent::User) throw std::runtime_error("event failed");
            return QObject::event(e);
        }
    } thrower;
    Run([&] {
        QCoreApplication::postEvent(&thrower, new QEvent(QEvent::User));
        QTimer::singleShot(100, [&] { window_->close(); });
    });
    ASSERT_EQ(boxes_.size(), 1u);
    EXPECT_EQ(boxes_[0].text, "event failed.");
}

// The fatal box belongs to no window, unlike the error box.
TEST_F(QtProgramTest, TheFatalBoxHasNoOwner) {
    WriteLists();
    Run([&] {
        windows_->FatalBox("アプリケーション エラー", "TFailure: gone.");
        window_->close();
    });
    ASSERT_EQ(boxes_.size(), 1u);
    EXPECT_EQ(boxes_[0].caption, QString::fromUtf8("アプリケーション エラー"));
    EXPECT_EQ(boxes_[0].text, "TFailure: gone.");
    EXPECT_EQ(boxes_[0].icon, QMessageBox::Critical);
    EXPECT_EQ(boxes_[0].owner, nullptr);
}

TEST_F(QtProgramTest, MissingAdjectivesShowOneBoxBeforeTheDesignedWindow) {
    WriteLists(nullptr, kNouns);
    std::string text;
    QSize client;
    QPoint centre;
    const int code = Run([&] {
        centre = QGuiApplication::primaryScreen()->geometry().center();
        text = label_->Text();
        client = Client();
        window_->close();
    });
    EXPECT_EQ(code, 0);
    ASSERT_EQ(boxes_.size(), 1u);
    EXPECT_EQ(boxes_[0].caption, "qt_tests");
    EXPECT_EQ(boxes_[0].text, QString::fromUtf8("ファイル adjectives.txt は開けません."));
    EXPECT_FALSE(boxes_[0].mainWindowVisible);
    // Not a dialog of a window that is not shown, and centred on the screen.
    EXPECT_EQ(boxes_[0].owner, nullptr);
    EXPECT_LE((boxes_[0].geometry.center() - centre).manhattanLength(), 2);
    EXPECT_EQ(text, "Label1");
    EXPECT_EQ(client, QSize(361, 26));
}

// The probe's verdict: an empty string, or the program's message.
std::string CheckDisplay() {
    try {
        const TDisplayProbe probe;
        return {};
    } catch (const TFailure& failure) {
        return app::FailureMessage(failure.Facts());
    }
}

TEST(QtDisplayCheck, NamesTheMissingDisplay) {
    static char name[] = "qt_tests";
    static char* argv[] = {name, nullptr};
    const std::optional<std::string> display = std::getenv("DISPLAY") ? std::optional<std::string>(std::getenv("DISPLAY")) : std::nullopt;
    const char* platform = std::getenv("QT_QPA_PLATFORM");
    const std::string savedPlatform = platform ? platform : "";
    unsetenv("QT_QPA_PLATFORM");
    unsetenv("WAYLAND_DISPLAY");

    setenv("DISPLAY", ":479", 1);
    EXPECT_EQ(CheckDisplay(), "ディスプレイ :479 に接続できません");
    unsetenv("DISPLAY");
    EXPECT_NE(CheckDisplay().find("DISPLAY"), std::string::npos);
    EXPECT_THROW(CreateWindowSystem(1, argv), TFailure);
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    EXPECT_EQ(CheckDisplay(), "");
    setenv("QT_QPA_PLATFORM", "xcb", 1);
    EXPECT_FALSE(CheckDisplay().empty());
    // A plug-in Qt cannot find would end the process in Qt's own start-up.
    setenv("QT_QPA_PLATFORM", "no-such-platform", 1);
    EXPECT_EQ(CheckDisplay(), "ウィンドウ システムのプラグイン no-such-platform が見つかりません");
    // Qt is given the first usable entry of a list, never one that fails.
    setenv("QT_QPA_PLATFORM", "no-such-platform;offscreen", 1);
    EXPECT_EQ(CheckDisplay(), "");
    EXPECT_STREQ(std::getenv("QT_QPA_PLATFORM"), "offscreen");
    unsetenv("QT_QPA_PLATFORM");

    // Wayland: a compositor is one that answers on its socket, by name in
    // XDG_RUNTIME_DIR or by absolute path; a stale name is a display that
    // cannot be reached, also when Wayland is asked for while X works.
    test_support::TTempDir runtime;
    const char* savedRuntime = std::getenv("XDG_RUNTIME_DIR");
    const std::string oldRuntime = savedRuntime ? savedRuntime : "";
    setenv("XDG_RUNTIME_DIR", runtime.Path().c_str(), 1);
    const int listener = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const std::string socketPath = (runtime.Path() / "wayland-7").string();
    std::strncpy(address.sun_path, socketPath.c_str(), sizeof address.sun_path - 1);
    ASSERT_EQ(::bind(listener, reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);
    ASSERT_EQ(::listen(listener, 4), 0);
    setenv("DISPLAY", ":479", 1);
    for (const std::string& way : {std::string("wayland-7"), socketPath}) {
        setenv("WAYLAND_DISPLAY", way.c_str(), 1);
        EXPECT_EQ(CheckDisplay(), "") << way;
        EXPECT_STREQ(std::getenv("QT_QPA_PLATFORM"), "wayland") << way;
        unsetenv("QT_QPA_PLATFORM");
    }
    setenv("WAYLAND_DISPLAY", "wayland-479", 1);
    EXPECT_EQ(CheckDisplay(), "ディスプレイ :479 に接続できません");
    unsetenv("DISPLAY");
    EXPECT_EQ(CheckDisplay(), "ディスプレイ wayland-479 に接続できません");
    setenv("QT_QPA_PLATFORM", "wayland", 1);
    EXPECT_EQ(CheckDisplay(), "ディスプレイ wayland-479 に接続できません");
    ::close(listener);
    if (oldRuntime.empty()) unsetenv("XDG_RUNTIME_DIR"); else setenv("XDG_RUNTIME_DIR", oldRuntime.c_str(), 1);
    unsetenv("WAYLAND_DISPLAY");
    unsetenv("QT_QPA_PLATFORM");

    if (display) setenv("DISPLAY", display->c_str(), 1);
    if (savedPlatform.empty()) unsetenv("QT_QPA_PLATFORM"); else setenv("QT_QPA_PLATFORM", savedPlatform.c_str(), 1);
}

}  // namespace
}  // namespace titles::framework::qt
