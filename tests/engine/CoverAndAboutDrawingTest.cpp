#include "engine/AboutPage.h"
#include "engine/BookCover.h"
#include "engine/SlotGeometry.h"

#include "tests/engine/IcuDefaults.h"
#include "tests/engine/RenderingFixtures.h"

#include <gtest/gtest.h>
#include <opencv2/core.hpp>
#include <opencv2/imgcodecs.hpp>
#include <opencv2/imgproc.hpp>

#include <cstdlib>
#include <filesystem>
#include <functional>

using namespace quillfen;

namespace {

constexpr double day = 86400;

UUID idNumber(std::uint8_t n) {
    std::array<std::uint8_t, 16> bytes{};
    bytes[15] = n;
    return UUID(bytes);
}

BookLayout layoutFor(BookSize size, PrintPreset preset) {
    BookLayout layout;
    layout.trimSize = trimSize(size);
    layout.spec = spec(preset);
    return layout;
}

// The page rendered as a thumbnail would be: width pixels across the media box, white underneath,
// trim's lower-left corner at (bleed, bleed).
Bitmap render(const BookLayout& layout, int width,
              const std::function<void(Canvas&, const Rect&, const Rect&)>& draw) {
    const double b = layout.spec.bleed;
    const double mediaWidth = layout.trimSize.width + 2 * b, mediaHeight = layout.trimSize.height + 2 * b;
    const double scale = width / mediaWidth;
    Canvas canvas(width, static_cast<int>(std::lround(mediaHeight * scale)));
    canvas.scale(scale, scale);
    canvas.setFillColor(Color::white());
    canvas.fillRect({0, 0, mediaWidth, mediaHeight});
    const Rect trim(b, b, layout.trimSize.width, layout.trimSize.height);
    canvas.save();
    draw(canvas, trim, trim.insetBy(-b, -b));
    canvas.restore();
    return canvas.bitmap();
}

cv::Mat bgr(const Bitmap& b) {
    cv::Mat rgba(b.height, b.width, CV_8UC4, const_cast<std::uint8_t*>(b.pixels.data()));
    cv::Mat out;
    cv::cvtColor(rgba, out, cv::COLOR_RGBA2BGR);
    return out;
}

// Compares with tests/data/golden/<name>.png; QUILLFEN_UPDATE_GOLDENS=1 writes the file instead.
void expectMatchesGolden(const Bitmap& bitmap, const std::string& name) {
    const std::string path = std::string(QUILLFEN_TEST_DATA) + "/golden/" + name + ".png";
    if (std::getenv("QUILLFEN_UPDATE_GOLDENS")) {
        std::filesystem::create_directories(std::filesystem::path(path).parent_path());
        cv::imwrite(path, bgr(bitmap));
        return;
    }
    const cv::Mat golden = cv::imread(path, cv::IMREAD_COLOR);
    ASSERT_FALSE(golden.empty()) << "missing golden image " << path;
    const cv::Mat drawn = bgr(bitmap);
    ASSERT_EQ(golden.size(), drawn.size());
    cv::Mat difference;
    cv::absdiff(golden, drawn, difference);
    const cv::Scalar mean = cv::mean(difference);
    EXPECT_LT((mean[0] + mean[1] + mean[2]) / 3, 1.0) << name << " differs from its golden image";
    cv::Mat gray;
    cv::cvtColor(difference, gray, cv::COLOR_BGR2GRAY);
    EXPECT_LT(cv::countNonZero(gray > 40), gray.total() / 100) << name << " differs from its golden image";
}

std::array<int, 3> rgbAt(const Bitmap& b, const BookLayout& layout, Point page) {
    const double scale = b.width / (layout.trimSize.width + 2 * layout.spec.bleed);
    const int x = static_cast<int>(page.x * scale);
    const int y = b.height - 1 - static_cast<int>(page.y * scale);
    const std::uint8_t* p = b.pixel(x, y);
    return {p[0], p[1], p[2]};
}

std::array<int, 3> expected(Color c) {
    return {static_cast<int>(std::lround(c.red * 255)), static_cast<int>(std::lround(c.green * 255)),
            static_cast<int>(std::lround(c.blue * 255))};
}

void expectNear(std::array<int, 3> actual, std::array<int, 3> want, int tolerance = 2) {
    for (int i = 0; i < 3; ++i) EXPECT_NEAR(actual[i], want[i], tolerance) << "channel " << i;
}

// Whether any pixel inside the page rectangle differs from the colour.
bool anyInkIn(const Bitmap& b, const BookLayout& layout, const Rect& page, std::array<int, 3> background) {
    const double scale = b.width / (layout.trimSize.width + 2 * layout.spec.bleed);
    for (int y = static_cast<int>(b.height - page.maxY() * scale) + 1; y < b.height - page.minY() * scale - 1;
         ++y) {
        for (int x = static_cast<int>(page.minX() * scale) + 1; x < page.maxX() * scale - 1; ++x) {
            const std::uint8_t* p = b.pixel(x, y);
            for (int i = 0; i < 3; ++i) {
                if (std::abs(p[i] - background[i]) > 24) return true;
            }
        }
    }
    return false;
}

DrawingInfo squareDrawing() {
    DrawingInfo info;
    info.id = idNumber(1);
    info.title = "Our house in the sun";
    info.aspect = 1;
    return info;
}

ImageSource rampSource() {
    const auto image = PageImage::fromBitmap(fixtures::rampBitmap(120, 120));
    return [image](const UUID&) -> std::optional<PageImage> { return image; };
}

}  // namespace

