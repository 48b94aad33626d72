#pragma once

#include "app/widgets/ExportSheetFrame.h"

namespace quillfen {

// The calendar's export sheet: print-ready or home-print PDF of the calendar, what that file holds and
// whether every month's picture prints sharply. A cover kind becomes print when the sheet comes up.
// GUI thread only.
class CalendarExportSheet : public ExportSheetFrame {
    Q_OBJECT

public:
    explicit CalendarExportSheet(AppModel& model, QWidget* parent = nullptr);

    // What the file of `kind` holds for this layout and these settings, numbers written in `locale`.
    static ExportSummary summary(const CalendarLayout& layout, const CalendarSettings& settings, ExportKind kind,
                                 const QLocale& locale = QLocale());
};

}  // namespace quillfen
