#pragma once

#include <QLabel>

namespace quillfen {

// The window's invisible status label: announcing a text makes it the label's accessible name and tells
// assistive technologies, which speak it. GUI thread only.
class StatusAnnouncer : public QLabel {
    Q_OBJECT

public:
    explicit StatusAnnouncer(QWidget* parent);
    void announce(const QString& text);
};

}  // namespace quillfen
