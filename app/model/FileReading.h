#pragma once

#include "engine/core/Date.h"

#include <QByteArray>
#include <QString>

#include <optional>

namespace quillfen {

// Reading a whole image file without letting the file decide how long the read waits or how much it
// holds: opened without blocking and checked through that same descriptor, only a regular file of at
// most largestImageFile bytes is read. Any thread.

// Larger than any photo or scan; a larger file is refused before it is read.
inline constexpr qint64 largestImageFile = qint64(512) << 20;

// A file's bytes and modification date, or why they were not read.
struct FileContent {
    enum class Failure { none, unopened, notAnImageFile, unread };
    QByteArray bytes;
    std::optional<Date> modified;
    Failure failure = Failure::none;
    QString reason;  // the failure in words, as the detail of a message
};

// Reads a file the user chose, following links.
FileContent readImageFile(const QString& path);

// Reads an original of the book: neither the file nor the folder holding it may be a link, so that
// nothing outside the book folder is read in its place.
FileContent readOriginal(const QString& path);

}  // namespace quillfen
