#include "app/model/AppModel.h"

#include "app/model/FileWriting.h"
#include "app/model/OriginalsFolder.h"
#include "app/model/SavedBook.h"
#include "app/model/detail/DocumentState.h"
#include "app/model/detail/ImportState.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include <fcntl.h>
#include <unistd.h>

namespace quillfen {

namespace {

constexpr int autosaveDelayMilliseconds = 400;
// Changes that keep coming less than the delay apart (an import of many photos) are still saved this
// long after the first of them at the latest.
constexpr qint64 autosaveLongestWaitMilliseconds = 2000;

const QString linkedOriginalsMessage = QStringLiteral(
    "Quillfen doesn't use the \u201COriginals\u201D folder in the book folder, because it is a link to another "
    "place. Your drawings are shown without their pictures until it is a folder of its own again.");
// A document this large is not one this program wrote; it is set aside rather than read.
constexpr qint64 largestDocument = qint64(512) << 20;

// Makes a rename inside the folder survive a power cut, once the renamed file's data is on disk.
void syncFolder(const QString& path) {
    const int descriptor = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (descriptor < 0) return;
    ::fsync(descriptor);
    ::close(descriptor);
}

// Writes the document beside the old one and renames it into place; the old file stays whole when
// anything fails. Any thread. The error's text when it failed, empty when written.
QString writeDocument(const QString& folderPath, const std::string& bytes) {
    // Written whole under a name of its own, then renamed over "book.json": the rename replaces a
    // link there itself, where writing through it would replace a file outside the book folder.
    const QString written = folderPath + "/.book.json.saving";
    const auto failure = writeWholeFile(written, bytes);
    if (failure || ::rename(QFile::encodeName(written).constData(),
                            QFile::encodeName(folderPath + "/book.json").constData()) != 0) {
        const QString reason = failure ? *failure : QString::fromLocal8Bit(std::strerror(errno));
        QFile::remove(written);
        return reason;
    }
    syncFolder(folderPath);
    return {};
}

std::optional<SavedBook> readDocument(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() > largestDocument) return std::nullopt;
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) return std::nullopt;
    try {
        return bookFromDocument({bytes.constData(), static_cast<std::size_t>(bytes.size())});
    } catch (const DocumentError&) {
        return std::nullopt;
    }
}

// Deletes, on `pool`, the program's copies in "Originals" that the loaded document does not name and
// that are older than it: what an interrupted or failed import left behind.
void sweepUnnamedCopies(QThreadPool& pool, const QString& bookFolder, const SavedBook& book,
                        const QDateTime& documentTime) {
    QSet<QString> named;
    for (const auto& item : book.drawings) named.insert(QString::fromStdString(item.file));
    pool.start([bookFolder, named = std::move(named), documentTime] {
        OriginalsFolder::removeUnnamedCopies(bookFolder, named, documentTime);
    });
}

}  // namespace

AppModel::DocumentState::DocumentState(AppModel& model) : model(model) {
    autosave.setSingleShot(true);
    autosave.setTimerType(Qt::PreciseTimer);
    autosave.setInterval(autosaveDelayMilliseconds);
    QObject::connect(&autosave, &QTimer::timeout, &model, [&model] { model.saveInBackground(); });
    writer.setMaxThreadCount(1);
    if (model.persist() && QCoreApplication::instance()) {
        QObject::connect(QCoreApplication::instance(), &QCoreApplication::aboutToQuit, &model,
                         [&model] { model.prepareToQuit(); });
    }
}

QThreadPool& AppModel::documentWriter() { return m_document->writer; }

QString AppModel::folder() const {
    QString path;
    if (m_persist) {
        path = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + "/Quillfen/Book";
    } else {
        auto& temporary = m_document->temporaryFolder;
        if (!temporary) temporary = std::make_unique<QTemporaryDir>(QDir::tempPath() + "/quillfen-XXXXXX");
        path = temporary->path();
    }
    QDir().mkpath(path + "/Originals");
    return path;
}

QString AppModel::originalPath(const Drawing& drawing) const {
    const QString& name = drawing.file;
    if (name.isEmpty() || name == "." || name == ".." || name.contains('/') || name.contains(QChar(0))) {
        return {};
    }
    return folder() + "/Originals/" + name;
}

std::optional<std::string> AppModel::encodedDocument() {
    SavedBook book{m_children, {}, m_settings, m_nextSequence, m_calendar};
    book.drawings.reserve(m_drawings.size());
    for (const auto& d : m_drawings) book.drawings.push_back({d.info, d.file.toStdString()});
    try {
        return documentBytes(book);
    } catch (const EncodingError& e) {
        setError(QStringLiteral("Couldn't save the book: ") + QString::fromStdString(e.what()));
        m_document->saveFailed = true;
        return std::nullopt;
    }
}

