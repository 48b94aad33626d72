#pragma once

#include "engine/book/BookLayout.h"

#include <QPixmap>
#include <QWidget>

namespace quillfen {

// The colour of a warning's symbol and text: red when it is severe, orange otherwise.
QColor warningColor(bool severe);
// The warning symbol in the warning's colour, `side` points square at `ratio`.
QPixmap warningSymbol(bool severe, int side, qreal ratio);

// One layout warning as a row: the warning symbol and the text, shown unchanged, both red when the
// warning is severe and orange otherwise. GUI thread only.
class WarningRow : public QWidget {
    Q_OBJECT

public:
    WarningRow(const LayoutWarning& warning, QWidget* parent);
};

}  // namespace quillfen
