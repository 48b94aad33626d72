#include "app/widgets/WarningRow.h"

#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>

namespace quillfen {

WarningRow::WarningRow(const LayoutWarning& warning, QWidget* parent) : QWidget(parent) {
    const QColor colour = warning.severe ? QColor(Qt::red) : QColor(255, 149, 0);
    QPalette palette = this->palette();
    palette.setColor(QPalette::WindowText, colour);
    setPalette(palette);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* symbol = new QLabel(this);
    const int side = fontMetrics().height();
    symbol->setPixmap(QIcon::fromTheme("dialog-warning").pixmap(side, side));
    auto* text = new QLabel(QString::fromStdString(warning.text), this);
    text->setObjectName(QStringLiteral("warningText"));
    text->setWordWrap(true);
    text->setTextFormat(Qt::PlainText);
    layout->addWidget(symbol, 0, Qt::AlignTop);
    layout->addWidget(text, 1);
    setAccessibleName(text->text());
}

}  // namespace quillfen
