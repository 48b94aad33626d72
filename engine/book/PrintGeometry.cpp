#include "engine/book/PrintGeometry.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace quillfen {

namespace {

constexpr std::int64_t int64Max = std::numeric_limits<std::int64_t>::max();

// A length held to 0...limit; nothing for a value that is not a number.
double heldLength(double value, double limit) {
    return value > 0 ? std::min(value, limit) : 0;
}

// Negative and non-finite pixel figures count as nothing; +infinity stays.
double pixelFigure(double value) {
    return value > 0 ? value : 0;
}

}  // namespace

Size trimSize(BookSize size) {
    switch (size) {
        case BookSize::square8:
            return {576, 576};
        case BookSize::square10:
            return {720, 720};
        case BookSize::square12:
            return {864, 864};
        case BookSize::landscape11x8:
            return {792, 612};
        case BookSize::letter:
            return {612, 792};
    }
    return {576, 576};
}

Size inches(BookSize size) {
    const Size points = trimSize(size);
    return {points.width / pointsPerInch, points.height / pointsPerInch};
}

std::string_view title(BookSize size) {
    switch (size) {
        case BookSize::square8:
            return "8 × 8 in square";
        case BookSize::square10:
            return "10 × 10 in square";
        case BookSize::square12:
            return "12 × 12 in square";
        case BookSize::landscape11x8:
            return "11 × 8.5 in landscape";
        case BookSize::letter:
            return "8.5 × 11 in letter (portrait)";
    }
    return {};
}

PrintSpec PrintSpec::make(double bleed, double safe, std::int64_t pageMultiple, std::int64_t minimumPages,
                          std::int64_t maximumPages) {
    return PrintSpec{heldLength(bleed, largestMargin), heldLength(safe, largestMargin),
                     pageMultiple < 2 ? 1 : pageMultiple, minimumPages < 2 ? 1 : minimumPages,
                     maximumPages < 1 ? 0 : maximumPages};
}

PrintSpec PrintSpec::heldTo(Size trimSize) const {
    const double side = std::min(trimSize.width, trimSize.height);
    PrintSpec held = *this;
    held.bleed = heldLength(bleed, side);
    held.safe = heldLength(safe, side);
    return held;
}

std::int64_t PrintSpec::paddedPageCount(std::int64_t pages) const {
    const std::int64_t m = std::max(pages, minimumPages);
    const std::int64_t k = pageMultiple >= 2 ? pageMultiple : 1;
    std::int64_t sum = 0;
    std::int64_t padded = 0;
    if (__builtin_add_overflow(m, k - 1, &sum) || __builtin_mul_overflow(sum / k, k, &padded))
        padded = int64Max;
    const std::int64_t ceiling = std::max(pages, paddingLimit);
    return padded > ceiling ? ceiling : padded;
}

PrintSpec spec(PrintPreset preset) {
    switch (preset) {
        case PrintPreset::photoBook:
            return {9, 27, 2, 20, 0};
        case PrintPreset::layFlat:
            return {9, 36, 2, 20, 0};
        case PrintPreset::softcover:
            return {9, 36, 2, 24, 0};
        case PrintPreset::saddleStitch:
            return {9, 18, 4, 8, 64};
        case PrintPreset::homePrint:
            return {0, 18, 1, 1, 0};
        case PrintPreset::custom:
            return {9, 27, 2, 1, 0};
    }
    return {};
}

std::string_view title(PrintPreset preset) {
    switch (preset) {
        case PrintPreset::photoBook:
            return "Photo book, hardcover";
        case PrintPreset::layFlat:
            return "Lay-flat photo book";
        case PrintPreset::softcover:
            return "Print-on-demand softcover";
        case PrintPreset::saddleStitch:
            return "Stapled booklet (print shop)";
        case PrintPreset::homePrint:
            return "Home printer (no bleed)";
        case PrintPreset::custom:
            return "Custom";
    }
    return {};
}

std::string_view note(PrintPreset preset) {
    switch (preset) {
        case PrintPreset::photoBook:
            return "0.125 in bleed, 0.375 in safe margin, at least 20 pages, even page count.";
        case PrintPreset::layFlat:
            return "0.125 in bleed, 0.5 in safe margin (the gutter lies flat), at least 20 pages, even page "
                   "count.";
        case PrintPreset::softcover:
            return "0.125 in bleed, 0.5 in safe margin, at least 24 pages, even page count.";
        case PrintPreset::saddleStitch:
            return "0.125 in bleed, 0.25 in safe margin, pages in multiples of 4, at least 8, at most 64.";
        case PrintPreset::homePrint:
            return "No bleed, 0.25 in margin, any page count.";
        case PrintPreset::custom:
            return "Your own numbers.";
    }
    return {};
}

PageBoxes::PageBoxes(const PrintSpec& spec, Size trimSize) {
    const double b = spec.bleed;
    media = Rect{0, 0, trimSize.width + 2 * b, trimSize.height + 2 * b};
    bleed = media;
    trim = Rect{b, b, trimSize.width, trimSize.height};
    safe = trim.insetBy(spec.safe, spec.safe);
}

namespace Resolution {

double dpi(Size pixels, Size points) {
    if (!(points.width > 0) || !(points.height > 0)) return std::numeric_limits<double>::infinity();
    const double across = pixelFigure(pixels.width) / (points.width / pointsPerInch);
    const double up = pixelFigure(pixels.height) / (points.height / pointsPerInch);
    return std::min(across, up);
}

Grade grade(double dpi) {
    if (dpi >= 299.5) return Grade::good;
    if (dpi >= minimumDPI) return Grade::soft;
    return Grade::poor;
}

Size sharpSize(Size pixels) {
    return {pixelFigure(pixels.width) / sharpDPI * pointsPerInch,
            pixelFigure(pixels.height) / sharpDPI * pointsPerInch};
}

std::int64_t wholeDPI(double dpi) {
    if (std::isnan(dpi)) return 0;
    if (dpi >= 9.2233720368547758e18) return int64Max;
    if (dpi <= -9.2233720368547758e18) return std::numeric_limits<std::int64_t>::min();
    return static_cast<std::int64_t>(dpi);
}

}  // namespace Resolution

PrintSpec Coding<PrintSpec>::read(const Json& v) {
    return PrintSpec{heldLength(required<double>(v, "bleed"), PrintSpec::largestMargin),
                     heldLength(required<double>(v, "safe"), PrintSpec::largestMargin),
                     required<std::int64_t>(v, "pageMultiple"), required<std::int64_t>(v, "minimumPages"),
                     required<std::int64_t>(v, "maximumPages")};
}

Json Coding<PrintSpec>::write(const PrintSpec& spec) {
    Json out = Json::object();
    put(out, "bleed", spec.bleed);
    put(out, "safe", spec.safe);
    put(out, "pageMultiple", spec.pageMultiple);
    put(out, "minimumPages", spec.minimumPages);
    put(out, "maximumPages", spec.maximumPages);
    return out;
}

}  // namespace quillfen
