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

// The identity of one page render: a new render starts whenever any field changes.
struct PageKey {
    std::int64_t revision = 0;
    bool guides = false;
    int number = 0;
    int width = 0;  // the cell width in whole points

    bool operator==(const PageKey&) const = default;
};

// The book's pages as two-page spreads, painted lazily: only the cells in view are painted and
// rendered. A cell's picture is rendered off the GUI thread on the editor pool and applied only while
// its key is current; a cell scrolled out of view before its render began is never rendered, and
// pictures of cells far out of view are dropped. GUI thread only.
class PageGrid : public QWidget {
    Q_OBJECT

public:
    PageGrid(AppModel& model, QWidget* parent);

    // One evaluation of the book: every cell takes the new layout, content and cell size. Renders start
    // with the next setViewport, once the grid has its new geometry.
    void setBook(BookLayout layout, BookContent content, QSizeF cellSize);
    // The part of the grid in view, in its own coordinates; cells in it render once the event loop
    // has handled the changes pending now.
    void setViewport(QRect visible);

    // Where a page cell lies in the grid; the null rectangle for a number not in the book.
    QRectF cellRect(int number) const;
    // The page under a point, if any.
    std::optional<int> pageAt(QPointF point) const;
    // The page numbers whose cells intersect the viewport.
    std::vector<int> visiblePages() const;
    // The picture a cell shows (null: the white page) and the key it was rendered for.
    QImage image(int number) const;
    std::optional<PageKey> imageKey(int number) const;
    // Renders that actually ran since the grid was made.
    int renderCount() const { return m_renders->load(); }
    const BookLayout& layout() const { return *m_layout; }

Q_SIGNALS:
    // A render's result reached a cell.
    void pageShown(int number);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    // A page at two pixels per point, and a copy at the screen's pixel size that paints unscaled.
    struct Picture {
        QImage image;
        QImage shown;
    };
    using Render = std::optional<Picture>;
    struct Cell {
        explicit Cell(QObject* owner) : job(owner) {}
        KeyedJob<PageKey, Render> job;
        std::shared_ptr<std::atomic<bool>> wanted;  // false once the render is no longer needed
        Picture picture;
        std::optional<PageKey> imageKey;
    };

    Cell& cell(int number);
    void render(int number);
    void forget(Cell& cell, bool dropImage);
    void requestRenders();
    double rowHeight() const;
    double captionHeight() const;

    AppModel& m_model;
    std::shared_ptr<const BookLayout> m_layout;
    std::shared_ptr<const BookContent> m_content;
    QSizeF m_cellSize;
    std::vector<std::vector<int>> m_spreads;
    QRect m_viewport;
    bool m_rendersPending = false;
    // Kept for the grid's life: a pending render refers to its cell's job slot.
    std::vector<std::unique_ptr<Cell>> m_cells;
    std::shared_ptr<std::atomic<int>> m_renders = std::make_shared<std::atomic<int>>(0);
};

}  // namespace quillfen
