#include "app/shell/Presentations.h"

#include "app/shell/Screens.h"
#include "app/shell/ShellDialogs.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QFileDialog>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>

namespace quillfen {

namespace {

// Shows a dialog window-modal; it deletes itself when closed.
template <typename Dialog>
Dialog* present(Dialog* dialog) {
    dialog->setWindowModality(Qt::WindowModal);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->open();
    return dialog;
}

// Closes a presented dialog whose flag fell; its own finished handler then finds the flag already low.
template <typename Dialog>
void dismiss(QPointer<Dialog>& dialog) {
    if (dialog) dialog->close();
    dialog.clear();
}

}  // namespace

Presentations::Presentations(AppModel& model, QWidget* window) : QObject(window), m_model(model), m_window(window) {
    if (auto* application = QCoreApplication::instance())
        connect(application, &QCoreApplication::aboutToQuit, this, &Presentations::finishQuitting);
    connect(&model, &AppModel::photosPickerShownChanged, this, &Presentations::syncPhotos);
    connect(&model, &AppModel::childrenShownChanged, this, &Presentations::syncChildren);
    connect(&model, &AppModel::exportShownChanged, this, &Presentations::syncExport);
    connect(&model, &AppModel::errorChanged, this, &Presentations::syncError);
    connect(&model, &AppModel::newBookConfirmChanged, this, &Presentations::syncNewBook);
    connect(&model, &AppModel::removeConfirmChanged, this, &Presentations::syncRemove);
    // Flags raised before the window existed are presented once the event loop runs.
    QMetaObject::invokeMethod(
        this,
        [this] {
            syncPhotos();
            syncChildren();
            syncExport();
            syncError();
            syncNewBook();
            syncRemove();
        },
        Qt::QueuedConnection);
}

void Presentations::syncPhotos() {
    if (!m_model.photosPickerShown()) return dismiss(m_photos);
    if (m_photos) return;
    m_photos = present(makePhotoDialog(m_window));
    connect(m_photos, &QFileDialog::finished, this, [this, dialog = m_photos.data()](int result) {
        m_model.setPhotosPickerShown(false);
        QList<QUrl> urls;
        if (result == QDialog::Accepted)
            for (const auto& file : dialog->selectedFiles()) urls << QUrl::fromLocalFile(file);
        m_model.importPhotos(urls);  // also when empty: a picker closed without photos ends a calendar request
    });
}

void Presentations::syncChildren() {
    if (!m_model.childrenShown()) return dismiss(m_children);
    if (m_children) return;
    m_children = present(makeChildrenSheet(m_model, m_window));
    connect(m_children, &QDialog::finished, this, [this] { m_model.setChildrenShown(false); });
}

void Presentations::syncExport() {
    if (!m_model.exportShown()) return dismiss(m_export);
    if (m_export) return;
    m_export = present(m_model.mode() == ViewMode::calendar ? makeCalendarExportSheet(m_model, m_window)
                                                            : makeExportSheet(m_model, m_window));
    connect(m_export, &QDialog::finished, this, [this] { m_model.setExportShown(false); });
}

void Presentations::syncError() {
    if (!m_model.error()) return dismiss(m_error);
    if (!m_error) {
        m_error = new QMessageBox(QMessageBox::Warning, QString(), tr("Something went wrong"), QMessageBox::Ok, m_window);
        connect(m_error, &QMessageBox::finished, this, [this] { m_model.setError(std::nullopt); });
        present(m_error.data());
    }
    // The message can hold file names: never read as rich text.
    m_error->setTextFormat(Qt::PlainText);
    const QString& detail = m_model.errorDetail();
    m_error->setInformativeText(detail.isEmpty() ? *m_model.error() : *m_model.error() + "\n\n" + detail);
    if (auto* label = m_error->findChild<QLabel*>(QStringLiteral("qt_msgbox_informativelabel")))
        label->setTextFormat(Qt::PlainText);
}

void Presentations::finishQuitting() {
    if (m_model.prepareToQuit()) return;
    // The edits the last save could not write go with the process: the user reads why before it ends.
    syncError();
    if (!m_error) return;
    QEventLoop waiting;
    connect(m_error, &QMessageBox::finished, &waiting, &QEventLoop::quit);
    m_error->show();
    waiting.exec();
}

QMessageBox* Presentations::confirmation(const QString& title, const QString& message, const QString& action) {
    auto* box = new QMessageBox(QMessageBox::Warning, QString(), title, QMessageBox::Cancel, m_window);
    box->setTextFormat(Qt::PlainText);
    box->setInformativeText(message);
    auto* destructive = box->addButton(action, QMessageBox::DestructiveRole);
    box->setDefaultButton(QMessageBox::Cancel);
    destructive->setObjectName(QStringLiteral("destructive"));
    return box;
}

void Presentations::syncNewBook() {
    if (!m_model.newBookConfirm()) return dismiss(m_newBook);
    if (m_newBook) return;
    m_newBook = confirmation(tr("Start a new book?"),
                             tr("This removes every drawing, child and setting from Quillfen. Your original photos "
                                "and files aren't touched, and books you've exported stay where you saved them."),
                             tr("Start New Book"));
    connect(m_newBook, &QMessageBox::finished, this, [this, box = m_newBook.data()] {
        const bool confirmed = box->buttonRole(box->clickedButton()) == QMessageBox::DestructiveRole;
        m_model.setNewBookConfirm(false);
        if (confirmed) m_model.newBook();
    });
    present(m_newBook.data());
}

void Presentations::syncRemove() {
    if (!m_model.removeConfirm()) return dismiss(m_remove);
    if (m_remove) return;
    m_remove = confirmation(tr("Remove this drawing from the book?"),
                            tr("Quillfen deletes its own copy. The original photo or file isn't touched."), tr("Remove"));
    connect(m_remove, &QMessageBox::finished, this, [this, box = m_remove.data()] {
        const bool confirmed = box->buttonRole(box->clickedButton()) == QMessageBox::DestructiveRole;
        if (confirmed && m_model.removeConfirm()) m_model.removeDrawing(*m_model.removeConfirm());
        m_model.setRemoveConfirm(std::nullopt);
    });
    present(m_remove.data());
}

}  // namespace quillfen
