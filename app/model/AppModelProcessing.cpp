#include "app/model/AppModel.h"

#include "app/model/detail/ProcessingState.h"

namespace quillfen {

void AppModel::process(const UUID&, bool) {}
std::optional<AppModel::Processed> AppModel::makeProcessed(const QString&, CleanupSettings, bool) {
    return std::nullopt;
}

}  // namespace quillfen
