#pragma once

#include "app/model/AppModel.h"

#include <QListView>
#include <QTimer>

class QLabel;
class QPushButton;

namespace quillfen {

class CoverSwatch;
class DrawingListModel;
class DrawingRowDelegate;
class SidebarCard;

// The drawing list: the platform's delete keys ask for the selected drawing's removal. GUI thread.
class DrawingListView : public QListView {
    Q_OBJECT

public:
    using QListView::QListView;

Q_SIGNALS:
    void deleteRequested();

protected:
    void keyPressEvent(QKeyEvent* event) override;
};

// The main window's left column: the book and calendar cards, the list of every drawing and the footer
// with the count and "Children…". Reads the model on each change (coalesced into one refresh per turn of
// the event loop) and changes it only through its properties and operations. GUI thread only.
class Sidebar : public QWidget {
    Q_OBJECT

public:
    explicit Sidebar(AppModel& model, QWidget* parent = nullptr);

    DrawingListView* list() const { return m_list; }
    DrawingListModel* rows() const { return m_rows; }

private:
    void refresh();
    void refreshCards();
    // Asks for a repaint of the spinners of the busy rows in view, and of nothing else.
    void updateSpinners();
    void syncSelection();
    void userSelected();

    AppModel& m_model;
    SidebarCard* m_bookCard;
    SidebarCard* m_calendarCard;
    CoverSwatch* m_swatch;
    DrawingListView* m_list;
    DrawingListModel* m_rows;
    DrawingRowDelegate* m_delegate;
    QLabel* m_footer;
    QPushButton* m_childrenButton;
    QTimer m_refresh;
    QTimer m_spin;
    bool m_documentChanged = true;
    bool m_syncing = false;
    int m_phase = 0;
};

}  // namespace quillfen
