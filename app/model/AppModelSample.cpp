#include "app/model/AppModel.h"

#include "app/model/detail/ExportState.h"
#include "engine/cleanup/ImageIO.h"
#include "engine/sample/SampleArt.h"

#include <unicode/gregocal.h>

#include <atomic>
#include <memory>

namespace quillfen {

namespace {

// Noon of that day in ICU's default time zone; now when the calendar gives no date.
Date localNoon(int year, int month, int day) {
    UErrorCode status = U_ZERO_ERROR;
    icu::GregorianCalendar calendar(status);
    if (U_FAILURE(status)) return Date::now();
    calendar.clear();
    calendar.set(year, month - 1, day, 12, 0, 0);
    const UDate time = calendar.getTime(status);
    return U_FAILURE(status) ? Date::now() : Date::fromIcuMilliseconds(time);
}

bool isTall(SampleArt::Kind kind) {
    using enum SampleArt::Kind;
    return kind == rocket || kind == flower || kind == tree || kind == snowman || kind == butterfly;
}

// The sample drawings as JPEG files, one per item in item order; a picture that cannot be encoded is
// empty. Stops early, with fewer pictures, once `stop` is set. Engine only, any thread.
std::vector<QByteArray> samplePictures(const std::atomic<bool>& stop) {
    std::vector<QByteArray> pictures;
    const auto& items = SampleArt::items();
    for (std::size_t i = 0; i < items.size() && !stop; ++i) {
        const auto& item = items[i];
        const bool tall = isTall(item.kind);
        Bitmap image = SampleArt::image(item.kind, static_cast<std::int64_t>(i + 1), tall ? 2550 : 3300,
                                        tall ? 3300 : 2550);
        if (item.photographed) {
            image = SampleArt::photographed(image, SampleArt::photoQuad(), true, tall ? 2250 : 3000,
                                            tall ? 3000 : 2250);
        }
        const auto jpeg = Cleaner::jpegData(image, 0.9);
        pictures.push_back(jpeg ? QByteArray(reinterpret_cast<const char*>(jpeg->data()),
                                             static_cast<qsizetype>(jpeg->size()))
                                : QByteArray());
    }
    return pictures;
}

}  // namespace

void AppModel::loadSampleBook(bool inlineRendering) {
    if (inlineRendering) {
        addSampleBook(samplePictures(std::atomic<bool>(false)));
        return;
    }
    // The children, texts and drawings are added together once the pictures are drawn, so that the
    // book never holds half a sample; a new book or quitting meanwhile drops it whole.
    auto dropped = std::make_shared<std::atomic<bool>>(false);
    m_export->sampleDropped = dropped;
    setImporting(m_importing + 1);
    m_export->samplePool.start([this, dropped] {
        auto pictures = samplePictures(*dropped);
        QMetaObject::invokeMethod(
            this,
            [this, pictures = std::move(pictures), dropped] {
                if (!*dropped) addSampleBook(pictures);
                setImporting(m_importing - 1);
            },
            Qt::QueuedConnection);
    });
}

void AppModel::dropSampleBook() {
    if (m_export->sampleDropped) *m_export->sampleDropped = true;
}

void AppModel::addSampleBook(const std::vector<QByteArray>& pictures) {
    const Child first{UUID::random(), "Zizu", localNoon(2021, 3, 14),
                      "Zizu loves purple, rockets and drawing everyone she knows."};
    const Child second{UUID::random(), "Roz", localNoon(2022, 8, 2),
                       "Roz draws dinosaurs, cars and the cat. Mostly the cat."};
    auto children = m_children;
    children.push_back(first);
    children.push_back(second);
    setChildren(std::move(children));
    auto settings = m_settings;
    settings.title = "Our Art, 2026";
    setSettings(settings);
    settings.subtitle = "by Zizu and Roz";
    setSettings(settings);
    settings.dedication = "For Grandma and Grandpa, with love";
    setSettings(settings);
    addSampleDrawings(pictures, first.id, second.id);
}

void AppModel::addSampleDrawings(const std::vector<QByteArray>& pictures, const UUID& first,
                                 const UUID& second) {
    const auto& items = SampleArt::items();
    for (std::size_t i = 0; i < std::min(items.size(), pictures.size()); ++i) {
        ImageOptions options;
        options.title = QString::fromStdString(items[i].title);
        options.child = items[i].child == 0 ? first : second;
        options.date = localNoon(2026, items[i].month, static_cast<int>(i) + 3);
        addImage(pictures[i], options);
    }
    const auto book = bookDrawings();
    setSelectedID(book.empty() ? std::nullopt : std::optional<UUID>(book.front().info.id));
}

}  // namespace quillfen
