#pragma once

#include <cstdint>
#include <span>

// Internal to the engine's image code: the item structure of a HEIF file, read from its boxes
// before libheif sees the file. Pure; safe on any thread.
namespace quillfen::detail {

// Whether the images of a HEIF file are composed soundly enough to hand to libheif: the primary
// item and every input ("dimg") of an identity, grid or overlay item is of a type libheif decodes
// (coded, or derived soundly in turn, without cycles and at most eight deep), such derived items
// have inputs, a grid or overlay declares the canvas its "ispe" property gives and an identity has
// its input's (either way round), and no canvas or "ispe" exceeds maxPixels. False when the boxes
// do not parse.
bool heifItemsSound(std::span<const std::uint8_t> data, double maxPixels);

}  // namespace quillfen::detail
