#pragma once

#include <functional>

#include <QObject>
#include <QPointer>
#include <QWidget>

namespace quillfen {

// Lets the application refuse or allow closing its main window: the user's own close request for a
// guarded window (its title-bar button, the window manager) first asks shouldClose, while a close the
// program asks for (close(), the closes Qt sends on quit) closes it at once. Main thread only.
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
    // Closes the window when shouldClose allows; returns the answer. A guarded window closes
    // without its own closeEvent being asked: the guard has already answered.
    bool closeIfAllowed(QWidget& window);
    // Closes the active window, else the guarded window when it is shown: the guarded window only
    // when shouldClose allows, any other as if its close button had been clicked.
    void closeFrontWindow();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};

}  // namespace quillfen
