#pragma once

#include <functional>

#include <QObject>
#include <QPointer>
#include <QUndoStack>

class QWidget;

namespace quillfen {

// Tells a view which undo stack its window holds (the first QUndoStack among the window's direct
// children, or none): once when the view is first shown, then each time the view's window or
// that window's stack changes. Lives as a child of the view. Main thread only.
class WindowUndoManagerReader : public QObject {
    Q_OBJECT
public:
    using Found = std::function<void(QUndoStack* stack)>;

    WindowUndoManagerReader(QWidget& view, Found found);

    // The stack the view's window holds now.
    QUndoStack* current() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void watchWindow(QWidget& window);
    void recheckLater();     // a stack being added or removed is only whole after the event
    void appear();           // the view's first showing always reports
    void reportIfChanged();  // only after the first showing
    void report(QUndoStack* stack);

    QWidget& m_view;
    Found m_found;
    QPointer<QWidget> m_window;
    bool m_shown = false;
    bool m_recheckQueued = false;
    QPointer<QUndoStack> m_reported;
    bool m_reportedAStack = false;  // tells "reported none" from "the reported stack is gone"
};

// Reports to found the undo stack of the window that shows the view; see WindowUndoManagerReader.
WindowUndoManagerReader* windowUndoManager(QWidget& view, WindowUndoManagerReader::Found found);

}  // namespace quillfen
