#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "engine/core/Geometry.h"
#include "engine/book/PrintGeometry.h"
#include "engine/core/UUID.h"

// The records of a laid-out book. Rectangles on a page are in points in the trimmed page's own
// coordinates: origin at the lower-left corner of the trim box, y upwards. Plain immutable values.
namespace quillfen {

// The "About the artist" page of one child.
struct AboutPage {
    UUID child;
    bool operator==(const AboutPage&) const = default;
};

// A page of one to four drawings, their ids in layout order.
struct DrawingsPage {
    std::vector<UUID> drawings;
    bool operator==(const DrawingsPage&) const = default;
};

struct CoverPage {
    bool operator==(const CoverPage&) const = default;
};

struct DedicationPage {
    bool operator==(const DedicationPage&) const = default;
};

// An empty page added to reach the page count the print spec asks for.
struct BlankPage {
    bool operator==(const BlankPage&) const = default;
};

// The closing page.
struct BackPage {
    bool operator==(const BackPage&) const = default;
};

// What a book page holds; equal when the same kind of page with equal payloads.
using PageContent = std::variant<AboutPage, DrawingsPage, CoverPage, DedicationPage, BlankPage, BackPage>;

// One drawing placed on a page: its cell, its image inside the cell, and its caption band directly below
// the image (the zero rectangle when the page has no captions).
struct Slot {
    UUID drawing;
    Rect cell;
    Rect image;
    Rect caption;

    bool operator==(const Slot&) const = default;
};

// One page of the book file, numbered from 1; slots only on a drawings page.
struct BookPage {
    int number = 0;
    PageContent content;
    std::vector<Slot> slots;

    bool operator==(const BookPage&) const = default;
};

// A warning of either paginator, with its complete English text; `severe` marks what will show in print.
struct LayoutWarning {
    std::optional<int> page;
    std::optional<UUID> drawing;
    std::string text;
    bool severe = false;

    bool operator==(const LayoutWarning&) const = default;
};

// A whole book: every page of the book file in order, numbered 1 to pages.size(), the trim size and
// print spec it was made for, the count of pages before blank pages were added, and the warnings.
struct BookLayout {
    std::vector<BookPage> pages;
    Size trimSize;
    PrintSpec spec;
    int contentPages = 0;  // every page but the blank ones; the back page counts
    std::vector<LayoutWarning> warnings;

    int addedPages() const { return static_cast<int>(pages.size()) - contentPages; }
    PageBoxes boxes() const { return PageBoxes(spec, trimSize); }

    bool operator==(const BookLayout&) const = default;
};

namespace Paginator {

// The space in points between neighbouring cells on a page.
inline constexpr double gutter = 18;
// Drawings per page of the mixed arrangement, repeating.
inline constexpr std::array<int, 6> mixPattern{1, 2, 3, 1, 4, 2};

}  // namespace Paginator

}  // namespace quillfen

template <>
struct std::hash<quillfen::LayoutWarning> {
    std::size_t operator()(const quillfen::LayoutWarning& warning) const noexcept;
};
