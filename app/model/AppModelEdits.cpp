#include "app/model/AppModel.h"

#include "app/model/FileReading.h"
#include "app/model/SavedBook.h"
#include "app/model/detail/EditState.h"
#include "app/model/detail/ProcessingState.h"
#include "app/model/detail/ThreadPriority.h"
#include "engine/cleanup/ImageIO.h"
#include "engine/cleanup/PaperDetection.h"

#include <algorithm>

namespace quillfen {

namespace {

const QString noPaperMessage = QStringLiteral(
    "Couldn't find the paper's edges in this photo. Drag the corners by hand, or use the whole photo "
    "(best for flatbed scans).");

// A paper search's outcome: whether the original could be read and decoded, and the sheet found.
struct PaperSearch {
    bool readable = false;
    std::optional<Quad> quad;
};

// Reads and decodes the original as stored and looks for the sheet in it. Any thread.
PaperSearch searchPaper(const QString& path) {
    const FileContent original = readOriginal(path);
    if (original.failure != FileContent::Failure::none) return {};
    const QByteArray& data = original.bytes;
    const auto image = Cleaner::decode(
        {reinterpret_cast<const std::uint8_t*>(data.constData()), static_cast<std::size_t>(data.size())});
    if (!image) return {};
    return {true, Cleaner::detectPaper(*image)};
}

}  // namespace

void AppModel::update(UUID id, const std::function<void(DrawingInfo&)>& change) {
    const auto index = m_processing->index.find(m_drawings, id);
    if (!index) return;
    Drawing* const found = &m_drawings[*index];
    const CleanupSettings before = found->info.cleanup;
    DrawingInfo after = found->info;
    change(after);
    // A number that is not finite could never be saved: the edit is refused whole.
    if (!isFinite(after)) return;
    found->info = after;
    Q_EMIT drawingsChanged();
    documentChanged();
    if (after.childID) setLastChild(after.childID);
    if (after.cleanup != before) process(id, false);
}

void AppModel::rotateRight(UUID id) {
    update(id, [](DrawingInfo& info) { info.cleanup.quarterTurns = (info.cleanup.quarterTurns + 1) & 3; });
}

void AppModel::rotateLeft(UUID id) {
    update(id, [](DrawingInfo& info) { info.cleanup.quarterTurns = (info.cleanup.quarterTurns - 1) & 3; });
}

void AppModel::resetCleanup(UUID id) {
    update(id, [](DrawingInfo& info) {
        auto& cleanup = info.cleanup;
        if (!cleanup.autoCropped) cleanup.crop.reset();
        cleanup.quarterTurns = 0;
        cleanup.straighten = 0;
        cleanup.flatten = true;
        cleanup.whiten = 0.6;
    });
}

void AppModel::setCrop(UUID id, const Quad& quad, bool automatic) {
    update(id, [&](DrawingInfo& info) {
        info.cleanup.crop = quad;
        info.cleanup.autoCropped = automatic;
    });
}

void AppModel::setFlatten(UUID id, bool flatten) {
    update(id, [&](DrawingInfo& info) { info.cleanup.flatten = flatten; });
}

void AppModel::useWholePhoto(UUID id) {
    update(id, [](DrawingInfo& info) {
        info.cleanup.crop.reset();
        info.cleanup.autoCropped = false;
    });
}

void AppModel::findPaperEdgesAgain() {
    const auto drawing = selected();
    if (!drawing) return;
    const QString path = originalPath(*drawing);
    const UUID id = drawing->info.id;
    if (path.isEmpty()) return;
    ++m_edit->paperSearches;
    m_editorPool.start([this, path, id] {
        runBelowTheWindow();
        const PaperSearch found = searchPaper(path);
        QMetaObject::invokeMethod(
            this,
            [this, id, found] {
                --m_edit->paperSearches;
                if (!found.readable) return;
                if (found.quad) setCrop(id, *found.quad, true);
                else setError(noPaperMessage);
            },
            Qt::QueuedConnection);
    });
}

}  // namespace quillfen
