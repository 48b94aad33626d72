#pragma once

#include <QIcon>
#include <QPixmap>

namespace quillfen {

// Makes Adwaita (installed with the application) the icon theme when the desktop names none; call
// before the first icon is looked up. GUI thread.
void useIconTheme();
// An icon of the desktop's theme by its freedesktop name, falling back to Adwaita (installed with the
// application) when the desktop names no theme that has it. GUI thread.
QIcon themeIcon(const QString& name);

// A black dot, `side` points square at `ratio`, that stands in for a symbol the theme lacks.
QPixmap dotSymbol(int side, qreal ratio);
// Paints the pixmap's shape in one colour, as symbol images are drawn.
void tint(QPixmap& pixmap, const QColor& color);
// A theme icon, `side` points square at `ratio`, drawn in one colour; a dot when the theme lacks it.
QPixmap tintedSymbol(const QString& themeName, const QColor& color, int side, qreal ratio);
// A theme symbol for a button: drawn in the palette's button text colour, and in its disabled button
// text colour while the button is disabled.
QIcon buttonSymbol(const QString& themeName, const QPalette& palette);

}  // namespace quillfen
