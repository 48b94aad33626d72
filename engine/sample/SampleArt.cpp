#include "engine/sample/SampleArt.h"

#include "engine/cleanup/ImageIO.h"

#include <cmath>
#include <utility>

namespace quillfen::SampleArt {

const std::vector<Item>& items() {
    static const std::vector<Item> table{
        {Kind::house, "Our house in the sun", 0, 1, false},
        {Kind::rocket, "Mom on a rocket", 0, 2, true},
        {Kind::dinosaur, "Rex the dinosaur", 1, 2, false},
        {Kind::rainbow, "Rainbow after rain", 0, 3, false},
        {Kind::fish, "Fish having a party", 1, 4, true},
        {Kind::flower, "A flower for Grandma", 0, 5, false},
        {Kind::family, "Everybody at the park", 1, 5, false},
        {Kind::car, "The fastest car", 1, 6, false},
        {Kind::butterfly, "Butterfly garden", 0, 7, false},
        {Kind::boat, "Boat on the lake", 1, 8, true},
        {Kind::tree, "Apple tree", 0, 9, false},
        {Kind::cat, "Whiskers", 1, 10, false},
        {Kind::planets, "All the planets", 0, 11, false},
        {Kind::snowman, "Snow day!", 1, 12, false},
        {Kind::rocket, "Rocket to the moon", 1, 12, false},
        {Kind::flower, "Sunflowers", 0, 12, false},
    };
    return table;
}

const Quad& photoQuad() {
    static const Quad quad{{0.17, 0.86}, {0.86, 0.9}, {0.82, 0.12}, {0.12, 0.16}};
    return quad;
}

double next(std::uint64_t& state) {
    state ^= state << 13;
    state ^= state >> 7;
    state ^= state << 17;
    return static_cast<double>(state % 1000000) / 1000000.0;
}

std::uint64_t initialState(Kind kind, std::int64_t seed) {
    const auto index = static_cast<std::uint64_t>(kind);
    const std::uint64_t mixed = (index * 7919 + static_cast<std::uint64_t>(seed)) * 0x9E3779B97F4A7C15ull;
    return mixed | 1;
}

std::optional<std::pair<int, int>> pixelSize(double width, double height) {
    if (!std::isfinite(width) || !std::isfinite(height) || width < 1 || height < 1) return std::nullopt;
    if (width * height > Cleaner::maximumPixelCount) return std::nullopt;
    return std::pair{static_cast<int>(width), static_cast<int>(height)};
}

}  // namespace quillfen::SampleArt
