#pragma once

#include "app/model/AppModel.h"

#include <QDialog>
#include <QLocale>

#include <functional>
#include <optional>
#include <span>
#include <utility>
#include <vector>

class QButtonGroup;
class QLabel;
class QListView;
class QProgressBar;
class QPushButton;
class QStandardItemModel;

namespace quillfen {

// What an export sheet says about the file the current kind would write.
struct ExportSummary {
    QString description;
    std::optional<QString> notice;  // the printer notice, when the kind has one
    std::vector<LayoutWarning> warnings;
};

// The window-modal panel shared by the book and calendar export sheets: the kind choice, the summary,
// the resolution check, the progress of a running export and the buttons. What it shows is read from
// the model, except which export it reports on: a written file is reported as "Saved." only until
// another export starts or the kind changes. It changes the model only through exportKind and
// runExport. GUI thread only.
class ExportSheetFrame : public QDialog {
    Q_OBJECT

public:
    using Reveal = std::function<void(const QUrl&)>;
    // How "Show in Folder" reveals the written file; the desktop's file manager by default.
    void setReveal(Reveal reveal) { m_reveal = std::move(reveal); }

    // A length in points as inches in `locale`: at most three fraction digits, trailing zeros
    // dropped, followed by " in".
    static QString inches(double points, const QLocale& locale = QLocale());

protected:
    struct Texts {
        QString title;
        std::vector<ExportKind> kinds;  // in the picker's order
        QString everyPictureSharp;
    };
    // `summary` is asked again whenever the document or the kind changes. Derived classes call
    // refresh() once they are built.
    ExportSheetFrame(AppModel& model, Texts texts, std::function<ExportSummary()> summary, QWidget* parent);
    void refresh();
    void changeEvent(QEvent* event) override;

    AppModel& m_model;

private:
    void refreshSummary();
    void refreshProgress();
    void showWarnings(const std::vector<LayoutWarning>& warnings);

    std::function<ExportSummary()> m_summary;
    Reveal m_reveal;
    // Whether the model's last written file is the end of the export the sheet shows: false from the
    // start of another export or a change of kind until an export ends with its file written.
    bool m_reportsWritten = true;
    std::vector<LayoutWarning> m_shownWarnings;
    QButtonGroup* m_kinds;
    QLabel* m_description;
    QWidget* m_notice;
    QLabel* m_noticeText;
    QWidget* m_sharp;
    QListView* m_warningList;
    QStandardItemModel* m_warnings;
    QWidget* m_progress;
    QProgressBar* m_progressBar;
    QPushButton* m_showInFolder;
    QLabel* m_saved;
    QPushButton* m_cancel;
    QPushButton* m_export;
};

}  // namespace quillfen
