#pragma once

#include "app/model/AppModel.h"

#include <QString>

namespace quillfen {

// The plain strings of the main window built from the library: shown verbatim, never translated. Pure.

// The book's title unchanged, or "Quillfen" when it is empty.
QString windowTitle(const BookSettings& settings);
// "12 drawings · 20 pages"; empty for an empty library.
QString windowSubtitle(int drawings, int pages);
// "0 drawings", "1 drawing", "2 drawings".
QString drawingCount(int drawings);
// The title of a drawing's row: its title unchanged, or "Untitled" when empty.
QString rowTitle(const DrawingInfo& info);
// The month of a drawing's date in English, "March 2026".
QString monthText(Date date);
// The child's name (when the child exists) and the month, joined by " · ".
QString detailLine(const QString& month, const std::optional<Child>& child);
// Whether the layout warns about this drawing (a warning without a drawing never matches).
bool hasLowResolutionWarning(const BookLayout& layout, const UUID& id);

}  // namespace quillfen
