#pragma once

#include "app/model/AppModel.h"

#include <cstdint>
#include <unordered_map>

namespace quillfen {

// Which processing of each drawing is the newest: a result from an older one is stale and dropped,
// so a late result never replaces newer cleanup settings or a newer thumbnail. GUI thread only.
struct AppModel::ProcessingState {
    explicit ProcessingState(AppModel& model) : model(model) {}
    AppModel& model;
    std::uint64_t started = 0;
    std::unordered_map<UUID, std::uint64_t> newest;  // by drawing id, while a result is pending
};

}  // namespace quillfen
