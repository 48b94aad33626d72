#pragma once

#include <QSlider>
#include <QString>

namespace quillfen {

// A horizontal slider whose positions stand for steps of a value in some unit: assistive technologies
// read the value as a text with its unit ("2.5 degrees", "60 percent") and as the number in that unit,
// never as the raw position. GUI thread only.
class SpokenSlider : public QSlider {
    Q_OBJECT

public:
    // Position p stands for the value p × `step`.
    SpokenSlider(double step, QWidget* parent);

    double step() const { return m_step; }
    // The value as it is read out; set it whenever the shown value changes.
    void setSpokenValue(const QString& text);
    const QString& spokenValue() const { return m_spoken; }

private:
    double m_step;
    QString m_spoken;
};

}  // namespace quillfen
