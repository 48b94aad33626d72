#pragma once

#include <cstdint>
#include <optional>

#include "engine/core/Bitmap.h"
#include "engine/library/CleanupRecords.h"
#include "tests/engine/PaleFillScenes.h"

// The photo and the cleanup settings the image-path tests clean it with: a crayon drawing in
// falling light, and two crops of it, one tilted, one skewed.
namespace quillfen::cleanupcases {

inline CleanupSettings settings(std::optional<Quad> crop, std::int64_t turns, double straighten, bool flatten,
                                double whiten) {
    CleanupSettings s;
    s.crop = crop;
    s.quarterTurns = turns;
    s.straighten = straighten;
    s.flatten = flatten;
    s.whiten = whiten;
    return s;
}

inline const Quad tilted{{0.1, 0.88}, {0.86, 0.9}, {0.88, 0.12}, {0.12, 0.1}};
inline const Quad skewed{{0.16, 0.8}, {0.9, 0.93}, {0.8, 0.05}, {0.05, 0.2}};

inline const Bitmap& photo() {
    static const Bitmap picture = palefills::photographed(
        palefills::Drawing{1000, 750, {240, 150, 60}, 0.15}.flat(), palefills::fallingLight());
    return picture;
}

}  // namespace quillfen::cleanupcases
