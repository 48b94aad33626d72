#include "app/model/AppModel.h"

#include "app/model/ImageConversion.h"
#include "engine/book/Paginator.h"
#include "engine/calendar/CalendarPaginator.h"

#include <algorithm>
#include <unordered_map>
#include <unordered_set>

namespace quillfen {

namespace {

std::unordered_set<UUID> calendarOnlySet(const CalendarSettings& calendar) {
    return {calendar.calendarOnly.begin(), calendar.calendarOnly.end()};
}

std::vector<DrawingInfo> allInfos(const std::vector<Drawing>& drawings) {
    std::vector<DrawingInfo> infos;
    infos.reserve(drawings.size());
    for (const auto& d : drawings) infos.push_back(d.info);
    return infos;
}

// A snapshot of the thumbnails by id; each is converted for the page only when a renderer asks.
ImageSource thumbnailSource(const std::vector<Drawing>& drawings) {
    auto thumbs = std::make_shared<std::unordered_map<UUID, QImage>>();
    for (const auto& d : drawings) {
        if (!d.thumb.isNull()) thumbs->emplace(d.info.id, d.thumb);
    }
    return [thumbs](const UUID& id) -> std::optional<PageImage> {
        const auto found = thumbs->find(id);
        if (found == thumbs->end()) return std::nullopt;
        return PageImage::fromBitmap(bitmapFromImage(found->second));
    };
}

}  // namespace

std::vector<DrawingInfo> AppModel::bookInfos() const {
    const auto calendarOnly = calendarOnlySet(m_calendar);
    std::vector<DrawingInfo> infos;
    infos.reserve(m_drawings.size());
    for (const auto& d : m_drawings) {
        if (!calendarOnly.contains(d.info.id)) infos.push_back(d.info);
    }
    return infos;
}

std::vector<Drawing> AppModel::bookDrawings() const {
    std::unordered_map<UUID, const Drawing*> byID;
    for (const auto& d : m_drawings) byID.emplace(d.info.id, &d);
    std::vector<Drawing> book;
    for (const auto& info : Paginator::ordered(bookInfos(), m_children, m_settings.order)) {
        if (const auto found = byID.find(info.id); found != byID.end()) book.push_back(*found->second);
    }
    return book;
}

std::optional<Drawing> AppModel::selected() const {
    if (!m_selectedID) return std::nullopt;
    for (const auto& d : m_drawings) {
        if (d.info.id == *m_selectedID) return d;
    }
    return std::nullopt;
}

BookLayout AppModel::layout() const { return Paginator::paginate(m_settings, m_children, bookInfos()); }

std::optional<Child> AppModel::child(const std::optional<UUID>& id) const {
    if (!id) return std::nullopt;
    for (const auto& c : m_children) {
        if (c.id == *id) return c;
    }
    return std::nullopt;
}

std::vector<Drawing> AppModel::calendarOnlyDrawings() const {
    const auto calendarOnly = calendarOnlySet(m_calendar);
    std::vector<Drawing> pictures;
    for (const auto& d : m_drawings) {
        if (calendarOnly.contains(d.info.id)) pictures.push_back(d);
    }
    std::stable_sort(pictures.begin(), pictures.end(), [](const Drawing& a, const Drawing& b) {
        return a.info.sequence < b.info.sequence;
    });
    return pictures;
}

CalendarLayout AppModel::calendarLayout() const {
    std::unordered_map<UUID, DrawingInfo> byID;
    for (const auto& d : m_drawings) byID.emplace(d.info.id, d.info);
    return CalendarPaginator::paginate(m_calendar, byID);
}

CalendarContent AppModel::calendarContent() const {
    return CalendarContent::make(m_calendar, m_children, allInfos(m_drawings), thumbnailSource(m_drawings));
}

BookContent AppModel::bookContent() const {
    return BookContent::make(m_settings, m_children, bookInfos(), thumbnailSource(m_drawings));
}

void AppModel::fillEmptyMonths() {
    auto calendar = m_calendar;
    std::unordered_set<UUID> used;
    for (const auto& [month, id] : calendar.pictures) used.insert(id);
    std::vector<UUID> free;
    for (const auto& pool : {calendarOnlyDrawings(), bookDrawings()}) {
        for (const auto& d : pool) {
            if (!used.contains(d.info.id)) free.push_back(d.info.id);
        }
    }
    auto next = free.begin();
    for (int month = 0; month < 12; ++month) {
        if (calendar.pictures.contains(month)) continue;
        if (next == free.end()) break;
        calendar.pictures[month] = *next;
        used.insert(*next++);
    }
    setCalendar(std::move(calendar));
}

void AppModel::showCalendar() {
    setMode(ViewMode::calendar);
    if (m_calendar.pictures.empty()) fillEmptyMonths();
}

}  // namespace quillfen
