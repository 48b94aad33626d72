#pragma once

#include "app/widgets/Icons.h"
#include "tests/model/ModelFixtures.h"

#include <QCoreApplication>
#include <QIcon>
#include <QImage>
#include <QStandardPaths>
#include <QStringList>

#include <ostream>

QT_BEGIN_NAMESPACE
// Readable failure messages for Qt's strings.
inline void PrintTo(const QString& text, std::ostream* out) { *out << '"' << text.toStdString() << '"'; }
inline void PrintTo(const QStringList& list, std::ostream* out) {
    *out << '{' << list.join(QStringLiteral(" | ")).toStdString() << '}';
}
QT_END_NAMESPACE

// Drawings as processing leaves them, for the screens' tests; real files come from the model's fixtures.
namespace quillfen::testing {

// Lets the windows' coalesced refreshes, queued calls and deferred deletions run.
inline void settle() {
    for (int i = 0; i < 3; ++i) {
        QCoreApplication::processEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
}

// A processed drawing titled "Drawing <sequence>", dated `sequence` days after 14 March 2026, with a
// thumbnail of its own colour.
inline Drawing drawing(std::int64_t sequence, std::optional<UUID> child = std::nullopt, Size pixels = {2400, 2400}) {
    Drawing d;
    d.info.id = UUID::random();
    d.info.childID = child;
    d.info.date = Date::fromUnixSeconds(1773446400.0 + 86400.0 * static_cast<double>(sequence));
    d.info.sequence = sequence;
    d.info.aspect = pixels.width / pixels.height;
    d.info.pixelSize = pixels;
    d.info.title = "Drawing " + std::to_string(sequence);
    d.busy = false;
    d.thumb = QImage(120, 120, QImage::Format_RGB888);
    d.thumb.fill(QColor::fromHsv(static_cast<int>(sequence * 37 % 360), 200, 220));
    return d;
}

// While it lives, icons come from the system's icon themes as on a desktop; the offscreen platform
// looks in none of the system's icon folders.
struct DesktopIcons {
    DesktopIcons() : kept(QIcon::themeSearchPaths()) {
        QIcon::setThemeSearchPaths(kept + QStandardPaths::locateAll(QStandardPaths::GenericDataLocation,
                                                                    QStringLiteral("icons"),
                                                                    QStandardPaths::LocateDirectory));
        useIconTheme();
    }
    ~DesktopIcons() { QIcon::setThemeSearchPaths(kept); }
    QStringList kept;
};

// The most opaque pixel of a picture (the first of them), where a symbol is drawn at full strength.
inline QColor strongestPixel(const QPixmap& picture) {
    const QImage image = picture.toImage().convertToFormat(QImage::Format_ARGB32);
    QColor strongest(Qt::transparent);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixelColor(x, y).alpha() > strongest.alpha()) strongest = image.pixelColor(x, y);
    return strongest;
}

// Drawings 1 to `count`, oldest first.
inline std::vector<Drawing> drawings(int count, Size pixels = {2400, 2400}) {
    std::vector<Drawing> all;
    for (int i = 1; i <= count; ++i) all.push_back(drawing(i, std::nullopt, pixels));
    return all;
}

}  // namespace quillfen::testing
