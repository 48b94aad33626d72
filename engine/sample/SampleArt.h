#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "engine/core/Bitmap.h"
#include "engine/library/CleanupRecords.h"
#include "engine/core/Enumeration.h"

// The sample book's art: a fixed table of sixteen sample drawings, a procedural child's drawing for each
// subject, and the look of a photo of the sheet lying on a wooden table. Every operation is pure and
// deterministic (the same arguments give the same pixels) and may run on any thread, any number at once.
namespace quillfen::SampleArt {

// The subjects, in the order that enters each drawing's seed.
enum class Kind {
    house,
    rocket,
    rainbow,
    fish,
    flower,
    dinosaur,
    family,
    car,
    snowman,
    tree,
    butterfly,
    planets,
    cat,
    boat
};

}  // namespace quillfen::SampleArt

// A kind's case name is its stored name; allCases<Kind>() lists them in seed order.
template <>
struct quillfen::CaseNames<quillfen::SampleArt::Kind> {
    using enum quillfen::SampleArt::Kind;
    static constexpr std::array<std::pair<quillfen::SampleArt::Kind, std::string_view>, 14> cases{{
        {house, "house"},
        {rocket, "rocket"},
        {rainbow, "rainbow"},
        {fish, "fish"},
        {flower, "flower"},
        {dinosaur, "dinosaur"},
        {family, "family"},
        {car, "car"},
        {snowman, "snowman"},
        {tree, "tree"},
        {butterfly, "butterfly"},
        {planets, "planets"},
        {cat, "cat"},
        {boat, "boat"},
    }};
};

namespace quillfen::SampleArt {

// One sample drawing of the sample book.
struct Item {
    Kind kind;
    std::string title;
    int child;          // index of the sample child, 0 or 1
    int month;          // 1...12, the calendar month the drawing is meant for
    bool photographed;  // shown as a phone photo of the sheet

    bool operator==(const Item&) const = default;
};

// The sixteen sample drawings in the order the sample book adds them (item n is drawn with seed n).
const std::vector<Item>& items();

// Where the paper's corners land inside a photographed sample, in unit coordinates, y upwards.
const Quad& photoQuad();

// The drawings' random sequence: a 64-bit xorshift. `next` advances the state and returns a value in
// [0, 1); `initialState` is the state a drawing of `kind` with `seed` starts from.
double next(std::uint64_t& state);
std::uint64_t initialState(Kind kind, std::int64_t seed);

// The pixel size Int(width) x Int(height) at which the operations below draw; none when a side is not
// finite or below one pixel, or the picture would exceed 200 megapixels.
std::optional<std::pair<int, int>> pixelSize(double width, double height);

// The kind's drawing on opaque white, at `pixelSize(width, height)`; an empty bitmap when that is none.
Bitmap image(Kind kind, std::int64_t seed, double width, double height);

// `image` as a sheet of paper photographed on a wooden table, opaque, at `pixelSize(width, height)`, the
// paper's corners at `quad` (unit coordinates of the output, y upwards); `shadow` adds a soft shadow in
// the lower right. An empty bitmap for an empty image or when the size is none.
Bitmap photographed(const Bitmap& image, const Quad& quad, bool shadow, double width, double height);

}  // namespace quillfen::SampleArt
