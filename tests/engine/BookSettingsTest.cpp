#include "engine/BookSettings.h"

#include <gtest/gtest.h>

using namespace quillfen;

TEST(BookSettings, DefaultsAreWrittenInFieldOrderWithoutACoverDrawing) {
    const Json json = encode(BookSettings{});
    EXPECT_EQ(json.dump(),
              R"({"size":"square8","preset":"photoBook","spec":{"bleed":9.0,"safe":27.0,"pageMultiple":2,)"
              R"("minimumPages":20,"maximumPages":0},"arrangement":"one","order":"chronological",)"
              R"("caption":"handwritten","showName":true,"showAge":true,"showDate":true,"title":"Our Art",)"
              R"("subtitle":"","coverColor":"cream","dedication":"","aboutPages":true,"closing":"",)"
              R"("coverInInterior":true})");
    EXPECT_EQ(json.size(), 16u);
}

TEST(BookSettings, ReadsBackEqualAndTakesPresetAndSpecAsStored) {
    BookSettings s;
    s.size = BookSize::landscape11x8;
    s.preset = PrintPreset::homePrint;  // disagrees with the spec on purpose
    s.arrangement = Arrangement::mix;
    s.order = BookOrder::byChild;
    s.caption = CaptionStyle::none;
    s.coverDrawing = *UUID::parse("6F9619FF-8B86-D011-B42D-00C04FC964FF");
    s.coverColor = CoverColor::charcoal;
    s.dedication = "  For Grandma\n";
    s.closing = "The end";
    s.coverInInterior = false;
    const BookSettings back = decode<BookSettings>(Json::parse(encode(s).dump()));
    EXPECT_EQ(back, s);
    EXPECT_EQ(back.spec, spec(PrintPreset::photoBook));

    Json nulled = encode(s);
    nulled["coverDrawing"] = nullptr;
    EXPECT_EQ(decode<BookSettings>(nulled).coverDrawing, std::nullopt);
}

TEST(BookSettings, EveryKeyButTheCoverDrawingIsRequired) {
    const Json good = encode(BookSettings{});
    for (const auto& [key, value] : good.items()) {
        SCOPED_TRACE(key);
        Json broken = good;
        broken.erase(key);
        EXPECT_THROW(decode<BookSettings>(broken), DocumentError);
    }
    struct Case {
        const char* key;
        Json value;
    };
    const Case bad[] = {{"arrangement", "five"},        {"coverColor", "Charcoal"}, {"showAge", 1},
                        {"coverDrawing", "not-a-uuid"}, {"spec", Json::array()},    {"title", nullptr}};
    for (const auto& c : bad) {
        SCOPED_TRACE(c.key);
        Json broken = good;
        broken[c.key] = c.value;
        EXPECT_THROW(decode<BookSettings>(broken), DocumentError);
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

TEST(BookSettings, EqualityCoversEveryField) {
    BookSettings a, b;
    b.showDate = false;
    EXPECT_NE(a, b);
    b = a;
    b.coverDrawing = UUID{};
    EXPECT_NE(a, b);
}

TEST(BookEnums, LabelsAndColoursReadAsWritten) {
    EXPECT_EQ(label(Arrangement::mix), "Mix (1–4 per page)");
    EXPECT_EQ(label(BookOrder::byChild), "By child, then date");
    for (CoverColor c : allCases<CoverColor>()) {
        const std::string name(rawValue(c));
        EXPECT_EQ(label(c), std::string(1, static_cast<char>(name[0] - 'a' + 'A')) + name.substr(1));
        EXPECT_EQ(isDark(c), c == CoverColor::charcoal);
    }
    EXPECT_EQ(rgb(CoverColor::sunshine), (RGB{1.0, 0.92, 0.62}));
    EXPECT_EQ(fromRawValue<CoverColor>("charcoal"), CoverColor::charcoal);
    EXPECT_EQ(fromRawValue<CoverColor>("Charcoal"), std::nullopt);
    EXPECT_EQ(allCases<CaptionStyle>().back(), CaptionStyle::none);
}
