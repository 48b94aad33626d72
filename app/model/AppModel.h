#pragma once

#include "app/model/Drawing.h"
#include "engine/book/BookContent.h"
#include "engine/book/BookLayout.h"
#include "engine/book/BookSettings.h"
#include "engine/calendar/CalendarContent.h"
#include "engine/calendar/CalendarLayout.h"
#include "engine/calendar/CalendarSettings.h"

#include <QObject>
#include <QThreadPool>
#include <QUrl>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace quillfen {

// The questions the model asks the user through dialogs that only the shell can show (the model never
// includes widgets). Each answers on the GUI thread; an empty answer means the user cancelled.
struct ModelDialogs {
    // Images and folders to add ("Choose photos or scans of drawings, or a folder of them.").
    std::function<QList<QUrl>()> chooseFiles;
    // Where to write a PDF: the proposed file name and the dialog's message.
    std::function<std::optional<QUrl>(const QString& proposedName, const QString& message)>
        chooseExportDestination;
};

// What addImage needs beyond the bytes; empty fields take the import's defaults.
struct ImageOptions {
    std::optional<Date> fileDate;
    QString title;
    std::optional<UUID> child;
    std::optional<Date> date;
    bool forCalendar = false;
};

// The application's one model: the library (children, drawings, book and calendar settings), the
// window state more than one view shares, and every operation on them. Lives on the GUI thread and is
// read and written only there; background work gets copies and hands values back by id.
class AppModel : public QObject {
    Q_OBJECT

public:
    explicit AppModel(bool persist, QObject* parent = nullptr);
    ~AppModel() override;

    // ---- Stored state. Equal values notify nobody; `drawings` notifies on every assignment. Every
    // assignment to children, drawings, settings or calendar raises `revision` and restarts the autosave.
    bool persist() const { return m_persist; }
    const std::vector<Child>& children() const { return m_children; }
    void setChildren(std::vector<Child> children);
    const std::vector<Drawing>& drawings() const { return m_drawings; }
    void setDrawings(std::vector<Drawing> drawings);
    const BookSettings& settings() const { return m_settings; }
    void setSettings(BookSettings settings);
    const CalendarSettings& calendar() const { return m_calendar; }
    void setCalendar(CalendarSettings calendar);
    std::int64_t nextSequence() const { return m_nextSequence; }
    void setNextSequence(std::int64_t value);
    std::int64_t revision() const { return m_revision; }
    const std::optional<UUID>& selectedID() const { return m_selectedID; }
    void setSelectedID(std::optional<UUID> id);
    ViewMode mode() const { return m_mode; }
    void setMode(ViewMode mode);
    bool importForCalendar() const { return m_importForCalendar; }
    void setImportForCalendar(bool value);
    bool showGuides() const { return m_showGuides; }
    void setShowGuides(bool value);
    const std::optional<UUID>& lastChild() const { return m_lastChild; }
    void setLastChild(std::optional<UUID> id);
    bool photosPickerShown() const { return m_photosPickerShown; }
    void setPhotosPickerShown(bool value);
    bool childrenShown() const { return m_childrenShown; }
    void setChildrenShown(bool value);
    bool exportShown() const { return m_exportShown; }
    void setExportShown(bool value);
    ExportKind exportKind() const { return m_exportKind; }
    void setExportKind(ExportKind kind);
    bool newBookConfirm() const { return m_newBookConfirm; }
    void setNewBookConfirm(bool value);
    const std::optional<UUID>& removeConfirm() const { return m_removeConfirm; }
    void setRemoveConfirm(std::optional<UUID> id);
    const std::optional<QString>& error() const { return m_error; }
    // What the alert says under the error's message: how many failed and the system's reason; empty
    // when the message says all. Set and cleared with the message.
    const QString& errorDetail() const { return m_errorDetail; }
    void setError(std::optional<QString> message, QString detail = {});
    int importing() const { return m_importing; }
    void setImporting(int count);
    const std::optional<double>& exportProgress() const { return m_exportProgress; }
    void setExportProgress(std::optional<double> progress);
    const std::optional<QUrl>& exportedURL() const { return m_exportedURL; }
    void setExportedURL(std::optional<QUrl> url);

    // Moves the selection through the book's drawings in book order and switches to drawing mode.
    void step(int offset);
    // Asks assistive technologies to speak the text (the shell's status label answers).
    void announce(const QString& text);
    // Asks the shell to show the About dialog.
    void showAbout();

