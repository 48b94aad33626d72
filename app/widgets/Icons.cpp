#include "app/widgets/Icons.h"

#include <QPainter>
#include <QPalette>

namespace quillfen {

void useIconTheme() {
    // Without a desktop session Qt settles on the bare "hicolor" theme, which has none of our icons.
    if (QIcon::fallbackThemeName().isEmpty() || QIcon::fallbackThemeName() == u"hicolor")
        QIcon::setFallbackThemeName(QStringLiteral("Adwaita"));
    if (QIcon::themeName().isEmpty() || QIcon::themeName() == u"hicolor")
        QIcon::setThemeName(QStringLiteral("Adwaita"));
}

QIcon themeIcon(const QString& name) {
    useIconTheme();
    return QIcon::fromTheme(name);
}

QPixmap dotSymbol(int side, qreal ratio) {
    QPixmap pixmap(QSize(side, side) * ratio);
    pixmap.setDevicePixelRatio(ratio);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setBrush(Qt::black);
    painter.setPen(Qt::NoPen);
    painter.drawEllipse(QRectF(2, 2, side - 4, side - 4));
    return pixmap;
}

void tint(QPixmap& pixmap, const QColor& color) {
    QPainter painter(&pixmap);
    painter.setCompositionMode(QPainter::CompositionMode_SourceIn);
    painter.fillRect(pixmap.rect(), color);
}

QPixmap tintedSymbol(const QString& themeName, const QColor& color, int side, qreal ratio) {
    QPixmap pixmap = themeIcon(themeName).pixmap(QSize(side, side), ratio);
    if (pixmap.isNull()) pixmap = dotSymbol(side, ratio);
    tint(pixmap, color);
    return pixmap;
}

QIcon buttonSymbol(const QString& themeName, const QPalette& palette) {
    QIcon icon;
    for (const int side : {16, 24, 32, 48}) {
        icon.addPixmap(tintedSymbol(themeName, palette.color(QPalette::Active, QPalette::ButtonText), side, 1));
        icon.addPixmap(tintedSymbol(themeName, palette.color(QPalette::Disabled, QPalette::ButtonText), side, 1),
                       QIcon::Disabled);
    }
    return icon;
}

}  // namespace quillfen
