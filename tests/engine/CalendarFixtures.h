#pragma once

#include "engine/core/Bitmap.h"
#include "engine/calendar/CalendarContent.h"
#include "engine/calendar/CalendarMath.h"
#include "engine/render/Canvas.h"
#include "engine/core/Geometry.h"
#include "engine/library/LibraryRecords.h"
#include "engine/core/UUID.h"

#include "tests/engine/RenderingFixtures.h"

#include <cstdint>
#include <functional>

namespace quillfen::fixtures {

// A child born at noon UTC on the day.
inline Child bornOn(const char* name, int year, int month, int day) {
    const double noon = double(CalendarMath::ordinal(year, month, day)) * 86400 + 43200;
    return Child{idNumber(1), name, Date::fromUnixSeconds(noon), ""};
}

// Settings of a calendar from January 2027 without any events, so that only what a test adds shows.
inline CalendarSettings quietCalendar(CalendarFormat format = CalendarFormat::wall) {
    CalendarSettings settings;
    settings.format = format;
    settings.language = CalendarLanguage::english;
    settings.federalHolidays = false;
    settings.observances = false;
    settings.birthdays = false;
    return settings;
}

// A white canvas of width × height pixels with whatever `draw` adds, one unit a pixel, y upwards.
inline Bitmap drawn(int width, int height, const std::function<void(Canvas&)>& draw) {
    Canvas canvas(width, height);
    canvas.setFillColor(Color::white());
    canvas.fillRect({0, 0, double(width), double(height)});
    draw(canvas);
    return canvas.bitmap();
}

// The pixel at (x, y) in canvas units of a canvas one unit a pixel (y upwards).
inline const std::uint8_t* at(const Bitmap& bitmap, double x, double y) {
    return bitmap.pixel(int(x), bitmap.height - 1 - int(y));
}

inline bool isInk(const std::uint8_t* p) {
    return p[0] < 240 || p[1] < 240 || p[2] < 240;
}
inline bool isRed(const std::uint8_t* p) {
    return p[0] > p[1] + 60 && p[0] > p[2] + 60;
}
inline bool isBlue(const std::uint8_t* p) {
    return p[2] > p[0] + 60 && p[2] > p[1] + 40;
}
inline bool isGreen(const std::uint8_t* p) {
    return p[1] > p[0] + 40 && p[1] > p[2] + 20;
}

// How many pixels of a rectangle (canvas units) satisfy a test.
inline int countIn(const Bitmap& bitmap, const Rect& rect, bool (*test)(const std::uint8_t*)) {
    int count = 0;
    for (int y = int(rect.minY()); y < int(rect.maxY()); ++y)
        for (int x = int(rect.minX()); x < int(rect.maxX()); ++x) count += test(at(bitmap, x, y)) ? 1 : 0;
    return count;
}

}  // namespace quillfen::fixtures
