#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "engine/library/CleanupRecords.h"
#include "engine/core/Date.h"
#include "engine/core/Geometry.h"
#include "engine/core/Json.h"
#include "engine/core/UUID.h"

namespace quillfen {

// A child in the library, the artist of drawings. A plain value; safe to copy across threads.
struct Child {
    UUID id;
    std::string name;
    std::optional<Date> birthday;
    std::string about;  // may be empty

    // Whole years from the birthday's calendar day to that of `at`, both days as the Gregorian calendar
    // has them in ICU's default time zone, whatever time of day either carries; absent without a
    // birthday or when the birthday's day comes after that of `at`.
    std::optional<int> age(Date at) const;

    bool operator==(const Child&) const = default;
};

// Everything the engine knows of one drawing. The engine only reads it; nothing is validated.
struct DrawingInfo {
    UUID id;
    std::optional<UUID> childID;  // absent: no artist
    Date date;                    // when it was drawn
    std::string age;              // typed by the user; empty when not typed
    std::string title;
    bool featured = false;  // a page of its own in the mixed arrangement
    double aspect = 1;      // width / height of the cleaned image; readers treat <= 0 as 1
    Size pixelSize;         // of the cleaned image
    CleanupSettings cleanup;
    std::int64_t sequence = 0;  // order of adding; breaks ties between equal dates

    bool operator==(const DrawingInfo&) const = default;
};

template <>
struct Coding<Child> {
    static Child read(const Json& v);
    static Json write(const Child& c);
};

template <>
struct Coding<DrawingInfo> {
    static DrawingInfo read(const Json& v);
    static Json write(const DrawingInfo& d);
};

}  // namespace quillfen

template <>
struct std::hash<quillfen::Child> {
    std::size_t operator()(const quillfen::Child& child) const noexcept;
};
