#include "engine/book/BookSettings.h"

#include <gtest/gtest.h>

using namespace quillfen;

TEST(BookSettings, DefaultsAreWrittenInFieldOrderWithoutACoverDrawing) {
    EXPECT_EQ(encode(BookSettings{}).dump(),
              R"({"size":"square8","preset":"photoBook","spec":{"bleed":9.0,"safe":27.0,"pageMultiple":2,)"
              R"("minimumPages":20,"maximumPages":0},"arrangement":"one","order":"chronological",)"
              R"("caption":"handwritten","showName":true,"showAge":true,"showDate":true,"title":"Our Art",)"
              R"("subtitle":"","coverColor":"cream","dedication":"","aboutPages":true,"closing":"",)"
              R"("coverInInterior":true})");
}

TEST(BookSettings, EveryKeyButTheCoverDrawingIsRequired) {
    const Json good = encode(BookSettings{});
    for (const auto& [key, value] : good.items()) {
        Json broken = good;
        broken.erase(key);
        EXPECT_THROW(decode<BookSettings>(broken), DocumentError) << key;
    }
}

TEST(BookSettings, SettingAPresetReplacesTheNumbersExceptForCustom) {
    BookSettings s;
    s.setPreset(PrintPreset::saddleStitch);
    EXPECT_EQ(s.spec, (PrintSpec{9, 18, 4, 8, 64}));
    s.setPreset(PrintPreset::custom);
    EXPECT_EQ(s.preset, PrintPreset::custom);
    EXPECT_EQ(s.spec, (PrintSpec{9, 18, 4, 8, 64}));
    s.spec.safe = 40;
    s.setPreset(PrintPreset::homePrint);
    EXPECT_EQ(s.spec, (PrintSpec{0, 18, 1, 1, 0}));
}
