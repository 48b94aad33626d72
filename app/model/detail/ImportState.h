#pragma once

#include "app/model/AppModel.h"

namespace quillfen {

struct AppModel::ImportState {
    explicit ImportState(AppModel& model) : model(model) {}
    AppModel& model;
};

}  // namespace quillfen
