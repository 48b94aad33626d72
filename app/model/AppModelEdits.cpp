#include "app/model/AppModel.h"

#include "app/model/detail/EditState.h"

namespace quillfen {

void AppModel::update(const UUID&, const std::function<void(DrawingInfo&)>&) {}
void AppModel::rotateRight(const UUID&) {}
void AppModel::rotateLeft(const UUID&) {}
void AppModel::resetCleanup(const UUID&) {}
void AppModel::setCrop(const UUID&, const Quad&, bool) {}
void AppModel::setFlatten(const UUID&, bool) {}
void AppModel::useWholePhoto(const UUID&) {}
void AppModel::findPaperEdgesAgain() {}

}  // namespace quillfen
