#pragma once

#include "app/model/AppModel.h"

namespace quillfen {

struct AppModel::EditState {
    explicit EditState(AppModel& model) : model(model) {}
    AppModel& model;
};

}  // namespace quillfen
