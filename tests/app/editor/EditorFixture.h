#pragma once

#include "app/model/AppModel.h"

#include <QDir>
#include <QImage>
#include <QPainter>
#include <QTest>

#include <gtest/gtest.h>

#include <string>

namespace quillfen::testing {

// A model without persistence whose drawings have real JPEG originals in the book folder.
class EditorFixture : public ::testing::Test {
protected:
    AppModel model{false};

    // A photo-like picture: a grey sheet with a coloured scribble on a darker table.
    static QImage photo(int width, int height, QColor ink = Qt::red) {
        QImage image(width, height, QImage::Format_RGB888);
        image.fill(QColor(90, 70, 50));
        QPainter painter(&image);
        painter.fillRect(QRectF(width * 0.1, height * 0.1, width * 0.8, height * 0.8), QColor(225, 222, 210));
        painter.setPen(QPen(ink, width / 40.0));
        painter.drawEllipse(QRectF(width * 0.3, height * 0.3, width * 0.4, height * 0.4));
        return image;
    }

    // Adds a drawing whose original is `image` saved as JPEG (a null image: no file at all).
    Drawing addDrawing(const QImage& image, const std::string& title = {}, CleanupSettings cleanup = {}) {
        Drawing drawing;
        drawing.info.id = UUID::random();
        drawing.info.title = title;
        drawing.info.cleanup = cleanup;
        drawing.info.pixelSize = {600, 900};
        drawing.info.sequence = static_cast<std::int64_t>(model.drawings().size());
        drawing.file = QString::fromStdString(drawing.info.id.string()) + QStringLiteral(".jpeg");
        drawing.busy = false;
        if (!image.isNull()) {
            EXPECT_TRUE(image.save(QDir(model.folder()).filePath(QStringLiteral("Originals/") + drawing.file), "JPEG", 92));
        }
        auto drawings = model.drawings();
        drawings.push_back(drawing);
        model.setDrawings(drawings);
        return drawing;
    }

    const Drawing& drawing(const UUID& id) const {
        for (const Drawing& d : model.drawings())
            if (d.info.id == id) return d;
        throw std::logic_error("no such drawing");
    }

    // Runs the GUI loop until the editor's pool is idle and every queued result is applied.
    void settle() {
        for (int round = 0; round < 3; ++round) {
            model.editorPool().waitForDone();
            QTest::qWait(20);
        }
    }
};

}  // namespace quillfen::testing
