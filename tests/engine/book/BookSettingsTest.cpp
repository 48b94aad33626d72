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

TEST(BookSettings, ReadsBackEqualAndTakesPresetAndSpecAsStored) {
    BookSettings s;
    s.preset = PrintPreset::homePrint;  // disagrees with the photo book spec on purpose
    s.arrangement = Arrangement::mix;
    s.caption = CaptionStyle::none;
    s.coverDrawing = *UUID::parse("6F9619FF-8B86-D011-B42D-00C04FC964FF");
    s.coverColor = CoverColor::charcoal;
    s.dedication = "  For Grandma\n";
    s.coverInInterior = false;
    EXPECT_EQ(decode<BookSettings>(Json::parse(encode(s).dump())), s);

    Json nulled = encode(s);
    nulled["coverDrawing"] = nullptr;
    EXPECT_EQ(decode<BookSettings>(nulled).coverDrawing, std::nullopt);
}

TEST(BookSettings, EveryKeyButTheCoverDrawingIsRequiredAndStrict) {
    const Json good = encode(BookSettings{});
    for (const auto& [key, value] : good.items()) {
        Json broken = good;
        broken.erase(key);
        EXPECT_THROW(decode<BookSettings>(broken), DocumentError) << key;
    }
    const std::pair<const char*, Json> bad[] = {{"arrangement", "five"}, {"coverColor", "Charcoal"},
                                                {"showAge", 1},          {"coverDrawing", "not-a-uuid"},
                                                {"spec", Json::array()}, {"title", nullptr}};
    for (const auto& [key, value] : bad) {
        Json broken = good;
        broken[key] = value;
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
