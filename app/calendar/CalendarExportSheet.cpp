#include "app/calendar/CalendarExportSheet.h"

namespace quillfen {

CalendarExportSheet::CalendarExportSheet(AppModel& model, QWidget* parent)
    : ExportSheetFrame(model,
                       {tr("Export the Calendar"),
                        {ExportKind::print, ExportKind::home},
                        tr("Every picture prints at 300 dpi or more.")},
                       [&model] { return summary(model.calendarLayout(), model.calendar(), model.exportKind()); },
                       parent) {
    if (model.exportKind() == ExportKind::cover) model.setExportKind(ExportKind::print);
    refresh();
}

ExportSummary CalendarExportSheet::summary(const CalendarLayout& layout, const CalendarSettings& settings,
                                           ExportKind kind, const QLocale& locale) {
    const QString pages = QString::number(layout.pages.size());
    if (kind == ExportKind::home) {
        return {tr("%1 pages on letter paper, no bleed, lighter images (150 dpi). Print at 100% and cut along "
                   "the faint line.")
                    .arg(pages),
                std::nullopt, layout.warnings};
    }
    const Size media = PageBoxes(layout.spec, layout.trimSize).media.size;
    return {tr("%1 pages, %2, %3 bleed on every side (the page file is %4 × %5). Pictures embedded at up to "
               "360 dpi.")
                .arg(pages, QString::fromUtf8(label(settings.format)), inches(layout.spec.bleed, locale),
                     inches(media.width, locale), inches(media.height, locale)),
            QString::fromUtf8(printPresetCaveat), layout.warnings};
}

}  // namespace quillfen
