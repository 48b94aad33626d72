#include "MenuBaseline/WindowUndoManagerReader.h"

#include <utility>

#include <QEvent>
#include <QWidget>

#include "MenuBaseline/WindowReader.h"

namespace quillfen {

WindowUndoManagerReader::WindowUndoManagerReader(QWidget& view, Found found)
    : QObject(&view), m_view(view), m_found(std::move(found)) {
    m_view.installEventFilter(this);
    auto* probe = new WindowReader([this](QWidget& window) { watchWindow(window); }, &view);
    probe->lower();
    if (m_view.isVisible()) appear();  // already shown: this is its appearance
}

QUndoStack* WindowUndoManagerReader::current() const {
    return m_view.window()->findChild<QUndoStack*>(QString(), Qt::FindDirectChildrenOnly);
}

bool WindowUndoManagerReader::eventFilter(QObject* watched, QEvent* event) {
    if (watched == &m_view && event->type() == QEvent::Show && !m_shown)
        appear();
    else if (watched == m_window && (event->type() == QEvent::ChildAdded || event->type() == QEvent::ChildRemoved)) {
        recheckLater();
    }
    return QObject::eventFilter(watched, event);
}

void WindowUndoManagerReader::watchWindow(QWidget& window) {
    if (m_window == &window) return;
    if (m_window && m_window != &m_view) m_window->removeEventFilter(this);
    m_window = &window;
    if (m_window != &m_view) m_window->installEventFilter(this);
    reportIfChanged();
}

void WindowUndoManagerReader::recheckLater() {
    if (m_recheckQueued) return;
    m_recheckQueued = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
            m_recheckQueued = false;
            reportIfChanged();
        },
        Qt::QueuedConnection);
}

void WindowUndoManagerReader::appear() {
    m_shown = true;
    report(current());
}

void WindowUndoManagerReader::reportIfChanged() {
    if (!m_shown) return;
    QUndoStack* stack = current();
    if (stack == m_reported && (stack || !m_reportedAStack)) return;
    report(stack);
}

void WindowUndoManagerReader::report(QUndoStack* stack) {
    m_reported = stack;
    m_reportedAStack = stack;
    if (m_found) m_found(stack);
}

WindowUndoManagerReader* windowUndoManager(QWidget& view, WindowUndoManagerReader::Found found) {
    return new WindowUndoManagerReader(view, std::move(found));
}

}  // namespace quillfen
