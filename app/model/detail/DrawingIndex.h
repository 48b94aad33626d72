#pragma once

#include "app/model/Drawing.h"

#include <cstddef>
#include <optional>
#include <unordered_map>
#include <vector>

namespace quillfen {

// The positions of the model's drawings by id, so that finding a drawing takes the same time at any
// library size (a load looks up every drawing). It follows the drawings lazily: drawings appended
// since are indexed at the next lookup, and a position found stale sets it up anew; the model clears
// it when it replaces the drawings. GUI thread only, with the model.
class DrawingIndex {
public:
    std::optional<std::size_t> find(const std::vector<Drawing>& drawings, const UUID& id) {
        for (const bool anew : {false, true}) {
            if (anew) clear();
            for (; m_indexed < drawings.size(); ++m_indexed) m_positions.emplace(drawings[m_indexed].info.id, m_indexed);
            const auto found = m_positions.find(id);
            if (found == m_positions.end()) return std::nullopt;
            if (found->second < drawings.size() && drawings[found->second].info.id == id) return found->second;
        }
        return std::nullopt;
    }

    void clear() {
        m_positions.clear();
        m_indexed = 0;
    }

private:
    std::unordered_map<UUID, std::size_t> m_positions;  // of the first m_indexed drawings
    std::size_t m_indexed = 0;
};

}  // namespace quillfen
