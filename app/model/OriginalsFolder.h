#pragma once

#include <QDateTime>
#include <QSet>
#include <QString>

namespace quillfen::OriginalsFolder {

// A book folder's "Originals": deleting its files without ever reaching outside it, and why a link
// in its place is not used. Pure file work; any thread.

// Why an "Originals" that is a link is neither read nor written, as the detail of a message.
QString linkedFolderReason();

// Deletes `path` only when it is a regular file, not a link, whose real location is directly inside
// `bookFolder`/Originals, and that folder is no link to another place. True when it was deleted.
bool removeInside(const QString& bookFolder, const QString& path);

// Deletes what an interrupted or failed import left behind: files in `bookFolder`/Originals that
// look like the program's own copies (an id and an image extension), that `named` does not hold and
// that were last changed before `before` (the document's own time). Returns how many it deleted.
int removeUnnamedCopies(const QString& bookFolder, const QSet<QString>& named, const QDateTime& before);

}  // namespace quillfen::OriginalsFolder
