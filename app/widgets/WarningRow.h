#pragma once

#include "engine/book/BookLayout.h"

#include <QWidget>

namespace quillfen {

// One layout warning as a row: the warning symbol and the text, shown unchanged, red when the warning
// is severe and orange otherwise. GUI thread only.
class WarningRow : public QWidget {
    Q_OBJECT

public:
    WarningRow(const LayoutWarning& warning, QWidget* parent);
};

}  // namespace quillfen
