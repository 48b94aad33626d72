#include "app/shell/Placeholders.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QVBoxLayout>

namespace quillfen {

PlaceholderScreen::PlaceholderScreen(const QString& name, QWidget* parent) : DrawingScreen(parent) {
    auto* label = new QLabel(name);
    label->setAlignment(Qt::AlignCenter);
    label->setForegroundRole(QPalette::PlaceholderText);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(label);
}

QDialog* placeholderSheet(const QString& name, QWidget* parent) {
    auto* sheet = new QDialog(parent);
    auto* layout = new QVBoxLayout(sheet);
    layout->addWidget(new QLabel(name));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close);
    QObject::connect(buttons, &QDialogButtonBox::rejected, sheet, &QDialog::reject);
    layout->addWidget(buttons);
    return sheet;
}

}  // namespace quillfen
