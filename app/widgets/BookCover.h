#pragma once

#include "app/model/AppModel.h"

#include <QString>

#include <optional>

// The book's content as the book screen shows it. The cover falls back over the book's own drawings
// only, as the printed book does: a calendar-only picture is never shown on the book's cover. GUI
// thread (reads the model).
namespace quillfen::BookCover {

// The model's thumbnail-backed content without the calendar-only pictures, which no book page shows.
BookContent previewContent(const AppModel& model);
// The drawing the book's cover shows: the chosen cover when it is a book drawing, else the oldest
// book drawing; nothing for a book without drawings.
std::optional<UUID> coverDrawing(const AppModel& model);
// A drawing as a picker row shows it: its title, or "Untitled".
QString choiceLabel(const Drawing& drawing);

}  // namespace quillfen::BookCover
