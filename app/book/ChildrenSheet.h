#pragma once

#include "app/model/AppModel.h"

#include <QDialog>

#include <vector>

class QLabel;
class QPushButton;
class QScrollArea;
class QVBoxLayout;

namespace quillfen {

class ChildRow;

// The sheet where the user names the children and sets their birthdays and notes. Every edit is written
// straight into the model's children; closing the sheet lowers the model's `childrenShown`. GUI thread.
class ChildrenSheet : public QDialog {
    Q_OBJECT

public:
    ChildrenSheet(AppModel& model, QWidget* parent);

    // The row of each child, in the model's order.
    const std::vector<ChildRow*>& rows() const { return m_rows; }
    QPushButton& addChild() const { return *m_add; }
    QPushButton& doneButton() const { return *m_done; }
    bool emptyNoteShown() const;
    QScrollArea& list() const { return *m_scroll; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void refresh();
    // Gives the list the height of its rows, within its limits, and the sheet the height of its content.
    void fitList();
    // Scrolls the list so that the field with the focus, when it is in a row, shows its cursor.
    void keepFocusInView();
    // Scrolls the new child's row into view and puts the cursor in its name.
    void reveal(const UUID& id);

    AppModel& m_model;
    QLabel* m_empty;
    QScrollArea* m_scroll;
    QWidget* m_list;
    QVBoxLayout* m_listColumn;
    std::vector<ChildRow*> m_rows;
    QPushButton* m_add;
    QPushButton* m_done;
};

}  // namespace quillfen
