#pragma once

#include <QWidget>

#include <functional>

class QLabel;
class QToolButton;

namespace quillfen {

// A whole number within a range, shown in its title and changed one step at a time by a minus and a
// plus button. GUI thread only.
class Stepper : public QWidget {
    Q_OBJECT

public:
    // `title` makes the row's text from the value; `commit` receives each new value.
    Stepper(int minimum, int maximum, std::function<QString(int)> title, std::function<void(int)> commit,
            QWidget* parent);

    void setValue(int value);
    int value() const { return m_value; }
    // Steps as the buttons do: -1 or +1, kept inside the range.
    void step(int by);

private:
    int m_minimum;
    int m_maximum;
    int m_value;
    std::function<QString(int)> m_title;
    std::function<void(int)> m_commit;
    QLabel* m_label;
    QToolButton* m_down;
    QToolButton* m_up;
};

}  // namespace quillfen
