#pragma once

#include "app/model/AppModel.h"

#include <QToolBar>

class QAbstractButton;
class QButtonGroup;
class QToolButton;

namespace quillfen {

// The main window's toolbar: the add menu, the drawing/book/calendar switch, a spinner while images are
// being added, and Export. Follows the model at once; every action is a flag or a model call. GUI thread.
class MainToolbar : public QToolBar {
    Q_OBJECT

public:
    explicit MainToolbar(AppModel& model, QWidget* parent = nullptr);

    QToolButton* addButton() const { return m_add; }
    QAbstractButton* modeButton(ViewMode mode) const;

private:
    void refresh();
    void choose(ViewMode mode);

    AppModel& m_model;
    QToolButton* m_add;
    QWidget* m_picker;
    QButtonGroup* m_modes;
    QAction* m_progress;
    QToolButton* m_export;
};

}  // namespace quillfen
