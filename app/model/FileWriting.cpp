#include "app/model/FileWriting.h"

#include <QSaveFile>

#include <cerrno>
#include <cstring>

#include <unistd.h>

namespace quillfen {

std::optional<QString> writeWholeFile(const QString& path, QByteArrayView data) {
    QSaveFile file(path);  // dropped before its commit, it leaves the old file and no other behind
    // Unbuffered, every write reaches the system at once and a failure comes with its reason.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) return file.errorString();
    // A write the system cuts short is followed by another, which then fails with the reason.
    for (qint64 written = 0; written < data.size();) {
        const qint64 step = file.write(data.data() + written, data.size() - written);
        if (step <= 0) return file.errorString();
        written += step;
    }
    // The commit would rename the file even when its data failed to reach the disk: synced here, where
    // a failure can still stop it.
    if (::fsync(file.handle()) != 0) return QString::fromLocal8Bit(std::strerror(errno));
    if (!file.commit()) return file.errorString();
    return std::nullopt;
}

}  // namespace quillfen
