#include "app/book/BookExportSheet.h"
#include "app/book/BookInspector.h"
#include "app/book/BookPreview.h"
#include "app/book/ChildrenSheet.h"

namespace quillfen {

QWidget* makeBookPreview(AppModel& model, QWidget* parent) { return new BookPreview(model, parent); }

QWidget* makeBookInspector(AppModel& model, QWidget* parent) { return new BookInspector(model, parent); }

QDialog* makeChildrenSheet(AppModel& model, QWidget* parent) { return new ChildrenSheet(model, parent); }

QDialog* makeExportSheet(AppModel& model, QWidget* parent) { return new BookExportSheet(model, parent); }

}  // namespace quillfen