TEST(BookCover, WorkedExampleMatchesItsGoldenImages) {
    const BookLayout layout = layoutFor(BookSize::square8, PrintPreset::photoBook);
    BookSettings settings;
    settings.title = "Our Art";
    settings.subtitle = "Drawings by Mia and Leo · 2024";
    const std::vector<DrawingInfo> drawings = {squareDrawing()};
    struct Case {
        const char* golden;
        CoverColor color;
        CaptionStyle style;
    };
    for (const Case c : {Case{"cover-cream-handwritten", CoverColor::cream, CaptionStyle::handwritten},
                         Case{"cover-charcoal-classic", CoverColor::charcoal, CaptionStyle::classic}}) {
        SCOPED_TRACE(c.golden);
        settings.coverColor = c.color;
        settings.caption = c.style;
        const auto content = BookContent::make(settings, {}, drawings, rampSource());
        const Bitmap page = render(layout, 240, [&](Canvas& canvas, const Rect& trim, const Rect& bleed) {
            BookRenderer::drawCover(content, layout, canvas, trim, bleed);
        });
        expectMatchesGolden(page, c.golden);
        const RGB fill = rgb(c.color);
        expectNear(rgbAt(page, layout, {1, 1}), expected({fill.red, fill.green, fill.blue, 1}));
        // P = (133.92, 93.6, 326.16, 326.16) on the page; the mat is 10.368 wider.
        expectNear(rgbAt(page, layout, {133.92 - 5, 93.6 + 160}), {255, 255, 255});
        expectNear(rgbAt(page, layout, {133.92 + 163, 93.6 + 163}), {128, 128, 120},
                   40);  // the middle of the ramp
    }
}

TEST(BookCover, TextColourFollowsTheCoverColour) {
    for (const CoverColor color : {CoverColor::cream, CoverColor::sky, CoverColor::blush, CoverColor::mint,
                                   CoverColor::sunshine, CoverColor::charcoal}) {
        SCOPED_TRACE(label(color));
        EXPECT_EQ(BookRenderer::coverTextColor(color),
                  color == CoverColor::charcoal ? Color::white() : (Color{0.14, 0.14, 0.17, 1}));
    }
}

