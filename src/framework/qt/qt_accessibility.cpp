// The program as accessibility tools (AT-SPI screen readers) see it: one
// frame per shown window, the label as static text whose text can be read
// and whose one action, "click", composes a new title as a left click does.
// The hidden program-level window, which only owns the boxes, is left out.
#include <QAccessibleObject>
#include <QAccessibleWidget>
#include <QFontMetrics>
#include <QTimer>

#include "framework/qt/qt_internal.h"

namespace titles::framework::qt {
namespace {

const QString kClick = QStringLiteral("click");

class TAccessibleLabel : public QAccessibleWidget, public QAccessibleTextInterface {
public:
    explicit TAccessibleLabel(TLabelWidget* label) : QAccessibleWidget(label, QAccessible::StaticText) {}
    using QAccessibleWidget::text;
    void* interface_cast(QAccessible::InterfaceType type) override {
        if (type == QAccessible::TextInterface) return static_cast<QAccessibleTextInterface*>(this);
        return QAccessibleWidget::interface_cast(type);
    }
    QStringList actionNames() const override { return {kClick}; }
    void doAction(const QString& name) override {
        if (name == kClick) static_cast<TLabelWidget*>(widget())->Click();
    }

    // The text as the label shows it, on one line; no caret, no selection.
    QString text(int start, int end) const override { return Shown().mid(start, end - start); }
    int characterCount() const override { return static_cast<int>(Shown().size()); }
    QRect characterRect(int offset) const override {
        const QFontMetrics metrics(static_cast<TLabelWidget*>(widget())->TextFont());
        const QString shown = Shown();
        const QPoint origin = widget()->mapToGlobal(QPoint(metrics.horizontalAdvance(shown.left(offset)), 0));
        return {origin, QSize(metrics.horizontalAdvance(shown.mid(offset, 1)), metrics.height())};
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
    QString Shown() const { return widget()->accessibleName(); }
};

class TAccessibleApplication : public QAccessibleApplication {
public:
    int childCount() const override { return static_cast<int>(Shown().size()); }
    QAccessibleInterface* child(int index) const override {
        const QWidgetList shown = Shown();
        return index >= 0 && index < shown.size() ? QAccessible::queryAccessibleInterface(shown[index]) : nullptr;
    }
    int indexOfChild(const QAccessibleInterface* child) const override {
        return child == nullptr ? -1 : static_cast<int>(Shown().indexOf(qobject_cast<QWidget*>(child->object())));
    }

private:
    static QWidgetList Shown() {
        QWidgetList shown;
        for (QWidget* window : QApplication::topLevelWidgets()) {
            if (window->isVisible()) shown.append(window);
        }
        return shown;
    }
};

}  // namespace

QAccessibleInterface* TLabelWidget::AccessibleFactory(const QString&, QObject* object) {
    if (auto* label = qobject_cast<TLabelWidget*>(object)) return new TAccessibleLabel(label);
    if (auto* form = qobject_cast<TFormWidget*>(object)) return new QAccessibleWidget(form, QAccessible::Window);
    if (object == qApp) return new TAccessibleApplication;
    return nullptr;
}

// Run from the event loop, as a mouse click is, after the tool has had its
// answer; a tool can still call while a box is up, when no click may reach
// the label.
void TLabelWidget::Click() {
    QTimer::singleShot(0, this, [this] {
        if (QApplication::activeModalWidget() == nullptr) backend_.Dispatch([this] { input_.Click(); });
    });
}

}  // namespace titles::framework::qt
