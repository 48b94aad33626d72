#pragma once

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QStandardPaths>

#include <sys/resource.h>
#include <csignal>

// Processes of the end-to-end tests: an X server of the test's own, the real program, and this test
// program itself acting as the application in a process of its own (so that it can be killed).
namespace quillfen::testing {

// An X server of the test's own, so the real program runs as on a desktop.
class Xvfb {
public:
    Xvfb() {
        const QString program = QStandardPaths::findExecutable("Xvfb");
        if (program.isEmpty()) return;
        server.start(program, {"-displayfd", "1", "-screen", "0", "1600x1000x24", "-nolisten", "tcp"});
        if (server.waitForReadyRead(10000)) display = ":" + QString::fromLatin1(server.readLine().trimmed());
    }
    ~Xvfb() {
        server.terminate();
        server.waitForFinished(5000);
    }
    QProcess server;
    QString display;  // empty when no server started
};

// A process on the test's display with its own data and settings folders under `home`; killed when
// it is still running at the end of its scope. `fileSizeLimit` (bytes, 0: none) stands in for a full
// disk: writes past it fail with EFBIG instead of killing the process. `memoryLimit` (bytes of address
// space, 0: none) makes a reckless allocation fail instead of taking the machine's memory.
class Copy : public QProcess {
public:
    Copy(const QString& program, const QString& home, const QStringList& arguments, qint64 fileSizeLimit = 0,
         qint64 memoryLimit = 0) {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("QT_QPA_PLATFORM", "xcb");
        environment.insert("XDG_DATA_HOME", home + "/data");
        environment.insert("XDG_CONFIG_HOME", home + "/config");
        setProcessEnvironment(environment);
        setProcessChannelMode(QProcess::SeparateChannels);
        setReadChannel(QProcess::StandardOutput);
        setChildProcessModifier([fileSizeLimit, memoryLimit] {
            if (fileSizeLimit > 0) {
                std::signal(SIGXFSZ, SIG_IGN);
                const rlimit limit{static_cast<rlim_t>(fileSizeLimit), static_cast<rlim_t>(fileSizeLimit)};
                setrlimit(RLIMIT_FSIZE, &limit);
            }
            if (memoryLimit > 0) {
                const rlimit limit{static_cast<rlim_t>(memoryLimit), static_cast<rlim_t>(memoryLimit)};
                setrlimit(RLIMIT_AS, &limit);
            }
        });
        start(program, arguments);
        waitForStarted();
    }
    ~Copy() override {
        if (state() == QProcess::NotRunning) return;
        kill();
        waitForFinished();
    }
    // Asks the program to quit as the desktop does at logout; its exit code, -1 when it did not exit.
    int quit() {
        terminate();
        return waitForFinished(30000) && exitStatus() == QProcess::NormalExit ? exitCode() : -1;
    }
    // Waits for a line the process prints; false when it exits or the time runs out first.
    bool waitForLine(const QByteArray& line, int milliseconds = 180000) {
        QDeadlineTimer deadline(milliseconds);
        while (!deadline.hasExpired()) {
            while (canReadLine()) {
                if (readLine().trimmed() == line) return true;
            }
            if (state() == QProcess::NotRunning) return false;
            waitForReadyRead(100);
        }
        return false;
    }
    void killNow() {
        kill();
        waitForFinished();
    }
};

// The path of the real program.
inline QString quillfenProgram() { return QStringLiteral(QUILLFEN_EXECUTABLE); }

// The saved document under `home`, or an empty object when there is none or it does not parse.
inline QJsonObject savedBook(const QString& home) {
    QFile file(home + "/data/Quillfen/Book/book.json");
    if (!file.open(QIODevice::ReadOnly)) return {};
    return QJsonDocument::fromJson(file.readAll()).object();
}

// The drawings' count in the saved document; -1 before there is one.
inline int drawingsOnDisk(const QString& home) {
    const QJsonObject book = savedBook(home);
    return book.isEmpty() ? -1 : static_cast<int>(book.value("drawings").toArray().size());
}

inline QStringList originals(const QString& home) {
    return QDir(home + "/data/Quillfen/Book/Originals").entryList(QDir::Files | QDir::Hidden, QDir::Name);
}

}  // namespace quillfen::testing
