#pragma once

#include <QList>
#include <QObject>
#include <QUrl>

#include <memory>

namespace quillfen {

class AppModel;
class Updater;
class UpdateFramework;

// Starts the application once its event loop runs: reads the saved library, then imports the files
// the application was opened with (held until then, so that the load cannot replace them), then
// starts the update framework. GUI thread only.
class AppDelegate : public QObject {
    Q_OBJECT

public:
    AppDelegate(AppModel& model, QUrl updateFeed, QString version, QObject* parent = nullptr);
    ~AppDelegate() override;

    // Loads the library, imports the files held so far, and starts the update framework. Once.
    void finishLaunching();
    // Files opened with the application: imported at once after launching finished, held before.
    void open(const QList<QUrl>& urls);

    // The update check; its first use starts the update framework.
    Updater& updater();

private:
    AppModel& m_model;
    QUrl m_feed;
    QString m_version;
    bool m_launched = false;
    QList<QUrl> m_held;
    std::unique_ptr<UpdateFramework> m_framework;
    std::unique_ptr<Updater> m_updater;
};

}  // namespace quillfen
