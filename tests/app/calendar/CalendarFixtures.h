#pragma once

#include "app/model/AppModel.h"
#include "engine/cleanup/ImageIO.h"

#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <stdexcept>

// A model with real drawings for the calendar screen's tests, and a settings folder of their own.
namespace quillfen::testing {

// Keeps the tests' "calendarZoom" out of the user's own settings.
inline void useTemporarySettings() {
    static QTemporaryDir folder;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, folder.path());
}

// A JPEG of a colour gradient, so that a cleaned thumbnail shows on the page.
inline QByteArray calendarJpeg(int width = 96, int height = 72) {
    Bitmap image(width, height);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            std::uint8_t* p = image.pixel(x, y);
            p[0] = static_cast<std::uint8_t>(255 * x / width);
            p[1] = static_cast<std::uint8_t>(255 * y / height);
            p[2] = 120;
            p[3] = 255;
        }
    }
    const auto data = Cleaner::jpegData(image, 0.9);
    if (!data) throw std::runtime_error("JPEG encoding failed");
    return QByteArray(reinterpret_cast<const char*>(data->data()), static_cast<qsizetype>(data->size()));
}

// True once every import the model was asked for has added its drawings.
inline bool settled(AppModel& model) {
    return QTest::qWaitFor([&] { return model.importing() == 0; }, 20000);
}

// Adds `count` titled drawings to the book through the model's import.
inline void addDrawings(AppModel& model, int count) {
    for (int i = 0; i < count; ++i) {
        ImageOptions options;
        options.title = QStringLiteral("Drawing %1").arg(i + 1);
        model.addImage(calendarJpeg(), options);
    }
    ASSERT_TRUE(settled(model));
}

inline void editCalendar(AppModel& model, const std::function<void(CalendarSettings&)>& change) {
    auto calendar = model.calendar();
    change(calendar);
    model.setCalendar(std::move(calendar));
}

}  // namespace quillfen::testing