    // The shell's dialogs; tests install their own answers.
    void setDialogs(ModelDialogs dialogs);
    const ModelDialogs& dialogs() const { return m_dialogs; }
    // Pools: processing of drawings, and editor previews with paper searches (never starved by imports).
    QThreadPool& processingPool() { return m_processingPool; }
    QThreadPool& editorPool() { return m_editorPool; }
    // The import's worker: one thread that reads and copies the images in the order they were asked for.
    QThreadPool& importWorker();
    // The document's writer: one thread that writes the autosave's documents in the order they were made.
    QThreadPool& documentWriter();

    // ---- Book folder and document file.
    // The book folder; evaluating it creates "Originals" inside it.
    QString folder() const;
    // The original's path of a drawing, or empty when its file name is not a plain name inside
    // "Originals" (then the original counts as missing).
    QString originalPath(const Drawing& drawing) const;
    void save();
    void load();
    // Starts or restarts the autosave: 0.4 s after the last change, yet never more than 2 s after the
    // first change that no save has taken up.
    void scheduleSave();
    // False when another running copy holds this book folder (the second copy must not open it); each
    // call tries again until this copy holds it.
    bool ownsBookFolder() const;

    // ---- Quitting.
    // Begins quitting: from now on only what the document needs is finished (the copies of images being
    // imported, paper searches whose crop goes into the document, a running export); thumbnails are
    // skipped (the next start makes them again) and a sample book still being drawn is dropped. Emits
    // readyToQuit once none of that remains, at once when nothing does.
    void finishForQuit();
    // Whether work the document needs is still running or queued.
    bool finishingForQuit() const;
    // Waits for the rest of that work, applies it and writes a pending save, or tries a failed one
    // again; called once, last. False when that save failed: the session's latest edits are not on
    // disk, and `error` says why.
    bool prepareToQuit();

    // ---- Background processing of a drawing.
    struct Processed {
        CleanupSettings cleanup;
        Size pixelSize;
        QImage thumb;
    };
    void process(UUID id, bool detect);
    // Engine only, any thread: decode the original's bytes, detect when asked, measure, clean the
    // working copy, thumbnail (left out when not wanted).
    static std::optional<Processed> makeProcessed(const QByteArray& bytes, CleanupSettings cleanup,
                                                  bool detect, bool thumbnail = true);

    // ---- Import.
    void chooseFiles();
    void importURLs(const QList<QUrl>& urls);
    // The image files under one file or folder, in the file manager's natural order.
    static QList<QUrl> imageFiles(const QUrl& url);
    void addImage(const QByteArray& data, const ImageOptions& options);
    // Files chosen in the photo dialog (the Pictures folder), counted in `importing`.
    void importPhotos(const QList<QUrl>& urls);
    void addDropped(const QList<ImportedImage>& images);

    // ---- Drawing edits and paper search. Ids are taken by value: a caller may name a drawing by an id
    // stored in what the operation replaces, or in a view that its signals rebuild.
    void update(UUID id, const std::function<void(DrawingInfo&)>& change);
    void rotateRight(UUID id);
    void rotateLeft(UUID id);
    void resetCleanup(UUID id);
    void setCrop(UUID id, const Quad& quad, bool automatic);
    void setFlatten(UUID id, bool flatten);
    void useWholePhoto(UUID id);
    void findPaperEdgesAgain();

    // ---- Book and calendar views of the library, computed afresh on every read.
    std::vector<DrawingInfo> bookInfos() const;
    std::vector<Drawing> bookDrawings() const;
    std::optional<Drawing> selected() const;
    BookLayout layout() const;
    std::optional<Child> child(const std::optional<UUID>& id) const;
    std::vector<Drawing> calendarOnlyDrawings() const;
    CalendarLayout calendarLayout() const;
    CalendarContent calendarContent() const;
    // The book's drawings with their thumbnails: what the preview, the sidebar and the cover choice
    // show. Calendar-only pictures are not in the book, so none of them is ever its cover.
    BookContent bookContent() const;
    void fillEmptyMonths();
    void showCalendar();

    // ---- Library edits. Ids by value, as for the drawing edits: removing frees the records that hold them.
    void removeDrawing(UUID id);
    void newBook();
    UUID addChild(const QString& name);
    void removeChild(UUID id);

    // ---- Sample book.
    void loadSampleBook(bool inlineRendering);

