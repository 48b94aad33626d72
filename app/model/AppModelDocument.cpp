#include "app/model/AppModel.h"

#include "app/model/detail/DocumentState.h"

#include <QDir>
#include <QStandardPaths>

namespace quillfen {

QString AppModel::folder() const {
    QString path;
    if (m_persist) {
        path = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + "/Quillfen/Book";
    } else {
        auto& temporary = m_document->temporaryFolder;
        if (!temporary) temporary = std::make_unique<QTemporaryDir>(QDir::tempPath() + "/quillfen-XXXXXX");
        path = temporary->path();
    }
    QDir().mkpath(path + "/Originals");
    return path;
}

QString AppModel::originalPath(const Drawing& drawing) const {
    const QString& name = drawing.file;
    if (name.isEmpty() || name == "." || name == ".." || name.contains('/') || name.contains(QChar(0))) {
        return {};
    }
    return folder() + "/Originals/" + name;
}

void AppModel::save() {}
void AppModel::load() {}
void AppModel::scheduleSave() {}
void AppModel::prepareToQuit() {}
bool AppModel::ownsBookFolder() const { return true; }

}  // namespace quillfen
