#include "app/model/AppModel.h"

#include "app/model/detail/ExportState.h"

namespace quillfen {

void AppModel::requestExport(ExportKind) {}
void AppModel::runExport(ExportKind) {}
void AppModel::runCalendarExport(ExportKind) {}
void AppModel::reportExportProgress(int, int) {}
void AppModel::exportFinished(bool, const QUrl&) {}

}  // namespace quillfen
