#pragma once

#include "engine/book/BookContent.h"
#include "engine/book/BookLayout.h"
#include "engine/book/Paginator.h"

#include "tests/engine/RenderingFixtures.h"

#include <cmath>
#include <optional>
#include <vector>

// A small book with every kind of page, laid out by the real paginator: cover, dedication, an "About the
// artist" page per child, pages of one and two drawings (one drawing without an image), blank pages
// and the back page.
namespace quillfen::fixtures {

inline Date dayNumber(double days) {
    return Date::fromSecondsSinceReferenceDate(days * 86400);
}

struct SmallBook {
    BookSettings settings;
    std::vector<Child> children;
    std::vector<DrawingInfo> drawings;

    SmallBook() {
        settings.title = "Our Art";
        settings.subtitle = "Drawings by Mia and Leo · 2024";
        settings.dedication = "For Grandma, who keeps every one of our drawings on her fridge.";
        settings.closing = "\n  The end. See you next year!  \n";
        settings.arrangement = Arrangement::mix;
        children = {{idNumber(50), "Mia", dayNumber(18 * 365.25), "Mia loves rockets and her cat Whiskers."},
                    {idNumber(51), "Leo", std::nullopt, "Leo draws boats."}};
        const struct {
            const char* title;
            std::uint8_t child;
            double aspect;
            const char* age;
        } list[] = {{"Our house in the sun", 50, 4.0 / 3, ""},
                    {"Whiskers", 50, 3.0 / 4, ""},
                    {"Rocket to the moon", 50, 1, ""},
                    {"", 51, 1.5, "3"}};
        for (std::uint8_t i = 0; i < 4; ++i) {
            DrawingInfo info;
            info.id = idNumber(i + 1);
            info.childID = idNumber(list[i].child);
            info.date = dayNumber(23.5 * 365.25 + 30 * i);
            info.title = list[i].title;
            info.age = list[i].age;
            info.aspect = list[i].aspect;
            info.pixelSize = {2400 * std::min(info.aspect, 1.0), 2400 / std::max(info.aspect, 1.0)};
            info.sequence = i;
            drawings.push_back(info);
        }
    }

    BookLayout layout() const { return Paginator::paginate(settings, children, drawings); }

    // Ramp pictures of each drawing's aspect; the last drawing has none.
    BookContent content(bool jpeg = false) const {
        std::unordered_map<UUID, PageImage> images;
        for (const auto& d : drawings) {
            if (d.id == drawings.back().id) continue;
            const Bitmap ramp = rampBitmap(static_cast<int>(std::lround(120 * std::min(d.aspect, 1.0))),
                                           static_cast<int>(std::lround(120 / std::max(d.aspect, 1.0))));
            images.emplace(d.id, jpeg ? *PageImage::fromJpeg(jpegBytes(ramp)) : PageImage::fromBitmap(ramp));
        }
        return BookContent::make(settings, children, drawings,
                                 [images](const UUID& id) -> std::optional<PageImage> {
                                     const auto found = images.find(id);
                                     if (found == images.end()) return std::nullopt;
                                     return found->second;
                                 });
    }
};

}  // namespace quillfen::fixtures
