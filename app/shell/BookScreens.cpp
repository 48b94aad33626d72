#include "app/book/BookInspector.h"
#include "app/book/BookPreview.h"
#include "app/book/ChildrenSheet.h"
#include "app/shell/Placeholders.h"

namespace quillfen {

QWidget* makeBookPreview(AppModel& model, QWidget* parent) { return new BookPreview(model, parent); }

QWidget* makeBookInspector(AppModel& model, QWidget* parent) { return new BookInspector(model, parent); }

QDialog* makeChildrenSheet(AppModel& model, QWidget* parent) { return new ChildrenSheet(model, parent); }

QDialog* makeExportSheet(AppModel&, QWidget* parent) { return placeholderSheet(QObject::tr("Export"), parent); }

}  // namespace quillfen
