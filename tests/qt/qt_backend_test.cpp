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
#include <functional>
#include <memory>
#include <optional>
#include <random>
#include <thread>
#include <vector>

#include <arpa/inet.h>
#include <netinet/in.h>
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
std::string CheckDisplay(std::chrono::milliseconds answerTime = std::chrono::seconds(5)) {
    try {
        const TDisplayProbe probe(answerTime);
        return {};
    } catch (const TFailure& failure) {
        return app::FailureMessage(failure.Facts());
    }
}

// A display server on a socket that behaves as asked: a Wayland compositor
// that answers a client's first requests (its globals, an output of scale
// 2) or answers them with a protocol error, or one that takes connections
// and never answers, answers noise, or closes them at once.
class TFakeDisplay {
public:
    enum class TMode { Compositor, Silent, Noise, Closing, Refusing };
    TFakeDisplay(TMode mode, const sockaddr* address, socklen_t size) : mode_(mode) {
        listener_ = ::socket(address->sa_family, SOCK_STREAM | SOCK_CLOEXEC, 0);
        const int on = 1;
        ::setsockopt(listener_, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
        bound_ = ::bind(listener_, address, size) == 0 && ::listen(listener_, 8) == 0;
        if (bound_) thread_ = std::thread([this] { Serve(); });
    }
    TFakeDisplay(const TFakeDisplay&) = delete;
    TFakeDisplay& operator=(const TFakeDisplay&) = delete;
    ~TFakeDisplay() {
        ::shutdown(listener_, SHUT_RDWR);
        if (thread_.joinable()) thread_.join();
        for (const int client : clients_) ::close(client);
        ::close(listener_);
    }
    bool Bound() const noexcept { return bound_; }

private:
    void Serve() {
        for (int client; (client = ::accept(listener_, nullptr, nullptr)) >= 0;) {
            clients_.push_back(client);
            if (mode_ == TMode::Noise) {
                std::uint32_t noise[16];
                std::mt19937 random(7);
                for (std::uint32_t& word : noise) word = static_cast<std::uint32_t>(random());
                (void)::send(client, noise, sizeof noise, MSG_NOSIGNAL);
            } else if (mode_ == TMode::Closing) {
                ::close(clients_.back());
                clients_.pop_back();
            } else if (mode_ == TMode::Compositor || mode_ == TMode::Refusing) {
                Answer(client);
            }
        }
    }
    // Requests: wl_display.sync (1, 0), wl_display.get_registry (1, 1),
    // wl_registry.bind (the registry, 0), each answered as a compositor does.
    void Answer(int client) {
        std::uint32_t registry = 0;
        for (;;) {
            std::uint32_t header[2];
            if (::recv(client, header, sizeof header, MSG_WAITALL) != sizeof header) return;
            std::vector<std::uint32_t> args(((header[1] >> 16) - 8) / 4);
            if (!args.empty() && ::recv(client, args.data(), 4 * args.size(), MSG_WAITALL) != static_cast<ssize_t>(4 * args.size())) return;
            const std::uint32_t opcode = header[1] & 0xFFFF;
            if (mode_ == TMode::Refusing) {
                Send(client, 1, 0, {header[0], 0, 1, 0});  // wl_display.error on the first request
            } else if (header[0] == 1 && opcode == 1) {
                registry = args[0];
                std::uint32_t name = 0;
                for (std::string interface : {"wl_compositor", "xdg_wm_base", "wl_output"}) {
                    std::vector<std::uint32_t> global{++name, static_cast<std::uint32_t>(interface.size() + 1)};
                    interface.resize((interface.size() + 4) / 4 * 4, '\0');
                    for (std::size_t at = 0; at < interface.size(); at += 4) {
                        std::uint32_t word;
                        std::memcpy(&word, interface.data() + at, 4);
                        global.push_back(word);
                    }
                    global.push_back(name == 3 ? 4 : 1);
                    Send(client, registry, 0, global);
                }
            } else if (header[0] == 1 && opcode == 0) {
                Send(client, args[0], 0, {1});  // wl_callback.done
            } else if (header[0] == registry && opcode == 0 && args.size() == 7 && args[1] == 10 &&
                       std::memcmp(&args[2], "wl_output", 10) == 0) {
                Send(client, args.back(), 3, {2});  // wl_output.scale
                Send(client, args.back(), 2, {});   // wl_output.done
            } else {
                Send(client, 1, 0, {header[0], 0, 1, 0});  // wl_display.error: an empty message
            }
        }
    }
    static void Send(int client, std::uint32_t object, std::uint32_t opcode, std::vector<std::uint32_t> args) {
        args.insert(args.begin(), {object, static_cast<std::uint32_t>(8 + 4 * args.size()) << 16 | opcode});
        (void)::send(client, args.data(), 4 * args.size(), MSG_NOSIGNAL);
    }

    TMode mode_;
    int listener_ = -1;
    bool bound_ = false;
    std::thread thread_;
    std::vector<int> clients_;
};

// The environment a case sets, restored when it ends.
class TEnvironment {
public:
    TEnvironment() {
        for (const char* name : kNames) {
            const char* value = std::getenv(name);
            saved_.emplace_back(value != nullptr ? std::optional<std::string>(value) : std::nullopt);
        }
    }
    ~TEnvironment() {
        for (std::size_t i = 0; i < std::size(kNames); ++i) {
            if (saved_[i]) setenv(kNames[i], saved_[i]->c_str(), 1); else unsetenv(kNames[i]);
        }
    }
    static void Set(const char* name, const char* value) {
        if (value != nullptr) setenv(name, value, 1); else unsetenv(name);
    }

private:
    static constexpr const char* kNames[] = {"DISPLAY", "WAYLAND_DISPLAY", "XDG_RUNTIME_DIR", "QT_QPA_PLATFORM"};
    std::vector<std::optional<std::string>> saved_;
};

TEST(QtDisplayCheck, NamesTheMissingDisplay) {
    static char name[] = "qt_tests";
    static char* argv[] = {name, nullptr};
    const TEnvironment environment;
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
    setenv("XDG_RUNTIME_DIR", runtime.Path().c_str(), 1);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const std::string socketPath = (runtime.Path() / "wayland-7").string();
    std::strncpy(address.sun_path, socketPath.c_str(), sizeof address.sun_path - 1);
    const TFakeDisplay compositor(TFakeDisplay::TMode::Compositor, reinterpret_cast<const sockaddr*>(&address), sizeof address);
    ASSERT_TRUE(compositor.Bound());
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
}

// Displays that take the connection and then never answer, answer noise or
// close it, and platform names that are no window Titles can show: each
// gives the program's message naming what is wrong, within the time a
// display has to answer (here 300 ms; the program's 5 seconds are held by
// the end-to-end run).
TEST(QtDisplayCheck, HostileDisplaysAndPlatformNames) {
    const TEnvironment environment;
    test_support::TTempDir runtime;
    setenv("XDG_RUNTIME_DIR", runtime.Path().c_str(), 1);
    using TMode = TFakeDisplay::TMode;
    // X servers on a free display number: by the abstract socket name its
    // clients try first, and by TCP on port 6000 plus the number.
    const auto xServer = [](TMode mode, bool tcp, std::string& display) {
        for (int number = 4700 + ::getpid() % 50;; ++number) {
            std::unique_ptr<TFakeDisplay> server;
            if (tcp) {
                sockaddr_in address{};
                address.sin_family = AF_INET;
                address.sin_port = htons(static_cast<std::uint16_t>(6000 + number));
                address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
                server = std::make_unique<TFakeDisplay>(mode, reinterpret_cast<const sockaddr*>(&address), sizeof address);
                display = "localhost:" + std::to_string(number);
            } else {
                sockaddr_un address{};
                address.sun_family = AF_UNIX;
                const std::string name = "/tmp/.X11-unix/X" + std::to_string(number);
                std::memcpy(address.sun_path + 1, name.data(), name.size());
                server = std::make_unique<TFakeDisplay>(mode, reinterpret_cast<const sockaddr*>(&address),
                                                        static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + 1 + name.size()));
                display = ":" + std::to_string(number);
            }
            if (server->Bound()) return server;
        }
    };
    const auto compositor = [&](TMode mode, std::string& display) {
        display = "wayland-hostile-" + std::to_string(static_cast<int>(mode));
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        std::strncpy(address.sun_path, (runtime.Path() / display).c_str(), sizeof address.sun_path - 1);
        return std::make_unique<TFakeDisplay>(mode, reinterpret_cast<const sockaddr*>(&address), sizeof address);
    };
    struct TCase {
        const char* what;
        std::function<std::unique_ptr<TFakeDisplay>(std::string&)> server;  // the display it names
        const char* platform;  // QT_QPA_PLATFORM; the display goes to DISPLAY unless it is Wayland's
        const char* message;   // "%s": the display's name
        const char* chosen = nullptr;  // QT_QPA_PLATFORM as Qt gets it
    };
    const TCase cases[] = {
        {"an X server that never answers", [&](std::string& d) { return xServer(TMode::Silent, false, d); }, nullptr,
         "ディスプレイ %s が応答しません"},
        {"an X server on TCP that never answers", [&](std::string& d) { return xServer(TMode::Silent, true, d); }, "xcb",
         "ディスプレイ %s が応答しません"},
        {"an X server that answers noise", [&](std::string& d) { return xServer(TMode::Noise, false, d); }, "xcb",
         "ディスプレイ %s が応答しません"},
        {"an X server that closes at once", [&](std::string& d) { return xServer(TMode::Closing, false, d); }, nullptr,
         "ディスプレイ %s に接続できません"},
        {"a compositor that never answers", [&](std::string& d) { return compositor(TMode::Silent, d); }, nullptr,
         "ディスプレイ %s が応答しません"},
        {"a compositor that answers noise", [&](std::string& d) { return compositor(TMode::Noise, d); }, "wayland",
         "ディスプレイ %s が応答しません"},
        {"a compositor that answers with an error", [&](std::string& d) { return compositor(TMode::Refusing, d); }, "wayland",
         "ディスプレイ %s の応答が正しくありません"},
        {"a compositor that closes at once", [&](std::string& d) { return compositor(TMode::Closing, d); }, "wayland",
         "ディスプレイ %s が応答しません"},
        {"Wayland named in capitals", [&](std::string& d) { return compositor(TMode::Compositor, d); }, "Wayland", "",
         "wayland"},
        {"xcb named in capitals, no DISPLAY", nullptr, "XCB", "ディスプレイがありません (DISPLAY が設定されていません)"},
        {"eglfs", nullptr, "eglfs", "ウィンドウ システム eglfs には対応していません (対応しているのは xcb と wayland です)"},
        {"linuxfb", nullptr, "linuxfb", "ウィンドウ システム linuxfb には対応していません (対応しているのは xcb と wayland です)"},
        {"minimalegl", nullptr, "minimalegl", "ウィンドウ システム minimalegl には対応していません (対応しているのは xcb と wayland です)"},
        {"vkkhrdisplay", nullptr, "VkKhrDisplay", "ウィンドウ システム vkkhrdisplay には対応していません (対応しているのは xcb と wayland です)"},
        {"a list of nothing", nullptr, ";;;", "QT_QPA_PLATFORM (;;;) にウィンドウ システムの名前がありません"},
        {"an entry with no name", nullptr, ":", "QT_QPA_PLATFORM (:) にウィンドウ システムの名前がありません"},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.what);
        std::string display;
        const std::unique_ptr<TFakeDisplay> server = c.server ? c.server(display) : nullptr;
        const bool wayland = display.starts_with("wayland");
        TEnvironment::Set("DISPLAY", c.server && !wayland ? display.c_str() : nullptr);
        TEnvironment::Set("WAYLAND_DISPLAY", wayland ? display.c_str() : nullptr);
        TEnvironment::Set("QT_QPA_PLATFORM", c.platform);
        const auto start = std::chrono::steady_clock::now();
        EXPECT_EQ(CheckDisplay(300ms), FormatText(c.message, {std::string_view(display)}));
        EXPECT_LT(std::chrono::steady_clock::now() - start, 1s);
        if (c.chosen != nullptr) {
            EXPECT_STREQ(std::getenv("QT_QPA_PLATFORM"), c.chosen);
        }
    }
}

}  // namespace
}  // namespace titles::framework::qt
