#include "platform/linux/views/accessibility.h"

#include <QAccessible>
#include <QAccessibleWidget>

#include "platform/linux/views/main_window.h"

namespace qlp::linux_desktop {

namespace {

// The page number and the description line: static text whose name is the
// text shown.
class PressAreaText : public QAccessibleWidget {
public:
    explicit PressAreaText(PressArea* area) : QAccessibleWidget(area, QAccessible::StaticText) {}
    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Name || t == QAccessible::Value) return area()->text();
        return QAccessibleWidget::text(t);
    }

private:
    PressArea* area() const { return static_cast<PressArea*>(widget()); }
};

// A slot: a button named after what it starts; pressing it starts that.
class SlotButton : public QAccessibleWidget {
public:
    explicit SlotButton(SlotWidget* slot) : QAccessibleWidget(slot, QAccessible::Button) {}
    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Name) return slot()->accessibleText();
        return QAccessibleWidget::text(t);
    }
    QStringList actionNames() const override { return {pressAction()}; }
    void doAction(const QString& name) override {
        if (name == pressAction()) slot()->click();
    }

private:
    SlotWidget* slot() const { return static_cast<SlotWidget*>(widget()); }
};

// Our widgets carry no meta-object of their own, so they come as "QWidget".
QAccessibleInterface* factory(const QString& className, QObject* object) {
    if (className != QLatin1String("QWidget") || !object) return nullptr;
    if (auto* area = dynamic_cast<PressArea*>(object); area && area->isTextLine()) return new PressAreaText(area);
    if (auto* slot = dynamic_cast<SlotWidget*>(object)) return new SlotButton(slot);
    return nullptr;
}

}  // namespace

void installAccessibleInterfaces() {
    static const bool installed = [] {
        QAccessible::installFactory(factory);
        return true;
    }();
    (void)installed;
}

void announceNameChange(QWidget* widget) {
    // Asking whether anyone listens sets up Qt's accessibility bridge, a
    // session-bus connection that start-up leaves until the window is shown;
    // a hidden widget is read as it is when it shows.
    if (!widget->isVisible() || !QAccessible::isActive()) return;
    QAccessibleEvent event(widget, QAccessible::NameChanged);
    QAccessible::updateAccessibility(&event);
}

}  // namespace qlp::linux_desktop
