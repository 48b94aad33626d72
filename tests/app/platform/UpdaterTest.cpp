#include "app/platform/UpdateFramework.h"
#include "app/shell/Updater.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMainWindow>
#include <QMessageBox>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

#include <vector>

#include <gtest/gtest.h>

using namespace quillfen;

namespace {

// A local HTTP server that answers every request with one status, or never answers at all.
class FeedServer {
public:
    explicit FeedServer(std::optional<int> status) {
        server.listen(QHostAddress::LocalHost);
        QObject::connect(&server, &QTcpServer::newConnection, [this, status] {
            QTcpSocket* socket = server.nextPendingConnection();
            ++requests;
            QObject::connect(socket, &QTcpSocket::readyRead, socket, [socket, status] {
                const QByteArray request = socket->readAll();
                if (!status) return;
                socket->write(QByteArray("HTTP/1.1 ") + QByteArray::number(*status) +
                              " Status\r\nContent-Length: 0\r\nConnection: close\r\n\r\n");
                socket->disconnectFromHost();
            });
        });
    }
    QUrl url() const { return QUrl(QString("http://127.0.0.1:%1/feed.xml").arg(server.serverPort())); }

    QTcpServer server;
    int requests = 0;
};

struct Probe {
    UpdateFramework framework;
    Updater updater;
    int handedOver = 0;
    QStringList alerts;

    explicit Probe(const QUrl& feed)
        : framework(feed, "Quillfen", "1.0.0"), updater(framework, "Quillfen", "1.0.0") {
        updater.timeout = std::chrono::milliseconds(300);
        updater.alert = [this](const QString& title, const QString&) { alerts << title; };
        framework.alert = [this](const QString& title, const QString&) { alerts << "framework: " + title; };
        // The framework's own check reads the feed with GET; counting its alerts tells a hand-over.
        QObject::connect(&updater, &Updater::checkFinished, [this](Updater::Outcome outcome) {
            handedOver += outcome == Updater::Outcome::handOver;
        });
    }
};

}  // namespace

TEST(Updater, ProbeStatusDecidesBetweenHandOverUpToDateAndFailure) {
    struct Case { std::optional<int> status; Updater::Outcome outcome; QString alert; };
    const Case cases[] = {
        {200, Updater::Outcome::handOver, ""},
        {405, Updater::Outcome::handOver, ""},
        {501, Updater::Outcome::handOver, ""},
        {404, Updater::Outcome::upToDate, "You’re up to date"},
        {410, Updater::Outcome::upToDate, "You’re up to date"},
        {403, Updater::Outcome::failed, "Couldn’t check for updates"},
        {500, Updater::Outcome::failed, "Couldn’t check for updates"},
        {std::nullopt, Updater::Outcome::failed, "Couldn’t check for updates"},  // never answers
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.status ? *c.status : 0);
        FeedServer server(c.status);
        Probe probe(server.url());
        QSignalSpy finished(&probe.updater, &Updater::checkFinished);
        probe.updater.checkForUpdates();
        probe.updater.checkForUpdates();  // ignored while the probe runs
        ASSERT_TRUE(finished.wait(5000));
        EXPECT_EQ(finished.count(), 1);
        EXPECT_EQ(finished.first().first().value<Updater::Outcome>(), c.outcome);
        if (c.outcome != Updater::Outcome::handOver) {
            EXPECT_EQ(probe.alerts, QStringList{c.alert});
        }
        EXPECT_FALSE(probe.updater.checking());
    }
}

TEST(Updater, AlertsShowHeadlineAndSentenceOverTheMainWindowInWordsAParentReads) {
    QMainWindow main;
    main.show();
    QWidget other;  // the user is elsewhere when the answer comes
    other.show();
    struct Shown { QString headline, sentence; QWidget* over; };
    struct Case { const char* what; std::optional<int> status; bool feed; QString headline; QString sentence; };
    const Case cases[] = {
        {"up to date", 404, true, "You’re up to date", "Quillfen 1.0.0 is the newest version."},
        {"failed", 500, true, "Couldn’t check for updates", "Check your internet connection and try again."},
        {"no feed in this build", std::nullopt, false, "This copy of Quillfen doesn’t check for updates itself",
         "New versions come from where you installed Quillfen, such as your system’s software manager."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        FeedServer server(c.status);
        UpdateFramework framework(c.feed ? server.url() : QUrl(), "Quillfen", "1.0.0");
        Updater updater(framework, "Quillfen", "1.0.0");
        std::vector<Shown> shown;
        QTimer answer;  // reads and closes each alert from inside its modal loop
        QObject::connect(&answer, &QTimer::timeout, [&] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                shown.push_back({box->text(), box->informativeText(), box->parentWidget()});
                box->button(QMessageBox::Ok)->click();
            }
        });
        answer.start(10);
        QSignalSpy finished(&updater, &Updater::checkFinished);
        updater.checkForUpdates();
        if (c.feed) {
            ASSERT_TRUE(finished.wait(5000));
        }
        ASSERT_EQ(shown.size(), 1u);
        EXPECT_EQ(shown[0].headline, c.headline);
        EXPECT_EQ(shown[0].sentence, c.sentence);
        EXPECT_EQ(shown[0].over, &main);
        EXPECT_FALSE(shown[0].sentence.contains("feed"));
    }
}
