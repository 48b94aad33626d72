#pragma once

#include "engine/core/Bitmap.h"
#include "engine/book/BookContent.h"
#include "engine/book/BookLayout.h"
#include "engine/render/Canvas.h"
#include "engine/core/Geometry.h"
#include "engine/render/HomeSheet.h"
#include "engine/render/PageFiles.h"
#include "engine/core/UUID.h"

#include <filesystem>
#include <optional>
#include <unordered_map>

// Turns a laid-out book into page thumbnails and PDF files, and tells the export at what size each
// drawing is placed. Synchronous functions of their arguments; thumbnails on the main thread and files
// in a background task may run at once, each with its own content.
namespace quillfen::BookRenderer {

// The largest size in points at which each drawing is placed.
using PlacedSizes = std::unordered_map<UUID, Size>;

// Draws one page of any kind with its trim's lower-left corner at `origin` on the canvas: the white page
// and bleed, its content, and with `guides` the trim and safe lines. The canvas's state is the same after.
void drawPage(const BookPage& page, const BookLayout& layout, const BookContent& content, Canvas& canvas,
              bool guides, Point origin);

// The page with its bleed as a bitmap `width` pixels wide; nothing when no such bitmap can be made.
std::optional<Bitmap> thumbnail(const BookPage& page, const BookLayout& layout, const BookContent& content,
                                int width, bool guides);

// Every page of the layout, blank ones included, as print-ready pages titled with the book's title.
bool printPDF(const BookLayout& layout, const BookContent& content, const std::filesystem::path& destination,
              const PageProgress& progress = {});
// The front cover alone, at the print-ready page size, whether or not the layout holds a cover page.
bool coverPDF(const BookLayout& layout, const BookContent& content, const std::filesystem::path& destination);
// Every page but the blank ones, each on a US Letter sheet.
bool homePrintPDF(const BookLayout& layout, const BookContent& content,
                  const std::filesystem::path& destination, const PageProgress& progress = {});

// For each drawing that a page or the cover shows, the largest size at which it is drawn (by area; of
// equal areas the first). The cover counts once more when it is printed only in its own file.
PlacedSizes placedSizes(const BookLayout& layout, const BookContent& content);
// Stores the size under the id unless the size already there has at least its area.
void recordLargest(const UUID& id, Size size, PlacedSizes& into);
// The long side in pixels to which the export scales a drawing of `pixelSize` placed at `placed`
// points to print at `dpi`; never more than the drawing's own long side.
double targetLongSide(Size placed, Size pixelSize, double dpi);

}  // namespace quillfen::BookRenderer
