#include "BookFixtures.h"

#include "app/book/InchField.h"
#include "app/book/PrintSpecSection.h"

#include <QComboBox>
#include <QTest>

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

}  // namespace
}  // namespace quillfen
