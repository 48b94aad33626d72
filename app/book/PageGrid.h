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

// The book's pages as two-page spreads, painted lazily: only the cells in view are painted and
// rendered. A cell's picture is rendered off the GUI thread on the editor pool and applied only while
// its key is current; a cell scrolled out of view before its render began is never rendered, and
// pictures of cells far out of view are dropped. Each page is one accessible button whose default
// action opens the page's first drawing. GUI thread only.
class PageGrid : public QWidget, public CellGrid {
    Q_OBJECT

public:
    PageGrid(AppModel& model, QWidget* parent);

    // One evaluation of the book: every cell takes the new layout, content and cell size, built from
    // the model at `revision`, which keys their renders. Renders start with the next setViewport, once
    // the grid has its new geometry.
    void setBook(BookLayout layout, BookContent content, QSizeF cellSize, std::int64_t revision);
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
    int renderCount() const { return m_pictures.renderCount(); }
    const BookLayout& layout() const { return *m_layout; }

    // Cell i is page i + 1.
    int cellCount() const override { return static_cast<int>(m_layout->pages.size()); }
    QRectF cellArea(int cell) const override { return cellRect(cell + 1); }
    QString cellText(int cell) const override;
    bool cellsHaveAction() const override { return true; }
    void runCellAction(int cell) override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    // A page at two pixels per point, and a copy at the screen's pixel size that paints unscaled.
    struct Picture {
        QImage image;
        QImage shown;
    };

    void render(int number);
    void requestRenders();
    double rowHeight() const;
    double captionHeight() const;

    AppModel& m_model;
    std::shared_ptr<const BookLayout> m_layout;
    std::shared_ptr<const BookContent> m_content;
    QSizeF m_cellSize;
    std::int64_t m_revision = 0;  // the model's revision the layout and content were built from
    std::vector<std::vector<int>> m_spreads;
    QRect m_viewport;
    bool m_rendersPending = false;
    PageRenders<Picture> m_pictures{this};  // slot number − 1
};

}  // namespace quillfen