TEST(BookCover, MissingPicturesAndTextsLeaveTheirPlacesEmpty) {
    const BookLayout layout = layoutFor(BookSize::square8, PrintPreset::photoBook);
    const Rect pictureArea{133.92, 93.6, 326.16, 326.16};
    const Rect titleBand{36, 446.76, 522, 111.24};
    const Rect subtitleBand{36, 36, 522, 40.32};
    struct Case {
        const char* name;
        std::string title, subtitle;
        bool drawing;
        bool image;
        bool titleInk, subtitleInk, pictureInk, mat;
    };
    const Case cases[] = {
        {"everything", "Our Art", "2024", true, true, true, true, true, true},
        {"empty title", "", "2024", true, true, false, true, true, true},
        {"empty subtitle", "Our Art", "", true, true, true, false, true, true},
        {"spaces as subtitle are drawn but show nothing", "Our Art", "   ", true, true, true, false, true,
         true},
        {"no drawings", "Our Art", "2024", false, false, true, true, false, false},
        {"image cannot be had", "Our Art", "2024", true, false, true, true, false, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        BookSettings settings;
        settings.title = c.title;
        settings.subtitle = c.subtitle;
        std::vector<DrawingInfo> drawings;
        if (c.drawing) drawings.push_back(squareDrawing());
        const ImageSource source =
            c.image ? rampSource() : ImageSource([](const UUID&) { return std::nullopt; });
        const auto content = BookContent::make(settings, {}, drawings, source);
        const Bitmap page = render(layout, 300, [&](Canvas& canvas, const Rect& trim, const Rect& bleed) {
            BookRenderer::drawCover(content, layout, canvas, trim, bleed);
        });
        const RGB fill = rgb(settings.coverColor);
        const auto cover = expected({fill.red, fill.green, fill.blue, 1});
        EXPECT_EQ(anyInkIn(page, layout, titleBand, cover), c.titleInk);
        EXPECT_EQ(anyInkIn(page, layout, subtitleBand.intersection({0, 0, 594, 93.6 - 16}), cover),
                  c.subtitleInk);
        EXPECT_EQ(anyInkIn(page, layout, pictureArea.insetBy(20, 20),
                           c.mat ? std::array<int, 3>{255, 255, 255} : cover),
                  c.pictureInk);
        expectNear(rgbAt(page, layout, {pictureArea.minX() - 5, pictureArea.midY()}),
                   c.mat ? std::array<int, 3>{255, 255, 255} : cover);
        if (c.mat) {  // the shadow falls below the mat only
            const auto below = rgbAt(page, layout, {pictureArea.midX(), pictureArea.minY() - 12});
            const auto above = rgbAt(page, layout, {pictureArea.midX(), pictureArea.maxY() + 12});
            EXPECT_LT(below[0], above[0] - 4);
        }
    }
}

TEST(BookCover, LongTitlesShrinkAndStayInTheirBand) {
    const BookLayout layout = layoutFor(BookSize::square8, PrintPreset::photoBook);
    const Rect titleBand{36, 446.76, 522, 111.24};
    BookSettings settings;
    settings.title =
        "The Wonderful, Enormous and Completely True Book of Everything Mia and Leo Drew This Year";
    const double size = Text::fittedSize(settings.title, "Noteworthy-Bold", 0.085 * 576, titleBand);
    EXPECT_LT(size, 0.085 * 576);
    EXPECT_LE(Text::suggestedFrameSize(settings.title, {"Noteworthy-Bold", size}, 522).height,
              titleBand.height());
    const auto content = BookContent::make(settings, {}, {}, {});
    const Bitmap page = render(layout, 300, [&](Canvas& canvas, const Rect& trim, const Rect& bleed) {
        BookRenderer::drawCover(content, layout, canvas, trim, bleed);
    });
    const RGB fill = rgb(settings.coverColor);
    const auto cover = expected({fill.red, fill.green, fill.blue, 1});
    EXPECT_TRUE(anyInkIn(page, layout, titleBand, cover));
    EXPECT_FALSE(anyInkIn(page, layout, {0, 0, 594, 446.76 - 2}, cover)) << "title spilled below its band";
}

TEST(BookCover, WithoutBleedTheFillCoversExactlyThePage) {
    const BookLayout layout = layoutFor(BookSize::landscape11x8, PrintPreset::homePrint);
    ASSERT_EQ(layout.spec.bleed, 0);
    BookSettings settings;
    settings.coverColor = CoverColor::sky;
    const auto content = BookContent::make(settings, {}, {}, {});
    const Bitmap page = render(layout, 396, [&](Canvas& canvas, const Rect& trim, const Rect& bleed) {
        EXPECT_EQ(trim, bleed);
        BookRenderer::drawCover(content, layout, canvas, trim, bleed);
    });
    EXPECT_EQ(page.height, 306);
    const RGB fill = rgb(CoverColor::sky);
    for (const Point corner : {Point{0.5, 0.5}, Point{791, 611}, Point{0.5, 611}, Point{791, 0.5}}) {
        expectNear(rgbAt(page, layout, corner), expected({fill.red, fill.green, fill.blue, 1}));
    }
}

TEST(AboutPage, WorkedExampleMatchesItsGoldenImage) {
    const quillfen::testing::ScopedIcuDefaults icu("UTC", "en_US");
    const BookLayout layout = layoutFor(BookSize::square8, PrintPreset::photoBook);
    const Child mia{idNumber(50), "Mia", Date::fromSecondsSinceReferenceDate(0),
                    "Mia loves rockets, her cat Whiskers\nand drawing the whole family at the park."};
    std::vector<DrawingInfo> drawings;
    for (int i = 0; i < 3; ++i) {
        DrawingInfo info;
        info.id = idNumber(static_cast<std::uint8_t>(i + 1));
        info.childID = mia.id;
        info.date = Date::fromSecondsSinceReferenceDate((4.2 + i) * 365.25 * day);
        info.sequence = i;
        drawings.push_back(info);
    }
    const std::vector<Child> children = {mia};
    const auto content = BookContent::make({}, children, drawings, {});
    const Bitmap page = render(layout, 240, [&](Canvas& canvas, const Rect& trim, const Rect&) {
        BookRenderer::drawAboutPage(mia, content, fonts(CaptionStyle::handwritten), canvas,
                                    trim.insetBy(27, 27), 576);
    });
    expectMatchesGolden(page, "about-handwritten");
    // The six dots: 8.064 across, centres 20.9664 apart, the row 97.92 below the heading baseline.
    const double rowY = 36 + 522 - 93.96 - 97.92;
    const Color dots[] = {{0.86, 0.16, 0.18}, {0.97, 0.52, 0.12}, {0.98, 0.8, 0.1},
                          {0.2, 0.66, 0.28},  {0.15, 0.38, 0.86}, {0.52, 0.25, 0.72}};
    for (int k = 0; k < 6; ++k) {
        SCOPED_TRACE(k);
        expectNear(rgbAt(page, layout, {297 + (k - 2.5) * 20.9664, rowY}), expected(dots[k]), 40);
    }
}

TEST(AboutPage, BlankNotesDrawNothingAndLongNamesStayInsideTheSafeArea) {
    const BookLayout layout = layoutFor(BookSize::square8, PrintPreset::photoBook);
    const auto draw = [&](const Child& child) {
        const std::vector<Child> children = {child};
        const auto content = BookContent::make({}, children, {}, {});
        return render(layout, 300, [&](Canvas& canvas, const Rect& trim, const Rect&) {
            BookRenderer::drawAboutPage(child, content, fonts(CaptionStyle::modern), canvas,
                                        trim.insetBy(27, 27), 576);
        });
    };
    EXPECT_EQ(draw({idNumber(1), "Leo", {}, "  \n\t \n "}), draw({idNumber(1), "Leo", {}, ""}));
    EXPECT_NE(draw({idNumber(1), "Leo", {}, "Likes boats"}), draw({idNumber(1), "Leo", {}, ""}));

    const Bitmap page =
        draw({idNumber(1), "Maximiliana Alexandrina Konstantinopoulou-Featherstonehaugh", {}, ""});
    const double nameBaseline = 558 - 93.96 - 69.12;
    const Rect nameRow{0, nameBaseline - 12, 594, 50};
    EXPECT_TRUE(anyInkIn(page, layout, nameRow.intersection({36, 0, 522, 594}), {255, 255, 255}));
    EXPECT_FALSE(anyInkIn(page, layout, nameRow.intersection({0, 0, 35, 594}), {255, 255, 255}));
    EXPECT_FALSE(anyInkIn(page, layout, nameRow.intersection({559, 0, 35, 594}), {255, 255, 255}));
}
