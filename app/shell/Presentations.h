#pragma once

#include "app/model/AppModel.h"

#include <QDialog>
#include <QFileDialog>
#include <QMessageBox>
#include <QPointer>

namespace quillfen {

// The window-wide presentations that the model's flags ask for: the photo dialog, the children and
// export sheets, the error alert and the new-book and remove confirmations. Each is window-modal to
// `window`, opens when its flag rises, closes when the flag falls, and lowers the flag when the user
// closes it. When the program quits, a failed last save is shown until the user closes the alert.
// GUI thread only.
class Presentations : public QObject {
    Q_OBJECT

public:
    Presentations(AppModel& model, QWidget* window);

    QDialog* exportSheet() const { return m_export; }
    QMessageBox* errorAlert() const { return m_error; }
    QMessageBox* newBookConfirmation() const { return m_newBook; }
    QMessageBox* removeConfirmation() const { return m_remove; }

private:
    void syncPhotos();
    void syncChildren();
    void syncExport();
    void syncError();
    void syncNewBook();
    void syncRemove();
    // Called when the program quits: writes the last save and, when it fails, shows the alert.
    void finishQuitting();
    QMessageBox* confirmation(const QString& title, const QString& message, const QString& action);

    AppModel& m_model;
    QWidget* m_window;
    QPointer<QFileDialog> m_photos;
    QPointer<QDialog> m_children;
    QPointer<QDialog> m_export;
    QPointer<QMessageBox> m_error;
    QPointer<QMessageBox> m_newBook;
    QPointer<QMessageBox> m_remove;
};

}  // namespace quillfen
