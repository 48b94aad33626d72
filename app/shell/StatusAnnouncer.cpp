#include "app/shell/StatusAnnouncer.h"

#include <QAccessible>

namespace quillfen {

StatusAnnouncer::StatusAnnouncer(QWidget* parent) : QLabel(parent) {
    setObjectName(QStringLiteral("statusAnnouncer"));
    setTextFormat(Qt::PlainText);
    setFixedSize(1, 1);  // present for assistive technologies, invisible on screen
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
}

void StatusAnnouncer::announce(const QString& text) {
    setText(text);
    setAccessibleName(text);
    QAccessibleEvent changed(this, QAccessible::NameChanged);
    QAccessible::updateAccessibility(&changed);
    QAccessibleEvent alert(this, QAccessible::Alert);
    QAccessible::updateAccessibility(&alert);
}

}  // namespace quillfen
