#include "app/shell/MacApp.h"

#include "app/shell/Site.h"

#include <QCoreApplication>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace quillfen {

namespace {

const QString campaign = QStringLiteral("utm_source=quillfen&utm_medium=mac-app&utm_campaign=more-apps");

QUrl onMakerSite(const QString& path, const QString& query) {
    QUrl url = site::maker();
    url.setPath(path);
    url.setQuery(query);
    return url;
}

}  // namespace

QUrl MacApp::url() const {
    if (direct) return onMakerSite(QStringLiteral("/mac/") + id, campaign);
    return QUrl(QStringLiteral("https://apps.apple.com/app/id") + id);
}

std::vector<MacApp> MacApp::all() {
    QFile file(QStringLiteral(":/quillfen/more-apps.json"));
    file.open(QIODevice::ReadOnly);
    std::vector<MacApp> apps;
    const QJsonArray rows = QJsonDocument::fromJson(file.readAll()).array();
    for (const QJsonValue& value : rows) {
        const QJsonObject row = value.toObject();
        const QByteArray detail = row.value("detail").toString().toUtf8();
        apps.push_back({row.value("id").toString(), row.value("name").toString(),
                        QCoreApplication::translate("MacApp", detail.constData()),
                        row.value("icon").toString(), QColor(row.value("tint").toString()),
                        row.value("direct").toBool()});
    }
    return apps;
}

QUrl seeAllMacAppsURL() {
    static const QUrl url = onMakerSite(QStringLiteral("/mac"), campaign + QStringLiteral("&utm_content=all"));
    return url;
}

}  // namespace quillfen
