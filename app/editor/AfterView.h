#pragma once

#include "app/editor/PictureView.h"

namespace quillfen {

// The cleaned drawing fitted into the space it is given, on white with a soft shadow; a spinner
// while no picture has arrived and a note when the photo could not be read. GUI thread only.
class AfterView : public PictureView {
    Q_OBJECT

public:
    explicit AfterView(QWidget* parent = nullptr);

    void setTitle(const QString& title);

protected:
    void paintEvent(QPaintEvent* event) override;
};

}  // namespace quillfen
