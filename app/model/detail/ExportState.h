#pragma once

#include "app/model/AppModel.h"

namespace quillfen {

struct AppModel::ExportState {
    explicit ExportState(AppModel& model) : model(model) {}
    AppModel& model;
};

}  // namespace quillfen
