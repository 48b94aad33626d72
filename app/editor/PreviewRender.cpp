#include "app/editor/PreviewRender.h"

#include "app/model/FileReading.h"
#include "app/model/ImageConversion.h"
#include "engine/cleanup/Cleaner.h"
#include "engine/cleanup/ImageIO.h"

namespace quillfen::PreviewRender {

std::optional<Photo> loadPhoto(const QString& path) {
    const FileContent original = readOriginal(path);
    if (original.failure != FileContent::Failure::none) return std::nullopt;
    const QByteArray& data = original.bytes;
    // The decoder snaps scaled sides that land within rounding of a whole pixel, so the limits hold.
    auto working = Cleaner::decode(
        {reinterpret_cast<const std::uint8_t*>(data.constData()), static_cast<std::size_t>(data.size())},
        workingSide);
    if (!working || working->isEmpty()) return std::nullopt;
    const auto before = Cleaner::downscaled(*working, previewSide);
    if (!before) return std::nullopt;
    return Photo{std::make_shared<const Bitmap>(std::move(*working)), rgbImage(*before)};
}

QImage renderAfter(const Bitmap& working, const CleanupSettings& cleanup) {
    const auto after = Cleaner::cleanedAtMost(cleanup, working, previewSide);
    return after ? rgbImage(*after) : QImage();
}

}  // namespace quillfen::PreviewRender
