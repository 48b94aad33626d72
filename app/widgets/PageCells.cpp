#include "app/widgets/PageCells.h"

#include <QColor>
#include <QPainter>

#include <cmath>

namespace quillfen {

int wholePoints(double points) { return static_cast<int>(std::trunc(points)); }

void paintPageShadow(QPainter& painter, const QRectF& page) {
    for (int step = 3; step >= 1; --step) {
        painter.fillRect(page.translated(0, 2).adjusted(-step, -step, step, step),
                         QColor(0, 0, 0, static_cast<int>(0.22 * 255 / 4)));
    }
}

}  // namespace quillfen
