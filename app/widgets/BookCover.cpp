#include "app/widgets/BookCover.h"

namespace quillfen::BookCover {

BookContent previewContent(const AppModel& model) {
    auto content = model.bookContent();
    for (const auto& id : model.calendar().calendarOnly) content.drawings.erase(id);
    return content;
}

std::optional<UUID> coverDrawing(const AppModel& model) { return previewContent(model).coverDrawing(); }

QString choiceLabel(const Drawing& drawing) {
    return drawing.info.title.empty() ? QStringLiteral("Untitled") : QString::fromStdString(drawing.info.title);
}

}  // namespace quillfen::BookCover
