#include "app/platform/ShowInFolder.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QProcess>
#include <QStandardPaths>
#include <QTest>

#include <gtest/gtest.h>

using namespace quillfen;

namespace {

// A private session bus for one test, ended with it.
class PrivateBus {
public:
    PrivateBus() {
        if (QStandardPaths::findExecutable("dbus-daemon").isEmpty()) return;
        daemon.start("dbus-daemon", {"--session", "--nofork", "--print-address"});
        if (!daemon.waitForStarted() || !daemon.waitForReadyRead(10000)) return;
        address = QString::fromUtf8(daemon.readLine()).trimmed();
    }
    ~PrivateBus() {
        for (const auto& name : names) QDBusConnection::disconnectFromBus(name);
        daemon.kill();
        daemon.waitForFinished();
    }
    QDBusConnection connect(const QString& name) {
        names << name;
        return QDBusConnection::connectToBus(address, name);
    }

    QProcess daemon;
    QString address;
    QStringList names;
};

// Answers ShowItems as a desktop's file manager does, remembering what it was asked to show.
class FakeFileManager : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.FileManager1")

public:
    QStringList shown;
    QString startupId;

public Q_SLOTS:
    void ShowItems(const QStringList& uris, const QString& startup) {
        shown = uris;
        startupId = startup;
    }
};

}  // namespace

TEST(ShowInFolder, AsksTheFileManagerToShowTheFileSelected) {
    PrivateBus bus;
    if (bus.address.isEmpty()) GTEST_SKIP() << "dbus-daemon is not installed";
    FakeFileManager manager;
    QDBusConnection service = bus.connect("file-manager");
    ASSERT_TRUE(service.registerObject("/org/freedesktop/FileManager1", &manager, QDBusConnection::ExportAllSlots));
    ASSERT_TRUE(service.registerService("org.freedesktop.FileManager1"));
    int opened = 0;

    const QUrl file = QUrl::fromLocalFile("/home/someone/Art Book – print.pdf");
    ShowInFolder::show(file, bus.connect("application"), [&](const QUrl&) { return ++opened, true; });

    ASSERT_TRUE(QTest::qWaitFor([&] { return !manager.shown.isEmpty(); }, 10000));
    EXPECT_EQ(manager.shown, QStringList("file:///home/someone/Art%20Book%20%E2%80%93%20print.pdf"));
    QTest::qWait(50);
    EXPECT_EQ(opened, 0);
}

TEST(ShowInFolder, OpensTheFolderWhenNoFileManagerAnswers) {
    PrivateBus bus;
    if (bus.address.isEmpty()) GTEST_SKIP() << "dbus-daemon is not installed";
    const QUrl file = QUrl::fromLocalFile("/home/someone/books/Our Art – print.pdf");
    struct Case {
        const char* name;
        QDBusConnection connection;
    };
    const Case cases[] = {{"no file manager on the bus", bus.connect("application")},
                          {"no bus at all", QDBusConnection::connectToBus(QString(), "nowhere")}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::optional<QUrl> opened;
        ShowInFolder::show(file, c.connection, [&](const QUrl& url) { return opened = url, true; });
        ASSERT_TRUE(QTest::qWaitFor([&] { return opened.has_value(); }, 10000));
        EXPECT_EQ(opened, QUrl::fromLocalFile("/home/someone/books"));
    }
    QDBusConnection::disconnectFromBus("nowhere");
}

#include "ShowInFolderTest.moc"
