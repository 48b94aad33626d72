#include "app/model/AppModel.h"

namespace quillfen {

void AppModel::removeDrawing(const UUID&) {}
void AppModel::newBook() {}
UUID AppModel::addChild(const QString&) { return UUID::random(); }
void AppModel::removeChild(const UUID&) {}
void AppModel::deleteRemovedOriginals() {}

}  // namespace quillfen
