#include "engine/cleanup/PaperDetection.h"

#include <gtest/gtest.h>

#include <cstdint>

using namespace quillfen;
using Cleaner::LumaGrid;

namespace {

// A picture of a grey surface with bright rectangles on it, given in unit coordinates (y upwards).
struct Area {
    double x0, y0, x1, y1;
    std::uint8_t value;
};

Bitmap picture(std::uint8_t surface, std::initializer_list<Area> areas, int width = 640, int height = 480) {
    Bitmap b(width, height);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const double ux = (x + 0.5) / width, uy = 1 - (y + 0.5) / height;
            std::uint8_t v = surface;
            for (const auto& a : areas)
                if (ux >= a.x0 && ux < a.x1 && uy >= a.y0 && uy < a.y1) v = a.value;
            std::uint8_t* p = b.pixel(x, y);
            p[0] = p[1] = p[2] = v;
            p[3] = 255;
        }
    }
    return b;
}

Quad box(double x0, double y0, double x1, double y1) {
    return Quad{{x0, y1}, {x1, y1}, {x1, y0}, {x0, y0}};
}

std::vector<PaperCandidate> sure(std::initializer_list<Quad> quads) {
    std::vector<PaperCandidate> out;
    for (const auto& q : quads) out.push_back({q, 0.9});
    return out;
}

// Detectors that hand back fixed candidates and count how often the fallback was asked.
struct Injected {
    std::vector<PaperCandidate> rectangles;
    std::vector<PaperCandidate> documents;
    int documentCalls = 0;

    Cleaner::PaperDetectors detectors() {
        return {[this](const Bitmap&) { return rectangles; },
                [this](const Bitmap&) {
                    ++documentCalls;
                    return documents;
                }};
    }
};

}  // namespace

namespace quillfen {
void PrintTo(const Quad& q, std::ostream* os) {
    for (const auto& p : q.points()) *os << "(" << p.x << ", " << p.y << ") ";
}
}  // namespace quillfen

