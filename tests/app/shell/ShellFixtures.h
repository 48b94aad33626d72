#pragma once

#include "app/model/AppModel.h"

#include <QCoreApplication>
#include <QImage>
#include <QStringList>

#include <ostream>

QT_BEGIN_NAMESPACE
// Readable failure messages for Qt's strings.
inline void PrintTo(const QString& text, std::ostream* out) { *out << '"' << text.toStdString() << '"'; }
inline void PrintTo(const QStringList& list, std::ostream* out) {
    *out << '{' << list.join(QStringLiteral(" | ")).toStdString() << '}';
}
QT_END_NAMESPACE

namespace quillfen::testing {

// Lets the window's coalesced refreshes, queued calls and deferred deletions run.
inline void settle() {
    for (int i = 0; i < 3; ++i) {
        QCoreApplication::processEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
}

// A processed drawing of `sequence`, dated a day apart, optionally of a child and with a thumbnail.
inline Drawing drawing(std::int64_t sequence, std::optional<UUID> child = std::nullopt, bool withThumb = true) {
    Drawing d;
    d.info.id = UUID::random();
    d.info.childID = child;
    d.info.date = Date::fromUnixSeconds(1773446400.0 + 86400.0 * static_cast<double>(sequence));  // 14 March 2026
    d.info.sequence = sequence;
    d.info.pixelSize = {3000, 3000};
    d.info.title = "Drawing " + std::to_string(sequence);
    d.busy = false;
    if (withThumb) {
        d.thumb = QImage(70, 70, QImage::Format_RGB888);
        d.thumb.fill(Qt::darkGreen);
    }
    return d;
}

}  // namespace quillfen::testing
