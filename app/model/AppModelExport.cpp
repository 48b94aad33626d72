#include "app/model/AppModel.h"

#include "app/model/ExportJob.h"
#include "app/model/detail/ExportState.h"
#include "engine/calendar/CalendarPaginator.h"

#include <QCoreApplication>
#include <QFile>

#include <sys/statvfs.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace quillfen {

namespace {

const QString printMessage = QStringLiteral("A print-ready PDF. Check your printer's spec before you order.");
const QString homeMessage = QStringLiteral("A lighter PDF on letter paper for your own printer.");

// The longest file name the usual Linux file systems take, in bytes.
constexpr qsizetype maximumNameBytes = 255;

// The proposed file name: the stem with "/" and control characters replaced, so that the name stays
// one usable file in the chosen folder, shortened to what the file system takes.
QString proposedExportName(const QString& stem, const QString& suffix) {
    QString safe;
    for (const QChar c : stem) {
        if (c == u'/') {
            safe += u'-';
        } else if (c.category() == QChar::Other_Control) {
            safe += u' ';
        } else {
            safe += c;
        }
    }
    while (!safe.isEmpty() && (safe + suffix).toUtf8().size() > maximumNameBytes) {
        safe.chop(safe.size() >= 2 && safe.at(safe.size() - 1).isLowSurrogate() ? 2 : 1);
    }
    return safe + suffix;
}

// The destination the user chose, or nothing when the dialog was cancelled or gave no local file.
std::optional<QUrl> askExportDestination(const AppModel& model, const QString& name, const QString& message) {
    if (!model.dialogs().chooseExportDestination) return std::nullopt;
    const auto url = model.dialogs().chooseExportDestination(name, message);
    if (!url || !url->isLocalFile() || url->toLocalFile().isEmpty()) return std::nullopt;
    return url;
}

// Every drawing's original, calendar-only pictures included; a drawing without a usable file name is
// left out and exports without its picture.
OriginalFiles exportFiles(const AppModel& model) {
    OriginalFiles files;
    for (const auto& drawing : model.drawings()) {
        const QString path = model.originalPath(drawing);
        if (!path.isEmpty()) files.emplace(drawing.info.id, QFile::encodeName(path).toStdString());
    }
    return files;
}

std::filesystem::path localPath(const QUrl& url) {
    return QFile::encodeName(url.toLocalFile()).toStdString();
}

// Why a file could not be written at `destination`, as far as its folder tells now: a folder that is
// gone or read-only, or a full disk. Empty when the folder shows no reason. Any thread.
QString destinationProblem(const std::filesystem::path& destination) {
    const std::string folder = destination.parent_path().empty() ? "." : destination.parent_path().string();
    struct statvfs disk {};
    if (::statvfs(folder.c_str(), &disk) != 0 || ::access(folder.c_str(), W_OK) != 0)
        return QString::fromLocal8Bit(std::strerror(errno));
    // Less room than any page takes: the file did not fit.
    constexpr unsigned long long nearlyFull = 1 << 20;
    if (static_cast<unsigned long long>(disk.f_bavail) * disk.f_frsize < nearlyFull)
        return QString::fromLocal8Bit(std::strerror(ENOSPC));
    return {};
}

}  // namespace

void AppModel::requestExport(ExportKind kind) {
    if (m_drawings.empty()) return;
    setExportKind(kind);
    setExportedURL(std::nullopt);
    setExportShown(true);
}

void AppModel::runExport(ExportKind kind) {
    if (m_exportProgress) return;
    if (m_mode == ViewMode::calendar) return runCalendarExport(kind);
    const QString title = m_settings.title.empty() ? QStringLiteral("Art Book")
                                                   : QString::fromStdString(m_settings.title);
    const QString suffix = kind == ExportKind::home    ? QStringLiteral(" \u2013 home print.pdf")
                           : kind == ExportKind::cover ? QStringLiteral(" \u2013 cover.pdf")
                                                       : QStringLiteral(" \u2013 print.pdf");
    const auto url =
        askExportDestination(*this, proposedExportName(title, suffix), kind == ExportKind::home ? homeMessage : printMessage);
    if (!url) return;
    const ExportJob job{kind,        layout(),     m_settings, m_children, bookInfos(), exportFiles(*this),
                        localPath(*url)};
    startExport([job](const PageProgress& progress) { return job.run(progress); }, *url);
}

void AppModel::runCalendarExport(ExportKind kind) {
    if (m_exportProgress) return;
    const bool home = kind == ExportKind::home;
    const QString stem = QStringLiteral("Calendar ") + QString::fromStdString(m_calendar.displayTitle());
    const auto url = askExportDestination(
        *this, proposedExportName(stem, home ? QStringLiteral(" \u2013 home print.pdf") : QStringLiteral(" \u2013 print.pdf")),
        home ? homeMessage : printMessage);
    if (!url) return;
    std::vector<DrawingInfo> infos;
    for (const auto& drawing : m_drawings) infos.push_back(drawing.info);
    const CalendarExportJob job{kind,          calendarLayout(), m_calendar,
                                m_children,    std::move(infos), exportFiles(*this),
                                localPath(*url)};
    startExport([job](const PageProgress& progress) { return job.run(progress); }, *url);
}

void AppModel::startExport(std::function<bool(const std::function<void(int, int)>&)> run, const QUrl& url) {
    setExportProgress(0.0);
    m_export->pool.start([this, run = std::move(run), url] {
        const bool written = run([this](int done, int total) { reportExportProgress(done, total); });
        const QString reason = written ? QString() : destinationProblem(localPath(url));
        QMetaObject::invokeMethod(this, [this, written, url, reason] { exportFinished(written, url, reason); },
                                  Qt::QueuedConnection);
    });
}

void AppModel::reportExportProgress(int done, int total) {
    const double progress = static_cast<double>(done) / std::max(total, 1);
    QMetaObject::invokeMethod(this, [this, progress] { setExportProgress(progress); }, Qt::QueuedConnection);
}

void AppModel::exportFinished(bool written, const QUrl& url, const QString& reason) {
    setExportProgress(std::nullopt);
    if (written) {
        setExportedURL(url);
        announce(QStringLiteral("Export finished"));
    } else {
        setError(QStringLiteral("Couldn't write the PDF."), reason);
    }
    Q_EMIT exportEnded(written);
    deleteRemovedOriginals();
}

void AppModel::waitForExport() {
    if (!m_exportProgress) return;
    setExportShown(true);
    while (m_exportProgress) {
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents | QEventLoop::ExcludeUserInputEvents);
    }
}

}  // namespace quillfen
