#pragma once

#include "app/model/AppModel.h"

#include <QWidget>

class QPushButton;

namespace quillfen {

// The first-run panel of the detail column: what Quillfen does, the three ways to start and a dashed drop
// frame that takes the accent colour while a drag hovers over the window. GUI thread only.
class EmptyState : public QWidget {
    Q_OBJECT

public:
    explicit EmptyState(AppModel& model, QWidget* parent = nullptr);

    void setTargeted(bool targeted);
    // The frame's colour as it is drawn now.
    QColor frameColor() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QPushButton* m_photos;
    bool m_targeted = false;
};

}  // namespace quillfen
