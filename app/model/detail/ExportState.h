#pragma once

#include "app/model/AppModel.h"

#include <QCoreApplication>
#include <QThreadPool>

namespace quillfen {

// The export's pool (one job at a time, never queued behind processing or previews) and the sample
// book's. Both are waited for when the model goes, so a finishing task never reports to a destroyed
// model; quitting first lets a running export finish its file.
struct AppModel::ExportState {
    explicit ExportState(AppModel& model) : model(model) {
        pool.setMaxThreadCount(1);
        samplePool.setMaxThreadCount(1);
        if (auto* application = QCoreApplication::instance()) {
            QObject::connect(application, &QCoreApplication::aboutToQuit, &model, [&model] { model.waitForExport(); });
        }
    }
    ~ExportState() {
        pool.waitForDone();
        samplePool.waitForDone();
    }
    AppModel& model;
    QThreadPool pool;
    QThreadPool samplePool;
};

}  // namespace quillfen
