#pragma once

#include "app/widgets/ExportSheetFrame.h"

namespace quillfen {

// The book's export sheet: print-ready, home-print or cover-only PDF of the book, what that file holds
// and whether every drawing prints sharply. GUI thread only.
class BookExportSheet : public ExportSheetFrame {
    Q_OBJECT

public:
    explicit BookExportSheet(AppModel& model, QWidget* parent = nullptr);

    // What the file of `kind` holds for this layout and these settings, numbers written in `locale`.
    static ExportSummary summary(const BookLayout& layout, const BookSettings& settings, ExportKind kind,
                                 const QLocale& locale = QLocale());
};

}  // namespace quillfen
