#include "app/shell/Updater.h"

#include "app/platform/Alert.h"
#include "app/platform/UpdateFramework.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>

namespace quillfen {

Updater::Updater(UpdateFramework& framework, QString appName, QString appVersion, QObject* parent)
    : QObject(parent),
      m_framework(framework),
      m_appName(appName.isEmpty() ? tr("This app") : std::move(appName)),
      m_appVersion(std::move(appVersion)),
      m_network(new QNetworkAccessManager(this)) {
    alert = showPlainAlert;
}

Updater::Outcome Updater::classify(std::optional<int> status) {
    if (!status) return Outcome::failed;
    if (*status >= 200 && *status <= 299) return Outcome::handOver;
    if (*status == 404 || *status == 410) return Outcome::upToDate;
    if (*status == 405 || *status == 501) return Outcome::handOver;
    return Outcome::failed;
}

void Updater::checkForUpdates() {
    if (m_checking) return;
    if (m_framework.feedURL().isEmpty()) {
        m_framework.checkForUpdates();
        return;
    }
    m_checking = true;
    QNetworkRequest request(m_framework.feedURL());
    request.setAttribute(QNetworkRequest::CacheLoadControlAttribute, QNetworkRequest::AlwaysNetwork);
    request.setTransferTimeout(static_cast<int>(timeout.count()));
    QNetworkReply* reply = m_network->head(request);
    connect(reply, &QNetworkReply::finished, this, [this, reply] {
        reply->deleteLater();
        const QVariant status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
        // Transport failures and time-outs carry no status; an HTTP error status still classifies.
        finishCheck(classify(status.isValid() ? std::optional<int>(status.toInt()) : std::nullopt));
    });
}

void Updater::finishCheck(Outcome outcome) {
    m_checking = false;
    switch (outcome) {
        case Outcome::handOver:
            m_framework.checkForUpdates();
            break;
        case Outcome::upToDate:
            alert(tr("You’re up to date"), tr("%1 %2 is the newest version.").arg(m_appName, m_appVersion));
            break;
        case Outcome::failed:
            alert(tr("Couldn’t check for updates"), tr("Check your internet connection and try again."));
            break;
    }
    Q_EMIT checkFinished(outcome);
}

}  // namespace quillfen
