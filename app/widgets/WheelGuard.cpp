#include "app/widgets/WheelGuard.h"

#include <QAbstractSlider>
#include <QAbstractSpinBox>
#include <QApplication>
#include <QChildEvent>
#include <QComboBox>
#include <QScrollBar>

namespace quillfen {

namespace {

bool turnsWithWheel(const QObject* object) {
    return qobject_cast<const QComboBox*>(object) || qobject_cast<const QAbstractSpinBox*>(object) ||
           (qobject_cast<const QAbstractSlider*>(object) && !qobject_cast<const QScrollBar*>(object));
}

// Focus may rest on a part of the control, such as a spin box's text field.
bool holdsFocus(const QWidget* control) {
    const QWidget* focus = QApplication::focusWidget();
    return focus && (focus == control || control->isAncestorOf(focus));
}

// Watches every widget of the panel: the controls for their wheel events, and every widget for the
// children it gains, which are watched in turn once they are complete.
class WheelGuard : public QObject {
public:
    explicit WheelGuard(QWidget* panel) : QObject(panel) { guard(panel); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::ChildPolished) {
            if (auto* child = qobject_cast<QWidget*>(static_cast<QChildEvent*>(event)->child())) guard(child);
        } else if (event->type() == QEvent::Wheel && turnsWithWheel(watched) &&
                   !holdsFocus(static_cast<QWidget*>(watched))) {
            event->ignore();  // not taken: the parents get it in turn, up to the scrolling panel
            return true;
        }
        return false;
    }

private:
    void guard(QWidget* root) {
        auto widgets = root->findChildren<QWidget*>();
        widgets.append(root);
        for (QWidget* widget : widgets) {
            widget->installEventFilter(this);
            if (turnsWithWheel(widget) && widget->focusPolicy() == Qt::WheelFocus) {
                widget->setFocusPolicy(Qt::StrongFocus);
            }
        }
    }
};

}  // namespace

void guardWheel(QWidget* panel) { new WheelGuard(panel); }

}  // namespace quillfen
