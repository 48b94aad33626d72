#include "app/model/AppModel.h"

#include "app/model/detail/ImportState.h"

namespace quillfen {

void AppModel::chooseFiles() {}
void AppModel::importURLs(const QList<QUrl>&) {}
QList<QUrl> AppModel::imageFiles(const QUrl&) { return {}; }
void AppModel::addImage(const QByteArray&, const ImageOptions&) {}
void AppModel::importPhotos(const QList<QUrl>&) {}
void AppModel::addDropped(const QList<ImportedImage>&) {}

}  // namespace quillfen
