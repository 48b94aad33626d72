#pragma once

#include <cstdint>
#include <span>

// Internal to paper detection: the files of the sheet segmentation network, compiled into the library from
// engine/cleanup/models: the network in ONNX and its settings in JSON ("size": the side of its square input).
namespace quillfen::detail::paper {

std::span<const std::uint8_t> segmentationModel();
std::span<const std::uint8_t> segmentationSettings();

}  // namespace quillfen::detail::paper