TEST(PaperDetection, SelectionRulesAfterTheDetectors) {
    const Bitmap sheet = picture(60, {{0.2, 0.2, 0.8, 0.8, 240}});
    const Bitmap twoSheets = picture(60, {{0.05, 0.2, 0.45, 0.8, 240}, {0.55, 0.2, 0.95, 0.8, 240}});
    const Bitmap nearlyAll = picture(60, {{0, 0, 0.97, 1, 240}});
    const Bitmap whiteOnWhite = picture(225, {{0.2, 0.2, 0.8, 0.8, 245}});
    const Bitmap darkOnLight = picture(200, {{0.2, 0.2, 0.8, 0.8, 90}});
    const Quad left = box(0.05, 0.2, 0.45, 0.8), right = box(0.55, 0.2, 0.95, 0.8);
    struct Case {
        const char* name;
        const Bitmap& image;
        std::vector<PaperCandidate> rectangles;
        std::optional<Quad> expected;
    };
    const Case cases[] = {
        {"a sheet on a dark table", sheet, sure({box(0.2, 0.2, 0.8, 0.8)}), box(0.2, 0.2, 0.8, 0.8)},
        {"an outline covering 0.97 of the photo", nearlyAll, sure({box(0, 0, 0.97, 1)}), std::nullopt},
        {"just under the area limit", nearlyAll, sure({box(0, 0, 0.96, 1)}), box(0, 0, 0.96, 1)},
        {"white paper on a white table", whiteOnWhite, sure({box(0.2, 0.2, 0.8, 0.8)}), std::nullopt},
        {"dark paper on a light table", darkOnLight, sure({box(0.2, 0.2, 0.8, 0.8)}), std::nullopt},
        {"equal areas: the first wins", twoSheets, sure({left, right}), left},
        {"equal areas in the other order", twoSheets, sure({right, left}), right},
        {"a larger passing outline wins", sheet, sure({box(0.3, 0.3, 0.7, 0.7), box(0.2, 0.2, 0.8, 0.8)}),
         box(0.2, 0.2, 0.8, 0.8)},
        {"a larger outline over the area limit does not", sheet,
         sure({box(0.2, 0.2, 0.8, 0.8), box(0, 0, 1, 0.98)}), box(0.2, 0.2, 0.8, 0.8)},
        {"corners just outside the picture are clamped", sheet,
         sure({Quad{{-0.002, 0.8}, {1.0004, 0.8}, {0.8, 0.2}, {0.2, 0.2}}}),
         Quad{{0, 0.8}, {1.0, 0.8}, {0.8, 0.2}, {0.2, 0.2}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Injected injected{c.rectangles, sure({box(0.2, 0.2, 0.8, 0.8)})};
        EXPECT_EQ(Cleaner::detectPaper(c.image, injected.detectors()), c.expected);
        EXPECT_EQ(injected.documentCalls, 0);  // rectangles were found, so the fallback is never asked
    }
}

TEST(PaperDetection, DocumentFallbackOnlyWithoutRectanglesAndAboveHalfConfidence) {
    const Bitmap sheet = picture(60, {{0.2, 0.2, 0.8, 0.8, 240}});
    const Quad paper = box(0.2, 0.2, 0.8, 0.8);
    struct Case {
        const char* name;
        std::vector<PaperCandidate> documents;
        std::optional<Quad> expected;
    };
    const Case cases[] = {
        {"confidence exactly 0.5 is not used", {{paper, 0.5}}, std::nullopt},
        {"confidence 0.51 is tested like a rectangle", {{paper, 0.51}}, paper},
        {"only the first observation counts", {{paper, 0.3}, {paper, 0.9}}, std::nullopt},
        {"a used observation still passes the brightness test",
         {{box(0.81, 0.05, 0.99, 0.95), 0.9}},
         std::nullopt},
        {"no observation", {}, std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Injected injected{{}, c.documents};
        EXPECT_EQ(Cleaner::detectPaper(sheet, injected.detectors()), c.expected);
        EXPECT_EQ(injected.documentCalls, 1);
    }
}

TEST(PaperDetection, FailedRectanglesDoNotFallBackToTheDocument) {
    const Bitmap whiteOnWhite = picture(225, {{0.2, 0.2, 0.8, 0.8, 245}});
    Injected injected{sure({box(0.2, 0.2, 0.8, 0.8)}), {{box(0.1, 0.1, 0.9, 0.9), 0.99}}};
    EXPECT_EQ(Cleaner::detectPaper(whiteOnWhite, injected.detectors()), std::nullopt);
    EXPECT_EQ(injected.documentCalls, 0);
}

TEST(PaperDetection, PictureWithoutPixelsFindsNothingAndAsksNoDetector) {
    Injected injected{sure({box(0.2, 0.2, 0.8, 0.8)}), {}};
    int calls = 0;
    auto detectors = injected.detectors();
    detectors.rectangles = [&](const Bitmap&) {
        ++calls;
        return injected.rectangles;
    };
    EXPECT_EQ(Cleaner::detectPaper(Bitmap(), detectors), std::nullopt);
    EXPECT_EQ(calls, 0);
}

TEST(PaperDetection, LargePhotosAreDetectedOnAWorkingCopyOfAtMost1024Pixels) {
    const Bitmap sheet = picture(60, {{0.2, 0.2, 0.8, 0.8, 240}}, 3000, 2000);
    Cleaner::PaperDetectors detectors{[](const Bitmap& working) {
                                          EXPECT_EQ(working.width, 1024);
                                          EXPECT_EQ(working.height, 683);  // 2000 * 1024 / 3000, rounded up
                                          return sure({box(0.2, 0.2, 0.8, 0.8)});
                                      },
                                      [](const Bitmap&) { return std::vector<PaperCandidate>{}; }};
    EXPECT_EQ(Cleaner::detectPaper(sheet, detectors), box(0.2, 0.2, 0.8, 0.8));
}

TEST(QuadLooksLikePaper, NeedsElevenSamplesEachSideAndContrastAbove012) {
    // A 10 x 10 grid: cell (i, j) sits at ((j + 0.5) / 10, (i + 0.5) / 10).
    auto grid = [](double inside, double outside, int insideColumns) {
        LumaGrid g(10, std::vector<double>(10, outside));
        for (int i = 0; i < 10; ++i)
            for (int j = 0; j < insideColumns; ++j) g[i][j] = inside;
        return g;
    };
    const Quad threeColumns = box(0, 0, 0.3, 1);                   // columns 0 to 2: 30 samples
    const Quad oneColumn = box(0, 0, 0.1, 1);                      // column 0 only: 10 samples
    const Quad elevenCells{{0, 1}, {0.1, 1}, {0.155, 0}, {0, 0}};  // column 0 and the cell right of its foot
    struct Case {
        const char* name;
        Quad quad;
        LumaGrid grid;
        bool expected;
    };
    const Case cases[] = {
        {"clearly brighter inside", threeColumns, grid(0.625, 0.5, 3), true},
        {"contrast of only 0.1", threeColumns, grid(0.6, 0.5, 3), false},
        {"darker inside", threeColumns, grid(0.2, 0.9, 3), false},
        {"ten samples inside are too few", oneColumn, grid(1, 0, 1), false},
        {"eleven samples inside are enough", elevenCells, grid(1, 0, 1), true},
        {"everything inside leaves nothing outside", box(-0.1, -0.1, 1.1, 1.1), grid(1, 0, 10), false},
        {"empty grid", threeColumns, LumaGrid{}, false},
        {"rows shorter than the first are read only as far as they go", threeColumns,
         [&] {
             LumaGrid g = grid(0.625, 0.5, 3);
             for (std::size_t i = 1; i < g.size(); ++i) g[i].resize(5);
             return g;
         }(),
         true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(Cleaner::quadLooksLikePaper(c.quad, c.grid), c.expected);
    }
}

TEST(PaperDetection, WorkingCopyIsTheAverageOfEachBoxFlattenedOntoWhite) {
    struct Case {
        const char* name;
        int width, height;
        bool translucent;
    };
    const Case cases[] = {
        {"boxes of three and four columns", 4032, 40, false},
        {"translucent pixels", 2500, 30, true},
        {"a narrow box every few columns", 1100, 20, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Bitmap photo(c.width, c.height);
        std::uint32_t state = 12345;
        for (std::size_t p = 0; p < photo.pixels.size(); p += 4) {
            state = state * 1664525u + 1013904223u;
            const std::uint8_t alpha = c.translucent ? static_cast<std::uint8_t>(state >> 24) : 255;
            for (int k = 0; k < 3; ++k)
                photo.pixels[p + k] = static_cast<std::uint8_t>((state >> (8 * k)) % (alpha + 1));
            photo.pixels[p + 3] = alpha;
        }
        const auto working = Cleaner::workingCopy(photo);
        ASSERT_TRUE(working);
        ASSERT_EQ(working->width, 1024);
        for (int y = 0; y < working->height; ++y)
            for (int x = 0; x < working->width; ++x) {
                const int left = x * c.width / 1024, right = (x + 1) * c.width / 1024;
                const int top = y * c.height / working->height, bottom = (y + 1) * c.height / working->height;
                double sums[4] = {0, 0, 0, 0};
                for (int row = top; row < bottom; ++row)
                    for (int column = left; column < right; ++column)
                        for (int k = 0; k < 4; ++k) sums[k] += photo.pixel(column, row)[k];
                const double count = (right - left) * (bottom - top);
                for (int k = 0; k < 3; ++k)
                    ASSERT_NEAR(working->pixel(x, y)[k], std::min(255.0, (sums[k] - sums[3]) / count + 255),
                                0.51)
                        << "pixel " << x << ", " << y << ", channel " << k;
                ASSERT_EQ(working->pixel(x, y)[3], 255);
            }
    }
}

TEST(PaperDetection, AnEdgeFoundInTheWorkingCopyLiesWhereItIsInThePhoto) {
    // A dark photo bright from a whole pixel on, across its columns or its rows; where the copy's values
    // cross half way between its neighbouring pixels, taken back to the photo, must lie on that pixel's
    // edge, on average over many places of the edge against the copy's boxes of three and four pixels.
    constexpr int length = 4032, across = 8;
    for (const bool columns : {true, false}) {
        SCOPED_TRACE(columns ? "edge across the columns" : "edge across the rows");
        double sum = 0;
        int count = 0;
        for (int edge = 1000; edge < 1100; ++edge) {
            Bitmap photo(columns ? length : across, columns ? across : length);
            for (int y = 0; y < photo.height; ++y)
                for (int x = 0; x < photo.width; ++x) {
                    std::uint8_t* p = photo.pixel(x, y);
                    p[0] = p[1] = p[2] = (columns ? x : y) >= edge ? 255 : 0;
                    p[3] = 255;
                }
            const auto working = Cleaner::workingCopy(photo);
            ASSERT_TRUE(working);
            const int steps = columns ? working->width : working->height;
            auto value = [&](int i) { return working->pixel(columns ? i : 0, columns ? 0 : i)[0]; };
            int i = 1;
            while (i < steps && value(i) < 127.5) ++i;
            ASSERT_LT(i, steps);
            const double crossing = i - 1 + (127.5 - value(i - 1)) / (value(i) - value(i - 1));
            const double unit = (crossing + 0.5) / steps;
            const Point onCopy = columns ? Point{unit, 0.5} : Point{0.5, 1 - unit};
            const Quad inPhoto = Cleaner::photoQuad(Quad{onCopy, onCopy, onCopy, onCopy}, photo);
            const double found = columns ? inPhoto.topLeft.x * length : (1 - inPhoto.topLeft.y) * length;
            ASSERT_NEAR(found, edge, 0.5);
            sum += found - edge;
            ++count;
        }
        EXPECT_NEAR(sum / count, 0, 0.05);
    }
}

TEST(PaperDetection, AQuadInAWorkingCopyAsLargeAsThePhotoIsTheQuadInThePhoto) {
    const Bitmap photo = picture(60, {}, 1024, 700);
    const Quad quad = box(0.21, 0.3, 0.77, 0.9);
    EXPECT_EQ(Cleaner::photoQuad(quad, photo), quad);
}
