#include "app/calendar/CalendarPages.h"

#include "tests/app/AppFixtures.h"

#include <QSettings>

#include <gtest/gtest.h>

#include <limits>

namespace quillfen {
namespace {

TEST(CalendarPages, DamagedZoomSettingIsHeldToTheSlidersRange) {
    struct Case {
        QVariant stored;
        double zoom;
    };
    const Case cases[] = {{400.0, 400}, {10000.0, 520}, {-5.0, 180}, {QStringLiteral("nan"), 300},
                          {QStringLiteral("big"), 300}, {QVariant(), 300}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.stored.toString().toStdString());
        QSettings settings;
        if (c.stored.isValid()) settings.setValue("calendarZoom", c.stored);
        else settings.remove("calendarZoom");
        settings.sync();
        EXPECT_EQ(CalendarPages::storedZoom(), c.zoom);
    }
    EXPECT_EQ(CalendarPages::clampedZoom(std::numeric_limits<double>::infinity()), 300);
}

}  // namespace
}  // namespace quillfen
