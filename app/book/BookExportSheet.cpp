#include "app/book/BookExportSheet.h"

#include "engine/book/Paginator.h"

namespace quillfen {

BookExportSheet::BookExportSheet(AppModel& model, QWidget* parent)
    : ExportSheetFrame(model,
                       {tr("Export the Book"),
                        {ExportKind::print, ExportKind::home, ExportKind::cover},
                        tr("Every drawing prints at 300 dpi or more.")},
                       [&model] { return summary(model.layout(), model.settings(), model.exportKind()); }, parent) {
    refresh();
}

ExportSummary BookExportSheet::summary(const BookLayout& layout, const BookSettings& settings, ExportKind kind,
                                       const QLocale& locale) {
    const QString size = QString::fromUtf8(title(settings.size));
    QString description;
    switch (kind) {
    case ExportKind::print: {
        const Size media = layout.boxes().media.size;
        description = tr("%1 pages, %2, each with %3 bleed on every side (the page file is %4 × %5). "
                         "Drawings embedded at up to 360 dpi.")
                          .arg(QString::number(layout.pages.size()), size, inches(layout.spec.bleed, locale),
                               inches(media.width, locale), inches(media.height, locale));
        break;
    }
    case ExportKind::home:
        description = tr("%1 pages on letter paper, no bleed, lighter images (150 dpi). Print at 100% and cut "
                         "along the faint line, or just staple it.")
                          .arg(QString::number(layout.pages.size() - layout.addedPages()));
        break;
    case ExportKind::cover:
        description = tr("The front cover alone, %1 with bleed. Spine and back cover sizes depend on the printer "
                         "and page count; make those in the printer's own cover tool.")
                          .arg(size);
        break;
    }
    std::optional<QString> notice;
    if (kind != ExportKind::home)
        notice = tr("%1: %2").arg(QString::fromUtf8(title(settings.preset)), QString::fromUtf8(printPresetCaveat));
    // A cover-only file holds no inside page, and nothing of the page count.
    return {description, notice, kind == ExportKind::cover ? Paginator::coverWarnings(layout) : layout.warnings};
}

}  // namespace quillfen
