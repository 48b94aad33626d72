#pragma once

#include <QObject>
#include <QUrl>

#include <chrono>
#include <functional>

class QNetworkAccessManager;
class QNetworkReply;

namespace quillfen {

class UpdateFramework;

// Serves "Check for Updates…": probes the update feed with a HEAD request first, then hands the check
// to the framework, or reports that the application is up to date or that the check failed. At most
// one probe runs at a time. GUI thread only; the request runs asynchronously.
class Updater : public QObject {
    Q_OBJECT

public:
    enum class Outcome { handOver, upToDate, failed };
    Q_ENUM(Outcome)

    Updater(UpdateFramework& framework, QString appName, QString appVersion, QObject* parent = nullptr);

    void checkForUpdates();
    bool checking() const { return m_checking; }

    // The outcome of a probe's answer: an HTTP status, or none when the answer was not HTTP.
    static Outcome classify(std::optional<int> status);

    // Seams for tests: how long a probe may take and how alerts are shown.
    std::chrono::milliseconds timeout{15000};
    std::function<void(const QString& title, const QString& text)> alert;

Q_SIGNALS:
    // A probe ended and its outcome was acted on.
    void checkFinished(Outcome outcome);

private:
    void finishCheck(Outcome outcome);

    UpdateFramework& m_framework;
    QString m_appName;
    QString m_appVersion;
    QNetworkAccessManager* m_network;
    bool m_checking = false;
};

}  // namespace quillfen
