#include "app/shell/SingleInstance.h"

#include <QCryptographicHash>
#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>

namespace quillfen {

namespace {

// A message is one encoded URL per line, ended by an empty line; the answer is one newline.
constexpr qint64 largestMessage = 4 << 20;

QByteArray message(const QList<QUrl>& urls) {
    QByteArray bytes;
    for (const QUrl& url : urls) bytes += url.toEncoded() + '\n';
    return bytes + '\n';
}

}  // namespace

SingleInstance::SingleInstance(const QString& bookFolder, QObject* parent)
    : QObject(parent),
      m_name(QStringLiteral("quillfen-") +
             QString::fromLatin1(QCryptographicHash::hash(QDir(bookFolder).absolutePath().toUtf8(),
                                                          QCryptographicHash::Sha256)
                                     .toHex()
                                     .left(24))) {}

bool SingleInstance::forward(const QList<QUrl>& urls, std::chrono::milliseconds timeout) const {
    const int wait = static_cast<int>(timeout.count());
    QLocalSocket socket;
    socket.connectToServer(m_name);
    if (!socket.waitForConnected(wait)) return false;
    socket.write(message(urls));
    if (!socket.waitForBytesWritten(wait)) return false;
    while (!socket.canReadLine()) {
        if (!socket.waitForReadyRead(wait)) return false;
    }
    return true;
}

bool SingleInstance::listen() {
    m_server = new QLocalServer(this);
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    if (!m_server->listen(m_name)) {
        // This copy owns the book folder, so a socket under the name is a dead copy's leftover.
        QLocalServer::removeServer(m_name);
        if (!m_server->listen(m_name)) return false;
    }
    connect(m_server, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* socket = m_server->nextPendingConnection()) {
            connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
            connect(socket, &QLocalSocket::readyRead, this, [this, socket] { read(socket); });
            read(socket);
        }
    });
    return true;
}

void SingleInstance::stopListening() {
    if (m_server) m_server->close();
}

void SingleInstance::read(QLocalSocket* socket) {
    if (socket->bytesAvailable() > largestMessage) {
        socket->abort();
        return;
    }
    const QByteArray received = socket->peek(socket->bytesAvailable());
    const bool complete = received == "\n" || received.endsWith("\n\n");
    if (!complete) return;
    socket->readAll();
    QList<QUrl> urls;
    for (const QByteArray& line : received.split('\n')) {
        if (line.isEmpty()) continue;
        const QUrl url = QUrl::fromEncoded(line);
        if (url.isLocalFile()) urls << url;
    }
    Q_EMIT opened(urls);
    socket->write("\n");
    socket->disconnectFromServer();
}

}  // namespace quillfen
