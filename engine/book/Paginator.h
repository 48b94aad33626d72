#pragma once

#include <optional>
#include <span>
#include <vector>

#include "engine/book/BookLayout.h"
#include "engine/book/BookSettings.h"
#include "engine/library/LibraryRecords.h"
#include "engine/book/SlotGeometry.h"

// Lays a library out as a whole book. Pure: the same arguments give the same layout, on any thread.
namespace quillfen::Paginator {

// Every page of the book with its slots and the warnings the user sees before printing. `children` are
// in the user's order, `drawings` in any order. Where ids repeat, the first child or drawing with an id
// is the one used and later ones are left out.
BookLayout paginate(const BookSettings& settings, std::span<const Child> children,
                    std::span<const DrawingInfo> drawings);

// The warnings of `layout` that hold for its cover page alone, as a cover-only file prints it: the
// cover drawing's resolution and a safe margin that leaves no room. In the layout's order.
std::vector<LayoutWarning> coverWarnings(const BookLayout& layout);

// The drawings in book order, a stable sort; `children` are read only for `byChild`, which puts each
// child's drawings in children order and the drawings of no listed child last.
std::vector<DrawingInfo> ordered(std::span<const DrawingInfo> drawings, std::span<const Child> children,
                                 BookOrder order);

// The chronological order: earlier date first, then smaller sequence.
bool isEarlier(const DrawingInfo& a, const DrawingInfo& b);

// The drawing the cover prints: `chosen` when it is among `drawings`, else the oldest drawing (of
// equally old ones the lowest sequence, then the lowest id, whatever the order given); nothing without
// drawings. The cover warning judges the same drawing that the cover draws.
std::optional<UUID> coverDrawing(const std::optional<UUID>& chosen,
                                 std::span<const DrawingInfo* const> drawings);

// The drawings of each page in order; every page holds one to four.
std::vector<std::vector<DrawingInfo>> chunk(std::span<const DrawingInfo> drawings, Arrangement arrangement);

// The caption band under each picture on a page of `count` drawings; 0 without captions.
double captionHeight(const BookSettings& settings, int count, double pageWidth, double pageHeight);

}  // namespace quillfen::Paginator
