#pragma once

#include "app/model/AppModel.h"

#include <QTemporaryDir>

#include <memory>

namespace quillfen {

struct AppModel::DocumentState {
    explicit DocumentState(AppModel& model) : model(model) {}
    AppModel& model;
    // The private folder of a model without a document, made on first use and removed with the model.
    std::unique_ptr<QTemporaryDir> temporaryFolder;
};

}  // namespace quillfen
