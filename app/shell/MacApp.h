#pragma once

#include <QColor>
#include <QString>
#include <QUrl>

#include <vector>

namespace quillfen {

// One of the maker's other applications, as the More Apps list shows it. A plain value.
struct MacApp {
    QString id;      // App Store: its numeric identifier; maker's site: its lowercase slug
    QString name;    // shown as it is, never translated
    QString detail;  // one line, translated when the table is built
    QString icon;    // freedesktop icon name drawn in the row's tile
    QColor tint;     // the tile's colour
    bool direct = false;  // true: offered on the maker's site; false: on the App Store

    // The product page: the App Store's "/app/id…", or "/mac/<slug>" on the maker's site with the
    // campaign query. Identifiers need no percent-encoding.
    QUrl url() const;

    // The table of the maker's applications, read from the application's resources, in list order.
    static std::vector<MacApp> all();
};

// The closing row's link: the maker's page of all its applications.
QUrl seeAllMacAppsURL();

}  // namespace quillfen
