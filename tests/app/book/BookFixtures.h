#pragma once

#include "app/model/AppModel.h"

#include <QImage>
#include <QSettings>
#include <QTemporaryDir>

#include <gtest/gtest.h>

// A real model holding drawings with in-memory thumbnails, as processing leaves them, and settings kept
// in a folder of the test's own.
namespace quillfen::testing {

inline Drawing drawing(const std::string& title, double daysSince2001, std::int64_t sequence,
                       QColor colour = QColor(200, 80, 40), Size pixels = {2400, 2400}) {
    Drawing d;
    d.info.id = UUID::random();
    d.info.title = title;
    d.info.date = Date{daysSince2001 * 86400};
    d.info.sequence = sequence;
    d.info.aspect = pixels.width / pixels.height;
    d.info.pixelSize = pixels;
    d.thumb = QImage(120, 120, QImage::Format_RGB888);
    d.thumb.fill(colour);
    d.busy = false;
    return d;
}

// `count` drawings, one a day, titled "Drawing 1", "Drawing 2", …
inline std::vector<Drawing> drawings(int count, Size pixels = {2400, 2400}) {
    std::vector<Drawing> all;
    for (int i = 0; i < count; ++i) {
        all.push_back(drawing("Drawing " + std::to_string(i + 1), 8000 + i, i,
                              QColor::fromHsv((i * 37) % 360, 200, 220), pixels));
    }
    return all;
}

class BookScreenTest : public ::testing::Test {
protected:
    BookScreenTest() {
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_settingsDir.path());
        QSettings().clear();
    }
    ~BookScreenTest() override { model.editorPool().waitForDone(); }

    QTemporaryDir m_settingsDir;
    AppModel model{false};
};

}  // namespace quillfen::testing
