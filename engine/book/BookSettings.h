#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "engine/core/Enumeration.h"
#include "engine/core/Json.h"
#include "engine/book/PrintGeometry.h"
#include "engine/core/UUID.h"

namespace quillfen {

// How many drawings go on a page.
enum class Arrangement { one, two, three, four, mix };

template <>
struct CaseNames<Arrangement> {
    static constexpr std::array<std::pair<Arrangement, std::string_view>, 5> cases{{
        {Arrangement::one, "one"},
        {Arrangement::two, "two"},
        {Arrangement::three, "three"},
        {Arrangement::four, "four"},
        {Arrangement::mix, "mix"},
    }};
};

// The order of the drawings in the book.
enum class BookOrder { chronological, byChild };

template <>
struct CaseNames<BookOrder> {
    static constexpr std::array<std::pair<BookOrder, std::string_view>, 2> cases{{
        {BookOrder::chronological, "chronological"},
        {BookOrder::byChild, "byChild"},
    }};
};

// The lettering of captions and other texts of books and calendars; `none` draws no captions.
enum class CaptionStyle { handwritten, classic, modern, none };

template <>
struct CaseNames<CaptionStyle> {
    static constexpr std::array<std::pair<CaptionStyle, std::string_view>, 4> cases{{
        {CaptionStyle::handwritten, "handwritten"},
        {CaptionStyle::classic, "classic"},
        {CaptionStyle::modern, "modern"},
        {CaptionStyle::none, "none"},
    }};
};

// The cover colour of the book and of the calendar.
enum class CoverColor { cream, sky, blush, mint, sunshine, charcoal };

template <>
struct CaseNames<CoverColor> {
    static constexpr std::array<std::pair<CoverColor, std::string_view>, 6> cases{{
        {CoverColor::cream, "cream"},
        {CoverColor::sky, "sky"},
        {CoverColor::blush, "blush"},
        {CoverColor::mint, "mint"},
        {CoverColor::sunshine, "sunshine"},
        {CoverColor::charcoal, "charcoal"},
    }};
};

// sRGB components from 0 to 1; alpha is 1 wherever the colour is used.
struct RGB {
    double red = 0;
    double green = 0;
    double blue = 0;

    bool operator==(const RGB&) const = default;
};

std::string_view label(Arrangement arrangement);
std::string_view label(BookOrder order);
std::string_view label(CaptionStyle style);
std::string_view label(CoverColor color);  // the case name with its first letter upper case
RGB rgb(CoverColor color);
bool isDark(CoverColor color);  // texts on a dark cover are white

// Everything the user chooses about the book as a whole. Nothing is validated or clamped; the text
// fields hold exactly what was typed. A plain value; safe to copy across threads.
struct BookSettings {
    BookSize size = BookSize::square8;
    PrintPreset preset = PrintPreset::photoBook;
    PrintSpec spec = quillfen::spec(PrintPreset::photoBook);  // the numbers actually used
    Arrangement arrangement = Arrangement::one;
    BookOrder order = BookOrder::chronological;
    CaptionStyle caption = CaptionStyle::handwritten;
    bool showName = true;
    bool showAge = true;
    bool showDate = true;
    std::string title = "Our Art";
    std::string subtitle;
    std::optional<UUID> coverDrawing;  // absent: the oldest drawing
    CoverColor coverColor = CoverColor::cream;
    std::string dedication;  // the dedication page exists only when this is not blank
    bool aboutPages = true;
    std::string closing;  // the back page exists only when this is not blank
    bool coverInInterior = true;

    // Stores the preset and, for every preset but `custom`, replaces `spec` with that preset's numbers;
    // `custom` keeps the numbers there are.
    void setPreset(PrintPreset value);

    bool operator==(const BookSettings&) const = default;
};

template <>
struct Coding<BookSettings> {
    static BookSettings read(const Json& v);
    static Json write(const BookSettings& s);
};

}  // namespace quillfen
