#include "app/shell/AppDelegate.h"

#include "app/model/AppModel.h"
#include "app/platform/UpdateFramework.h"
#include "app/shell/Updater.h"

namespace quillfen {

AppDelegate::AppDelegate(AppModel& model, QUrl updateFeed, QString version, QObject* parent)
    : QObject(parent), m_model(model), m_feed(std::move(updateFeed)), m_version(std::move(version)) {}

AppDelegate::~AppDelegate() = default;

void AppDelegate::finishLaunching() {
    if (m_launched) return;
    m_launched = true;
    m_model.load();
    if (!m_held.isEmpty()) m_model.importURLs(std::exchange(m_held, {}));
    updater();
}

void AppDelegate::open(const QList<QUrl>& urls) {
    if (urls.isEmpty()) return;
    if (m_launched) {
        m_model.importURLs(urls);
    } else {
        m_held += urls;
    }
}

Updater& AppDelegate::updater() {
    if (!m_updater) {
        const QString name = QStringLiteral("Quillfen");
        m_framework = std::make_unique<UpdateFramework>(m_feed, name, m_version);
        m_updater = std::make_unique<Updater>(*m_framework, name, m_version);
    }
    return *m_updater;
}

}  // namespace quillfen
