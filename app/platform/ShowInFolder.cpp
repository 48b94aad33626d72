#include "app/platform/ShowInFolder.h"

#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDesktopServices>
#include <QFileInfo>

namespace quillfen::ShowInFolder {

void show(const QUrl& file, const QDBusConnection& bus, Opener open) {
    if (!open) open = [](const QUrl& url) { return QDesktopServices::openUrl(url); };
    const QUrl folder = QUrl::fromLocalFile(QFileInfo(file.toLocalFile()).absolutePath());
    if (!bus.isConnected()) {
        open(folder);
        return;
    }
    auto message = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.FileManager1"), QStringLiteral("/org/freedesktop/FileManager1"),
        QStringLiteral("org.freedesktop.FileManager1"), QStringLiteral("ShowItems"));
    message << QStringList{file.toString(QUrl::FullyEncoded)} << QString();
    auto* watcher = new QDBusPendingCallWatcher(bus.asyncCall(message, answerTimeoutMilliseconds));
    QObject::connect(watcher, &QDBusPendingCallWatcher::finished, watcher,
                     [watcher, folder, open = std::move(open)] {
                         if (watcher->isError()) open(folder);
                         watcher->deleteLater();
                     });
}

}  // namespace quillfen::ShowInFolder
