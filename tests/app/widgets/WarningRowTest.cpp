#include "app/widgets/WarningRow.h"
#include "tests/app/AppFixtures.h"

#include <QLabel>

#include <gtest/gtest.h>

namespace quillfen {
namespace {

// A warning row beside the pages and in the inspectors showed the theme's orange symbol whatever the
// warning, beside red text for a severe one: its symbol is drawn in its text's colour, red for a severe
// warning and orange for a mild one, as the export sheet's list draws them.
TEST(WarningRow, TheSymbolIsTintedInTheColourOfTheText) {
    const testing::DesktopIcons icons;
    QColor shown[2];
    for (const bool severe : {false, true}) {
        SCOPED_TRACE(severe ? "severe" : "mild");
        const WarningRow row(LayoutWarning{std::nullopt, std::nullopt, "Drawing 3 may print soft.", severe}, nullptr);
        const auto* text = row.findChild<QLabel*>(QStringLiteral("warningText"));
        ASSERT_TRUE(text);
        const QLabel* symbol = nullptr;
        for (const auto* label : row.findChildren<QLabel*>())
            if (label != text) symbol = label;
        ASSERT_TRUE(symbol);
        const QColor strongest = testing::strongestPixel(symbol->pixmap());
        EXPECT_EQ(strongest.alpha(), 255);
        shown[severe] = text->palette().color(QPalette::WindowText);
        EXPECT_EQ(strongest.rgb(), shown[severe].rgb()) << strongest.name().toStdString();
    }
    EXPECT_NE(shown[0], shown[1]);
}

}  // namespace
}  // namespace quillfen
