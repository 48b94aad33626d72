#include "engine/book/BookSettings.h"

namespace quillfen {

std::string_view label(Arrangement arrangement) {
    switch (arrangement) {
        case Arrangement::one:
            return "One per page";
        case Arrangement::two:
            return "Two per page";
        case Arrangement::three:
            return "Three per page";
        case Arrangement::four:
            return "Four per page";
        case Arrangement::mix:
            return "Mix (1–4 per page)";
    }
    return {};
}

std::string_view label(BookOrder order) {
    switch (order) {
        case BookOrder::chronological:
            return "Oldest first";
        case BookOrder::byChild:
            return "By child, then date";
    }
    return {};
}

std::string_view label(CaptionStyle style) {
    switch (style) {
        case CaptionStyle::handwritten:
            return "Handwritten";
        case CaptionStyle::classic:
            return "Classic";
        case CaptionStyle::modern:
            return "Modern";
        case CaptionStyle::none:
            return "No captions";
    }
    return {};
}

std::string_view label(CoverColor color) {
    switch (color) {
        case CoverColor::cream:
            return "Cream";
        case CoverColor::sky:
            return "Sky";
        case CoverColor::blush:
            return "Blush";
        case CoverColor::mint:
            return "Mint";
        case CoverColor::sunshine:
            return "Sunshine";
        case CoverColor::charcoal:
            return "Charcoal";
    }
    return {};
}

RGB rgb(CoverColor color) {
    switch (color) {
        case CoverColor::cream:
            return {0.98, 0.95, 0.88};
        case CoverColor::sky:
            return {0.80, 0.90, 0.98};
        case CoverColor::blush:
            return {0.98, 0.86, 0.86};
        case CoverColor::mint:
            return {0.84, 0.95, 0.88};
        case CoverColor::sunshine:
            return {1.0, 0.92, 0.62};
        case CoverColor::charcoal:
            return {0.20, 0.21, 0.24};
    }
    return {};
}

bool isDark(CoverColor color) {
    return color == CoverColor::charcoal;
}

void BookSettings::setPreset(PrintPreset value) {
    preset = value;
    if (value != PrintPreset::custom) spec = quillfen::spec(value);
}

BookSettings Coding<BookSettings>::read(const Json& v) {
    BookSettings s;
    s.size = required<BookSize>(v, "size");
    s.preset = required<PrintPreset>(v, "preset");
    s.spec = required<PrintSpec>(v, "spec");
    s.arrangement = required<Arrangement>(v, "arrangement");
    s.order = required<BookOrder>(v, "order");
    s.caption = required<CaptionStyle>(v, "caption");
    s.showName = required<bool>(v, "showName");
    s.showAge = required<bool>(v, "showAge");
    s.showDate = required<bool>(v, "showDate");
    s.title = required<std::string>(v, "title");
    s.subtitle = required<std::string>(v, "subtitle");
    s.coverDrawing = optional<UUID>(v, "coverDrawing");
    s.coverColor = required<CoverColor>(v, "coverColor");
    s.dedication = required<std::string>(v, "dedication");
    s.aboutPages = required<bool>(v, "aboutPages");
    s.closing = required<std::string>(v, "closing");
    s.coverInInterior = required<bool>(v, "coverInInterior");
    return s;
}

Json Coding<BookSettings>::write(const BookSettings& s) {
    Json out = Json::object();
    put(out, "size", s.size);
    put(out, "preset", s.preset);
    put(out, "spec", s.spec);
    put(out, "arrangement", s.arrangement);
    put(out, "order", s.order);
    put(out, "caption", s.caption);
    put(out, "showName", s.showName);
    put(out, "showAge", s.showAge);
    put(out, "showDate", s.showDate);
    put(out, "title", s.title);
    put(out, "subtitle", s.subtitle);
    putOptional(out, "coverDrawing", s.coverDrawing);
    put(out, "coverColor", s.coverColor);
    put(out, "dedication", s.dedication);
    put(out, "aboutPages", s.aboutPages);
    put(out, "closing", s.closing);
    put(out, "coverInInterior", s.coverInInterior);
    return out;
}

}  // namespace quillfen
