#pragma once

#include "app/editor/PreviewRender.h"
#include "engine/core/UUID.h"

#include <QFuture>
#include <QString>
#include <QThreadPool>

#include <optional>
#include <utility>
#include <vector>

namespace quillfen {

// The editor's decoded photos of the drawing on screen and of its neighbours in the book, loaded on a
// pool ahead of a step to them, so that stepping to the next drawing finds its photo decoded or on
// its way. Holds only the loads it is told to keep (at most three in use). GUI thread only.
class PhotoCache {
public:
    struct Key {
        UUID id;
        QString path;
        bool operator==(const Key&) const = default;
    };
    using Load = QFuture<std::optional<PreviewRender::Photo>>;

    // The load of the photo: the one kept (finished or on its way), or a new one started on `pool`.
    Load load(QThreadPool& pool, const Key& key);
    // Drops every load but those of `keys`: a dropped load still queued is cancelled (it never decodes,
    // so selecting drawing after drawing during an import queues no backlog); one running finishes unseen.
    void keepOnly(const std::vector<Key>& keys);
    std::size_t size() const { return m_loads.size(); }

private:
    std::vector<std::pair<Key, Load>> m_loads;
};

}  // namespace quillfen
