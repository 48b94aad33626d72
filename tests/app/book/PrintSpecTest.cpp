#include "BookFixtures.h"

#include "app/book/InchField.h"
#include "app/book/PrintSpecSection.h"
#include "app/book/Stepper.h"

#include <QComboBox>
#include <QLabel>
#include <QTest>

#include <limits>

namespace quillfen {
namespace {

class PrintSpecTest : public testing::BookScreenTest {
protected:
    ~PrintSpecTest() override { QLocale::setDefault(QLocale::c()); }

    void open(QLocale locale) {
        QLocale::setDefault(locale);
        section = std::make_unique<PrintSpecSection>(model, nullptr);
        section->show();
    }

    void choose(PrintPreset preset) {
        auto& picker = section->printer();
        const int index = picker.findData(static_cast<int>(preset));
        picker.setCurrentIndex(index);
        Q_EMIT picker.activated(index);
    }

    // Types into the field as the user does and leaves it with Return.
    void type(InchField& field, const QString& text) {
        field.setFocus();
        field.selectAll();
        QTest::keyClicks(&field, text);
        QTest::keyClick(&field, Qt::Key_Return);
    }

    std::unique_ptr<PrintSpecSection> section;
};

TEST(InchField, ShowsInchesWithUpToThreeFractionDigitsInTheLocalesFormat) {
    const struct Case { double points; QString english; QString german; } cases[] = {
        {9, "0.125", "0,125"}, {1, "0.014", "0,014"}, {144, "2", "2"}, {-0.001, "0", "0"}, {7.2, "0.1", "0,1"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.points);
        EXPECT_EQ(InchField::inchText(c.points, QLocale(QLocale::English)), c.english);
        EXPECT_EQ(InchField::inchText(c.points, QLocale(QLocale::German)), c.german);
    }
    EXPECT_DOUBLE_EQ(InchField::pointsFromInches(std::numeric_limits<double>::quiet_NaN()), 0);
    EXPECT_DOUBLE_EQ(InchField::pointsFromInches(std::numeric_limits<double>::infinity()), 144);
}

TEST_F(PrintSpecTest, TypedBleedIsStoredInPointsAndShownBackClampedInEnglishAndGerman) {
    const struct Case { QLocale locale; QString typed; double points; QString shown; } cases[] = {
        {QLocale(QLocale::English), "0.1", 7.2, "0.1"},
        {QLocale(QLocale::English), "3", 144, "2"},
        {QLocale(QLocale::English), "-1", 0, "0"},
        {QLocale(QLocale::German), "0,25", 18, "0,25"},
        {QLocale(QLocale::German), "2,5", 144, "2"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed.toStdString());
        model.setSettings(BookSettings{});
        open(c.locale);
        choose(PrintPreset::custom);
        type(section->bleed(), c.typed);
        EXPECT_DOUBLE_EQ(model.settings().spec.bleed, c.points);
        EXPECT_EQ(section->bleed().text(), c.shown);
    }
}

TEST_F(PrintSpecTest, CustomShowsThePreviousPresetsNumbersInTheLocale) {
    open(QLocale(QLocale::German));
    EXPECT_EQ(section->note().text(), "0.125 in bleed, 0.375 in safe margin, at least 20 pages, even page count.");
    EXPECT_FALSE(section->customShown());
    choose(PrintPreset::custom);
    EXPECT_TRUE(section->customShown());
    EXPECT_EQ(model.settings().spec, spec(PrintPreset::photoBook));
    EXPECT_EQ(section->bleed().text(), "0,125");
    EXPECT_EQ(section->safe().text(), "0,375");
}

TEST_F(PrintSpecTest, CustomMinimumPagesStepsWithinItsRangeAndPresetsReplaceIt) {
    open(QLocale(QLocale::English));
    choose(PrintPreset::saddleStitch);
    choose(PrintPreset::custom);
    EXPECT_EQ(model.settings().spec.maximumPages, 64);
    section->minimum().step(1);
    EXPECT_EQ(model.settings().spec.minimumPages, 9);
    EXPECT_EQ(model.layout().pages.size(), 12u);  // at least 9, in multiples of 4

    testing::editSettings(model, [&](BookSettings& s) { s.spec.minimumPages = 200; });
    const auto revision = model.revision();
    section->minimum().step(1);
    EXPECT_EQ(model.revision(), revision);

    choose(PrintPreset::homePrint);
    EXPECT_FALSE(section->customShown());
    EXPECT_EQ(model.settings().spec, spec(PrintPreset::homePrint));
    EXPECT_EQ(section->note().text(), "No bleed, 0.25 in margin, any page count.");
    choose(PrintPreset::custom);
    EXPECT_EQ(model.settings().spec.maximumPages, 0);
    EXPECT_EQ(section->multiple().title(), "Pages in multiples of 1");
}

}  // namespace
}  // namespace quillfen
