#include "app/shell/Icons.h"

namespace quillfen {

QIcon themeIcon(const QString& name) {
    if (QIcon::fallbackThemeName().isEmpty() || QIcon::fallbackThemeName() == u"hicolor")
        QIcon::setFallbackThemeName(QStringLiteral("Adwaita"));
    if (QIcon::themeName().isEmpty()) QIcon::setThemeName(QStringLiteral("Adwaita"));
    return QIcon::fromTheme(name);
}

}  // namespace quillfen
