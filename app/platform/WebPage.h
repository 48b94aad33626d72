#pragma once

#include <QUrl>

#include <functional>

namespace quillfen::WebPage {

// Starts the user's browser on a page; true when one was started.
using Opener = std::function<bool(const QUrl&)>;

// Opens a page in the user's browser. When no browser can be started, an alert over the main window
// says so and shows the address to copy. Returns whether a browser was started. GUI thread only.
bool open(const QUrl& url, const Opener& opener = nullptr);

}  // namespace quillfen::WebPage
