#pragma once

#include "app/widgets/PreviewFrame.h"

namespace quillfen {

class CalendarGrid;

// The calendar mode's centre pane: the months covered and the page count, the trim-and-safe-lines
// switch and the page size slider over the calendar's sheets, and the first three layout warnings.
// The zoom is the "calendarZoom" setting. GUI thread only.
class CalendarPreview : public PreviewFrame {
    Q_OBJECT

public:
    CalendarPreview(AppModel& model, QWidget* parent);

    CalendarGrid& grid() const { return *m_grid; }

protected:
    void refresh() override;
    void showViewport(QRect visible) override;

private:
    CalendarGrid* m_grid;
};

}  // namespace quillfen
