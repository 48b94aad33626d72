#pragma once

#include "app/model/AppModel.h"
#include "app/model/detail/DrawingIndex.h"

#include <atomic>
#include <cstdint>
#include <optional>
#include <unordered_map>
#include <vector>

namespace quillfen {

// Which processing of each drawing is the newest: a result from an older one is stale and dropped,
// so a late result never replaces newer cleanup settings or a newer thumbnail. GUI thread only.
struct AppModel::ProcessingState {
    explicit ProcessingState(AppModel& model) : model(model) {}
    AppModel& model;
    std::uint64_t started = 0;

    // The newest processing of a drawing whose result is pending.
    struct Pending {
        std::uint64_t ticket = 0;
        bool detect = false;        // it looks for the sheet of paper
        CleanupSettings cleanup;    // the settings it started from
    };
    std::unordered_map<UUID, Pending> newest;  // by drawing id
    // Set when quitting begins; read by the tasks, which then skip thumbnails.
    std::atomic<bool> quitting = false;

    // Results received on the GUI thread and not yet stored.
    struct Arrived {
        std::optional<AppModel::Processed> result;
        UUID id;
        std::uint64_t ticket = 0;
        CleanupSettings started;
        QString failure;  // why the original could not be read, when there is no result
    };
    std::vector<Arrived> arrived;

    // The images counted in the unreadable-images message while it is shown, and the first reason.
    struct Unreadable {
        int count = 0;
        QString reason;
    };
    Unreadable unreadableShown;
    // The drawings by id, for processing and edits.
    DrawingIndex index;
};

}  // namespace quillfen
