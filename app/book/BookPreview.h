#pragma once

#include "app/model/AppModel.h"

#include <QWidget>

class QCheckBox;
class QLabel;
class QScrollArea;
class QSlider;
class QVBoxLayout;

namespace quillfen {

class PageGrid;

// The book mode's centre pane: the page-count summary, the trim-and-safe-lines switch and the page
// size slider over the book's spreads, and the first layout warnings below them. Everything shown is
// evaluated afresh from the model after each change; the zoom is the "pageZoom" setting. GUI thread.
class BookPreview : public QWidget {
    Q_OBJECT

public:
    BookPreview(AppModel& model, QWidget* parent);

    PageGrid& grid() const { return *m_grid; }
    QScrollArea& scrollArea() const { return *m_scroll; }
    QString summary() const;
    double zoom() const { return m_zoom; }
    // Sets the page size as the slider does, storing it in the settings.
    void setZoom(double zoom);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void scheduleEvaluation();
    void evaluate();
    void showWarnings(const std::vector<LayoutWarning>& warnings);
    void updateViewport();

    AppModel& m_model;
    double m_zoom;
    bool m_evaluationPending = false;
    QLabel* m_summary;
    QCheckBox* m_guides;
    QSlider* m_slider;
    QScrollArea* m_scroll;
    PageGrid* m_grid;
    QWidget* m_warningsDivider;
    QWidget* m_warnings;
    QVBoxLayout* m_warningRows;
    std::vector<LayoutWarning> m_shownWarnings;
};

}  // namespace quillfen
