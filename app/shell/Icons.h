#pragma once

#include <QIcon>

namespace quillfen {

// An icon of the desktop's theme by its freedesktop name, falling back to Adwaita (installed with the
// application) when the desktop names no theme that has it. GUI thread.
QIcon themeIcon(const QString& name);

}  // namespace quillfen
