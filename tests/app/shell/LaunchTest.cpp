#include <QDir>
#include <QFile>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QPainter>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

namespace {

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

// A copy of the program on the test's display, with its own data and settings folders.
class Copy : public QProcess {
public:
    Copy(const QString& display, const QString& home, const QStringList& files) {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("DISPLAY", display);
        environment.insert("QT_QPA_PLATFORM", "xcb");
        environment.insert("XDG_DATA_HOME", home + "/data");
        environment.insert("XDG_CONFIG_HOME", home + "/config");
        setProcessEnvironment(environment);
        setProcessChannelMode(QProcess::ForwardedErrorChannel);
        start(QUILLFEN_EXECUTABLE, files);
        waitForStarted();
    }
    ~Copy() override {
        if (state() == QProcess::NotRunning) return;
        kill();
        waitForFinished();
    }
    int quit() {
        terminate();
        return waitForFinished(30000) && exitStatus() == QProcess::NormalExit ? exitCode() : -1;
    }
};

// The drawings' count in the saved document; -1 before there is one.
int drawingsOnDisk(const QString& home) {
    QFile file(home + "/data/Quillfen/Book/book.json");
    if (!file.open(QIODevice::ReadOnly)) return -1;
    return static_cast<int>(QJsonDocument::fromJson(file.readAll()).object().value("drawings").toArray().size());
}

QString drawingFile(const QString& folder, const QString& name, Qt::GlobalColor colour) {
    QImage image(320, 240, QImage::Format_RGB888);
    image.fill(Qt::white);
    QPainter(&image).fillRect(60, 40, 200, 160, colour);
    const QString path = folder + "/" + name;
    image.save(path);
    return path;
}

}  // namespace

// Files given at launch arrive after the library has loaded, a second copy hands its files to the
// running one and exits, and a change still pending when the program is told to quit reaches the disk.
TEST(Launch, OpenedFilesJoinTheLoadedLibraryThroughOneCopyAndSurviveQuitting) {
    Xvfb x;
    if (x.display.isEmpty()) GTEST_SKIP() << "Xvfb is not installed";
    QTemporaryDir home;
    const QString a = drawingFile(home.path(), "a.png", Qt::red);
    const QString b = drawingFile(home.path(), "b.png", Qt::blue);
    const QString c = drawingFile(home.path(), "c.png", Qt::green);

    {
        Copy first(x.display, home.path(), {a});
        ASSERT_TRUE(QTest::qWaitFor([&] { return drawingsOnDisk(home.path()) == 1; }, 30000));
        EXPECT_EQ(first.quit(), 0);
    }
    Copy first(x.display, home.path(), {b});
    EXPECT_TRUE(QTest::qWaitFor([&] { return drawingsOnDisk(home.path()) == 2; }, 30000))
        << "the file given at launch was replaced by the library's load";

    Copy second(x.display, home.path(), {c});
    ASSERT_TRUE(second.waitForFinished(30000));
    EXPECT_EQ(second.exitCode(), 0);
    EXPECT_EQ(first.state(), QProcess::Running);
    EXPECT_EQ(first.quit(), 0);  // at once: the forwarded drawing is still waiting for its autosave
    EXPECT_EQ(drawingsOnDisk(home.path()), 3);
}
