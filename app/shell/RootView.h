#pragma once

#include "app/model/AppModel.h"

#include <QMainWindow>
#include <QTimer>

#include <functional>
#include <map>

namespace quillfen {

class MainToolbar;
class Presentations;
class Sidebar;

// The main window: the sidebar, the detail column and (while the library has drawings) the inspector
// column; which screen fills each column follows the mode, the selection and the library. It takes drops
// of files and images, and presents what the model's flags ask for (Presentations). Each screen is built
// the first time it is wanted and kept, set aside while another fills its column. The window installs
// the shell's dialogs on the model. Lives on the GUI thread; reads the model only through AppModel.
class RootView : public QMainWindow {
    Q_OBJECT

public:
    explicit RootView(AppModel& model, QWidget* parent = nullptr);

    // What fills the columns now (the inspector is null while the library is empty).
    QWidget* detail() const { return m_detail; }
    QWidget* inspector() const { return m_inspector; }
    Sidebar* sidebar() const { return m_sidebar; }
    Presentations* presentations() const { return m_presentations; }

protected:
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dragLeaveEvent(QDragLeaveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    enum class Screen { none, empty, editor, bookPreview, calendarPreview, drawingInspector, bookInspector,
                        calendarInspector };

    void refresh();
    void routeDetail();
    void routeInspector();
    void setDropTargeted(bool targeted);
    // Sets `current` aside and shows the kept screen `next` in `host`, made by `make` the first time;
    // the screen now shown (null for none).
    QWidget* bring(QWidget* host, QWidget* current, Screen next, const std::function<QWidget*()>& make);

    AppModel& m_model;
    Sidebar* m_sidebar;
    MainToolbar* m_toolbar;
    Presentations* m_presentations;
    QWidget* m_detailHost;
    QWidget* m_inspectorHost;
    QWidget* m_inspectorDivider;
    QWidget* m_detail = nullptr;
    QWidget* m_inspector = nullptr;
    Screen m_detailScreen = Screen::none;
    Screen m_inspectorScreen = Screen::none;
    std::map<Screen, QWidget*> m_screens;  // every screen built so far, shown or set aside
    QTimer m_refresh;
    bool m_dropTargeted = false;
};

}  // namespace quillfen
