#pragma once

#include "app/model/AppModel.h"

#include <QAbstractListModel>

#include <unordered_map>

namespace quillfen {

// The sidebar's drawing list as flat rows: the book's drawings in book order (under one header per run of
// a child's drawings when the book is ordered by child), then the calendar-only pictures under their own
// header. Rebuilt from the model on request; rows whose ids stay in place are updated without a reset, so
// the list keeps its scroll position while thumbnails arrive. GUI thread only.
class DrawingListModel : public QAbstractListModel {
    Q_OBJECT

public:
    enum Role {
        headerRole = Qt::UserRole + 1,  // bool: a section header, not a drawing
        detailRole,                     // QString: the row's detail line
        thumbRole,                      // QImage: the cleaned thumbnail, null while there is none
        busyRole,                       // bool
        featuredRole,                   // bool
        lowResolutionRole,              // bool
        untitledRole,                   // bool: the title is the "Untitled" fallback
    };

    explicit DrawingListModel(QObject* parent = nullptr);

    // What a refresh changed: nothing, rows in place, or the whole list (its scroll position is lost).
    enum class Change { none, rows, reset };
    // Reads the library again; only rows that differ are reported changed. The book's layout comes from
    // the per-revision cache.
    Change refresh(AppModel& model);
    // The row of a drawing, or an invalid index when the list does not hold it.
    QModelIndex indexOf(const UUID& id) const;
    std::optional<UUID> idAt(const QModelIndex& index) const;
    bool anyBusy() const;

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

private:
    struct Row {
        std::optional<UUID> id;  // none for a header
        QString title;
        QString detail;
        QImage thumb;
        bool busy = false;
        bool featured = false;
        bool lowResolution = false;
        bool untitled = false;

        // Thumbnails compare by identity: the same image is the same thumbnail.
        bool operator==(const Row& other) const {
            return id == other.id && title == other.title && detail == other.detail &&
                   thumb.cacheKey() == other.thumb.cacheKey() && busy == other.busy &&
                   featured == other.featured && lowResolution == other.lowResolution &&
                   untitled == other.untitled;
        }
    };

    std::vector<Row> m_rows;
    // Month texts by date: formatting one takes an ICU formatter, far too slow for every row at every
    // refresh.
    std::unordered_map<double, QString> m_months;
};

}  // namespace quillfen