void AppModel::save() {
    m_document->unsavedSince.invalidate();
    if (!m_persist || !ownsBookFolder()) return;
    // An autosave still writing would otherwise rename an older document over this one.
    m_document->writer.waitForDone();
    const auto bytes = encodedDocument();
    if (!bytes) return;
    finishSave(m_revision, writeDocument(folder(), *bytes));
}

void AppModel::saveInBackground() {
    m_document->unsavedSince.invalidate();
    if (!m_persist || !ownsBookFolder()) return;
    auto bytes = encodedDocument();
    if (!bytes) return;
    m_document->writer.start([this, folderPath = folder(), bytes = std::move(*bytes), revision = m_revision] {
        const QString error = writeDocument(folderPath, bytes);
        QMetaObject::invokeMethod(this, [this, revision, error] { finishSave(revision, error); }, Qt::QueuedConnection);
    });
}

void AppModel::finishSave(std::int64_t revision, const QString& error) {
    if (!error.isEmpty()) {
        setError(QStringLiteral("Couldn't save the book: ") + error);
        m_document->saveFailed = true;
        return;
    }
    // A save that waited for this write may have stored a newer revision already.
    m_document->saveFailed = false;
    m_document->savedRevision = std::max(m_document->savedRevision, revision);
    deleteRemovedOriginals();
}

void AppModel::load() {
    if (!m_persist || !ownsBookFolder()) return;
    const QString path = folder() + "/book.json";
    if (!QFileInfo::exists(path)) return;
    auto book = readDocument(path);
    if (!book) {
        keepUnreadableDocument(path);
        return;
    }
    sweepUnnamedCopies(m_processingPool, folder(), *book, QFileInfo(path).lastModified());
    makeIdentitiesUnique(*book);
    cutLongTexts(*book);
    setChildren(std::move(book->children));
    setSettings(std::move(book->settings));
    setCalendar(book->calendar.value_or(CalendarSettings()));
    setNextSequence(book->nextSequence);
    // Originals behind a link are never read: the drawings keep their stored sizes and no thumbnail.
    const bool linkedOriginals = QFileInfo(folder() + "/Originals").isSymLink();
    std::vector<Drawing> drawings;
    drawings.reserve(book->drawings.size());
    for (auto& item : book->drawings) {
        drawings.push_back({std::move(item.info), QString::fromStdString(item.file), {}, !linkedOriginals});
    }
    setDrawings(std::move(drawings));
    const auto inBook = bookDrawings();
    setSelectedID(inBook.empty() ? std::nullopt : std::optional(inBook.front().info.id));
    if (linkedOriginals) {
        setError(linkedOriginalsMessage);
        return;
    }
    std::vector<UUID> ids;
    for (const auto& d : m_drawings) ids.push_back(d.info.id);
    for (const auto& id : ids) process(id, false);
}

void AppModel::keepUnreadableDocument(const QString& path) {
    const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    const QString folderPath = QFileInfo(path).path();
    QString name = QStringLiteral("book.unreadable-%1.json").arg(stamp);
    for (int copy = 2; !QFile::rename(path, folderPath + "/" + name); ++copy) {
        if (!QFile::exists(folderPath + "/" + name) || copy > 99) return;
        name = QStringLiteral("book.unreadable-%1-%2.json").arg(stamp).arg(copy);
    }
    setError(QStringLiteral("Quillfen couldn't read your book, so it started a new one. The old file "
                            "was kept as \u201C%1\u201D in the book folder.")
                 .arg(name));
}

void AppModel::scheduleSave() {
    if (!m_persist) return;
    auto& document = *m_document;
    if (!document.unsavedSince.isValid()) document.unsavedSince.start();
    const qint64 left = autosaveLongestWaitMilliseconds - document.unsavedSince.elapsed();
    // Every start so far is due by the longest wait: within the last delay, the save pending stays.
    if (left < autosaveDelayMilliseconds && document.autosave.isActive()) return;
    document.autosave.start(static_cast<int>(std::clamp<qint64>(left, 0, autosaveDelayMilliseconds)));
}

bool AppModel::ownsBookFolder() const {
    if (!m_persist) return true;
    auto& document = *m_document;
    // Asked again while another copy holds it: that copy may have ended since.
    if (!document.ownsFolder.value_or(false)) {
        document.lock = std::make_unique<QLockFile>(folder() + "/book.lock");
        document.lock->setStaleLockTime(0);  // held for the whole run; only a dead owner frees it
        // Only another live copy's lock keeps this one out; a folder that cannot hold a lock file
        // cannot be shared either, and its own writes report their failures.
        document.ownsFolder = document.lock->tryLock(0) ||
                              document.lock->error() != QLockFile::LockFailedError;
    }
    return *document.ownsFolder;
}

}  // namespace quillfen
