#pragma once

#include "engine/render/Canvas.h"
#include "engine/core/Geometry.h"

#include <cstddef>
#include <filesystem>
#include <functional>
#include <string>

namespace quillfen {

// Told after each page of a file has ended: the pages done and the file's page count. Called on the
// rendering thread.
using PageProgress = std::function<void(int done, int total)>;

// The two kinds of page file that the book and the calendar write: print-ready pages with their bleed,
// and home-print pages scaled onto a US Letter sheet. Title and Creator "Quillfen" are the only document
// information. Each returns true only when the whole file is in place at the destination; on any failure
// it stops drawing and leaves the destination as it was. Synchronous; one file per call, any thread.
namespace PageFiles {

// Draws the page at `index` with its trim's lower-left corner at `origin` on the canvas.
using DrawPage = std::function<void(std::size_t index, Canvas& canvas, Point origin)>;

// `count` pages of the trim size grown by the bleed on every side: MediaBox and BleedBox
// (0, 0, W + 2b, H + 2b), TrimBox (b, b, W, H); each page drawn with its trim at (b, b).
bool printReady(const std::filesystem::path& destination, const std::string& title, Size trimSize,
                double bleed, std::size_t count, const DrawPage& draw, const PageProgress& progress);

// `count` sheets of the home sheet's size with a MediaBox only: each page scaled into the sheet's page
// rectangle with its trim at (0, 0), clipped to the trim, and outlined in light grey.
bool homePrint(const std::filesystem::path& destination, const std::string& title, Size trimSize,
               std::size_t count, const DrawPage& draw, const PageProgress& progress);

}  // namespace PageFiles

}  // namespace quillfen
