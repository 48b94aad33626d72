#include "MenuBaseline/CloseGuard.h"

#include <QApplication>
#include <QCloseEvent>

namespace quillfen {

namespace {

bool hasCloseButton(const QWidget& window) {
    const Qt::WindowFlags flags = window.windowFlags();
    return !flags.testFlag(Qt::CustomizeWindowHint) || flags.testFlag(Qt::WindowCloseButtonHint);
}

}  // namespace

CloseGuard& CloseGuard::shared() {
    static CloseGuard guard;
    return guard;
}

void CloseGuard::install(QWidget& window) {
    main = &window;
    if (!hasCloseButton(window)) return;
    window.installEventFilter(this);  // Qt keeps one entry per filter object
}

bool CloseGuard::closeIfAllowed(QWidget& window) {
    const bool allowed = shouldClose();
    if (allowed) window.close();
    return allowed;
}

void CloseGuard::closeFrontWindow() {
    if (!qobject_cast<QApplication*>(QCoreApplication::instance())) return;
    QWidget* window = QApplication::activeWindow();
    if (!window && main && main->isVisible()) window = main;
    if (!window) return;
    if (window == main)
        closeIfAllowed(*window);
    else
        window->close();
}

bool CloseGuard::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::Close || !watched->isWidgetType()) return false;
    // Only a close from the window system is spontaneous; close() in code, QWindow::close() and
    // the closes of quitting are not.
    if (event->spontaneous() && !shouldClose()) {
        event->ignore();
        return true;
    }
    event->accept();
    return true;  // closes at once, without asking the window itself
}

}  // namespace quillfen
