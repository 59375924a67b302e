// Native Wayland, where Qt's idea of a fixed-size window and the protocol's
// disagree (see OnWayland in qt_window_system.h).
#include <QMessageBox>
#include <QTimer>
#include <QWindow>
// The window's xdg_toplevel, to send its size limits in the protocol's
// terms, is only handed out by Qt's platform native interface.
#include <qpa/qplatformnativeinterface.h>

#include <wayland-client.h>

#include "framework/qt/qt_window_system.h"

namespace titles::framework::qt {
namespace {

// The whole window geometry as the compositor's size limits.
void FixWaylandSize(QWidget& window) {
    QPlatformNativeInterface* native = QGuiApplication::platformNativeInterface();
    auto* toplevel = native == nullptr || window.windowHandle() == nullptr
                         ? nullptr
                         : static_cast<wl_proxy*>(native->nativeResourceForWindow("xdg_toplevel", window.windowHandle()));
    if (toplevel == nullptr) return;
    enum : std::uint32_t { kSetMaxSize = 7, kSetMinSize = 8 };  // xdg_toplevel's request numbers
    const QSize size = window.frameGeometry().size();
    wl_proxy_marshal(toplevel, kSetMaxSize, size.width(), size.height());
    wl_proxy_marshal(toplevel, kSetMinSize, size.width(), size.height());
}

}  // namespace

bool WaylandConnectionBroken() {
    QPlatformNativeInterface* native = QGuiApplication::platformNativeInterface();
    void* display = native == nullptr ? nullptr : native->nativeResourceForIntegration("wl_display");
    return display != nullptr && wl_display_get_error(static_cast<wl_display*>(display)) != 0;
}

// Where the compositor frames the window (or nobody does), its size is
// fixed in Qt's terms, as on X, so that Qt does not take a size the
// compositor proposes (sway's floating minimum at the first map). Where it
// leaves the decoration to the client, Qt's own has its icon in the first
// 30 pixels of the title bar and its buttons in the last 76, and centres the
// title (14 pixels high) over the whole bar: the window is kept wide enough
// for all of them, wider than a short phrase.
void FitOnWayland(QWidget& window, QSize client) {
    const QMargins margins = window.windowHandle() != nullptr ? window.windowHandle()->frameMargins() : QMargins();
    if (margins.top() == 0) {
        window.setFixedSize(client);
        return;
    }
    QFont font = QGuiApplication::font();
    font.setPixelSize(14);
    const int titleWidth = QFontMetrics(font).horizontalAdvance(window.windowTitle());
    client.setWidth(std::max(client.width(), 2 * 76 + titleWidth - margins.left() - margins.right()));
    window.setMinimumSize(0, 0);
    window.setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    window.resize(client);
    FixWaylandSize(window);
}

void KeepNormalOnWayland(QWidget& window, const QEvent& event) {
    static constexpr Qt::WindowStates kLarge = Qt::WindowMaximized | Qt::WindowFullScreen;
    if (event.type() == QEvent::WindowStateChange && OnWayland() && (window.windowState() & kLarge)) {
        // Given back once the large frame is out: weston ignores the request
        // to take back a state whose frame it has not yet been sent.
        QTimer::singleShot(50, &window, [&window] { window.setWindowState(window.windowState() & ~kLarge); });
    }
}

void LetBoxSizeOnWayland(QMessageBox& box) {
    if (!OnWayland() || box.minimumSize() == QSize(0, 0)) return;
    box.setMinimumSize(0, 0);
    box.setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    QMetaObject::invokeMethod(&box, [&box] { FixWaylandSize(box); }, Qt::QueuedConnection);
}

}  // namespace titles::framework::qt
