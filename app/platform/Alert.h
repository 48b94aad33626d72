#pragma once

#include <QMessageBox>
#include <QString>

#include <memory>

namespace quillfen {

// An informational alert over the main window, which is brought to the front first so that the alert
// is seen where the user works: the headline as the alert's text, the sentence as its informative
// text, both plain. It has no buttons yet. GUI thread only.
std::unique_ptr<QMessageBox> alertBox(const QString& headline, const QString& text);

// An alertBox with one OK button, run modally.
void showPlainAlert(const QString& headline, const QString& text);

}  // namespace quillfen
