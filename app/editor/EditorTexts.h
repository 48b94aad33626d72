#pragma once

#include "engine/book/BookSettings.h"
#include "engine/library/LibraryRecords.h"

#include <QString>

#include <optional>

namespace quillfen::EditorTexts {

// Texts the drawing editor composes from numbers and model values. Pure; any thread.

// The whole percentage of a whitening strength: the product with 100 truncated toward zero (0.29 gives
// 28); a product that is not finite or beyond the integer range is pinned to that range (NaN gives 0).
long long whitenPercent(double whiten);
// "Whiten paper: off" for exactly 0, else "Whiten paper 60%".
QString whitenLabel(double whiten);
// The straightening angle in ICU's default locale with exactly one fraction digit, rounded to nearest
// with ties to even ("2.5", "0.0", "2,5" with a decimal comma).
QString degreesText(double degrees);
// The cleaned image's pixel size, each side truncated toward zero: "600 × 900".
QString pixelText(Size pixelSize);
// The size at which the image prints at 300 dots per inch, printf-style "%.1f × %.1f in".
QString sharpSizeText(Size pixelSize);
// The "Age" field's prompt: "5 (from birthday)" from the child's birthday, else "e.g. 5".
QString agePrompt(const DrawingInfo& info, const std::optional<Child>& child);
// The caption line the book prints: the quoted title and the caption detail joined with " — ",
// leaving out whichever is empty.
QString showsAsLine(const DrawingInfo& info, const std::optional<Child>& child, const BookSettings& settings);

}  // namespace quillfen::EditorTexts
