#pragma once

#include "app/model/AppModel.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QTest>

#include <gtest/gtest.h>

namespace quillfen::testing_support {

// The book folder of a persisting model under the tests' private XDG_DATA_HOME.
inline QString bookFolder() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + "/Quillfen/Book";
}
inline QString documentPath() { return bookFolder() + "/book.json"; }

// Starts each test with no book folder at all.
inline void removeBookFolder() { QDir(bookFolder()).removeRecursively(); }

inline void writeFile(const QString& path, const QByteArray& bytes) {
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

inline QByteArray readFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Waits, handling events, until no drawing of the model is busy.
inline bool waitUntilProcessed(AppModel& model, int timeoutMs = 60000) {
    return QTest::qWaitFor(
        [&] {
            return std::none_of(model.drawings().begin(), model.drawings().end(),
                                [](const Drawing& d) { return d.busy; });
        },
        timeoutMs);
}

}  // namespace quillfen::testing_support
