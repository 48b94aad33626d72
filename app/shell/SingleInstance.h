#pragma once

#include <QList>
#include <QObject>
#include <QUrl>

#include <chrono>

class QLocalServer;
class QLocalSocket;

namespace quillfen {

// One running copy per book folder. The copy that owns the folder listens on a local socket named
// after it; a copy started later hands its files to that one and exits. Only the same user can connect.
// GUI thread only.
class SingleInstance : public QObject {
    Q_OBJECT

public:
    explicit SingleInstance(const QString& bookFolder, QObject* parent = nullptr);

    // Hands the files (possibly none) to the running copy; true once that copy has taken them, false
    // when no copy answers within the timeout.
    bool forward(const QList<QUrl>& urls, std::chrono::milliseconds timeout) const;
    // Starts taking files from later copies; false when the socket cannot be opened. A socket left
    // behind by a copy that died is replaced.
    bool listen();
    // Takes no more files: later copies then wait for the book folder instead.
    void stopListening();

Q_SIGNALS:
    // A later copy was started with these files; an empty list asks only for the window.
    void opened(const QList<QUrl>& urls);

private:
    void read(QLocalSocket* socket);

    QString m_name;
    QLocalServer* m_server = nullptr;
};

}  // namespace quillfen
