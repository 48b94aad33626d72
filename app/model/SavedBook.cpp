#include "app/model/SavedBook.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <unordered_set>

namespace quillfen {

namespace {

// The parser turns a number beyond double's range into infinity; such a document cannot be stored
// again, so it is refused like any other value that is not representable.
void refuseNonFinite(const Json& value) {
    if (value.is_number_float() && !std::isfinite(value.get<double>())) {
        throw DocumentError("", "a number is too large to be represented");
    }
    if (value.is_structured()) {
        for (const auto& element : value) refuseNonFinite(element);
    }
}

// The characters of one text that any page sets (the engine's text setting cuts there too); the
// window shows no more.
constexpr std::int32_t shownCharacters = 4000;

// The text after its first shownCharacters code points removed; documents hold valid UTF-8
// only (the parser refuses any other), so the cut falls between characters.
void cut(std::string& text) {
    if (text.size() <= static_cast<std::size_t>(shownCharacters)) return;  // never more characters than bytes
    std::int32_t characters = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const bool starts = (static_cast<unsigned char>(text[i]) & 0xC0) != 0x80;
        if (starts && characters++ == shownCharacters) {
            text.resize(i);
            return;
        }
    }
}

bool isFinite(Point p) { return std::isfinite(p.x) && std::isfinite(p.y); }
bool isFinite(Size s) { return std::isfinite(s.width) && std::isfinite(s.height); }

}  // namespace

SavedBook::Item Coding<SavedBook::Item>::read(const Json& v) {
    return {required<DrawingInfo>(v, "info"), required<std::string>(v, "file")};
}

Json Coding<SavedBook::Item>::write(const SavedBook::Item& item) {
    Json out = Json::object();
    put(out, "info", item.info);
    put(out, "file", item.file);
    return out;
}

SavedBook Coding<SavedBook>::read(const Json& v) {
    return {required<std::vector<Child>>(v, "children"), required<std::vector<SavedBook::Item>>(v, "drawings"),
            required<BookSettings>(v, "settings"), required<std::int64_t>(v, "nextSequence"),
            optional<CalendarSettings>(v, "calendar")};
}

Json Coding<SavedBook>::write(const SavedBook& book) {
    Json out = Json::object();
    put(out, "children", book.children);
    put(out, "drawings", book.drawings);
    put(out, "settings", book.settings);
    put(out, "nextSequence", book.nextSequence);
    putOptional(out, "calendar", book.calendar);
    return out;
}

std::string documentBytes(const SavedBook& book) {
    return encode(book).dump(-1, ' ', false, Json::error_handler_t::replace);
}

SavedBook bookFromDocument(std::string_view bytes) {
    const Json document = parseDocument(bytes);
    refuseNonFinite(document);
    return decode<SavedBook>(document);
}

void makeIdentitiesUnique(SavedBook& book) {
    std::unordered_set<UUID> seen;
    const auto unique = [&seen](UUID& id) {
        while (!seen.insert(id).second) id = UUID::random();
    };
    for (auto& child : book.children) unique(child.id);
    seen.clear();
    for (auto& item : book.drawings) {
        unique(item.info.id);
        if (item.info.sequence >= book.nextSequence && item.info.sequence < std::numeric_limits<std::int64_t>::max()) {
            book.nextSequence = item.info.sequence + 1;
        }
    }
}

void cutLongTexts(SavedBook& book) {
    for (auto& child : book.children) {
        cut(child.name);
        cut(child.about);
    }
    for (auto& item : book.drawings) {
        cut(item.info.title);
        cut(item.info.age);
    }
    for (std::string* text : {&book.settings.title, &book.settings.subtitle, &book.settings.dedication,
                              &book.settings.closing})
        cut(*text);
    if (book.calendar) {
        cut(book.calendar->title);
        cut(book.calendar->subtitle);
        for (auto& event : book.calendar->customEvents) cut(event.title);
    }
}

bool isFinite(const CleanupSettings& cleanup) {
    if (cleanup.crop && !std::ranges::all_of(cleanup.crop->points(), [](Point p) { return isFinite(p); })) {
        return false;
    }
    return std::isfinite(cleanup.straighten) && std::isfinite(cleanup.whiten);
}

bool isFinite(const DrawingInfo& info) {
    return std::isfinite(info.date.seconds) && std::isfinite(info.aspect) && isFinite(info.pixelSize) &&
           isFinite(info.cleanup);
}

}  // namespace quillfen
