#include "app/model/AppModel.h"

#include "app/model/detail/DocumentState.h"
#include "app/model/detail/EditState.h"
#include "app/model/detail/ExportState.h"
#include "app/model/detail/ImportState.h"
#include "app/model/detail/ProcessingState.h"

#include <algorithm>

namespace quillfen {

std::string_view caseName(ViewMode mode) {
    switch (mode) {
        case ViewMode::drawing: return "drawing";
        case ViewMode::book: return "book";
        case ViewMode::calendar: return "calendar";
    }
    return "drawing";
}

std::string_view caseName(ExportKind kind) {
    switch (kind) {
        case ExportKind::print: return "print";
        case ExportKind::home: return "home";
        case ExportKind::cover: return "cover";
    }
    return "print";
}

AppModel::AppModel(bool persist, QObject* parent)
    : QObject(parent),
      m_persist(persist),
      m_document(std::make_unique<DocumentState>(*this)),
      m_processing(std::make_unique<ProcessingState>(*this)),
      m_import(std::make_unique<ImportState>(*this)),
      m_edit(std::make_unique<EditState>(*this)),
      m_export(std::make_unique<ExportState>(*this)) {}

AppModel::~AppModel() {
    m_processingPool.waitForDone();
    m_editorPool.waitForDone();
}

namespace {

// Stores a plain property and notifies only when the value changed.
template <typename T, typename Signal>
void assign(AppModel* model, T& stored, T value, Signal changed) {
    if (stored == value) return;
    stored = std::move(value);
    Q_EMIT(model->*changed)();
}

}  // namespace

void AppModel::documentChanged() {
    ++m_revision;
    Q_EMIT revisionChanged();
    scheduleSave();
}

void AppModel::setChildren(std::vector<Child> children) {
    assign(this, m_children, std::move(children), &AppModel::childrenChanged);
    documentChanged();
}

void AppModel::setDrawings(std::vector<Drawing> drawings) {
    m_drawings = std::move(drawings);
    m_processing->index.clear();
    Q_EMIT drawingsChanged();
    documentChanged();
}

void AppModel::setSettings(BookSettings settings) {
    assign(this, m_settings, std::move(settings), &AppModel::settingsChanged);
    documentChanged();
}

void AppModel::setCalendar(CalendarSettings calendar) {
    assign(this, m_calendar, std::move(calendar), &AppModel::calendarChanged);
    documentChanged();
}

void AppModel::setNextSequence(std::int64_t value) {
    assign(this, m_nextSequence, value, &AppModel::nextSequenceChanged);
}
void AppModel::setSelectedID(std::optional<UUID> id) {
    assign(this, m_selectedID, id, &AppModel::selectedIDChanged);
}
void AppModel::setMode(ViewMode mode) { assign(this, m_mode, mode, &AppModel::modeChanged); }
void AppModel::setImportForCalendar(bool value) {
    assign(this, m_importForCalendar, value, &AppModel::importForCalendarChanged);
}
void AppModel::setShowGuides(bool value) {
    assign(this, m_showGuides, value, &AppModel::showGuidesChanged);
}
void AppModel::setLastChild(std::optional<UUID> id) {
    assign(this, m_lastChild, id, &AppModel::lastChildChanged);
}
void AppModel::setPhotosPickerShown(bool value) {
    assign(this, m_photosPickerShown, value, &AppModel::photosPickerShownChanged);
}
void AppModel::setChildrenShown(bool value) {
    assign(this, m_childrenShown, value, &AppModel::childrenShownChanged);
}
void AppModel::setExportShown(bool value) {
    assign(this, m_exportShown, value, &AppModel::exportShownChanged);
}
void AppModel::setExportKind(ExportKind kind) {
    assign(this, m_exportKind, kind, &AppModel::exportKindChanged);
}
void AppModel::setNewBookConfirm(bool value) {
    assign(this, m_newBookConfirm, value, &AppModel::newBookConfirmChanged);
}
void AppModel::setRemoveConfirm(std::optional<UUID> id) {
    assign(this, m_removeConfirm, id, &AppModel::removeConfirmChanged);
}
void AppModel::setError(std::optional<QString> message, QString detail) {
    if (!message) detail.clear();
    if (message == m_error && detail == m_errorDetail) return;
    m_error = std::move(message);
    m_errorDetail = std::move(detail);
    Q_EMIT errorChanged();
}
void AppModel::setImporting(int count) {
    assign(this, m_importing, count, &AppModel::importingChanged);
}
void AppModel::setExportProgress(std::optional<double> progress) {
    assign(this, m_exportProgress, progress, &AppModel::exportProgressChanged);
}
void AppModel::setExportedURL(std::optional<QUrl> url) {
    assign(this, m_exportedURL, std::move(url), &AppModel::exportedURLChanged);
}

void AppModel::setDialogs(ModelDialogs dialogs) { m_dialogs = std::move(dialogs); }

void AppModel::step(int offset) {
    const auto book = bookDrawings();
    if (book.empty()) return;
    const int count = static_cast<int>(book.size());
    const auto found = std::find_if(book.begin(), book.end(), [&](const Drawing& d) {
        return m_selectedID && d.info.id == *m_selectedID;
    });
    const int current = found != book.end() ? static_cast<int>(found - book.begin())
                        : offset > 0        ? -1
                                            : count;
    const int position = std::clamp(current + offset, 0, count - 1);
    setSelectedID(book[position].info.id);
    setMode(ViewMode::drawing);
}

void AppModel::announce(const QString& text) { Q_EMIT announcement(text); }

void AppModel::showAbout() { Q_EMIT aboutRequested(); }

}  // namespace quillfen
