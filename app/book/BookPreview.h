#pragma once

#include "app/widgets/PreviewFrame.h"

namespace quillfen {

class PageGrid;

// The book mode's centre pane: the page-count summary, the trim-and-safe-lines switch and the page
// size slider over the book's spreads, and the first four layout warnings with a count of the rest.
// The zoom is the "pageZoom" setting. GUI thread only.
class BookPreview : public PreviewFrame {
    Q_OBJECT

public:
    BookPreview(AppModel& model, QWidget* parent);

    PageGrid& grid() const { return *m_grid; }

protected:
    void refresh() override;
    void showViewport(QRect visible) override;

private:
    PageGrid* m_grid;
};

}  // namespace quillfen
