#include "app/platform/WindowGeometry.h"

#include <QCoreApplication>
#include <QEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QSettings>
#include <QWidget>

#include <algorithm>

namespace quillfen::WindowGeometry {

namespace {

// Saves the window's geometry when it closes and when the application quits (quitting need not close it).
class Keeper : public QObject {
public:
    Keeper(QWidget& window, QString key) : QObject(&window), m_window(window), m_key(std::move(key)) {
        window.installEventFilter(this);
        connect(QCoreApplication::instance(), &QCoreApplication::aboutToQuit, this, &Keeper::save);
    }

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Close) save();
        return false;
    }

private:
    void save() { QSettings().setValue(m_key, m_window.saveGeometry()); }

    QWidget& m_window;
    QString m_key;
};

}  // namespace

bool keep(QWidget& window, const QString& key) {
    new Keeper(window, key);
    // Qt moves a restored window that lies off the screens back onto one, but keeps a size that no
    // longer fits (a smaller screen than last time).
    if (!window.restoreGeometry(QSettings().value(key).toByteArray())) return false;
    const QScreen* screen = QGuiApplication::screenAt(window.geometry().center());
    if (!screen) screen = QGuiApplication::primaryScreen();
    if (screen) window.setGeometry(movedInside(window.geometry(), screen->availableGeometry()));
    return true;
}

QRect movedInside(QRect frame, const QRect& available) {
    frame.setSize(frame.size().boundedTo(available.size()));
    frame.moveLeft(std::clamp(frame.left(), available.left(), available.right() - frame.width() + 1));
    frame.moveTop(std::clamp(frame.top(), available.top(), available.bottom() - frame.height() + 1));
    return frame;
}

QRect centredOver(QSize size, const QRect& over, const QRect& available) {
    QRect frame({}, size);
    frame.moveCenter(over.center());
    return movedInside(frame, available);
}

}  // namespace quillfen::WindowGeometry
