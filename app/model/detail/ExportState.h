#pragma once

#include "app/model/AppModel.h"

#include <QCoreApplication>
#include <QThreadPool>

#include <atomic>
#include <memory>

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
    // Set to drop the sample book being drawn: its pictures stop and nothing of it is added.
    std::shared_ptr<std::atomic<bool>> sampleDropped;
};

}  // namespace quillfen
