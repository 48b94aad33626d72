#pragma once

#include "app/model/AppModel.h"

namespace quillfen {

struct AppModel::ProcessingState {
    explicit ProcessingState(AppModel& model) : model(model) {}
    AppModel& model;
};

}  // namespace quillfen
