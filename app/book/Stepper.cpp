#include "app/book/Stepper.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QToolButton>

#include <algorithm>

namespace quillfen {

Stepper::Stepper(int minimum, int maximum, std::function<QString(int)> title, std::function<void(int)> commit,
                 QWidget* parent)
    : QWidget(parent),
      m_minimum(minimum),
      m_maximum(maximum),
      m_value(minimum),
      m_title(std::move(title)),
      m_commit(std::move(commit)),
      m_label(new QLabel(this)),
      m_down(new QToolButton(this)),
      m_up(new QToolButton(this)) {
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    m_down->setText(QStringLiteral("\u2212"));
    m_up->setText(QStringLiteral("+"));
    m_down->setAccessibleName(tr("Decrement"));
    m_up->setAccessibleName(tr("Increment"));
    row->addWidget(m_label, 1);
    row->addWidget(m_down);
    row->addWidget(m_up);
    connect(m_down, &QToolButton::clicked, this, [this] { step(-1); });
    connect(m_up, &QToolButton::clicked, this, [this] { step(1); });
    setValue(minimum);
}

void Stepper::setValue(int value) {
    m_value = value;
    m_label->setText(m_title(value));
    setAccessibleName(m_label->text());
    m_down->setEnabled(value > m_minimum);
    m_up->setEnabled(value < m_maximum);
}

void Stepper::step(int by) {
    const int next = std::clamp(m_value + by, m_minimum, m_maximum);
    if (next == m_value) return;
    setValue(next);
    m_commit(next);
}

}  // namespace quillfen
