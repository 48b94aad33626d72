#pragma once

#include "app/model/AppModel.h"

#include <QThreadPool>

namespace quillfen {

// The export's own pool: one job at a time, never queued behind processing or previews. Waited for
// when the model goes, so a finishing job never reports to a destroyed model.
struct AppModel::ExportState {
    explicit ExportState(AppModel& model) : model(model) { pool.setMaxThreadCount(1); }
    ~ExportState() { pool.waitForDone(); }
    AppModel& model;
    QThreadPool pool;
};

}  // namespace quillfen
