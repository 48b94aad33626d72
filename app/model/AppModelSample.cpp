#include "app/model/AppModel.h"

namespace quillfen {

void AppModel::loadSampleBook(bool) {}

}  // namespace quillfen
