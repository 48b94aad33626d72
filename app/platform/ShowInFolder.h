#pragma once

#include <QDBusConnection>
#include <QUrl>

#include <functional>

namespace quillfen::ShowInFolder {

// Opens a location with the desktop's default handler; true when one was started.
using Opener = std::function<bool(const QUrl&)>;

// How long the file manager may take to answer (it may first have to start) before the folder is
// opened instead.
inline constexpr int answerTimeoutMilliseconds = 8000;

// Asks the desktop's file manager (org.freedesktop.FileManager1.ShowItems on `bus`) to show `file`
// selected. When no file manager answers, or it answers with an error, `open` is given the file's
// folder instead. Returns at once; the answer is awaited on the GUI thread's event loop.
void show(const QUrl& file, const QDBusConnection& bus = QDBusConnection::sessionBus(),
          Opener open = nullptr);

}  // namespace quillfen::ShowInFolder
