#include "app/widgets/WarningRow.h"

#include "app/widgets/Icons.h"

#include <QHBoxLayout>
#include <QLabel>

namespace quillfen {

QColor warningColor(bool severe) { return severe ? QColor(215, 45, 40) : QColor(230, 126, 20); }

QPixmap warningSymbol(bool severe, int side, qreal ratio) {
    return tintedSymbol(QStringLiteral("dialog-warning-symbolic"), warningColor(severe), side, ratio);
}

WarningRow::WarningRow(const LayoutWarning& warning, QWidget* parent) : QWidget(parent) {
    QPalette palette = this->palette();
    palette.setColor(QPalette::WindowText, warningColor(warning.severe));
    setPalette(palette);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* symbol = new QLabel(this);
    const int side = fontMetrics().height();
    symbol->setPixmap(warningSymbol(warning.severe, side, devicePixelRatioF()));
    auto* text = new QLabel(QString::fromStdString(warning.text), this);
    text->setObjectName(QStringLiteral("warningText"));
    text->setWordWrap(true);
    text->setTextFormat(Qt::PlainText);
    layout->addWidget(symbol, 0, Qt::AlignTop);
    layout->addWidget(text, 1);
    setAccessibleName(text->text());
}

}  // namespace quillfen
