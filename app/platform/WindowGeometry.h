#pragma once

#include <QRect>
#include <QString>

class QWidget;

// Window places that the desktop does not keep for the program. GUI thread only.
namespace quillfen::WindowGeometry {

// Gives the window the size and position saved in the settings under `key`, brought back onto a
// screen when it no longer fits there (never below the window's minimum size); false when none was saved (the window keeps its own). From
// then on saves them under `key` whenever the window closes and when the application quits.
bool keep(QWidget& window, const QString& key);

// The frame shrunk to fit `available` (a screen's free area) and moved as little as needed into it.
QRect movedInside(QRect frame, const QRect& available);

// The frame of `size` centred over the frame `over`, moved as little as needed to lie inside
// `available` (the screen's free area).
QRect centredOver(QSize size, const QRect& over, const QRect& available);

}  // namespace quillfen::WindowGeometry
