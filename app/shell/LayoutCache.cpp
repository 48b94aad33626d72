#include "app/shell/LayoutCache.h"

namespace quillfen {

LayoutCache::LayoutCache(AppModel& model) : QObject(&model) {
    setObjectName(QStringLiteral("quillfenLayoutCache"));
}

const BookLayout& LayoutCache::layout(AppModel& model) {
    auto* cache = model.findChild<LayoutCache*>(QStringLiteral("quillfenLayoutCache"),
                                                Qt::FindDirectChildrenOnly);
    if (!cache) cache = new LayoutCache(model);
    if (cache->m_revision != model.revision()) {
        cache->m_layout = model.layout();
        cache->m_revision = model.revision();
    }
    return cache->m_layout;
}

}  // namespace quillfen
