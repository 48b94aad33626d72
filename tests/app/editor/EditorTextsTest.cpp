#include "app/editor/EditorTexts.h"

#include <unicode/locid.h>

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace quillfen;

TEST(EditorTexts, WhitenLabelTruncatesThePercentageSaysOffOnlyAtZeroAndSurvivesHandEditedValues) {
    const struct {
        double whiten;
        const char* label;
    } cases[] = {{0, "Whiten paper: off"}, {0.004, "Whiten paper 0%"}, {0.29, "Whiten paper 28%"},
                 {1.5, "Whiten paper 150%"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.whiten);
        EXPECT_EQ(EditorTexts::whitenLabel(c.whiten).toStdString(), c.label);
    }
    EXPECT_EQ(EditorTexts::whitenPercent(std::numeric_limits<double>::quiet_NaN()), 0);
    EXPECT_GT(EditorTexts::whitenPercent(std::numeric_limits<double>::infinity()), 0);
    EXPECT_LT(EditorTexts::whitenPercent(-1e300), 0);
}

TEST(EditorTexts, DegreesRoundToOneDigitTiesToEvenInTheLocale) {
    const struct {
        const char* locale;
        double degrees;
        const char* text;
    } cases[] = {
        {"en_US", -15, "-15.0"}, {"en_US", 0.25, "0.2"}, {"en_US", 0.35, "0.4"}, {"de_DE", 2.5, "2,5"},
    };
    const icu::Locale saved = icu::Locale::getDefault();
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.locale << " " << c.degrees);
        UErrorCode status = U_ZERO_ERROR;
        icu::Locale::setDefault(icu::Locale(c.locale), status);
        EXPECT_EQ(EditorTexts::degreesText(c.degrees).replace(QChar(0x2212), u'-').toStdString(), c.text);
    }
    UErrorCode status = U_ZERO_ERROR;
    icu::Locale::setDefault(saved, status);
}

TEST(EditorTexts, PrintSizeTextsTruncatePixelsAndRoundInchesLikePrintf) {
    const struct {
        Size pixels;
        const char* pixelText;
        const char* sharpText;
    } cases[] = {
        {{600.9, 899.99}, "600 × 899", "2.0 × 3.0 in"},
        {{75, 45}, "75 × 45", "0.2 × 0.1 in"},  // 0.25 and 0.15 are printf's ties and near-ties
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.pixelText);
        EXPECT_EQ(EditorTexts::pixelText(c.pixels).toStdString(), c.pixelText);
        EXPECT_EQ(EditorTexts::sharpSizeText(c.pixels).toStdString(), c.sharpText);
    }
}

TEST(EditorTexts, ShowsAsLineLeavesOutEmptyPartsAndKeepsTheTitleUntrimmed) {
    BookSettings settings;
    settings.showName = true;
    settings.showAge = false;
    settings.showDate = false;
    const Child ada{UUID::random(), "Ada", std::nullopt, ""};
    const struct {
        std::string title;
        std::optional<Child> child;
        const char* line;
    } cases[] = {
        {"", std::nullopt, ""},
        {"  ", std::nullopt, "\u201C  \u201D"},
        {"", ada, "Ada"},
        {"Rocket", ada, "\u201CRocket\u201D \u2014 Ada"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        DrawingInfo info;
        info.title = c.title;
        EXPECT_EQ(EditorTexts::showsAsLine(info, c.child, settings).toStdString(), c.line);
    }
}

TEST(EditorTexts, AgePromptComesFromTheBirthdayOnlyWhenItLiesBeforeTheDrawing) {
    DrawingInfo info;
    info.date = Date::fromUnixSeconds(1'700'000'000);  // November 2023
    const double year = 365.25 * 86400;
    const Child none{UUID::random(), "A", std::nullopt, ""};
    const Child five{UUID::random(), "B", Date::fromUnixSeconds(1'700'000'000 - 5.5 * year), ""};
    const Child infant{UUID::random(), "C", Date::fromUnixSeconds(1'700'000'000 - 0.5 * year), ""};
    const Child later{UUID::random(), "D", Date::fromUnixSeconds(1'700'000'000 + year), ""};
    EXPECT_EQ(EditorTexts::agePrompt(info, none).toStdString(), "e.g. 5");
    EXPECT_EQ(EditorTexts::agePrompt(info, later).toStdString(), "e.g. 5");
    EXPECT_EQ(EditorTexts::agePrompt(info, five).toStdString(), "5 (from birthday)");
    EXPECT_EQ(EditorTexts::agePrompt(info, infant).toStdString(), "0 (from birthday)");
}
