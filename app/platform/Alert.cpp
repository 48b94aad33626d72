#include "app/platform/Alert.h"

#include <QApplication>
#include <QMainWindow>

namespace quillfen {

namespace {

QWidget* raisedMainWindow() {
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (!qobject_cast<QMainWindow*>(window) || !window->isVisible()) continue;
        window->setWindowState(window->windowState() & ~Qt::WindowMinimized);
        window->raise();
        window->activateWindow();
        return window;
    }
    return nullptr;
}

}  // namespace

std::unique_ptr<QMessageBox> alertBox(const QString& headline, const QString& text) {
    auto box = std::make_unique<QMessageBox>(QMessageBox::Information, QApplication::applicationDisplayName(),
                                             headline, QMessageBox::NoButton, raisedMainWindow());
    box->setTextFormat(Qt::PlainText);
    box->setInformativeText(text);
    return box;
}

void showPlainAlert(const QString& headline, const QString& text) {
    const auto box = alertBox(headline, text);
    box->addButton(QMessageBox::Ok);
    box->exec();
}

}  // namespace quillfen
