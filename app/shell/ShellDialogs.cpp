#include "app/shell/ShellDialogs.h"

#include <QBuffer>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QImage>
#include <QMimeData>
#include <QStandardPaths>

#include <algorithm>

namespace quillfen {

namespace {

const QStringList imageMimeTypes{QStringLiteral("image/png"), QStringLiteral("image/jpeg"),
                                 QStringLiteral("image/heic"), QStringLiteral("image/heif"),
                                 QStringLiteral("image/tiff")};

QString imageFilter() {
    return QFileDialog::tr("Images (*.jpg *.jpeg *.png *.tif *.tiff *.heic *.heif *.JPG *.JPEG *.PNG *.HEIC)");
}

// An open dialog that takes files and folders alike: "Add" on a selected folder chooses the folder
// instead of opening it (a double click still opens it).
class FilesOrFolderDialog : public QFileDialog {
public:
    using QFileDialog::QFileDialog;

    void accept() override {
        const auto chosen = selectedFiles();
        const bool allExist = !chosen.isEmpty() && std::all_of(chosen.begin(), chosen.end(), [](const QString& f) {
            return QFileInfo::exists(f);
        });
        if (allExist) {
            QDialog::accept();
        } else {
            QFileDialog::accept();
        }
    }
};

QList<QUrl> chooseFiles(QWidget* window) {
    FilesOrFolderDialog dialog(window, QFileDialog::tr("Choose photos or scans of drawings, or a folder of them."));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setFileMode(QFileDialog::ExistingFiles);
    dialog.setNameFilters({imageFilter(), QFileDialog::tr("All files (*)")});
    dialog.setLabelText(QFileDialog::Accept, QFileDialog::tr("Add"));
    if (dialog.exec() != QDialog::Accepted) return {};
    QList<QUrl> urls;
    for (const auto& file : dialog.selectedFiles()) urls << QUrl::fromLocalFile(file);
    return urls;
}

std::optional<QUrl> chooseExportDestination(QWidget* window, const QString& proposedName, const QString& message) {
    QFileDialog dialog(window, message);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setNameFilter(QFileDialog::tr("PDF (*.pdf)"));
    dialog.setDefaultSuffix(QStringLiteral("pdf"));
    dialog.setDirectory(QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation));
    dialog.selectFile(proposedName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    return QUrl::fromLocalFile(dialog.selectedFiles().first());
}

}  // namespace

ModelDialogs shellDialogs(QWidget* window) {
    return ModelDialogs{
        [window] { return chooseFiles(window); },
        [window](const QString& name, const QString& message) { return chooseExportDestination(window, name, message); },
    };
}

QFileDialog* makePhotoDialog(QWidget* window) {
    // A folder that does not exist would be taken as a file name to select.
    QString folder = QStandardPaths::writableLocation(QStandardPaths::PicturesLocation);
    if (!QFileInfo(folder).isDir()) folder = QDir::homePath();
    auto* dialog = new QFileDialog(window, QFileDialog::tr("Add from Photos"), folder, imageFilter());
    dialog->setFileMode(QFileDialog::ExistingFiles);
    dialog->setLabelText(QFileDialog::Accept, QFileDialog::tr("Add"));
    dialog->setWindowModality(Qt::WindowModal);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    return dialog;
}

DroppedItems droppedItems(const QMimeData& data) {
    DroppedItems items;
    for (const auto& url : data.urls()) {
        if (url.isLocalFile()) items.files << url;
    }
    if (!items.files.isEmpty()) return items;
    for (const auto& type : imageMimeTypes) {
        if (data.hasFormat(type)) {
            items.images << data.data(type);
            return items;
        }
    }
    if (data.hasImage()) {
        QByteArray png;
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        if (qvariant_cast<QImage>(data.imageData()).save(&buffer, "PNG")) items.images << png;
    }
    return items;
}

bool acceptsDrop(const QMimeData& data) {
    return data.hasUrls() || data.hasImage() ||
           std::any_of(imageMimeTypes.begin(), imageMimeTypes.end(), [&](const QString& t) { return data.hasFormat(t); });
}

}  // namespace quillfen
