#include "app/shell/Placeholders.h"

namespace quillfen {

QWidget* makeBookPreview(AppModel&, QWidget* parent) {
    return new PlaceholderScreen(QObject::tr("Book preview"), parent);
}

QWidget* makeBookInspector(AppModel&, QWidget* parent) {
    return new PlaceholderScreen(QObject::tr("Book settings"), parent);
}

QDialog* makeChildrenSheet(AppModel&, QWidget* parent) { return placeholderSheet(QObject::tr("Children"), parent); }

QDialog* makeExportSheet(AppModel&, QWidget* parent) { return placeholderSheet(QObject::tr("Export"), parent); }

}  // namespace quillfen
