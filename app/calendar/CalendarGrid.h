#pragma once

#include "app/model/AppModel.h"
#include "app/model/KeyedJob.h"

#include <QImage>
#include <QWidget>

#include <atomic>
#include <memory>
#include <optional>
#include <vector>

namespace quillfen {

// The identity of one calendar page render: a new render starts whenever any field changes.
struct CalendarPageKey {
    std::int64_t revision = 0;
    bool guides = false;
    int number = 0;
    int width = 0;  // the cell width in whole points, truncated

    bool operator==(const CalendarPageKey&) const = default;
};

// The calendar's pages as sheets (a picture page directly above its grid page) in adaptive columns,
// painted lazily: only the cells in view are painted and rendered. A cell's page is rendered off the
// GUI thread on the editor pool and applied only while its key is current; a cell scrolled out of view
// before its render began is never rendered, and pictures far out of view are dropped. GUI thread only.
class CalendarGrid : public QWidget {
    Q_OBJECT

public:
    CalendarGrid(AppModel& model, QWidget* parent);

    // One evaluation of the calendar: every cell takes the new layout, content and cell size; a page
    // whose sheet changed starts white again. Renders start with the next setViewport.
    void setCalendar(CalendarLayout layout, CalendarContent content, QSizeF cellSize);
    // The part of the grid in view, in its own coordinates; cells entering it render.
    void setViewport(QRect visible);

    const std::vector<std::vector<int>>& sheets() const { return m_sheets; }
    // Where the cell of a page (0-based index into the layout's pages) lies; null when there is none.
    QRectF cellRect(int index) const;
    // The page indices whose cells intersect the viewport.
    std::vector<int> visiblePages() const;
    // The picture a cell shows (null: the white page) and the key it was rendered for.
    QImage image(int index) const;
    std::optional<CalendarPageKey> imageKey(int index) const;
    // The key a render of the page would carry now.
    CalendarPageKey currentKey(int index) const;
    // Renders that actually ran since the grid was made.
    int renderCount() const { return m_renders->load(); }
    const CalendarLayout& layout() const { return *m_layout; }

Q_SIGNALS:
    // A render's result reached a cell.
    void pageShown(int index);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    using Render = std::optional<QImage>;
    struct Cell {
        explicit Cell(QObject* owner) : job(owner) {}
        KeyedJob<CalendarPageKey, Render> job;
        std::shared_ptr<std::atomic<bool>> wanted;  // false once the render is no longer needed
        QImage image;
        std::optional<CalendarPageKey> imageKey;
    };

    Cell& cell(int index);
    void forget(Cell& cell, bool dropImage);
    void arrange();
    void requestRenders();
    void render(int index);
    QRectF sheetRect(std::size_t sheet) const;

    AppModel& m_model;
    std::shared_ptr<const CalendarLayout> m_layout;
    std::shared_ptr<const CalendarContent> m_content;
    QSizeF m_cellSize;
    std::vector<std::vector<int>> m_sheets;
    std::vector<QPointF> m_sheetOrigins;  // top left of each sheet, from arrange()
    QRect m_viewport;
    // Kept for the grid's life: a pending render refers to its cell's job slot.
    std::vector<std::unique_ptr<Cell>> m_cells;
    std::shared_ptr<std::atomic<int>> m_renders = std::make_shared<std::atomic<int>>(0);
};

}  // namespace quillfen