    // ---- Export jobs.
    void requestExport(ExportKind kind);
    void runExport(ExportKind kind);
    void runCalendarExport(ExportKind kind);
    // Callable from any thread.
    void reportExportProgress(int done, int total);
    // `reason`: why a file that was not written failed, when known.
    void exportFinished(bool written, const QUrl& url, const QString& reason = {});
    // Returns once no export runs, so that its file is complete; meanwhile raises exportShown (the sheet
    // shows the progress) and runs the event loop without user input. Called when the application quits.
    void waitForExport();

Q_SIGNALS:
    void childrenChanged();
    void drawingsChanged();
    void settingsChanged();
    void calendarChanged();
    void nextSequenceChanged();
    void revisionChanged();
    void selectedIDChanged();
    void modeChanged();
    void importForCalendarChanged();
    void showGuidesChanged();
    void lastChildChanged();
    void photosPickerShownChanged();
    void childrenShownChanged();
    void exportShownChanged();
    void exportKindChanged();
    void newBookConfirmChanged();
    void removeConfirmChanged();
    void errorChanged();
    void importingChanged();
    void exportProgressChanged();
    void exportedURLChanged();
    // An export has ended, after its progress was cleared and its file or its error was stored; also
    // when it wrote the same file as the export before it.
    void exportEnded(bool written);
    // Text for assistive technologies to speak.
    void announcement(const QString& text);
    void aboutRequested();
    // Quitting may go on: nothing the document needs is running any more.
    void readyToQuit();

private:
    // Private state of each group of operations, defined beside its code.
    struct DocumentState;
    struct ProcessingState;
    struct ImportState;
    struct EditState;
    struct ExportState;

    // Raises `revision` and restarts the autosave after an assignment to the document.
    void documentChanged();

    // Document file: private operations.
    // The document's bytes, or nothing (with the reason in `error`) when it cannot be encoded.
    std::optional<std::string> encodedDocument();
    // Encodes the document on the GUI thread and writes it on the document's writer; the autosave's way.
    void saveInBackground();
    // Records the end of a write of revision: the saved revision and the removed originals it frees,
    // or the error. GUI thread.
    void finishSave(std::int64_t revision, const QString& error);
    // Deletes the originals of removed drawings once a save no longer names them and no export that
    // may read them is running; called after every successful save and when an export ends.
    void deleteRemovedOriginals();
    // Moves a document that cannot be read aside under a dated name and says so in `error`.
    void keepUnreadableDocument(const QString& path);

    // Processing: private operations.
    // Takes a finished processing to be stored with the others that reach the GUI thread in the same
    // pass of the event loop: one change of `drawings` for all of them.
    void arrive(std::optional<Processed> result, const UUID& id, std::uint64_t ticket,
                const CleanupSettings& started, const QString& failure);
    // Stores the results that arrived on their drawings, each unless the drawing is gone or the result
    // is stale: a newer processing started (ticket) or the cleanup changed since it started.
    void applyArrived();
    // Says that `count` more originals could not be read, the first for `reason`.
    void reportUnreadable(int count, const QString& reason);

    // Import: private operations.

    // Edits: private operations.

    // Export and sample book: private operations.
    // Marks the export as running and runs it on the export pool; its end comes back to exportFinished.
    void startExport(std::function<bool(const std::function<void(int, int)>&)> run, const QUrl& url);
    // Adds the sample children, the book's texts and the drawings of the pictures in one step.
    void addSampleBook(const std::vector<QByteArray>& pictures);
    // Imports the sample pictures (one per sample item, in item order) by the normal import road.
    void addSampleDrawings(const std::vector<QByteArray>& pictures, const UUID& first, const UUID& second);
    // Drops a sample book still being drawn.
    void dropSampleBook();

    const bool m_persist;
    std::vector<Child> m_children;
    std::vector<Drawing> m_drawings;
    BookSettings m_settings;
    CalendarSettings m_calendar;
    std::int64_t m_nextSequence = 0;
    std::int64_t m_revision = 0;
    std::optional<UUID> m_selectedID;
    ViewMode m_mode = ViewMode::drawing;
    bool m_importForCalendar = false;
    bool m_showGuides = false;
    std::optional<UUID> m_lastChild;
    bool m_photosPickerShown = false;
    bool m_childrenShown = false;
    bool m_exportShown = false;
    ExportKind m_exportKind = ExportKind::print;
    bool m_newBookConfirm = false;
    std::optional<UUID> m_removeConfirm;
    std::optional<QString> m_error;
    QString m_errorDetail;
    int m_importing = 0;
    std::optional<double> m_exportProgress;
    std::optional<QUrl> m_exportedURL;
    ModelDialogs m_dialogs;

    QThreadPool m_processingPool;
    QThreadPool m_editorPool;
    std::unique_ptr<DocumentState> m_document;
    std::unique_ptr<ProcessingState> m_processing;
    std::unique_ptr<ImportState> m_import;
    std::unique_ptr<EditState> m_edit;
    std::unique_ptr<ExportState> m_export;
};

}  // namespace quillfen
