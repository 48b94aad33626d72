#include "MenuBaseline/WindowReader.h"

#include <utility>

#include <QEvent>

#include "MenuBaseline/CloseGuard.h"

namespace quillfen {

WindowReader::WindowReader(Found found, QWidget* parent) : QWidget(parent), m_found(std::move(found)) {
    setFixedSize(0, 0);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    follow();
}

void WindowReader::setFound(Found found) {
    m_found = std::move(found);
    QWidget* window = hostWindow();
    m_reported = window;
    if (window && m_found) m_found(*window);
}

QWidget* WindowReader::hostWindow() const {
    return parentWidget() ? window() : nullptr;
}

bool WindowReader::event(QEvent* event) {
    if (event->type() == QEvent::ParentChange) follow();
    return QWidget::event(event);
}

bool WindowReader::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::ParentChange) follow();
    return QWidget::eventFilter(watched, event);
}

void WindowReader::follow() {
    // A move of any ancestor up to the window, or of the window into another one, can change the
    // window the probe is in.
    QList<QPointer<QWidget>> ancestors;
    for (QWidget* w = parentWidget(); w; w = w->isWindow() ? nullptr : w->parentWidget()) ancestors.append(w);
    for (const QPointer<QWidget>& old : std::as_const(m_ancestors))
        if (old && !ancestors.contains(old)) old->removeEventFilter(this);
    for (const QPointer<QWidget>& ancestor : std::as_const(ancestors))
        if (!m_ancestors.contains(ancestor)) ancestor->installEventFilter(this);
    m_ancestors = std::move(ancestors);

    QWidget* window = hostWindow();
    if (window == m_reported) return;
    m_reported = window;
    if (window && m_found) m_found(*window);
}

WindowReader* closeGuard(QWidget& view) {
    auto* probe = new WindowReader([](QWidget& window) { CloseGuard::shared().install(window); }, &view);
    probe->lower();
    return probe;
}

}  // namespace quillfen
