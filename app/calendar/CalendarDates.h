#pragma once

#include "app/model/AppModel.h"

#include <QLocale>
#include <QWidget>

#include <vector>

class QCheckBox;
class QDateEdit;
class QLabel;
class QLineEdit;
class QPushButton;
class QToolButton;
class QVBoxLayout;

namespace quillfen {

// The calendar inspector's "Dates" section: which holidays and birthdays the grids print, the user's
// own events (renamed in place, removed one by one) and the row that adds a new one. The new event's
// title, date and repeat switch belong to this section until startNewEvent(). GUI thread only.
class CalendarDates : public QWidget {
    Q_OBJECT

public:
    CalendarDates(AppModel& model, QWidget* parent);

    // Adds the new event when its title holds more than white space; the title field empties.
    void addEvent();
    // Removes every custom event with that id (a change of the calendar even when none matched).
    void removeEvent(const UUID& id);
    // Shows the model's switches and events again; fields being typed in keep their cursor.
    void refresh();
    // Starts the new event afresh: no title, today's date, repeating every year.
    void startNewEvent();

    QLineEdit& newTitleEdit() const { return *m_newTitle; }
    QDateEdit& newDateEdit() const { return *m_newDate; }
    QCheckBox& yearlyBox() const { return *m_yearly; }
    QPushButton& addButton() const { return *m_add; }
    // The rows of the custom events, in list order.
    struct Row {
        UUID id;
        QWidget* widget;
        QLineEdit* title;
        QLabel* date;
        QToolButton* remove;
    };
    const std::vector<Row>& rows() const { return m_rows; }

private:
    void edit(const std::function<void(CalendarSettings&)>& change);
    void rebuildRows(const std::vector<CustomEvent>& events);

    AppModel& m_model;
    QCheckBox* m_federal;
    QCheckBox* m_observances;
    QCheckBox* m_birthdays;
    QVBoxLayout* m_rowsLayout;
    std::vector<Row> m_rows;
    QLineEdit* m_newTitle;
    QDateEdit* m_newDate;
    QCheckBox* m_yearly;
    QPushButton* m_add;
};

// The title the user typed without the spaces, tabs and other space separators at either end; line
// breaks stay.
QString trimmedEventTitle(const QString& title);
// The locale's short date format with the year written in full; without `withYear`, the same format
// with the year and its separator left out ("d MMM yyyy" and "d MMM", "M/d/yyyy" and "M/d").
QString eventDateFormat(const QLocale& locale, bool withYear);
// An event's date as the date field shows it: with its year for a one-time event, without for a yearly one.
QString eventDateText(const CustomEvent& event, const QLocale& locale);

}  // namespace quillfen
