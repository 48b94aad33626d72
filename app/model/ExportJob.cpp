#include "app/model/ExportJob.h"

#include "app/model/FileReading.h"
#include "app/model/detail/ThreadPriority.h"

#include "engine/book/BookContent.h"
#include "engine/book/BookRenderer.h"
#include "engine/book/SlotGeometry.h"
#include "engine/calendar/CalendarContent.h"
#include "engine/calendar/CalendarRenderer.h"
#include "engine/cleanup/Cleaner.h"
#include "engine/cleanup/ImageIO.h"
#include "engine/render/HomeSheet.h"

#include <QFile>
#include <QFuture>
#include <QThread>
#include <QThreadPool>
#include <QtConcurrent/QtConcurrentRun>

#include <algorithm>
#include <cmath>
#include <deque>
#include <memory>
#include <unordered_set>

namespace quillfen {

namespace {

// The drawings the renderer will fail to find in its cache, in the order it asks for them: the asks
// walked through the cache's own rule (at most four kept; the fifth empties it).
std::vector<UUID> misses(const std::vector<UUID>& asks) {
    std::vector<UUID> result;
    std::unordered_set<UUID> kept;
    for (const auto& id : asks) {
        if (kept.contains(id)) continue;
        result.push_back(id);
        if (kept.size() > 3) kept.clear();
        kept.insert(id);
    }
    return result;
}

// The export's image source over one run: prepares each drawing from its original and keeps the
// last four results. With more than one worker it prepares the drawings the renderer will ask for
// next on its own pool, at most `workers` ahead, so memory stays flat however long the book. Used
// on the rendering thread only.
class ImageProvider {
public:
    ImageProvider(std::unordered_map<UUID, DrawingInfo> infos, const OriginalFiles& files,
                  std::unordered_map<UUID, Size> placed, double slotScale, ExportImages::Quality quality,
                  std::vector<UUID> asks, int workers)
        : m_infos(std::move(infos)),
          m_files(files),
          m_placed(std::move(placed)),
          m_slotScale(slotScale),
          m_quality(quality),
          m_order(misses(asks)),
          m_ahead(workers > 1 ? workers : 0) {
        m_pool.setMaxThreadCount(std::max(workers, 1));
        topUp();
    }

    ~ImageProvider() {
        m_pool.clear();
        m_pool.waitForDone();
    }

    std::optional<PageImage> image(const UUID& id) {
        if (const auto cached = m_last.find(id); cached != m_last.end()) return cached->second;
        std::optional<PageImage> result;
        if (!m_pending.empty() && m_pending.front().first == id) {
            result = m_pending.front().second.result();
            m_pending.pop_front();
        } else {
            result = prepare(id);
        }
        topUp();
        if (m_last.size() > 3) m_last.clear();
        m_last.emplace(id, result);
        return result;
    }

private:
    std::optional<PageImage> prepare(const UUID& id) const {
        const auto info = m_infos.find(id);
        const auto file = m_files.find(id);
        if (info == m_infos.end() || file == m_files.end()) return std::nullopt;
        const auto placed = m_placed.find(id);
        const Size slot = placed != m_placed.end() ? placed->second : ExportImages::defaultSlot;
        return ExportImages::prepare(file->second, info->second.cleanup,
                                     {slot.width * m_slotScale, slot.height * m_slotScale}, m_quality);
    }

    void topUp() {
        while (m_pending.size() < m_ahead && m_next < m_order.size()) {
            const UUID id = m_order[m_next++];
            m_pending.emplace_back(id, QtConcurrent::run(&m_pool, belowTheWindow([this, id] { return prepare(id); })));
        }
    }

