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

std::array<int, 3> bytes(RGB c) {
    return {int(std::lround(c.red * 255)), int(std::lround(c.green * 255)), int(std::lround(c.blue * 255))};
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

// A long title shrinks into its band; a missing drawing or image leaves the picture's place empty.
TEST(BookCover, MissingPicturesAndTextsLeaveTheirPlacesEmpty) {
    struct Case {
        const char* name;
        std::string title;
        bool drawing, image, mat;
    };
    const Case cases[] = {
        {"title too long", "The Wonderful, Enormous and Completely True Book of Everything Mia and Leo Drew",
         true, true, true},
        {"no drawings", "Our Art", false, false, false},
        {"image cannot be had", "Our Art", true, false, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        BookSettings settings;
        settings.title = c.title;
        const auto drawings =
            c.drawing ? std::vector<DrawingInfo>{squareDrawing()} : std::vector<DrawingInfo>{};
        const Bitmap page =
            coverOf(BookContent::make(settings, {}, drawings, c.image ? rampSource() : ImageSource{}), 300);
        const auto cover = bytes(rgb(settings.coverColor));
        EXPECT_TRUE(anyInkIn(page, titleBand, cover));
        EXPECT_EQ(anyInkIn(page, picture.insetBy(20, 20), c.mat ? std::array{255, 255, 255} : cover), c.image);
        EXPECT_EQ(anyInkIn(page, picture.insetBy(-4, -4), cover), c.mat);
        EXPECT_FALSE(anyInkIn(page, {picture.maxX() + 20, 0, 20, titleBand.minY() - 2}, cover))
            << "text spilled";
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

