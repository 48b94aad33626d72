#include "app/model/AppModel.h"

#include "app/model/FileReading.h"
#include "app/model/ImageConversion.h"
#include "app/model/SavedBook.h"
#include "app/model/detail/ProcessingState.h"
#include "app/model/detail/ThreadPriority.h"
#include "engine/cleanup/Cleaner.h"
#include "engine/cleanup/ImageIO.h"
#include "engine/cleanup/PaperDetection.h"

#include <QFileInfo>
#include <QSemaphore>

#include <algorithm>
#include <cmath>
#include <utility>

namespace quillfen {

namespace {

constexpr double workingSide = 1000;
constexpr double thumbnailSide = 700;

// A paper search holds a whole photo twice over for a moment (as decoded and in linear light while
// its working copy is scaled): one search per core raised an import's peak memory to 1.5 GB. The
// searches beyond this many wait; the other processing goes on.
QSemaphore& wholePictures() {
    static QSemaphore slots(4);
    return slots;
}

// Whether processing decodes the whole picture: for paper detection, and for every format but JPEG
// (only JPEG decodes at reduced size). Such a drawing costs several times a JPEG's working copy, so
// it is started first: left to the end of a launch, it would run alone while the other cores idle.
bool decodesWholePicture(const QString& path, bool detect) {
    return detect ||
           Cleaner::imageTypeForExtension(QFileInfo(path).suffix().toStdString()) != ImageType::jpeg;
}

bool sameCrop(const CleanupSettings& a, const CleanupSettings& b) {
    return a.crop == b.crop && a.autoCropped == b.autoCropped;
}

const QString unreadableMessage = QStringLiteral("Couldn't read one of the images.");
// The reason of an original that reads but does not decode (or gives no usable sizes).
const QString notAnImageReason = QStringLiteral("not an image Quillfen can read");

}  // namespace

void AppModel::process(UUID id, bool detect) {
    const auto index = m_processing->index.find(m_drawings, id);
    if (!index) return;
    const Drawing& found = m_drawings[*index];
    const QString path = originalPath(found);
    const CleanupSettings cleanup = found.info.cleanup;
    // The paper search of a processing this one replaces still decides the crop, unless the edit
    // since then set the crop itself: its result would be stale, so this one searches instead.
    const auto replaced = m_processing->newest.find(id);
    if (replaced != m_processing->newest.end() && replaced->second.detect &&
        sameCrop(replaced->second.cleanup, cleanup)) {
        detect = true;
    }
    const std::uint64_t ticket = ++m_processing->started;
    m_processing->newest[id] = {ticket, detect, cleanup};
    m_processingPool.start(
        [this, path, cleanup, detect, id, ticket] {
            // Quitting keeps only what the document stores: the crop a paper search finds and the size.
            const bool quitting = m_processing->quitting;
            if (quitting && !detect) return;
            runBelowTheWindow();
            const FileContent original = readOriginal(path);
            std::optional<Processed> result;
            if (original.failure == FileContent::Failure::none)
                result = makeProcessed(original.bytes, cleanup, detect, !quitting);
            QString failure = result ? QString() : original.reason;
            QMetaObject::invokeMethod(
                this,
                [this, result = std::move(result), id, ticket, cleanup, failure = std::move(failure)]() mutable {
                    arrive(std::move(result), id, ticket, cleanup, failure);
                },
                Qt::QueuedConnection);
        },
        decodesWholePicture(path, detect) ? 1 : 0);
}

std::optional<AppModel::Processed> AppModel::makeProcessed(const QByteArray& bytes, CleanupSettings cleanup,
                                                           bool detect, bool thumbnail) {
    const Cleaner::Bytes data(reinterpret_cast<const std::uint8_t*>(bytes.constData()),
                              static_cast<std::size_t>(bytes.size()));
    // Paper detection needs the whole picture, and the working copy is scaled from it; otherwise the
    // header gives the full size and only the working copy is decoded (at reduced size where the
    // format allows, and left as stored for the cleanup to stand upright). The file is decoded once
    // either way.
    std::optional<Size> fullSize;
    std::optional<Cleaner::SourcePicture> working;
    if (detect) {
        wholePictures().acquire();
        const QSemaphoreReleaser held(wholePictures());
        const auto full = Cleaner::decode(data);
        if (!full) return std::nullopt;
        fullSize = Size{static_cast<double>(full->width), static_cast<double>(full->height)};
        if (const auto quad = Cleaner::detectPaper(*full)) {
            cleanup.crop = quad;
            cleanup.autoCropped = true;
        }
        if (auto scaled = thumbnail ? Cleaner::downscaled(*full, workingSide) : std::nullopt)
            working = Cleaner::SourcePicture{std::move(*scaled)};
    } else {
        fullSize = Cleaner::imageSize(data);
        if (thumbnail) working = Cleaner::decodeSource(data, workingSide);
    }
    if (!fullSize) return std::nullopt;
    if (!thumbnail) return Processed{cleanup, Cleaner::outputSize(cleanup, *fullSize), QImage()};
    if (!working) return std::nullopt;
    const auto thumb = Cleaner::cleanedAtMost(cleanup, *working, thumbnailSide);
    return Processed{cleanup, Cleaner::outputSize(cleanup, *fullSize), thumb ? rgbImage(*thumb) : QImage()};
}

void AppModel::arrive(std::optional<Processed> result, const UUID& id, std::uint64_t ticket,
                      const CleanupSettings& started, const QString& failure) {
    auto& arrived = m_processing->arrived;
    // Results posted before the first one's pass of the event loop ends are stored together with it.
    if (arrived.empty()) QMetaObject::invokeMethod(this, &AppModel::applyArrived, Qt::QueuedConnection);
    arrived.push_back({std::move(result), id, ticket, started, failure});
}

void AppModel::applyArrived() {
    const auto arrived = std::exchange(m_processing->arrived, {});
    if (arrived.empty()) return;
    bool stored = false;
    int unreadable = 0;
    QString reason;
    for (const auto& [result, id, ticket, started, failure] : arrived) {
        const auto newest = m_processing->newest.find(id);
        if (newest == m_processing->newest.end() || newest->second.ticket != ticket) continue;
        m_processing->newest.erase(newest);
        const auto index = m_processing->index.find(m_drawings, id);
        if (!index) continue;
        Drawing& drawing = m_drawings[*index];
        // Settings changed since the task started, without a newer processing: they are newer than this.
        if (drawing.info.cleanup != started) continue;
        drawing.busy = false;
        stored = true;
        const bool usable = result && isFinite(result->cleanup) && std::isfinite(result->pixelSize.width) &&
                            std::isfinite(result->pixelSize.height);
        if (!usable) {
            if (unreadable++ == 0) reason = failure.isEmpty() ? notAnImageReason : failure;
            continue;
        }
        drawing.info.cleanup = result->cleanup;
        drawing.info.pixelSize = result->pixelSize;
        drawing.info.aspect =
            result->pixelSize.height > 0 ? result->pixelSize.width / result->pixelSize.height : 1.0;
        drawing.thumb = result->thumb;
    }
    if (stored) {  // stored in place: one change of the drawings for all of them
        Q_EMIT drawingsChanged();
        documentChanged();
    }
    if (unreadable > 0) reportUnreadable(unreadable, reason);
}

void AppModel::reportUnreadable(int count, const QString& reason) {
    // The count goes on while the message is shown; the reason stays the first one's.
    auto& shown = m_processing->unreadableShown;
    if (m_error != unreadableMessage) shown = {0, reason};
    shown.count += count;
    setError(unreadableMessage, QStringLiteral("%1 image%2 couldn't be read: %3.")
                                    .arg(shown.count)
                                    .arg(shown.count == 1 ? "" : "s")
                                    .arg(shown.reason));
}

}  // namespace quillfen
