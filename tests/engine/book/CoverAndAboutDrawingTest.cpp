#include "engine/book/AboutPage.h"
#include "engine/book/BookCover.h"

#include "tests/engine/GoldenImages.h"
#include "tests/engine/IcuDefaults.h"
#include "tests/engine/RenderingFixtures.h"

#include <gtest/gtest.h>

#include <functional>

using namespace quillfen;

namespace {

// A square 8-inch book under the photo-book preset: trim (9, 9, 576, 576), safe area (36, 36, 522, 522).
BookLayout squareBook() {
    BookLayout layout;
    layout.trimSize = trimSize(BookSize::square8);
    layout.spec = spec(PrintPreset::photoBook);
    return layout;
}

// The page drawn as a thumbnail is: `width` pixels across the 594-point media box, white underneath.
Bitmap render(int width, const std::function<void(Canvas&)>& draw) {
    Canvas canvas(width, width);
    canvas.scale(width / 594.0, width / 594.0);
    canvas.setFillColor(Color::white());
    canvas.fillRect({0, 0, 594, 594});
    canvas.save();
    draw(canvas);
    canvas.restore();
    return canvas.bitmap();
}

Bitmap coverOf(const BookContent& content, int width) {
    return render(width, [&](Canvas& canvas) {
        BookRenderer::drawCover(content, squareBook(), canvas, {9, 9, 576, 576}, {0, 0, 594, 594});
    });
}

Bitmap aboutOf(const Child& child, const BookContent& content, CaptionStyle style, int width) {
    return render(width, [&](Canvas& canvas) {
        BookRenderer::drawAboutPage(child, content, fonts(style), canvas, {36, 36, 522, 522}, 576);
    });
}

std::array<int, 3> colourAt(const Bitmap& b, Point page) {
    const double scale = b.width / 594.0;
    const std::uint8_t* p =
        b.pixel(static_cast<int>(page.x * scale), b.height - 1 - static_cast<int>(page.y * scale));
    return {p[0], p[1], p[2]};
}

std::array<int, 3> bytes(RGB c) {
    return {int(std::lround(c.red * 255)), int(std::lround(c.green * 255)), int(std::lround(c.blue * 255))};
}

bool nearlyEqual(std::array<int, 3> a, std::array<int, 3> b) {
    return std::abs(a[0] - b[0]) <= 2 && std::abs(a[1] - b[1]) <= 2 && std::abs(a[2] - b[2]) <= 2;
}

// Whether any pixel inside the page rectangle differs clearly from the background.
bool anyInkIn(const Bitmap& b, const Rect& page, std::array<int, 3> background) {
    const double scale = b.width / 594.0;
    for (int y = int(b.height - page.maxY() * scale) + 1; y < b.height - page.minY() * scale - 1; ++y) {
        for (int x = int(page.minX() * scale) + 1; x < page.maxX() * scale - 1; ++x) {
            for (int i = 0; i < 3; ++i) {
                if (std::abs(b.pixel(x, y)[i] - background[i]) > 24) return true;
            }
        }
    }
    return false;
}

DrawingInfo squareDrawing() {
    DrawingInfo info;
    info.id = UUID::parse("00000000-0000-0000-0000-000000000001").value();
    info.aspect = 1;
    return info;
}

ImageSource rampSource() {
    const auto image = PageImage::fromBitmap(fixtures::rampBitmap(120, 120));
    return [image](const UUID&) -> std::optional<PageImage> { return image; };
}

const Rect picture{133.92, 93.6, 326.16, 326.16};  // the square cover drawing on the page
const Rect titleBand{36, 446.76, 522, 111.24};
const Rect subtitleBand{36, 36, 522, 40.32};

}  // namespace

