#include "app/model/FileReading.h"

#include "app/model/OriginalsFolder.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quillfen {

namespace {

using Failure = FileContent::Failure;

const QString notRegularReason = QStringLiteral("not a regular file");
const QString tooLargeReason = QStringLiteral("larger than 512 MB");
const QString linkReason = QStringLiteral("a link to another place");

FileContent failed(Failure failure, const QString& reason) { return {{}, {}, failure, reason}; }

QString systemReason(int error) { return QString::fromLocal8Bit(std::strerror(error)); }

// Reads the file open at `descriptor` and closes it.
FileContent readOpen(int descriptor) {
    QFile file;
    if (!file.open(descriptor, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(descriptor);
        return failed(Failure::unread, file.errorString());
    }
    struct stat status {};
    if (::fstat(descriptor, &status) != 0) return failed(Failure::unread, systemReason(errno));
    if (!S_ISREG(status.st_mode)) return failed(Failure::notAnImageFile, notRegularReason);
    if (status.st_size > largestImageFile) return failed(Failure::notAnImageFile, tooLargeReason);
    // Read to the end, which a file that grows or a system file claiming 0 bytes may place elsewhere.
    FileContent content;
    content.bytes.reserve(status.st_size + 1);  // the last read, which finds the end, needs no copy
    for (qint64 step = 1; step > 0;) {
        const qint64 at = content.bytes.size();
        if (at > largestImageFile) return failed(Failure::notAnImageFile, tooLargeReason);
        content.bytes.resize(at + std::max<qint64>(content.bytes.capacity() - at, 1 << 16));
        step = file.read(content.bytes.data() + at, content.bytes.size() - at);
        if (step < 0) return failed(Failure::unread, file.errorString());
        content.bytes.resize(at + step);
    }
    content.modified =
        Date::fromUnixSeconds(static_cast<double>(status.st_mtim.tv_sec) + status.st_mtim.tv_nsec / 1e9);
    return content;
}

}  // namespace

FileContent readImageFile(const QString& path) {
    const int descriptor = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (descriptor < 0) return failed(Failure::unopened, systemReason(errno));
    return readOpen(descriptor);
}

FileContent readOriginal(const QString& path) {
    const QFileInfo original(path);
    // The folder is opened without following a link, and the file is looked up through it.
    const int folder = ::open(QFile::encodeName(original.path()).constData(), O_PATH | O_NOFOLLOW | O_CLOEXEC);
    if (folder < 0) return failed(Failure::unopened, systemReason(errno));
    struct stat status {};
    if (::fstat(folder, &status) != 0 || !S_ISDIR(status.st_mode)) {
        ::close(folder);
        return failed(Failure::unopened,
                      S_ISLNK(status.st_mode) ? OriginalsFolder::linkedFolderReason() : systemReason(ENOTDIR));
    }
    const int descriptor = ::openat(folder, QFile::encodeName(original.fileName()).constData(),
                                    O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC);
    const int error = errno;
    ::close(folder);
    if (descriptor < 0) return failed(Failure::unopened, error == ELOOP ? linkReason : systemReason(error));
    return readOpen(descriptor);
}

}  // namespace quillfen
