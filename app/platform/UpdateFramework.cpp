#include "app/platform/UpdateFramework.h"

#include "app/platform/Alert.h"
#include "app/platform/WebPage.h"

#include <QMessageBox>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QPushButton>
#include <QXmlStreamReader>

namespace quillfen {

UpdateFramework::UpdateFramework(QUrl feed, QString appName, QString appVersion, QObject* parent)
    : QObject(parent),
      m_feed(std::move(feed)),
      m_appName(std::move(appName)),
      m_appVersion(std::move(appVersion)),
      m_network(new QNetworkAccessManager(this)) {
    alert = showPlainAlert;
    offer = [this](const Item& item) {
        const auto box = alertBox(tr("A new version of %1 is available").arg(m_appName),
                                  tr("%1 %2 is available; you have %3.").arg(m_appName, item.version, m_appVersion));
        QPushButton* open = box->addButton(tr("Open Download Page"), QMessageBox::AcceptRole);
        box->addButton(tr("Not Now"), QMessageBox::RejectRole);
        box->exec();
        if (box->clickedButton() == open) WebPage::open(item.link);
    };
}

void UpdateFramework::checkForUpdates() {
    if (m_feed.isEmpty()) {
        alert(tr("This copy of %1 doesn’t check for updates itself").arg(m_appName),
              tr("New versions come from where you installed %1, such as your system’s software manager.")
                  .arg(m_appName));
        return;
    }
    QNetworkRequest request(m_feed);
    request.setAttribute(QNetworkRequest::CacheLoadControlAttribute, QNetworkRequest::AlwaysNetwork);
    request.setTransferTimeout(15000);
    QNetworkReply* reply = m_network->get(request);
    connect(reply, &QNetworkReply::finished, this, [this, reply] {
        reply->deleteLater();
        const auto newest = reply->error() == QNetworkReply::NoError ? newestItem(reply->readAll())
                                                                      : std::nullopt;
        if (!newest) {
            alert(tr("Couldn’t check for updates"), tr("Check your internet connection and try again."));
        } else if (compareVersions(newest->version, m_appVersion) > 0) {
            offer(*newest);
        } else {
            alert(tr("You’re up to date"), tr("%1 %2 is the newest version.").arg(m_appName, m_appVersion));
        }
    });
}

std::optional<UpdateFramework::Item> UpdateFramework::newestItem(const QByteArray& rss) {
    std::optional<Item> newest;
    std::optional<Item> current;
    QXmlStreamReader xml(rss);
    while (!xml.atEnd()) {
        xml.readNext();
        const auto name = xml.name();
        if (xml.isStartElement() && name == u"item") {
            current = Item{};
        } else if (xml.isStartElement() && current) {
            if (name == u"shortVersionString" || (name == u"version" && current->version.isEmpty())) {
                current->version = xml.readElementText().trimmed();
            } else if (name == u"link") {
                current->link = QUrl(xml.readElementText().trimmed());
            } else if (name == u"enclosure") {
                const auto attributes = xml.attributes();
                for (const auto& attribute : attributes) {
                    if (attribute.name() == u"shortVersionString" ||
                        (attribute.name() == u"version" && current->version.isEmpty())) {
                        current->version = attribute.value().toString().trimmed();
                    }
                }
                if (current->link.isEmpty()) current->link = QUrl(attributes.value("url").toString());
            }
        } else if (xml.isEndElement() && name == u"item" && current) {
            if (!current->version.isEmpty() &&
                (!newest || compareVersions(current->version, newest->version) > 0)) {
                newest = current;
            }
            current.reset();
        }
    }
    return xml.hasError() ? std::nullopt : newest;
}

int UpdateFramework::compareVersions(const QString& a, const QString& b) {
    const auto left = a.split('.');
    const auto right = b.split('.');
    for (qsizetype i = 0; i < std::max(left.size(), right.size()); ++i) {
        const int x = i < left.size() ? left[i].toInt() : 0;
        const int y = i < right.size() ? right[i].toInt() : 0;
        if (x != y) return x < y ? -1 : 1;
    }
    return 0;
}

}  // namespace quillfen
