#pragma once

#include "app/model/AppModel.h"
#include "app/widgets/KeptScreen.h"

#include <QWidget>

#include <cstddef>
#include <vector>

class QCheckBox;
class QLabel;
class QScrollArea;
class QVBoxLayout;

namespace quillfen {

// How a preview keeps its page size: the slider's range in points and the setting behind it, read
// and written by the preview's own functions, which hold it to that range.
struct PreviewZoom {
    double minimum;
    double maximum;
    double (*stored)();
    double (*clamped)(double);
    void (*store)(double);
};

// What a preview's frame says and how much of the layout's warnings it lists.
struct PreviewFrameSetup {
    QString guidesTip;  // the switch's tooltip; %1 stands for its shortcut
    PreviewZoom zoom;
    std::size_t listedWarnings;  // the first warnings listed under the pages
    bool countsTheRest;          // whether a line says how many more there are
};

// The frame of a mode's centre pane: a summary, the trim-and-safe-lines switch bound to the model's
// showGuides and the page size slider above the scrolling page grid, and the first layout warnings
// below it. The derived preview fills the summary, warnings and grid from the model; the frame
// evaluates it once after each pass of changes (while set aside, once when set back) and tells the grid
// the part in view. GUI thread only.
class SpokenSlider;

class PreviewFrame : public QWidget, public KeptScreen {
    Q_OBJECT

public:
    QScrollArea& scrollArea() const { return *m_scroll; }
    QCheckBox& guidesBox() const { return *m_guides; }
    QString summary() const;
    double zoom() const { return m_zoom; }
    // Sets the page size as the slider does, storing it in the settings.
    void setZoom(double zoom);

protected:
    PreviewFrame(AppModel& model, const PreviewFrameSetup& setup, QWidget* parent);

    // Puts the page grid into the scroll area; called once by the derived constructor.
    void setGrid(QWidget* grid);
    // Shows the model afresh: the guides switch, the derived refresh() and the part of the grid in view.
    void evaluate();
    void setSummary(const QString& text);
    void showWarnings(const std::vector<LayoutWarning>& warnings);

    // The derived preview's share of an evaluation: the summary, the warnings and the grid's pages.
    virtual void refresh() = 0;
    // The part of the grid in view, in the grid's own coordinates.
    virtual void showViewport(QRect visible) = 0;

    void catchUp() override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;

    AppModel& m_model;

private:
    void scheduleEvaluation();
    void updateViewport();

    PreviewFrameSetup m_setup;
    double m_zoom;
    bool m_evaluationPending = false;
    bool m_changedAside = false;  // the model changed while the preview was set aside
    QLabel* m_summary;
    QCheckBox* m_guides;
    SpokenSlider* m_slider;
    QScrollArea* m_scroll;
    QWidget* m_warningsDivider;
    QWidget* m_warnings;
    QVBoxLayout* m_warningRows;
    std::vector<LayoutWarning> m_shownWarnings;
};

}  // namespace quillfen
