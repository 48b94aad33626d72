#pragma once

#include "app/model/AppModel.h"

#include <QSizeF>
#include <QString>

#include <vector>

// What the book preview shows about its pages, as plain functions of the layout and the model: the
// spreads, the cell size, the page-count summary, each page's caption and spoken text, and the page's
// open action. GUI thread (they read the model); the pure ones on any thread.
namespace quillfen::BookPages {

// The zoom slider's range and default; the long side of a page cell in points.
inline constexpr double minimumZoom = 150;
inline constexpr double maximumZoom = 420;
inline constexpr double defaultZoom = 230;

// The "pageZoom" setting, clamped to the slider's range (not a number: the default), so a damaged
// setting never asks for a gigantic or undefined bitmap.
double storedZoom();
void storeZoom(double zoom);
double clampedZoom(double zoom);

// Two-page spreads in reading order; 0 stands for the empty slot left of page 1.
std::vector<std::vector<int>> spreads(int pageCount);
// The page with its bleed, scaled so that its longer side is `zoom` points.
QSizeF cellSize(const BookLayout& layout, double zoom);
// "N pages", and when blank pages were added, why.
QString pageCountSummary(const BookLayout& layout, PrintPreset preset);

// The line under a page: "Cover (page 1)", "19 · blank", "24 · back" or the number alone.
QString caption(const BookPage& page);
// The page as assistive technologies read it, with the children's names and drawings' titles.
QString accessibilityText(const AppModel& model, const BookPage& page);
// Selects the first drawing of a drawings page and switches to drawing mode; other pages do nothing.
void openFirstDrawing(AppModel& model, const BookPage& page);

}  // namespace quillfen::BookPages
