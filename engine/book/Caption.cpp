#include "engine/book/Caption.h"

#include <memory>
#include <vector>

#include <unicode/brkiter.h>
#include <unicode/gregocal.h>
#include <unicode/locid.h>
#include <unicode/smpdtfmt.h>
#include <unicode/timezone.h>
#include <unicode/unistr.h>

#include "engine/core/TextTrimming.h"

namespace quillfen::Caption {

namespace {

std::string utf8(const icu::UnicodeString& text) {
    std::string out;
    text.toUTF8String(out);
    return out;
}

bool beginsWithAge(const std::string& text) {
    icu::UnicodeString lower = icu::UnicodeString::fromUTF8(text);
    lower.toLower(icu::Locale::getRoot());
    return lower.startsWith(icu::UnicodeString(u"age"));
}

// The first user-perceived character upper-cased, the rest unchanged.
std::string uppercasingFirst(const std::string& text) {
    const icu::UnicodeString whole = icu::UnicodeString::fromUTF8(text);
    if (whole.isEmpty()) return text;
    UErrorCode status = U_ZERO_ERROR;
    std::unique_ptr<icu::BreakIterator> characters(
        icu::BreakIterator::createCharacterInstance(icu::Locale::getRoot(), status));
    int32_t firstEnd = whole.moveIndex32(0, 1);
    if (U_SUCCESS(status)) {
        characters->setText(whole);
        const int32_t boundary = characters->following(0);
        if (boundary != icu::BreakIterator::DONE) firstEnd = boundary;
    }
    icu::UnicodeString first(whole, 0, firstEnd);
    first.toUpper(icu::Locale::getRoot());
    return utf8(first) + utf8(icu::UnicodeString(whole, firstEnd));
}

}  // namespace

std::optional<std::string> ageText(const DrawingInfo& info, const Child* child) {
    const std::string typed = trimmingHorizontalSpace(info.age);
    if (!typed.empty()) return beginsWithAge(typed) ? typed : "age " + typed;
    if (!child) return std::nullopt;
    const std::optional<int> years = child->age(info.date);
    if (!years) return std::nullopt;
    return "age " + std::to_string(*years);
}

std::string dateText(Date date) {
    // One formatter a thread, made again only when the default time zone changes: making one costs a
    // hundred times its use, and a page of captions or an inspector asks for many dates.
    struct Formatter {
        std::unique_ptr<icu::TimeZone> zone;
        std::unique_ptr<icu::SimpleDateFormat> format;
    };
    thread_local Formatter formatter;
    std::unique_ptr<icu::TimeZone> zone(icu::TimeZone::createDefault());
    if (!formatter.format || !formatter.zone || *formatter.zone != *zone) {
        UErrorCode status = U_ZERO_ERROR;
        const icu::Locale posix("en_US_POSIX");
        auto format = std::make_unique<icu::SimpleDateFormat>(icu::UnicodeString(u"MMMM yyyy"), posix, status);
        if (U_FAILURE(status)) return {};
        format->adoptCalendar(new icu::GregorianCalendar(zone->clone(), posix, status));
        if (U_FAILURE(status)) return {};
        formatter = {std::move(zone), std::move(format)};
    }
    icu::UnicodeString out;
    formatter.format->format(date.icuMilliseconds(), out);
    return utf8(out);
}

std::string lines(const DrawingInfo& info, const Child* child, const BookSettings& settings) {
    std::string part = settings.showName && child ? child->name : std::string();
    if (settings.showAge) {
        if (const auto age = ageText(info, child))
            part = part.empty() ? uppercasingFirst(*age) : part + ", " + *age;
    }
    std::vector<std::string> pieces;
    if (!part.empty()) pieces.push_back(part);
    if (settings.showDate) pieces.push_back(dateText(info.date));
    std::string joined;
    for (std::size_t i = 0; i < pieces.size(); ++i) joined += (i == 0 ? "" : " · ") + pieces[i];
    return joined;
}

}  // namespace quillfen::Caption
