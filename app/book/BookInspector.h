#pragma once

#include "app/model/AppModel.h"
#include "app/widgets/KeptScreen.h"

#include <QScrollArea>

#include <functional>
#include <vector>

class QCheckBox;
class QComboBox;
class QFormLayout;

namespace quillfen {

class PrintSpecSection;

// The book mode's inspector: the cover, the pages, the print spec and the export buttons. Every control
// is bound to a field of the model's book settings or calls one model operation; it keeps nothing of
// its own; set aside, it follows the model again when set back. GUI thread only.
class BookInspector : public QScrollArea, public KeptScreen {
    Q_OBJECT

public:
    BookInspector(AppModel& model, QWidget* parent);

    QComboBox& coverDrawing() const { return *m_coverDrawing; }
    QComboBox& size() const { return *m_size; }
    QComboBox& arrangement() const { return *m_arrangement; }
    QComboBox& caption() const { return *m_caption; }
    PrintSpecSection& printSpec() const { return *m_printSpec; }

protected:
    void catchUp() override { refresh(); }

private:
    void refresh();
    void refreshCoverChoices();
    void change(const std::function<void(BookSettings&)>& edit);
    QCheckBox* addSwitch(QFormLayout* form, const QString& title, bool BookSettings::*field);
    void addLine(QFormLayout* form, const QString& title, const QString& prompt,
                 std::string BookSettings::*field);
    void addText(QFormLayout* form, const QString& title, const QString& prompt,
                 std::string BookSettings::*field);
    template <typename E, typename Label>
    QComboBox* addPicker(QFormLayout* form, const QString& title, E BookSettings::*field, Label label);

    AppModel& m_model;
    // Each control's way of showing the current settings, run on every change.
    std::vector<std::function<void()>> m_refreshers;
    QFormLayout* m_pages;
    QComboBox* m_coverDrawing;
    QCheckBox* m_coverInInterior;
    QComboBox* m_size;
    QComboBox* m_arrangement;
    QComboBox* m_caption;
    QCheckBox* m_showName;
    QCheckBox* m_showAge;
    QCheckBox* m_showDate;
    PrintSpecSection* m_printSpec;
};

}  // namespace quillfen
