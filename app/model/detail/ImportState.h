#pragma once

#include "app/model/AppModel.h"

#include <QStringList>
#include <QThreadPool>

#include <atomic>

#include <memory>

namespace quillfen {

namespace importing {

// Where one image comes from: a file to read, or bytes already in memory.
struct Source {
    QString path;  // empty: `data` holds the image
    QByteArray data;
};

// One image checked and copied into "Originals": its new id and file name, and the dates read from
// it (the EXIF original date only when the caller wanted it, the file's modification date for files).
struct Copied {
    UUID id;
    QString file;
    std::optional<Date> photoDate;
    std::optional<Date> fileDate;
};

enum class Failure { none, unreadableFile, notAnImage, copyFailed };

// The outcome of preparing one image; `copied` is set exactly when `failure` is none.
struct Prepared {
    std::optional<Copied> copied;
    Failure failure = Failure::none;
    QString detail;  // the system's description of a failed copy
};

// Reads the source, lets the engine's decoder decide whether it is an image, and copies the bytes
// atomically into the originals folder under a new id and the extension of their type. Pure file
// work without the model; any thread.
Prepared prepare(const Source& source, const QString& originalsFolder, bool readPhotoDate);

}  // namespace importing

// The import's queue: images are read, checked and copied one at a time on one worker thread, in
// the order they were asked for, and each is added on the GUI thread as soon as it is ready.
struct AppModel::ImportState {
    enum class Kind { files, photos, dropped };

    // The images of one call, counted down on the GUI thread as their results arrive.
    struct Batch {
        Kind kind = Kind::files;
        bool forCalendar = false;
        int remaining = 0;
        int read = 0;            // files whose bytes were read
        QStringList unreadable;  // the names of the files whose bytes could not be read
        QStringList notImages;   // the names of the files the decoder refused
        // Set on the GUI thread when a new book begins; the worker then skips the batch's images and
        // the copies already made are removed as their results arrive.
        std::atomic<bool> dropped = false;
        int copyFailures = 0;  // images that could not be copied into "Originals"
    };

    explicit ImportState(AppModel& model);
    // Drops the images not yet started and waits for the one being copied.
    ~ImportState();

    // GUI thread: counts the images in `importing` and queues them on the worker.
    void enqueue(Kind kind, bool forCalendar, const std::vector<importing::Source>& sources,
                 const ImageOptions& options);
    // GUI thread: applies one prepared image of a batch and reports the batch after its last image;
    // a failure names the file at `path` (none for bytes in memory).
    void finish(const std::shared_ptr<Batch>& batch, const importing::Prepared& prepared,
                const ImageOptions& options, const QString& path);
    // GUI thread: appends the drawing of a copied image, selects it unless the user chose another
    // drawing while this import runs, and starts its processing.
    void add(const importing::Copied& copied, const ImageOptions& options);
    // GUI thread: gives up every batch still running; none of their images is added.
    void dropAll();

    AppModel& model;
    QThreadPool worker;
    std::vector<std::weak_ptr<Batch>> batches;
    // The drawing the running import selected last; a selection that differs is the user's choice.
    std::optional<UUID> selected;
};

}  // namespace quillfen
