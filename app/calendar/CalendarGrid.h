#pragma once

#include "app/model/AppModel.h"
#include "app/widgets/AccessibleGrid.h"
#include "app/widgets/PageCells.h"

#include <QImage>
#include <QWidget>

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

namespace quillfen {

// The calendar's pages as sheets (a picture page directly above its grid page) in adaptive columns,
// painted lazily: only the cells in view are painted and rendered. A cell's page is rendered off the
// GUI thread on the editor pool and applied only while its key is current; a cell scrolled out of view
// before its render began is never rendered, and pictures far out of view are dropped. Each page is one
// accessible element that reads its description and has no action. GUI thread only.
class CalendarGrid : public QWidget, public CellGrid {
    Q_OBJECT

public:
    CalendarGrid(AppModel& model, QWidget* parent);

    // One evaluation of the calendar: every cell takes the new layout, content and cell size, built from
    // the model at `revision`, which keys their renders; a page whose sheet changed starts white again.
    // Renders start with the next setViewport.
    void setCalendar(CalendarLayout layout, CalendarContent content, QSizeF cellSize, std::int64_t revision);
    // The part of the grid in view, in its own coordinates; cells entering it render.
    void setViewport(QRect visible);

    const std::vector<std::vector<int>>& sheets() const { return m_sheets; }
    // Where the cell of a page (0-based index into the layout's pages) lies; null when there is none.
    QRectF cellRect(int index) const;
    // The page indices whose cells intersect the viewport.
    std::vector<int> visiblePages() const;
    // The picture a cell shows (null: the white page) and the key it was rendered for.
    QImage image(int index) const;
    std::optional<PageKey> imageKey(int index) const;
    // The key of a picture of the page as the model stands now.
    PageKey currentKey(int index) const;
    // Renders that actually ran since the grid was made.
    int renderCount() const { return m_pictures.renderCount(); }
    const CalendarLayout& layout() const { return *m_layout; }

    // Cell i is the page at index i.
    int cellCount() const override { return static_cast<int>(m_layout->pages.size()); }
    QRectF cellArea(int cell) const override { return cellRect(cell); }
    QString cellText(int cell) const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void arrange();
    void requestRenders();
    void render(int index);
    PageKey key(int index, std::int64_t revision) const;
    QRectF sheetRect(std::size_t sheet) const;

    AppModel& m_model;
    std::shared_ptr<const CalendarLayout> m_layout;
    std::shared_ptr<const CalendarContent> m_content;
    QSizeF m_cellSize;
    std::int64_t m_revision = 0;  // the model's revision the layout and content were built from
    std::vector<std::vector<int>> m_sheets;
    std::vector<QPointF> m_sheetOrigins;  // top left of each sheet, from arrange()
    QRect m_viewport;
    PageRenders<QImage> m_pictures{this};  // slot: page index
};

}  // namespace quillfen
