#pragma once

#include <QByteArrayView>
#include <QString>

#include <optional>

namespace quillfen {

// Writes `data` as the whole new content of the file at `path`, atomically: the old file stays as it
// was unless every byte reached the disk. A full disk or a file size limit fails the write rather
// than committing a truncated file. Returns the system's reason on failure. Any thread.
std::optional<QString> writeWholeFile(const QString& path, QByteArrayView data);

}  // namespace quillfen
