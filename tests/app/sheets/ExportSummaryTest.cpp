#include "app/book/BookExportSheet.h"
#include "app/calendar/CalendarExportSheet.h"

#include <gtest/gtest.h>

using namespace quillfen;

namespace {

BookLayout bookLayout(int pages, int added, BookSize size, PrintPreset preset) {
    BookLayout layout;
    layout.pages.resize(static_cast<std::size_t>(pages));
    layout.contentPages = pages - added;
    layout.trimSize = trimSize(size);
    layout.spec = spec(preset);
    return layout;
}

BookSettings bookSettings(BookSize size, PrintPreset preset) {
    BookSettings settings;
    settings.size = size;
    settings.setPreset(preset);
    return settings;
}

const QLocale english(QLocale::English, QLocale::UnitedStates);

}  // namespace

TEST(ExportSheetInches, RoundsToThreeFractionDigitsInTheUsersLocale) {
    struct Case {
        double points;
        QLocale locale;
        QString text;
    };
    const Case cases[] = {
        {9, english, "0.125 in"},
        {36, english, "0.5 in"},
        {0, english, "0 in"},
        {594, english, "8.25 in"},
        {1, english, "0.014 in"},            // 0.01388…: the nearest three-digit value
        {-0.01, english, "0 in"},            // never "-0 in"
        {72 * 1234.5, english, "1234.5 in"}, // no digit grouping
        {9, QLocale(QLocale::German, QLocale::Germany), "0,125 in"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.points << " points in " << c.locale.name().toStdString());
        EXPECT_EQ(ExportSheetFrame::inches(c.points, c.locale), c.text);
    }
}

TEST(BookExportSummary, SaysWhatEachKindsFileHolds) {
    struct Case {
        const char* name;
        BookLayout layout;
        BookSettings settings;
        ExportKind kind;
        QString description;
        std::optional<QString> notice;
    };
    const QString caveat = "Typical values, not verified with any printer. Check your printer's spec before you order.";
    const Case cases[] = {
        {"print counts the blank pages", bookLayout(24, 4, BookSize::square8, PrintPreset::photoBook),
         bookSettings(BookSize::square8, PrintPreset::photoBook), ExportKind::print,
         "24 pages, 8 × 8 in square, each with 0.125 in bleed on every side (the page file is 8.25 in × 8.25 in). "
         "Drawings embedded at up to 360 dpi.",
         "Photo book, hardcover: " + caveat},
        {"home leaves the blank pages out", bookLayout(20, 3, BookSize::square8, PrintPreset::photoBook),
         bookSettings(BookSize::square8, PrintPreset::photoBook), ExportKind::home,
         "17 pages on letter paper, no bleed, lighter images (150 dpi). Print at 100% and cut along the faint "
         "line, or just staple it.",
         std::nullopt},
        {"home print has no bleed", bookLayout(5, 0, BookSize::landscape11x8, PrintPreset::homePrint),
         bookSettings(BookSize::landscape11x8, PrintPreset::homePrint), ExportKind::print,
         "5 pages, 11 × 8.5 in landscape, each with 0 in bleed on every side (the page file is 11 in × 8.5 in). "
         "Drawings embedded at up to 360 dpi.",
         "Home printer (no bleed): " + caveat},
        {"cover", bookLayout(20, 3, BookSize::square10, PrintPreset::custom),
         bookSettings(BookSize::square10, PrintPreset::custom), ExportKind::cover,
         "The front cover alone, 10 × 10 in square with bleed. Spine and back cover sizes depend on the printer "
         "and page count; make those in the printer's own cover tool.",
         "Custom: " + caveat},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const auto summary = BookExportSheet::summary(c.layout, c.settings, c.kind, english);
        EXPECT_EQ(summary.description, c.description);
        EXPECT_EQ(summary.notice, c.notice);
    }
}

TEST(CalendarExportSummary, SaysWhatEachKindsFileHolds) {
    CalendarLayout wall;
    wall.pages.resize(25);
    wall.trimSize = trimSize(CalendarFormat::wall);
    wall.spec = spec(CalendarPrint::printShop);
    CalendarLayout homeDesk = wall;
    homeDesk.pages.resize(13);
    homeDesk.trimSize = trimSize(CalendarFormat::desk6x4);
    homeDesk.spec = spec(CalendarPrint::home);
    CalendarSettings wallSettings;
    wallSettings.format = CalendarFormat::wall;
    CalendarSettings deskSettings;
    deskSettings.format = CalendarFormat::desk6x4;
    const QString caveat = "Typical values, not verified with any printer. Check your printer's spec before you order.";

    struct Case {
        const char* name;
        const CalendarLayout& layout;
        const CalendarSettings& settings;
        ExportKind kind;
        QString description;
        std::optional<QString> notice;
    };
    const Case cases[] = {
        {"print", wall, wallSettings, ExportKind::print,
         "25 pages, Wall, 11 × 8.5 in (picture above, grid below), 0.125 in bleed on every side (the page file "
         "is 11.25 in × 8.75 in). Pictures embedded at up to 360 dpi.",
         caveat},
        {"a cover kind reads as print", wall, wallSettings, ExportKind::cover,
         "25 pages, Wall, 11 × 8.5 in (picture above, grid below), 0.125 in bleed on every side (the page file "
         "is 11.25 in × 8.75 in). Pictures embedded at up to 360 dpi.",
         caveat},
        {"no bleed gives the bare trim", homeDesk, deskSettings, ExportKind::print,
         "13 pages, Desk, 6 × 4 in, 0 in bleed on every side (the page file is 6 in × 4 in). Pictures embedded at "
         "up to 360 dpi.",
         caveat},
        {"home counts every page", homeDesk, deskSettings, ExportKind::home,
         "13 pages on letter paper, no bleed, lighter images (150 dpi). Print at 100% and cut along the faint "
         "line.",
         std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const auto summary = CalendarExportSheet::summary(c.layout, c.settings, c.kind, english);
        EXPECT_EQ(summary.description, c.description);
        EXPECT_EQ(summary.notice, c.notice);
    }
}