TEST(BookCover, WorkedExampleMatchesItsGoldenImages) {
    BookSettings settings;
    settings.title = "Our Art";
    settings.subtitle = "Drawings by Mia and Leo · 2024";
    const std::vector<DrawingInfo> drawings = {squareDrawing()};
    for (const auto& [name, color, style] :
         {std::tuple{"cover-cream-handwritten", CoverColor::cream, CaptionStyle::handwritten},
          std::tuple{"cover-charcoal-classic", CoverColor::charcoal, CaptionStyle::classic}}) {
        SCOPED_TRACE(name);
        settings.coverColor = color;
        settings.caption = style;
        const auto content = BookContent::make(settings, {}, drawings, rampSource());
        golden::expectMatches(coverOf(content, 480), name);
    }
}

TEST(BookCover, MissingPicturesAndTextsLeaveTheirPlacesEmpty) {
    struct Case {
        const char* name;
        std::string title, subtitle;
        bool drawing, image;
        bool titleInk, subtitleInk, pictureInk, mat;
    };
    const std::string longTitle =
        "The Wonderful, Enormous and Completely True Book of Everything Mia and Leo Drew";
    const Case cases[] = {
        {"empty title", "", "2024", true, true, false, true, true, true},
        {"title too long shrinks into its band", longTitle, "", true, true, true, false, true, true},
        {"no drawings", "Our Art", "2024", false, false, true, true, false, false},
        {"image cannot be had", "Our Art", "2024", true, false, true, true, false, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        BookSettings settings;
        settings.title = c.title;
        settings.subtitle = c.subtitle;
        const auto drawings =
            c.drawing ? std::vector<DrawingInfo>{squareDrawing()} : std::vector<DrawingInfo>{};
        const auto content =
            BookContent::make(settings, {}, drawings, c.image ? rampSource() : ImageSource{});
        const Bitmap page = coverOf(content, 300);
        const auto cover = bytes(rgb(settings.coverColor));
        const auto white = std::array<int, 3>{255, 255, 255};
        EXPECT_EQ(anyInkIn(page, titleBand, cover), c.titleInk);
        EXPECT_EQ(anyInkIn(page, subtitleBand.intersection({0, 0, 594, picture.minY() - 16}), cover),
                  c.subtitleInk);
        EXPECT_EQ(anyInkIn(page, picture.insetBy(20, 20), c.mat ? white : cover), c.pictureInk);
        EXPECT_PRED2(nearlyEqual, colourAt(page, {picture.minX() - 5, picture.midY()}),
                     c.mat ? white : cover);
        EXPECT_FALSE(anyInkIn(page, {picture.maxX() + 20, 0, 20, titleBand.minY() - 2}, cover))
            << "text spilled";
        if (c.mat) {  // the shadow falls below the mat only
            EXPECT_LT(colourAt(page, {picture.midX(), picture.minY() - 12})[0],
                      colourAt(page, {picture.midX(), picture.maxY() + 12})[0] - 4);
        }
    }
}

TEST(AboutPage, WorkedExampleMatchesItsGoldenImage) {
    const quillfen::testing::ScopedIcuDefaults icu("UTC", "en_US");
    const Child mia{UUID::random(), "Mia", Date::fromSecondsSinceReferenceDate(0),
                    "Mia loves rockets, her cat Whiskers\nand drawing the whole family at the park."};
    std::vector<DrawingInfo> drawings(3);
    for (int i = 0; i < 3; ++i) {
        drawings[i].id = UUID::random();
        drawings[i].childID = mia.id;
        drawings[i].date = Date::fromSecondsSinceReferenceDate((4.2 + i) * 365.25 * 86400);
    }
    const std::vector<Child> children = {mia};
    const auto content = BookContent::make({}, children, drawings, {});
    golden::expectMatches(aboutOf(mia, content, CaptionStyle::handwritten, 240), "about-handwritten");
}

TEST(AboutPage, NoteOfOnlySpacesDrawsNothing) {
    const auto draw = [](const std::string& note) {
        return aboutOf({UUID{}, "Leo", {}, note}, {}, CaptionStyle::modern, 300);
    };
    EXPECT_EQ(draw("  \n\t \n "), draw(""));
    EXPECT_NE(draw("Likes boats"), draw(""));
}
