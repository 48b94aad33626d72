#pragma once

#include "app/model/AppModel.h"

namespace quillfen {

// The book's layout kept per document revision, so the title bar, the sidebar's card and every row read
// one pagination instead of one each. Every document change raises the revision, so a reader always sees
// what a fresh AppModel::layout() gives. Lives as a child of the model; GUI thread only.
class LayoutCache : public QObject {
    Q_OBJECT

public:
    static const BookLayout& layout(AppModel& model);

private:
    explicit LayoutCache(AppModel& model);

    std::int64_t m_revision = -1;
    BookLayout m_layout;
};

}  // namespace quillfen
