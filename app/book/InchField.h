#pragma once

#include <QLineEdit>
#include <QLocale>

#include <functional>

namespace quillfen {

// A length held in points shown and edited in inches, in the locale's number format with zero to three
// fraction digits. Typed values are clamped to 0 ... 2 inches before they are converted. GUI thread.
class InchField : public QLineEdit {
    Q_OBJECT

public:
    // `commit` receives the length in points whenever the user finishes an edit.
    InchField(std::function<void(double points)> commit, QWidget* parent);

    // Shows a stored length, unless the user is editing the field.
    void setPoints(double points);

    // The inch text of a length in points: 9 shows as 0.125, 36 as 0.5, 0 as 0, 1 as 0.014.
    static QString inchText(double points, const QLocale& locale);
    // The points stored for `inches` typed: below 0 or not a number 0, above 2 inches 144 points.
    static double pointsFromInches(double inches);

protected:
    void changeEvent(QEvent* event) override;

private:
    void commitText();

    std::function<void(double)> m_commit;
    double m_points = 0;
};

}  // namespace quillfen
