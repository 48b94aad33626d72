#include "app/model/AppModel.h"

#include "app/model/OriginalsFolder.h"
#include "app/model/detail/DocumentState.h"
#include "app/model/detail/EditState.h"
#include "app/model/detail/ImportState.h"

#include <QSet>

#include <algorithm>

namespace quillfen {

void AppModel::removeDrawing(UUID id) {
    const auto found = std::find_if(m_drawings.begin(), m_drawings.end(),
                                    [&](const Drawing& d) { return d.info.id == id; });
    if (found == m_drawings.end()) return;
    // The drawings' assignment below is the first document change without this original.
    m_edit->removedOriginals.push_back({originalPath(*found), m_revision + 1});

    const auto book = bookDrawings();
    const auto inBook = std::find_if(book.begin(), book.end(), [&](const Drawing& d) { return d.info.id == id; });
    const std::size_t position = inBook == book.end() ? 0 : static_cast<std::size_t>(inBook - book.begin());

    auto drawings = m_drawings;
    drawings.erase(drawings.begin() + (found - m_drawings.begin()));
    setDrawings(std::move(drawings));

    if (m_settings.coverDrawing == id) {
        auto settings = m_settings;
        settings.coverDrawing.reset();
        setSettings(std::move(settings));
    }

    auto calendar = m_calendar;
    std::erase_if(calendar.pictures, [&](const auto& slot) { return slot.second == id; });
    if (calendar.coverPicture == id) calendar.coverPicture.reset();
    std::erase(calendar.calendarOnly, id);
    setCalendar(std::move(calendar));

    if (m_selectedID == id) {
        const auto remaining = bookDrawings();
        if (remaining.empty()) setSelectedID(std::nullopt);
        else setSelectedID(remaining[std::min(position, remaining.size() - 1)].info.id);
    }
}

void AppModel::newBook() {
    m_import->dropAll();
    dropSampleBook();
    for (const auto& drawing : m_drawings) {
        m_edit->removedOriginals.push_back({originalPath(drawing), m_revision + 1});
    }
    setDrawings({});
    setChildren({});
    setSettings(BookSettings());
    setCalendar(CalendarSettings());
    setSelectedID(std::nullopt);
    setMode(ViewMode::drawing);
    setNextSequence(0);
    setLastChild(std::nullopt);
}

UUID AppModel::addChild(const QString& name) {
    const Child child{UUID::random(), name.toStdString(), std::nullopt, ""};
    auto children = m_children;
    children.push_back(child);
    setChildren(std::move(children));
    return child.id;
}

void AppModel::removeChild(UUID id) {
    auto children = m_children;
    std::erase_if(children, [&](const Child& c) { return c.id == id; });
    setChildren(std::move(children));
    for (auto& drawing : m_drawings) {
        if (drawing.info.childID != id) continue;
        drawing.info.childID.reset();
        Q_EMIT drawingsChanged();
        documentChanged();
    }
    if (m_lastChild == id) setLastChild(std::nullopt);
}

void AppModel::deleteRemovedOriginals() {
    auto& removed = m_edit->removedOriginals;
    if (removed.empty() || m_exportProgress) return;
    const auto saved = m_document->savedRevision;
    // Drawings may share an original: it goes only once neither the drawings nor the saved document
    // name it. A removal of the same file that is not saved yet means the document still names it;
    // that removal deletes the file in its turn.
    const QString bookFolder = folder();
    QSet<QString> named;
    for (const auto& drawing : m_drawings) named.insert(bookFolder + "/Originals/" + drawing.file);
    for (const auto& original : removed) {
        if (original.revision > saved) named.insert(original.path);
    }
    for (const auto& original : removed) {
        if (original.revision <= saved && !original.path.isEmpty() && !named.contains(original.path))
            OriginalsFolder::removeInside(bookFolder, original.path);
    }
    std::erase_if(removed, [&](const EditState::RemovedOriginal& original) { return original.revision <= saved; });
}

}  // namespace quillfen
