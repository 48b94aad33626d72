#include "app/model/AppModel.h"

#include "app/model/FileReading.h"
#include "app/model/FileWriting.h"
#include "app/model/OriginalsFolder.h"
#include "app/model/detail/ImportState.h"
#include "app/model/detail/ThreadPriority.h"
#include "engine/cleanup/ImageIO.h"

#include <QCollator>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QSet>

#include <algorithm>

namespace quillfen {

namespace {

const QString noImagesMessage =
    QStringLiteral("No images found there. Quillfen adds photos and scans (JPEG, HEIC, PNG, TIFF).");
const QString notAnImageMessage = QStringLiteral("That file isn't an image Quillfen can read.");
const QString copyFailedMessage = QStringLiteral("Couldn't copy the image into Quillfen's folder: ");
const QString photoUnreadableMessage = QStringLiteral("One of the photos couldn't be read.");

// The readability check decodes at this size: the decoder still parses the whole file (so truncated
// and hostile data is refused) but JPEG files decode at a fraction of their pixels.
constexpr double checkSide = 256;

Cleaner::Bytes bytesOf(const QByteArray& data) {
    return {reinterpret_cast<const std::uint8_t*>(data.constData()), static_cast<std::size_t>(data.size())};
}

bool hasImageExtension(const QString& path) {
    return Cleaner::imageTypeForExtension(QFileInfo(path).suffix().toStdString()).has_value();
}

// The file manager's order: case-insensitive, numbers compared by value, in the user's language
// (English rules when the locale is C, whose collation knows no numbers).
QCollator naturalOrder() {
    QLocale locale;
    if (locale.language() == QLocale::C) locale = QLocale(QLocale::English, QLocale::UnitedStates);
    QCollator collator(locale);
    collator.setNumericMode(true);
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    return collator;
}

// The files to read, each once: a folder dropped with files from inside it, or a link beside its
// target, names one file twice. The first naming keeps its place.
std::vector<importing::Source> eachFileOnce(const QList<QUrl>& files) {
    std::vector<importing::Source> sources;
    QSet<QString> seen;
    for (const auto& file : files) {
        const QString path = file.toLocalFile();
        const QString canonical = QFileInfo(path).canonicalFilePath();  // empty for a missing file
        if (!canonical.isEmpty()) {
            if (seen.contains(canonical)) continue;
            seen.insert(canonical);
        }
        sources.push_back({path, {}});
    }
    return sources;
}

QString failureCountMessage(int count) {
    return QStringLiteral("%1 file%2 couldn't be read.").arg(count).arg(count == 1 ? "" : "s");
}

// Which files a failure message is about: the first few names, then how many more; empty for none.
QString fileNames(const QStringList& names) {
    constexpr qsizetype shown = 3;
    QStringList quoted;
    for (const QString& name : names.first(std::min(shown, names.size()))) quoted << u'“' + name + u'”';
    QString text = quoted.join(QStringLiteral(", "));
    if (names.size() > shown) text += QStringLiteral(" and %1 more").arg(names.size() - shown);
    return text.isEmpty() ? text : text + u'.';
}

}  // namespace

namespace importing {

Prepared prepare(const Source& source, const QString& originalsFolder, bool readPhotoDate) {
    QByteArray read;
    std::optional<Date> fileDate;
    if (!source.path.isEmpty()) {
        auto file = readImageFile(source.path);
        switch (file.failure) {
            case FileContent::Failure::none: break;
            case FileContent::Failure::notAnImageFile: return {std::nullopt, Failure::notAnImage, {}};
            case FileContent::Failure::unopened:
            case FileContent::Failure::unread: return {std::nullopt, Failure::unreadableFile, {}};
        }
        read = std::move(file.bytes);
        fileDate = file.modified;
    }
    const QByteArray& data = source.path.isEmpty() ? source.data : read;
    const auto bytes = bytesOf(data);
    if (!Cleaner::decode(bytes, checkSide)) return {std::nullopt, Failure::notAnImage, {}};

    const UUID id = UUID::random();
    const QString name = QString::fromStdString(id.string() + "." +
                                                Cleaner::fileExtension(Cleaner::imageType(bytes)));
    // Copies are written only into a folder of the book's own, never through a link.
    if (QFileInfo(originalsFolder).isSymLink())
        return {std::nullopt, Failure::copyFailed, OriginalsFolder::linkedFolderReason()};
    if (const auto failure = writeWholeFile(originalsFolder + "/" + name, data))
        return {std::nullopt, Failure::copyFailed, *failure};

    Copied copied{id, name, std::nullopt, fileDate};
    if (readPhotoDate) copied.photoDate = Cleaner::photoDate(bytes);
    return {std::move(copied), Failure::none, {}};
}

}  // namespace importing

AppModel::ImportState::ImportState(AppModel& model) : model(model) { worker.setMaxThreadCount(1); }

AppModel::ImportState::~ImportState() {
    worker.clear();
    worker.waitForDone();
}

void AppModel::ImportState::enqueue(Kind kind, bool forCalendar,
                                    const std::vector<importing::Source>& sources,
                                    const ImageOptions& options) {
    const auto batch = std::make_shared<Batch>();
    batch->kind = kind;
    batch->forCalendar = forCalendar;
    batch->remaining = static_cast<int>(sources.size());
    std::erase_if(batches, [](const auto& running) { return running.expired(); });
    batches.push_back(batch);
    if (model.importing() == 0) selected.reset();
    const QString originals = model.folder() + "/Originals";
    ImageOptions batchOptions = options;
    batchOptions.forCalendar = forCalendar;
    model.setImporting(model.importing() + batch->remaining);
    for (const auto& source : sources) {
        worker.start([this, batch, source, originals, batchOptions] {
            runBelowTheWindow();
            importing::Prepared prepared;
            if (!batch->dropped) prepared = importing::prepare(source, originals, !batchOptions.date);
            QMetaObject::invokeMethod(
                &model,
                [this, batch, prepared = std::move(prepared), batchOptions, path = source.path] {
                    finish(batch, prepared, batchOptions, path);
                },
                Qt::QueuedConnection);
        });
    }
}

void AppModel::ImportState::finish(const std::shared_ptr<Batch>& batch, const importing::Prepared& prepared,
                                   const ImageOptions& options, const QString& path) {
    using importing::Failure;
    --batch->remaining;
    if (batch->dropped) {
        if (prepared.copied) QFile::remove(model.folder() + "/Originals/" + prepared.copied->file);
        model.setImporting(model.importing() - 1);
        return;
    }
    if (prepared.failure != Failure::unreadableFile) ++batch->read;
    switch (prepared.failure) {
        case Failure::none: {
            ImageOptions added = options;  // files from either dialog carry their modification date
            if (prepared.copied->fileDate) added.fileDate = prepared.copied->fileDate;
            add(*prepared.copied, added);
            break;
        }
        case Failure::unreadableFile:
            batch->unreadable << QFileInfo(path).fileName();
            if (batch->kind == Kind::photos) model.setError(photoUnreadableMessage, fileNames(batch->unreadable));
            break;
        case Failure::notAnImage:
            if (!path.isEmpty()) batch->notImages << QFileInfo(path).fileName();
            model.setError(notAnImageMessage, fileNames(batch->notImages));
            break;
        case Failure::copyFailed: {
            const int failed = ++batch->copyFailures;
            model.setError(copyFailedMessage + prepared.detail,
                           failed == 1 ? QString() : QStringLiteral("%1 images couldn't be copied.").arg(failed));
            break;
        }
    }
    if (batch->remaining == 0 && batch->kind == Kind::files) {
        if (batch->read == 0) model.setError(noImagesMessage);
        else if (!batch->unreadable.isEmpty())
            model.setError(failureCountMessage(static_cast<int>(batch->unreadable.size())),
                           fileNames(batch->unreadable));
    }
    model.setImporting(model.importing() - 1);
}

void AppModel::ImportState::dropAll() {
    for (const auto& running : batches) {
        if (const auto batch = running.lock()) batch->dropped = true;
    }
    batches.clear();
    selected.reset();
}

void AppModel::ImportState::add(const importing::Copied& copied, const ImageOptions& options) {
    const bool forCalendar = options.forCalendar;
    DrawingInfo info;
    info.id = copied.id;
    if (!forCalendar) {
        if (options.child) info.childID = options.child;
        else if (model.m_lastChild) info.childID = model.m_lastChild;
        else if (model.m_children.size() == 1) info.childID = model.m_children.front().id;
    }
    info.date = options.date ? *options.date
                : copied.photoDate ? *copied.photoDate
                : options.fileDate ? *options.fileDate
                                   : Date::now();
    info.title = options.title.toStdString();
    info.aspect = 0.77;
    info.pixelSize = Size{2550, 3300};
    info.cleanup = forCalendar ? CleanupSettings::defaults()
                               : CleanupSettings{std::nullopt, false, 0, 0, true, 0.6};
    info.sequence = model.m_nextSequence;

    model.setNextSequence(model.m_nextSequence + 1);
    model.m_drawings.push_back(Drawing{info, copied.file, QImage(), true});
    Q_EMIT model.drawingsChanged();
    model.documentChanged();
    if (forCalendar) {
        auto calendar = model.m_calendar;
        calendar.calendarOnly.push_back(info.id);
        model.setCalendar(calendar);
        for (int month = 0; month < 12; ++month) {
            if (calendar.pictures.contains(month)) continue;
            calendar.pictures[month] = info.id;
            model.setCalendar(calendar);
            break;
        }
    }
    if (model.m_importing == 0) selected.reset();  // an addition outside a running import
    if (!selected || model.m_selectedID == selected) {
        model.setSelectedID(info.id);
        selected = info.id;
    }
    model.process(info.id, !forCalendar);
}

QThreadPool& AppModel::importWorker() { return m_import->worker; }

void AppModel::chooseFiles() {
    const auto urls = m_dialogs.chooseFiles ? m_dialogs.chooseFiles() : QList<QUrl>{};
    if (urls.isEmpty()) {
        setImportForCalendar(false);
        return;
    }
    importURLs(urls);
}

void AppModel::importURLs(const QList<QUrl>& urls) {
    QList<QUrl> files;
    for (const auto& url : urls) files += imageFiles(url);
    const auto sources = eachFileOnce(files);
    const bool forCalendar = m_importForCalendar;
    setImportForCalendar(false);
    if (sources.empty()) {
        setError(noImagesMessage);
        return;
    }
    m_import->enqueue(ImportState::Kind::files, forCalendar, sources, {});
}

QList<QUrl> AppModel::imageFiles(const QUrl& url) {
    if (!url.isLocalFile()) return {};
    const QString path = url.toLocalFile();
    const QFileInfo info(path);
    if (!info.exists()) return {};
    // Only regular files: a FIFO or device named like a photo is skipped like any other non-image.
    if (!info.isDir()) return info.isFile() && hasImageExtension(path) ? QList<QUrl>{url} : QList<QUrl>{};

    QStringList files;
    QDirIterator walk(path, QDir::Files | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
    while (walk.hasNext()) {
        const QString file = walk.next();
        if (walk.fileInfo().isFile() && hasImageExtension(file)) files.push_back(file);
    }
    const QCollator order = naturalOrder();
    std::sort(files.begin(), files.end(),
              [&](const QString& a, const QString& b) { return order.compare(a, b) < 0; });
    QList<QUrl> urls;
    for (const auto& file : files) urls.push_back(QUrl::fromLocalFile(file));
    return urls;
}

void AppModel::addImage(const QByteArray& data, const ImageOptions& options) {
    const auto prepared = importing::prepare({{}, data}, folder() + "/Originals", !options.date);
    switch (prepared.failure) {
        case importing::Failure::none: m_import->add(*prepared.copied, options); break;
        case importing::Failure::copyFailed: setError(copyFailedMessage + prepared.detail); break;
        case importing::Failure::notAnImage:
        case importing::Failure::unreadableFile: setError(notAnImageMessage); break;
    }
}

void AppModel::importPhotos(const QList<QUrl>& urls) {
    const bool forCalendar = m_importForCalendar;
    setImportForCalendar(false);
    if (urls.isEmpty()) return;
    m_import->enqueue(ImportState::Kind::photos, forCalendar, eachFileOnce(urls), {});
}

void AppModel::addDropped(const QList<ImportedImage>& images) {
    if (images.isEmpty()) return;
    std::vector<importing::Source> sources;
    for (const auto& image : images) sources.push_back({{}, image.data});
    ImageOptions options;
    options.fileDate = Date::now();
    m_import->enqueue(ImportState::Kind::dropped, m_mode == ViewMode::calendar, sources, options);
}

}  // namespace quillfen