    const std::unordered_map<UUID, DrawingInfo> m_infos;
    const OriginalFiles& m_files;
    const std::unordered_map<UUID, Size> m_placed;
    const double m_slotScale;
    const ExportImages::Quality m_quality;
    const std::vector<UUID> m_order;
    const std::size_t m_ahead;
    std::size_t m_next = 0;
    std::deque<std::pair<UUID, QFuture<std::optional<PageImage>>>> m_pending;
    std::unordered_map<UUID, std::optional<PageImage>> m_last;  // failures count too: never retried
    QThreadPool m_pool;
};

std::unordered_map<UUID, DrawingInfo> byID(const std::vector<DrawingInfo>& infos) {
    std::unordered_map<UUID, DrawingInfo> map;
    for (const auto& info : infos) map.emplace(info.id, info);
    return map;
}

// Home sheets scale each page to fill the sheet; pictures are sized for the size they print at.
double slotScale(ExportKind kind, Size trim) {
    if (kind != ExportKind::home || !(trim.width > 0)) return 1;
    return BookRenderer::homeSheet(trim.width, trim.height).page.width() / trim.width;
}

// The drawings the book's renderer asks for, in order: the cover picture, then each page's slots.
std::vector<UUID> bookAsks(const BookLayout& layout, const BookContent& content, ExportKind kind) {
    std::vector<UUID> asks;
    const auto cover = [&] {
        const auto id = content.coverDrawing();
        if (!id) return;
        const Rect picture = Paginator::coverPictureRect(layout.trimSize.width, layout.trimSize.height,
                                                         layout.spec.safe, content.drawings.at(*id).aspect);
        if (!picture.isEmpty()) asks.push_back(*id);
    };
    if (kind == ExportKind::cover) {
        cover();
        return asks;
    }
    for (const auto& page : layout.pages) {
        if (std::holds_alternative<CoverPage>(page.content)) cover();
        for (const auto& slot : page.slots) {
            if (content.drawings.contains(slot.drawing)) asks.push_back(slot.drawing);
        }
    }
    return asks;
}

std::vector<UUID> calendarAsks(const CalendarLayout& layout, const CalendarSettings& settings) {
    std::vector<UUID> asks;
    for (const auto& page : layout.pages) {
        if (!page.picture) continue;
        if (const auto id = settings.pictureID(page.content)) asks.push_back(*id);
    }
    return asks;
}

}  // namespace

int exportWorkers() {
    return std::clamp(QThread::idealThreadCount(), 1, 4);
}

ExportImages::Quality ExportImages::quality(ExportKind kind) {
    return kind == ExportKind::home ? Quality{150, 0.8} : Quality{360, 0.92};
}

std::optional<PageImage> ExportImages::prepare(const std::filesystem::path& original,
                                               const CleanupSettings& cleanup, Size slot, Quality quality) {
    if (!(slot.width > 0 && slot.height > 0 && std::isfinite(slot.width) && std::isfinite(slot.height))) {
        return std::nullopt;
    }
    const FileContent read = readOriginal(QFile::decodeName(original.c_str()));
    if (read.failure != FileContent::Failure::none) return std::nullopt;
    const auto source = Cleaner::decodeSource(
        {reinterpret_cast<const std::uint8_t*>(read.bytes.constData()), static_cast<std::size_t>(read.bytes.size())});
    if (!source) return std::nullopt;
    // Left as stored: the cleanup stands it upright within its own warps.
    const Size size = Cleaner::outputSize(cleanup, *source);
    const auto scaled =
        Cleaner::cleanedAtMost(cleanup, *source, BookRenderer::targetLongSide(slot, size, quality.dpi));
    if (!scaled) return std::nullopt;
    auto jpeg = Cleaner::jpegData(*scaled, quality.jpeg);
    if (!jpeg) return std::nullopt;
    return PageImage::fromJpeg(std::move(*jpeg));
}

bool ExportJob::run(const PageProgress& progress, int workers) const {
    const auto infosByID = byID(infos);
    const BookContent plain = BookContent::make(settings, children, infos, {});
    auto placed = BookRenderer::placedSizes(layout, plain);
    auto provider = std::make_shared<ImageProvider>(
        infosByID, files, std::unordered_map<UUID, Size>(placed.begin(), placed.end()),
        slotScale(kind, layout.trimSize), ExportImages::quality(kind), bookAsks(layout, plain, kind),
        workers);
    const BookContent content =
        BookContent::make(settings, children, infos, [provider](const UUID& id) { return provider->image(id); });
    switch (kind) {
        case ExportKind::print: return BookRenderer::printPDF(layout, content, url, progress);
        case ExportKind::home: return BookRenderer::homePrintPDF(layout, content, url, progress);
        case ExportKind::cover: {
            const bool written = BookRenderer::coverPDF(layout, content, url);
            if (progress) progress(1, 1);
            return written;
        }
    }
    return false;
}

bool CalendarExportJob::run(const PageProgress& progress, int workers) const {
    auto infosByID = byID(infos);
    auto placed = CalendarRenderer::placedSizes(layout, settings, infosByID);
    auto provider = std::make_shared<ImageProvider>(std::move(infosByID), files, std::move(placed),
                                                    slotScale(kind, layout.trimSize),
                                                    ExportImages::quality(kind), calendarAsks(layout, settings),
                                                    workers);
    const CalendarContent content = CalendarContent::make(
        settings, children, infos, [provider](const UUID& id) { return provider->image(id); });
    if (kind == ExportKind::home) return CalendarRenderer::homePrintPDF(layout, content, url, progress);
    return CalendarRenderer::printPDF(layout, content, url, progress);
}

}  // namespace quillfen
