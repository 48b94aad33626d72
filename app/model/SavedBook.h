#pragma once

#include "engine/book/BookSettings.h"
#include "engine/calendar/CalendarSettings.h"
#include "engine/core/Json.h"
#include "engine/library/LibraryRecords.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quillfen {

// The library as "book.json" holds it: the records and the originals' file names, never pictures.
// A plain value; its coding is pure and safe on any thread.
struct SavedBook {
    // One drawing: its record and the file name of its original inside "Originals". Drawings may
    // name the same original: they share it, and it is deleted only with the last of them.
    struct Item {
        DrawingInfo info;
        std::string file;
        bool operator==(const Item&) const = default;
    };

    std::vector<Child> children;
    std::vector<Item> drawings;
    BookSettings settings;
    std::int64_t nextSequence = 0;
    std::optional<CalendarSettings> calendar;  // always written; absent on reading means the default

    bool operator==(const SavedBook&) const = default;
};

template <>
struct Coding<SavedBook::Item> {
    static SavedBook::Item read(const Json& v);
    static Json write(const SavedBook::Item& item);
};

template <>
struct Coding<SavedBook> {
    static SavedBook read(const Json& v);
    static Json write(const SavedBook& book);
};

// The document's bytes: compact UTF-8 JSON. Throws EncodingError naming a number that is not finite.
std::string documentBytes(const SavedBook& book);
// The book in a document; all or nothing. Throws DocumentError for bad JSON, a missing or mistyped
// key, an unknown case name, a bad month key, or a number too large to be finite.
SavedBook bookFromDocument(std::string_view bytes);

// Gives every drawing and child that repeats an earlier one's id a new id (nothing is dropped) and
// raises nextSequence above every stored sequence, so that lookups by id and new drawings stay sound.
void makeIdentitiesUnique(SavedBook& book);

// Cuts every text of the book after the 4,000 characters a page can show, so that the window never
// lays out more than the pages do.
void cutLongTexts(SavedBook& book);

// Whether a value can be written: every number finite. The model refuses other values on entry.
bool isFinite(const CleanupSettings& cleanup);
bool isFinite(const DrawingInfo& info);

}  // namespace quillfen
