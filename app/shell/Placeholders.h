#pragma once

#include "app/shell/Screens.h"

namespace quillfen {

// Stand-ins for screens and sheets that are not built yet: a centred name, and for sheets a Close
// button. GUI thread only.
class PlaceholderScreen : public DrawingScreen {
    Q_OBJECT

public:
    PlaceholderScreen(const QString& name, QWidget* parent);
    void setDrawing(const Drawing&) override {}
};

QDialog* placeholderSheet(const QString& name, QWidget* parent);

}  // namespace quillfen
