#pragma once

#include "app/model/AppModel.h"

#include <QElapsedTimer>
#include <QLockFile>
#include <QTemporaryDir>
#include <QThreadPool>
#include <QTimer>

#include <memory>
#include <optional>

namespace quillfen {

// The document file's private state; lives on the GUI thread with the model.
struct AppModel::DocumentState {
    explicit DocumentState(AppModel& model);
    ~DocumentState() { writer.waitForDone(); }

    AppModel& model;
    // The private folder of a model without a document, made on first use and removed with the model.
    std::unique_ptr<QTemporaryDir> temporaryFolder;
    // The autosave: single-shot, restarted by every document change until the longest wait is near.
    QTimer autosave;
    // Runs from the first change that no save has taken up yet; invalid when there is none.
    QElapsedTimer unsavedSince;
    // Writes the autosave's document off the GUI thread, one at a time and in the order started:
    // a write and its sync wait for the disk for tens of milliseconds.
    QThreadPool writer;
    // Held while this copy owns the book folder; tried on first need and again until held.
    std::unique_ptr<QLockFile> lock;
    std::optional<bool> ownsFolder;
    // The revision the last successful save wrote; -1 before the first.
    std::int64_t savedRevision = -1;
    // Set once quitting has begun.
    bool quitRequested = false;
    // The last save failed: its edits are only in memory, and quitting tries once more.
    bool saveFailed = false;
};

}  // namespace quillfen
