#pragma once

#include <QRectF>
#include <QString>

class QWidget;

namespace quillfen {

// What a widget that paints a grid of cells itself tells assistive technologies about each cell, so
// that every cell is read as one element. Cells are numbered 0 … cellCount() − 1. GUI thread only.
class CellGrid {
public:
    virtual ~CellGrid() = default;

    virtual int cellCount() const = 0;
    // Where the cell lies, in the widget's own coordinates.
    virtual QRectF cellArea(int cell) const = 0;
    // The cell's one-line description, read verbatim.
    virtual QString cellText(int cell) const = 0;
    // Cells with a default action are read as buttons; the others as plain text.
    virtual bool cellsHaveAction() const { return false; }
    virtual void runCellAction(int /*cell*/) {}
};

// Makes every widget that is also a CellGrid appear to assistive technologies as a group with one
// child element per cell. Idempotent; GUI thread.
void installAccessibleGrids();

// Tells assistive technologies that the grid's cells changed (their number, places or texts).
void announceCellsChanged(QWidget* grid);

}  // namespace quillfen
