#include "app/calendar/CalendarDates.h"
#include "tests/app/AppFixtures.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>

#include <gtest/gtest.h>

namespace quillfen {
namespace {

// A saved event read "6/14" beside a date field that read "14 Jun 2026": an event's row shows its date
// as the field shows dates, in the locale's own short format, without the year for a yearly event.
TEST(CalendarDates, AnEventsRowShowsItsDateAsTheDateFieldDoesInEveryLocale) {
    const struct { const char* locale; const char* field; const char* yearly; } cases[] = {
        {"C", "14 Jun 2026", "14 Jun"},
        {"en_US", "6/14/2026", "6/14"},
        {"de_DE", "14.06.2026", "14.06"},
        {"hu_HU", "2026. 06. 14.", "06. 14."},
        {"ja_JP", "2026/06/14", "06/14"},
        {"bg_BG", "14.06.2026 \u0433.", "14.06"},
    };
    const QLocale kept;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.locale);
        QLocale::setDefault(QLocale(QString::fromLatin1(c.locale)));
        AppModel model(false);
        CalendarDates dates(model, nullptr);
        dates.newDateEdit().setDate(QDate(2026, 6, 14));
        EXPECT_EQ(dates.newDateEdit().text(), QString::fromUtf8(c.field));
        for (const char* title : {"Grandma's birthday", "Trip"}) {
            dates.newTitleEdit().setText(QString::fromLatin1(title));
            dates.addEvent();
            dates.yearlyBox().setChecked(false);
        }
        dates.refresh();  // as the inspector does when the calendar changes
        ASSERT_EQ(dates.rows().size(), 2u);
        EXPECT_EQ(dates.rows()[0].date->text(), QString::fromUtf8(c.yearly));
        EXPECT_EQ(dates.rows()[1].date->text(), dates.newDateEdit().text());
    }
    QLocale::setDefault(kept);
}

}  // namespace
}  // namespace quillfen
