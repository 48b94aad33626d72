#include "app/book/BookPreview.h"

#include "app/book/BookPages.h"
#include "app/book/PageGrid.h"

#include <QScrollArea>

namespace quillfen {

BookPreview::BookPreview(AppModel& model, QWidget* parent)
    : PreviewFrame(model,
                   {.guidesTip = tr("Red: where the page is cut. Blue: keep drawings and words inside (%1). "
                                    "Not printed."),
                    .zoom = {BookPages::minimumZoom, BookPages::maximumZoom, BookPages::storedZoom,
                             BookPages::clampedZoom, BookPages::storeZoom},
                    .listedWarnings = 4,
                    .countsTheRest = true},
                   parent),
      m_grid(new PageGrid(model, &scrollArea())) {
    setGrid(m_grid);
    evaluate();
}

void BookPreview::refresh() {
    auto layout = m_model.layout();
    auto content = m_model.bookContent();
    setSummary(BookPages::pageCountSummary(layout, m_model.settings().preset));
    showWarnings(layout.warnings);
    const QSizeF cell = BookPages::cellSize(layout, zoom());
    m_grid->setBook(std::move(layout), std::move(content), cell, m_model.revision());
}

void BookPreview::showViewport(QRect visible) { m_grid->setViewport(visible); }

}  // namespace quillfen
