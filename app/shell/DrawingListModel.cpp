#include "app/shell/DrawingListModel.h"

#include "app/shell/LayoutCache.h"
#include "app/shell/ShellTexts.h"

#include <algorithm>

namespace quillfen {

DrawingListModel::DrawingListModel(QObject* parent) : QAbstractListModel(parent) {}

DrawingListModel::Change DrawingListModel::refresh(AppModel& model) {
    const auto& layout = LayoutCache::layout(model);
    std::vector<Row> rows;
    rows.reserve(model.drawings().size() + 4);
    const auto header = [&](const QString& title) {
        Row row;
        row.title = title;
        rows.push_back(std::move(row));
    };
    const auto add = [&](const Drawing& d) {
        const auto child = model.child(d.info.childID);
        auto [month, fresh] = m_months.try_emplace(d.info.date.secondsSinceReferenceDate());
        if (fresh) month->second = monthText(d.info.date);
        rows.push_back(Row{d.info.id, rowTitle(d.info), detailLine(month->second, child), d.thumb, d.busy,
                           d.info.featured, hasLowResolutionWarning(layout, d.info.id),
                           d.info.title.empty()});
    };

    const bool grouped = model.settings().order == BookOrder::byChild;
    std::optional<QString> section;
    for (const auto& d : model.bookDrawings()) {
        if (grouped) {
            const auto child = model.child(d.info.childID);
            const auto title = child ? QString::fromStdString(child->name) : QStringLiteral("No child chosen");
            if (section != title) header(title);
            section = title;
        }
        add(d);
    }
    const auto calendarOnly = model.calendarOnlyDrawings();
    if (!calendarOnly.empty()) header(tr("Calendar photos (not in the book)"));
    for (const auto& d : calendarOnly) add(d);

    const bool sameRows = std::equal(rows.begin(), rows.end(), m_rows.begin(), m_rows.end(),
                                     [](const Row& a, const Row& b) {
                                         return a.id == b.id && (a.id || a.title == b.title);
                                     });
    if (sameRows) {
        // Only the span of rows that differ, so that the view repaints (and the delegate rescales) no more.
        std::size_t first = 0, last = rows.size();
        while (first < last && rows[first] == m_rows[first]) ++first;
        while (last > first && rows[last - 1] == m_rows[last - 1]) --last;
        m_rows = std::move(rows);
        if (first == last) return Change::none;
        Q_EMIT dataChanged(index(static_cast<int>(first)), index(static_cast<int>(last - 1)));
        return Change::rows;
    }
    beginResetModel();
    m_rows = std::move(rows);
    endResetModel();
    return Change::reset;
}

QModelIndex DrawingListModel::indexOf(const UUID& id) const {
    const auto found = std::find_if(m_rows.begin(), m_rows.end(), [&](const Row& r) { return r.id == id; });
    return found == m_rows.end() ? QModelIndex() : index(static_cast<int>(found - m_rows.begin()));
}

std::optional<UUID> DrawingListModel::idAt(const QModelIndex& index) const {
    if (!index.isValid() || index.row() >= rowCount()) return std::nullopt;
    return m_rows[static_cast<std::size_t>(index.row())].id;
}

bool DrawingListModel::anyBusy() const {
    return std::any_of(m_rows.begin(), m_rows.end(), [](const Row& r) { return r.busy; });
}

int DrawingListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(m_rows.size());
}

QVariant DrawingListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount()) return {};
    const auto& row = m_rows[static_cast<std::size_t>(index.row())];
    switch (role) {
        case Qt::DisplayRole: return row.title;
        case Qt::AccessibleTextRole: {
            if (!row.id) return row.title;
            QStringList parts{row.title, row.detail};
            if (row.featured) parts << tr("Featured");
            if (row.lowResolution) parts << tr("Low resolution");
            return parts.join(QStringLiteral(", "));
        }
        case headerRole: return !row.id.has_value();
        case detailRole: return row.detail;
        case thumbRole: return row.thumb;
        case busyRole: return row.busy;
        case featuredRole: return row.featured;
        case lowResolutionRole: return row.lowResolution;
        case untitledRole: return row.untitled;
        default: return {};
    }
}

Qt::ItemFlags DrawingListModel::flags(const QModelIndex& index) const {
    if (!index.isValid()) return Qt::NoItemFlags;
    return data(index, headerRole).toBool() ? Qt::ItemIsEnabled : Qt::ItemIsEnabled | Qt::ItemIsSelectable;
}

}  // namespace quillfen
