#pragma once

#include <cstdint>
#include <span>

// Internal to the engine's image code: the item structure of a HEIF file, read from its boxes
// before libheif sees the file. Pure; safe on any thread.
namespace quillfen::detail {

// Whether the images of a HEIF file are composed soundly enough to hand to libheif: the primary
// item and every input ("dimg") of an identity, grid or overlay item has an item entry, such
// derived items have inputs, a grid or overlay declares the canvas its "ispe" property gives
// (either way round), and no canvas or "ispe" exceeds maxPixels. False when the boxes do not parse.
bool heifItemsSound(std::span<const std::uint8_t> data, double maxPixels);

}  // namespace quillfen::detail
