#include "controls/wheel_focus.h"

#include <QAbstractScrollArea>
#include <QAbstractSpinBox>
#include <QCoreApplication>
#include <QComboBox>
#include <QEvent>
#include <QObject>
#include <QWheelEvent>
#include <QWidget>

namespace controls {

namespace {

class WheelFilter final : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() != QEvent::Wheel) return false;
        auto* control = static_cast<QWidget*>(watched);
        if (control->hasFocus()) return false;
        // Not for this control: the page around it scrolls.
        for (QWidget* outer = control->parentWidget(); outer; outer = outer->parentWidget()) {
            auto* area = qobject_cast<QAbstractScrollArea*>(outer);
            if (!area) continue;
            const auto* wheel = static_cast<QWheelEvent*>(event);
            QWidget* viewport = area->viewport();
            QWheelEvent scroll(viewport->mapFromGlobal(wheel->globalPosition()), wheel->globalPosition(), wheel->pixelDelta(),
                               wheel->angleDelta(), wheel->buttons(), wheel->modifiers(), wheel->phase(), wheel->inverted(),
                               wheel->source());
            QCoreApplication::sendEvent(viewport, &scroll);
            break;
        }
        return true;
    }
};

void Guard(QWidget& control, WheelFilter& filter)
{
    // The wheel alone gives no focus.
    if (control.focusPolicy() == Qt::WheelFocus) control.setFocusPolicy(Qt::StrongFocus);
    control.installEventFilter(&filter);
}

}  // namespace

void WheelOnlyWithFocus(QWidget& page)
{
    auto* filter = new WheelFilter(&page);
    for (QComboBox* combo : page.findChildren<QComboBox*>()) Guard(*combo, *filter);
    for (QAbstractSpinBox* box : page.findChildren<QAbstractSpinBox*>()) Guard(*box, *filter);
}

}  // namespace controls
