#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>
#include <utility>

#include "engine/core/Enumeration.h"
#include "engine/core/Geometry.h"
#include "engine/core/Json.h"

// Print geometry in points (72 to the inch): book trim sizes, print presets and their numbers, the
// page boxes of a print page and the resolution grading of placed pictures. Pure values; any thread.
namespace quillfen {

inline constexpr double pointsPerInch = 72;

// The trim sizes a book can have.
enum class BookSize { square8, square10, square12, landscape11x8, letter };

template <>
struct CaseNames<BookSize> {
    static constexpr std::array<std::pair<BookSize, std::string_view>, 5> cases{{
        {BookSize::square8, "square8"},
        {BookSize::square10, "square10"},
        {BookSize::square12, "square12"},
        {BookSize::landscape11x8, "landscape11x8"},
        {BookSize::letter, "letter"},
    }};
};

Size trimSize(BookSize size);  // in points
Size inches(BookSize size);
std::string_view title(BookSize size);

// Bleed and safe margin in points around and inside the trim, and the page-count rules of a print
// service. Aggregate initialisation stores the numbers as given; the stored form and `make` hold
// the bleed and safe margin to 0...largestMargin, and `make` clamps the counts as the user's own
// numbers are clamped.
struct PrintSpec {
    double bleed = 9;
    double safe = 27;
    std::int64_t pageMultiple = 2;   // 1: any count
    std::int64_t minimumPages = 20;  // 1: no minimum
    std::int64_t maximumPages = 0;   // 0: no limit

    // Padding never reaches beyond this many pages; absurd stored counts cannot run away.
    static constexpr std::int64_t paddingLimit = 2000;
    // The longest side of the largest trim size: a bleed or margin beyond it means nothing.
    static constexpr double largestMargin = 864;

    // A pageMultiple or minimumPages below 2 becomes 1 and a maximumPages below 1 becomes 0.
    static PrintSpec make(double bleed, double safe, std::int64_t pageMultiple, std::int64_t minimumPages,
                          std::int64_t maximumPages);

    // The page count this print spec asks for: at least `pages` and `minimumPages`, rounded up to a multiple of
    // `pageMultiple` (treated as 1 below 2). Blank pages are never added past `paddingLimit`: a count
    // whose padding would run beyond it becomes the larger of `pages` and the limit.
    std::int64_t paddedPageCount(std::int64_t pages) const;
    // The same spec with its bleed and safe margin held to 0...the trim's shorter side (0 for a
    // value that is not a number), so that a damaged document gives pages cairo can draw. Every
    // preset and every spec the application makes is unchanged.
    PrintSpec heldTo(Size trimSize) const;

    bool operator==(const PrintSpec&) const = default;
};

// The named print presets.
enum class PrintPreset { photoBook, layFlat, softcover, saddleStitch, homePrint, custom };

template <>
struct CaseNames<PrintPreset> {
    static constexpr std::array<std::pair<PrintPreset, std::string_view>, 6> cases{{
        {PrintPreset::photoBook, "photoBook"},
        {PrintPreset::layFlat, "layFlat"},
        {PrintPreset::softcover, "softcover"},
        {PrintPreset::saddleStitch, "saddleStitch"},
        {PrintPreset::homePrint, "homePrint"},
        {PrintPreset::custom, "custom"},
    }};
};

PrintSpec spec(PrintPreset preset);
std::string_view title(PrintPreset preset);
std::string_view note(PrintPreset preset);
// Shown next to the print choices.
inline constexpr std::string_view printPresetCaveat =
    "Typical values, not verified with any printer. Check your printer's spec before you order.";

// The four boxes of a print page in media coordinates (origin at the lower left of the bleed).
struct PageBoxes {
    Rect media;
    Rect bleed;  // equal to media
    Rect trim;
    Rect safe;  // the trim inset by the safe margin; the null rectangle when the margin leaves no room

    PageBoxes() = default;
    PageBoxes(const PrintSpec& spec, Size trimSize);

    bool operator==(const PageBoxes&) const = default;
};

// Effective resolution of a picture placed on a page, in dots per inch, and its grade.
namespace Resolution {

inline constexpr double sharpDPI = 300;
inline constexpr double minimumDPI = 150;

enum class Grade { good = 0, soft = 1, poor = 2 };

// The smaller of the two axes' pixels per inch of `pixels` placed at `points`; +infinity when the
// placement has no positive width or height. Negative or non-finite pixel figures count as 0.
double dpi(Size pixels, Size points);
// good from 299.5, soft from 150, poor below (and for a value that is not a number).
Grade grade(double dpi);
// The largest size in points at which the picture still prints at 300 dpi.
Size sharpSize(Size pixels);
// A resolution cut toward zero to a whole number for warning texts, saturated at the integer range.
std::int64_t wholeDPI(double dpi);

}  // namespace Resolution

template <>
struct Coding<PrintSpec> {
    static PrintSpec read(const Json& v);
    static Json write(const PrintSpec& spec);
};

}  // namespace quillfen
