#pragma once

// Large documents for the model's benches: a book of many drawings whose originals are missing, written
// into a data folder of its own that the model is then pointed at. GUI thread, before the model exists.

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <string>

#include "app/model/SavedBook.h"

namespace quillfen::largebooks {

// The one application the model needs, made on first use.
inline void ensureApplication() {
    static int argc = 1;
    static char name[] = "QuillfenBench";
    static char* argv[] = {name, nullptr};
    static QCoreApplication app(argc, argv);
}

// A book of `count` drawings, a minute apart, each with its title and its own original's name.
inline SavedBook bookOf(int count) {
    SavedBook book;
    for (int i = 0; i < count; ++i) {
        SavedBook::Item item;
        item.info.id = UUID::random();
        item.info.date = Date(700000000.0 + 60.0 * i);
        item.info.title = "Drawing number " + std::to_string(i);
        item.info.sequence = i;
        item.file = item.info.id.string() + ".jpeg";
        book.drawings.push_back(std::move(item));
    }
    book.nextSequence = count;
    return book;
}

// Writes the document into the data folder and points the model there.
inline void writeDocument(QTemporaryDir& data, const SavedBook& book) {
    ensureApplication();
    qputenv("XDG_DATA_HOME", data.path().toUtf8());
    const QString folder = data.path() + "/Quillfen/Book";
    QDir().mkpath(folder + "/Originals");
    QFile file(folder + "/book.json");
    const std::string bytes = documentBytes(book);
    file.open(QIODevice::WriteOnly);
    file.write(bytes.data(), static_cast<qint64>(bytes.size()));
}

}  // namespace quillfen::largebooks
