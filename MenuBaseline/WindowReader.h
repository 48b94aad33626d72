#pragma once

#include <functional>

#include <QPointer>
#include <QWidget>

namespace quillfen {

// An invisible probe that tells which top-level window it is placed in: it reports the window
// when the probe (or any of its ancestors) is placed in one and again whenever that window
// changes; leaving every window reports nothing. Main thread only.
class WindowReader : public QWidget {
    Q_OBJECT
public:
    using Found = std::function<void(QWidget& window)>;

    explicit WindowReader(Found found = {}, QWidget* parent = nullptr);

    // Replaces the function and, when the probe is in a window, reports that window at once.
    void setFound(Found found);
    // The window the probe is in; null while it has no parent.
    QWidget* hostWindow() const;

protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void follow();  // watches the ancestors and reports a window that differs from the last one

    Found m_found;
    QPointer<QWidget> m_reported;
    QList<QPointer<QWidget>> m_ancestors;
};

// Makes the window that shows the view the shared CloseGuard's guarded window, now and whenever
// the view moves to another window, through a WindowReader placed behind the view.
WindowReader* closeGuard(QWidget& view);

}  // namespace quillfen
