#pragma once

#include "app/model/AppModel.h"
#include "app/widgets/DrawingScreen.h"

#include <QWidget>

class QCheckBox;
class QComboBox;
class QDateEdit;
class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;
class QVBoxLayout;

namespace quillfen {

// The drawing mode's inspector: the selected drawing's caption fields, its book options, its print
// size with the book's warnings about it, and its removal. Every edit goes to the model at once;
// refreshing from the model never writes back. GUI thread only.
class DrawingInspector : public DrawingScreen {
    Q_OBJECT

public:
    DrawingInspector(AppModel& model, const Drawing& drawing, QWidget* parent = nullptr);

    // The drawing to show; the inspector also follows the model's selection and the edits of its drawing.
    void setDrawing(const Drawing& drawing) override;

    QLineEdit* titleField() const { return m_title; }
    QComboBox* artistPicker() const { return m_artist; }
    QPushButton* addButton() const { return m_add; }
    QDateEdit* drawnField() const { return m_drawn; }
    QLineEdit* ageField() const { return m_age; }
    QLabel* showsAsLabel() const { return m_showsAs; }
    QCheckBox* featuredBox() const { return m_featured; }
    QCheckBox* coverBox() const { return m_cover; }

protected:
    void catchUp() override;
    // Set aside: the add-child row closes and forgets the name typed into it.
    void letGo() override;

private:
    void makePopup();
    void refresh();
    void refreshArtists();
    void setField(const std::function<void(DrawingInfo&)>& change);
    void setCover(bool on);
    void commitNewChild();

    AppModel& m_model;
    Drawing m_drawing;
    QLineEdit* m_title;
    QComboBox* m_artist;
    QPushButton* m_addChild;
    QFrame* m_popup = nullptr;
    QLineEdit* m_newChild = nullptr;
    QPushButton* m_add = nullptr;
    QDateEdit* m_drawn;
    QLineEdit* m_age;
    QLabel* m_showsAs;
    QCheckBox* m_featured;
    QCheckBox* m_cover;
    QLabel* m_pixels;
    QLabel* m_sharp;
    QWidget* m_warnings;
    QVBoxLayout* m_warningRows;
    std::vector<LayoutWarning> m_shownWarnings;  // the rows shown under the print size
    QPushButton* m_remove;
};

}  // namespace quillfen
