#include "app/book/InchField.h"

#include "engine/book/PrintGeometry.h"

#include <QEvent>

#include <cmath>

namespace quillfen {

namespace {

constexpr double largestInches = 2;

}  // namespace

InchField::InchField(std::function<void(double points)> commit, QWidget* parent)
    : QLineEdit(parent), m_commit(std::move(commit)) {
    setToolTip(tr("Inches"));
    connect(this, &QLineEdit::editingFinished, this, &InchField::commitText);
}

QString InchField::inchText(double points, const QLocale& locale) {
    double inches = std::round(points / pointsPerInch * 1000) / 1000;
    if (inches == 0) inches = 0;  // no "-0"
    QString shown = locale.toString(inches, 'f', 3);
    const QString point = locale.decimalPoint();
    if (shown.contains(point)) {
        while (shown.endsWith(locale.zeroDigit())) shown.chop(1);
        if (shown.endsWith(point)) shown.chop(point.size());
    }
    return shown;
}

double InchField::pointsFromInches(double inches) {
    if (std::isnan(inches) || inches < 0) return 0;
    if (inches > largestInches) return largestInches * pointsPerInch;
    return inches * pointsPerInch;
}

void InchField::setPoints(double points) {
    m_points = points;
    if (hasFocus() && isModified()) return;
    const QString shown = inchText(points, locale());
    if (text() != shown) setText(shown);
}

void InchField::commitText() {
    if (!isModified()) return;
    setModified(false);
    bool ok = false;
    const double inches = locale().toDouble(text(), &ok);
    if (ok) {
        m_commit(pointsFromInches(inches));
    }
    setText(inchText(m_points, locale()));
}

void InchField::changeEvent(QEvent* event) {
    QLineEdit::changeEvent(event);
    if (event->type() == QEvent::LocaleChange) setText(inchText(m_points, locale()));
}

}  // namespace quillfen
