#pragma once

#include "app/model/AppModel.h"

#include <QString>

#include <vector>

namespace quillfen {

struct AppModel::EditState {
    explicit EditState(AppModel& model) : model(model) {}
    AppModel& model;

    // The original of a removed drawing, kept until the saved document no longer names it.
    struct RemovedOriginal {
        QString path;
        std::int64_t revision = 0;  // the first revision whose document no longer names the file
    };
    std::vector<RemovedOriginal> removedOriginals;
    // Paper searches whose result has not come back yet.
    int paperSearches = 0;
};

}  // namespace quillfen
