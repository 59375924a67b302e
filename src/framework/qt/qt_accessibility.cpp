// The program as screen readers (AT-SPI) see it: the window a frame, its
// label a notification with a readable text and one action, "click", that
// composes a new title as a left click does. Screen readers speak a
// notification as it is shown, which the label is with each new title; a
// plain label's changes they keep silent.
#include <QAccessibleWidget>

#include "framework/qt/qt_window_system.h"

namespace titles::framework::qt {
namespace {

class TAccessibleLabel : public QAccessibleWidget, public QAccessibleTextInterface {
public:
    explicit TAccessibleLabel(TLabelWidget* label) : QAccessibleWidget(label, QAccessible::Notification) {}
    using QAccessibleWidget::text;
    void* interface_cast(QAccessible::InterfaceType type) override {
        if (type == QAccessible::TextInterface) return static_cast<QAccessibleTextInterface*>(this);
        return QAccessibleWidget::interface_cast(type);
    }
    QStringList actionNames() const override { return {QStringLiteral("click")}; }
    void doAction(const QString& name) override {
        if (name == actionNames().constFirst()) Label()->InvokeAction();
    }
    // The text as the label shows it, on one line; no caret, no selection.
    QString text(int start, int end) const override { return Shown().mid(start, end - start); }
    int characterCount() const override { return static_cast<int>(Shown().size()); }
    QRect characterRect(int offset) const override {
        const QFontMetrics metrics(Label()->TextFont());
        const QPoint origin = Label()->mapToGlobal(QPoint(metrics.horizontalAdvance(Shown().left(offset)), 0));
        return {origin, QSize(metrics.horizontalAdvance(Shown().mid(offset, 1)), metrics.height())};
    }
    int offsetAtPoint(const QPoint& point) const override {
        for (int i = 0; i < characterCount(); ++i) {
            if (characterRect(i).contains(point)) return i;
        }
        return -1;
    }
    QString attributes(int, int* start, int* end) const override {
        *start = 0;
        *end = characterCount();
        return {};
    }
    void selection(int, int* start, int* end) const override { *start = *end = 0; }
    int selectionCount() const override { return 0; }
    void addSelection(int, int) override {}
    void removeSelection(int) override {}
    void setSelection(int, int, int) override {}
    int cursorPosition() const override { return 0; }
    void setCursorPosition(int) override {}
    void scrollToSubstring(int, int) override {}

private:
    TLabelWidget* Label() const { return static_cast<TLabelWidget*>(widget()); }
    QString Shown() const { return widget()->accessibleName(); }
};

}  // namespace

QAccessibleInterface* AccessibleFactory(const QString&, QObject* object) {
    if (auto* label = qobject_cast<TLabelWidget*>(object)) return new TAccessibleLabel(label);
    if (auto* window = qobject_cast<TWindowWidget*>(object)) return new QAccessibleWidget(window, QAccessible::Window);
    return nullptr;
}

}  // namespace titles::framework::qt
