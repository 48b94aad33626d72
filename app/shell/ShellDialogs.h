#pragma once

#include "app/model/AppModel.h"

class QFileDialog;
class QMimeData;

namespace quillfen {

// The shell's answers to the model's questions: the open dialog for images and folders ("Add"), and the
// save dialog for PDF files; both run modal to `window` and return empty when cancelled. GUI thread.
ModelDialogs shellDialogs(QWidget* window);

// The photo dialog: several images from the Pictures folder. Window-modal to `window`, not yet open.
QFileDialog* makePhotoDialog(QWidget* window);

// What a drop hands to the model: each local file or folder on its own, otherwise the image bytes (PNG,
// JPEG, HEIC, HEIF or TIFF as given, or a plain image encoded as PNG). Anything else is skipped.
struct DroppedItems {
    QList<QUrl> files;
    QList<QByteArray> images;
};
DroppedItems droppedItems(const QMimeData& data);
// Whether a drag carries anything droppedItems would take.
bool acceptsDrop(const QMimeData& data);

}  // namespace quillfen
