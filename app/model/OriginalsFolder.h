#pragma once

#include <QDateTime>
#include <QSet>
#include <QString>

namespace quillfen::OriginalsFolder {

// Deleting files of a book folder's "Originals" without ever reaching outside it. Pure file work;
// any thread.

// Deletes `path` only when it is a regular file, not a link, whose real location is directly inside
// `bookFolder`/Originals, and that folder is no link to another place. True when it was deleted.
bool removeInside(const QString& bookFolder, const QString& path);

// Deletes what an interrupted or failed import left behind: files in `bookFolder`/Originals that
// look like the program's own copies (an id and an image extension), that `named` does not hold and
// that were last changed before `before` (the document's own time). Returns how many it deleted.
int removeUnnamedCopies(const QString& bookFolder, const QSet<QString>& named, const QDateTime& before);

}  // namespace quillfen::OriginalsFolder
