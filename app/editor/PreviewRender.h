#pragma once

#include "engine/core/Bitmap.h"
#include "engine/library/CleanupRecords.h"

#include <QImage>
#include <QString>

#include <memory>
#include <optional>

namespace quillfen::PreviewRender {

// The drawing editor's two preview renders from an original file. Pure engine work on copies; any
// thread, any number at once.

// Long side of the before and after previews, and of the working copy the cleanup runs on.
inline constexpr double previewSide = 1400;
inline constexpr double workingSide = 1600;

// A photo as the editor keeps it while it is on screen: the decoded working copy (upright, at most
// workingSide pixels on its long side) and the before preview made from it.
struct Photo {
    std::shared_ptr<const Bitmap> working;
    QImage before;
};

// Reads and decodes the original; nothing when it is missing, unreadable or not an image.
std::optional<Photo> loadPhoto(const QString& path);
// The after preview of a working copy: cleaned with the settings, at most previewSide pixels on its
// long side; null when the cleaned picture is empty.
QImage renderAfter(const Bitmap& working, const CleanupSettings& cleanup);

}  // namespace quillfen::PreviewRender
