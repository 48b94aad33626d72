#include "app/widgets/BookCover.h"

#include <algorithm>

namespace quillfen::BookCover {

std::optional<UUID> coverDrawing(const AppModel& model) { return model.bookContent().coverDrawing(); }

bool canBeCover(const AppModel& model, const UUID& id) {
    const auto& calendarOnly = model.calendar().calendarOnly;
    return std::find(calendarOnly.begin(), calendarOnly.end(), id) == calendarOnly.end();
}

QString choiceLabel(const Drawing& drawing) {
    return drawing.info.title.empty() ? QStringLiteral("Untitled") : QString::fromStdString(drawing.info.title);
}

}  // namespace quillfen::BookCover
