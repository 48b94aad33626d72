#pragma once

#include <QObject>
#include <QUrl>

#include <functional>
#include <optional>

class QNetworkAccessManager;

namespace quillfen {

// Stands in for a desktop update framework: reads an RSS feed set at build time, compares the newest
// item's version with the application's and offers that item's page, or says the application is up to
// date. Checks happen only when the user asks. GUI thread only; the request itself is asynchronous.
class UpdateFramework : public QObject {
    Q_OBJECT

public:
    struct Item {
        QString version;
        QUrl link;
    };

    UpdateFramework(QUrl feed, QString appName, QString appVersion, QObject* parent = nullptr);

    // Empty when this build has no feed.
    const QUrl& feedURL() const { return m_feed; }
    // A check run entirely by the framework, with its own messages.
    void checkForUpdates();

    // The newest item of an RSS feed by version; nothing when no item names a version.
    static std::optional<Item> newestItem(const QByteArray& rss);
    // Negative, zero or positive as version `a` is older than, equal to or newer than `b`, comparing
    // dot-separated numbers ("1.10" is newer than "1.9"; missing parts count as 0).
    static int compareVersions(const QString& a, const QString& b);

    // How the framework speaks to the user; replaced by tests.
    std::function<void(const QString& title, const QString& text)> alert;
    std::function<void(const Item& item)> offer;

private:
    QUrl m_feed;
    QString m_appName;
    QString m_appVersion;
    QNetworkAccessManager* m_network;
};

}  // namespace quillfen
