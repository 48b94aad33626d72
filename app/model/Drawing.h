#pragma once

#include "engine/library/LibraryRecords.h"

#include <QByteArray>
#include <QImage>
#include <QString>

#include <array>
#include <optional>
#include <string_view>

namespace quillfen {

// The application's record of one drawing: the engine's record, the name of its original inside the
// book folder's "Originals", the cleaned thumbnail (memory only) and whether processing is pending.
// A plain value without equality; identified by `info.id`. Safe to copy across threads.
struct Drawing {
    DrawingInfo info;
    QString file;   // plain file name inside "Originals"
    QImage thumb;   // at most 700 pixels on its long side, 8-bit RGB without alpha; null when none
    bool busy = true;
};

// Which of the three modes the main window shows.
enum class ViewMode { drawing, book, calendar };
inline constexpr std::array<ViewMode, 3> allViewModes{ViewMode::drawing, ViewMode::book,
                                                      ViewMode::calendar};
std::string_view caseName(ViewMode mode);

// The kind of a PDF export: print-ready with bleed, for home printing on letter paper, or the cover.
enum class ExportKind { print, home, cover };
std::string_view caseName(ExportKind kind);

// Raw image bytes received from a drop or another transfer.
struct ImportedImage {
    QByteArray data;
};

}  // namespace quillfen
