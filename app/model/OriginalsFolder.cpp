#include "app/model/OriginalsFolder.h"

#include "engine/cleanup/ImageIO.h"
#include "engine/core/UUID.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace quillfen::OriginalsFolder {

namespace {

// The real location of the book's "Originals", or empty when it is a link (or not a folder).
QString realOriginals(const QString& bookFolder) {
    const QFileInfo originals(bookFolder + "/Originals");
    if (originals.isSymLink() || !originals.isDir()) return {};
    return originals.canonicalFilePath();
}

bool looksLikeCopy(const QFileInfo& file) {
    return UUID::parse(file.completeBaseName().toStdString()) &&
           Cleaner::imageTypeForExtension(file.suffix().toStdString());
}

bool removeRegularFile(const QString& originals, const QFileInfo& file) {
    if (file.isSymLink() || !file.isFile() || file.canonicalPath() != originals) return false;
    return QFile::remove(file.absoluteFilePath());
}

}  // namespace

QString linkedFolderReason() {
    return QStringLiteral("the \u201COriginals\u201D folder is a link to another place");
}

bool removeInside(const QString& bookFolder, const QString& path) {
    const QString originals = realOriginals(bookFolder);
    return !originals.isEmpty() && !path.isEmpty() && removeRegularFile(originals, QFileInfo(path));
}

int removeUnnamedCopies(const QString& bookFolder, const QSet<QString>& named, const QDateTime& before) {
    const QString originals = realOriginals(bookFolder);
    if (originals.isEmpty()) return 0;
    int removed = 0;
    for (const QFileInfo& file : QDir(originals).entryInfoList(QDir::Files | QDir::Hidden)) {
        if (named.contains(file.fileName()) || !looksLikeCopy(file) || file.lastModified() >= before) continue;
        if (removeRegularFile(originals, file)) ++removed;
    }
    return removed;
}

}  // namespace quillfen::OriginalsFolder
