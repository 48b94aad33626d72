#include "app/editor/PhotoCache.h"

#include "app/model/detail/ThreadPriority.h"

#include <QtConcurrent/QtConcurrentRun>

#include <algorithm>

namespace quillfen {

PhotoCache::Load PhotoCache::load(QThreadPool& pool, const Key& key) {
    const auto kept =
        std::find_if(m_loads.begin(), m_loads.end(), [&](const auto& entry) { return entry.first == key; });
    if (kept != m_loads.end()) return kept->second;
    Load started =
        QtConcurrent::run(&pool, belowTheWindow([path = key.path] { return PreviewRender::loadPhoto(path); }));
    m_loads.emplace_back(key, started);
    return started;
}

void PhotoCache::keepOnly(const std::vector<Key>& keys) {
    std::erase_if(m_loads, [&](auto& entry) {
        if (std::find(keys.begin(), keys.end(), entry.first) != keys.end()) return false;
        entry.second.cancel();  // a load still queued never decodes
        return true;
    });
}

}  // namespace quillfen
