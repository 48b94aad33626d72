#pragma once

#include <functional>

#include <QObject>
#include <QPointer>
#include <QWidget>

namespace quillfen {

// Lets the application refuse or allow closing its main window: every close request that reaches
// a guarded window (its title-bar button, the window manager, close()) first asks shouldClose.
// Main thread only.
class CloseGuard : public QObject {
    Q_OBJECT
public:
    CloseGuard() = default;

    // The guard the Close Window command's guardedClose preset uses; lives for the whole process.
    static CloseGuard& shared();

    std::function<bool()> shouldClose = [] { return true; };
    QPointer<QWidget> main;  // the guarded main window; null once that window is gone

    // Makes the window the guarded one. A window without a close button is not intercepted;
    // installing again on the same window changes nothing. A window guarded earlier stays guarded.
    void install(QWidget& window);
    // Closes the window when shouldClose allows, without asking again; returns the answer. An
    // allowed close does not reach the window's own closeEvent: the guard has already answered.
    bool closeIfAllowed(QWidget& window);
    // Closes the active window, else the guarded window when it is shown: the guarded window only
    // when shouldClose allows, any other as if its close button had been clicked.
    void closeFrontWindow();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* m_closing = nullptr;  // a window this guard is closing after asking
};

}  // namespace quillfen
