#pragma once

#include "app/model/AppModel.h"
#include "engine/cleanup/ImageIO.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QTest>

#include <functional>
#include <random>
#include <stdexcept>

// Real image files for the model's tests, and waits for the model's background work.
namespace quillfen::testing {

// A picture of grey levels given by shade(x, y) in unit coordinates (y upwards).
inline Bitmap shaded(int width, int height, const std::function<std::uint8_t(double, double)>& shade) {
    Bitmap image(width, height);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            std::uint8_t* p = image.pixel(x, y);
            p[0] = p[1] = p[2] = shade((x + 0.5) / width, 1 - (y + 0.5) / height);
            p[3] = 255;
        }
    }
    return image;
}

inline QByteArray jpegOf(const Bitmap& image) {
    const auto data = Cleaner::jpegData(image, 0.9);
    if (!data) throw std::runtime_error("JPEG encoding failed");
    return QByteArray(reinterpret_cast<const char*>(data->data()), static_cast<qsizetype>(data->size()));
}

inline QByteArray jpegBytes(int width = 64, int height = 48) {
    return jpegOf(shaded(width, height, [](double x, double y) { return std::uint8_t(40 + 150 * x * y); }));
}

// Noise that JPEG cannot compress: about width * height * 1.5 bytes.
inline QByteArray noisyJpeg(int width, int height) {
    std::mt19937 random(7);
    return jpegOf(shaded(width, height, [&](double, double) { return std::uint8_t(random()); }));
}

inline QByteArray pngBytes(int width = 64, int height = 48) {
    QImage image(width, height, QImage::Format_RGB888);
    image.fill(QColor(200, 120, 40));
    QByteArray data;
    QBuffer buffer(&data);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return data;
}

inline void writeFile(const QString& path, const QByteArray& data) {
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(data) != data.size())
        throw std::runtime_error("cannot write " + path.toStdString());
}

inline QStringList originals(AppModel& model) {
    return QDir(model.folder() + "/Originals").entryList(QDir::Files | QDir::Hidden);
}

// Runs the event loop until the model has added every image it was asked to import.
inline bool importsFinished(AppModel& model) {
    return QTest::qWaitFor([&] { return model.importing() == 0; }, 20000);
}

}  // namespace quillfen::testing
