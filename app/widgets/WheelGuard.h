#pragma once

class QWidget;

namespace quillfen {

// Keeps the mouse wheel for scrolling over a panel of controls: a combo box, spin box, date field or
// slider inside `panel` (also one added later) turns with the wheel only while it has keyboard focus,
// and the wheel never gives it focus; otherwise the wheel goes on to the panel, which scrolls.
// GUI thread only.
void guardWheel(QWidget* panel);

}  // namespace quillfen
