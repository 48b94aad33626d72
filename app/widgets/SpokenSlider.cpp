#include "app/widgets/SpokenSlider.h"

#include <QAccessible>
#include <QAccessibleWidget>

#include <cmath>

namespace quillfen {

namespace {

// The slider as assistive technologies see it: its spoken text as the value, its numbers in its unit.
class AccessibleSpokenSlider : public QAccessibleWidget, public QAccessibleValueInterface {
public:
    explicit AccessibleSpokenSlider(SpokenSlider* slider) : QAccessibleWidget(slider, QAccessible::Slider) {}

    QString text(QAccessible::Text kind) const override {
        return kind == QAccessible::Value ? slider()->spokenValue() : QAccessibleWidget::text(kind);
    }
    void* interface_cast(QAccessible::InterfaceType kind) override {
        if (kind == QAccessible::ValueInterface) return static_cast<QAccessibleValueInterface*>(this);
        return QAccessibleWidget::interface_cast(kind);
    }

    QVariant currentValue() const override { return slider()->value() * slider()->step(); }
    void setCurrentValue(const QVariant& value) override {
        slider()->setValue(static_cast<int>(std::lround(value.toDouble() / slider()->step())));
    }
    QVariant maximumValue() const override { return slider()->maximum() * slider()->step(); }
    QVariant minimumValue() const override { return slider()->minimum() * slider()->step(); }
    QVariant minimumStepSize() const override { return slider()->singleStep() * slider()->step(); }

private:
    SpokenSlider* slider() const { return static_cast<SpokenSlider*>(widget()); }
};

QAccessibleInterface* spokenSliderFactory(const QString&, QObject* object) {
    if (auto* slider = qobject_cast<SpokenSlider*>(object)) return new AccessibleSpokenSlider(slider);
    return nullptr;
}

}  // namespace

SpokenSlider::SpokenSlider(double step, QWidget* parent) : QSlider(Qt::Horizontal, parent), m_step(step) {
    static const bool installed = [] {
        QAccessible::installFactory(spokenSliderFactory);
        return true;
    }();
    Q_UNUSED(installed);
}

void SpokenSlider::setSpokenValue(const QString& text) {
    if (text == m_spoken) return;
    m_spoken = text;
    QAccessibleValueChangeEvent event(this, value() * m_step);
    QAccessible::updateAccessibility(&event);
}

}  // namespace quillfen
