#include "engine/library/CleanupRecords.h"

#include <gtest/gtest.h>

using namespace quillfen;

TEST(Quad, AreaIsTheAbsoluteShoelaceSum) {
    EXPECT_DOUBLE_EQ(Quad::full().area(), 1);
    // Crossed edges: the signed parts cancel, not the two triangles' sum (0.5).
    const Quad crossed{{0, 1}, {1, 0}, {1, 1}, {0, 0}};
    EXPECT_DOUBLE_EQ(crossed.area(), 0);
    const Quad half{{0, 1}, {0.5, 1}, {0.5, 0}, {0, 0}};
    EXPECT_DOUBLE_EQ(half.area(), 0.5);
}

TEST(Quad, EdgeLengthsTakeTheLongerOfOppositeEdges) {
    EXPECT_EQ(Quad::full().edgeLengths({3000, 2000}), (Size{3000, 2000}));
    const Quad trapezoid{{0.25, 1}, {0.75, 1}, {1, 0}, {0, 0}};
    const Size lengths = trapezoid.edgeLengths({1000, 1000});
    EXPECT_DOUBLE_EQ(lengths.width, 1000);
    EXPECT_DOUBLE_EQ(lengths.height, std::hypot(250.0, 1000.0));
}

TEST(Quad, ClampedLimitsEveryCoordinate) {
    const Quad q{{-0.02, 1.03}, {0.9, 0.95}, {1.5, -3}, {0.1, 0.2}};
    EXPECT_EQ(q.clamped(), (Quad{{0, 1}, {0.9, 0.95}, {1, 0}, {0.1, 0.2}}));
}

TEST(CleanupSettings, StoredFormIsInFieldOrderWithoutCropRoundTripsAndReadsValuesUnchanged) {
    EXPECT_EQ(encode(CleanupSettings::defaults()).dump(),
              R"({"autoCropped":false,"quarterTurns":0,"straighten":0.0,"flatten":false,"whiten":0.0})");
    const CleanupSettings s{Quad{{0.1, 0.9}, {0.9, 0.95}, {0.85, 0.05}, {0.12, 0.1}}, true, 5, -2.5, true, 2};
    EXPECT_EQ(decode<CleanupSettings>(encode(s)), s);
    const Json nullCrop = Json::parse(
        R"({"crop":null,"whiten":0,"flatten":false,"straighten":0,"quarterTurns":0,"autoCropped":false,"x":1})");
    EXPECT_EQ(decode<CleanupSettings>(nullCrop), CleanupSettings::defaults());
}

TEST(CleanupSettings, EveryMissingKeyButTheCropRejectsTheRead) {
    const Json good = encode(CleanupSettings{Quad::full(), false, 1, 0.5, true, 0.3});
    for (const char* key : {"autoCropped", "quarterTurns", "straighten", "flatten", "whiten"}) {
        SCOPED_TRACE(key);
        Json missing = good;
        missing.erase(key);
        EXPECT_THROW(decode<CleanupSettings>(missing), DocumentError);
    }
    Json badCorner = good;
    badCorner["crop"]["topLeft"] = Json::array({0.5});
    EXPECT_THROW(decode<CleanupSettings>(badCorner), DocumentError);
}
