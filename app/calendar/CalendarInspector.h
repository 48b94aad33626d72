#pragma once

#include "app/model/AppModel.h"
#include "app/widgets/KeptScreen.h"

#include <QScrollArea>

#include <array>
#include <vector>

class QCheckBox;
class QComboBox;
class QFormLayout;
class QLabel;
class QLineEdit;
class QPushButton;
class QToolButton;

namespace quillfen {

class CalendarDates;

// The calendar mode's inspector: one form over every calendar setting, the twelve month pictures,
// the cover, the dates and custom events, and the export buttons. It keeps no copy of the settings:
// each control writes `AppModel::calendar` at once and is shown again from the model after every
// change of the document (while set aside, once when set back). GUI thread only.
class CalendarInspector : public QScrollArea, public KeptScreen {
    Q_OBJECT

public:
    CalendarInspector(AppModel& model, QWidget* parent);

    // Steps the start year as the stepper's buttons do (-1 or +1), kept within 2026...2035.
    void stepYear(int by);
    // Shows the model's calendar again.
    void refresh();

    QComboBox& startBox() const { return *m_start; }
    QComboBox& weekStartBox() const { return *m_weekStart; }
    QComboBox& languageBox() const { return *m_language; }
    QComboBox& monthBox(int slot) const { return *m_months[static_cast<std::size_t>(slot)]; }
    QLabel& monthTitle(int slot) const { return *m_monthTitles[static_cast<std::size_t>(slot)]; }
    QPushButton& addFilesButton() const { return *m_addFiles; }
    QCheckBox& coverBox() const { return *m_cover; }
    QComboBox& coverPictureBox() const { return *m_coverPicture; }
    CalendarDates& dates() const { return *m_dates; }

protected:
    // Shown again: the settings as they are now, and a new event's row started afresh.
    void catchUp() override;

private:
    struct Candidate {
        UUID id;
        QString label;
        bool operator==(const Candidate&) const = default;
    };

    void edit(const std::function<void(CalendarSettings&)>& change);
    // A picker of every case of `E`, labelled by `name`, whose choice is stored in `field`.
    template <typename E, typename Name>
    QComboBox* casePicker(QWidget* parent, E CalendarSettings::*field, Name name);
    QWidget* calendarSection();
    QWidget* picturesSection();
    QWidget* coverSection();
    QWidget* printingSection();
    void refreshCandidates();

    AppModel& m_model;
    QComboBox* m_start;
    QLabel* m_yearTitle;
    QToolButton* m_yearDown;
    QToolButton* m_yearUp;
    QComboBox* m_format;
    QComboBox* m_weekStart;
    QComboBox* m_language;
    QComboBox* m_lettering;
    std::array<QLabel*, 12> m_monthTitles{};
    std::array<QComboBox*, 12> m_months{};
    QCheckBox* m_fillPicture;
    QPushButton* m_addFiles;
    QFormLayout* m_coverForm;
    QCheckBox* m_cover;
    QLineEdit* m_title;
    QLineEdit* m_subtitle;
    QComboBox* m_coverPicture;
    QComboBox* m_coverColor;
    CalendarDates* m_dates;
    QComboBox* m_print;
    std::vector<Candidate> m_candidates;
};

}  // namespace quillfen
