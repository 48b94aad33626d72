#pragma once

#include "app/model/AppModel.h"

#include <QString>

#include <optional>

// The book's cover as the screens show and choose it. The cover falls back over the book's own
// drawings only, as the printed book does: a calendar-only picture is never the book's cover. GUI
// thread (reads the model).
namespace quillfen::BookCover {

// The drawing the book's cover shows: the chosen cover when it is a book drawing, else the oldest
// book drawing; nothing for a book without drawings.
std::optional<UUID> coverDrawing(const AppModel& model);
// Whether the drawing may be chosen as the cover: every drawing but a calendar-only picture.
bool canBeCover(const AppModel& model, const UUID& id);
// A drawing as a picker row shows it: its title, or "Untitled".
QString choiceLabel(const Drawing& drawing);

}  // namespace quillfen::BookCover
