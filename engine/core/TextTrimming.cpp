#include "engine/core/TextTrimming.h"

#include <unicode/uchar.h>
#include <unicode/utf8.h>

namespace quillfen {

namespace {

template <class IsSpace>
std::string trimming(std::string_view text, IsSpace isSpace) {
    const auto* s = reinterpret_cast<const uint8_t*>(text.data());
    const int32_t length = static_cast<int32_t>(text.size());
    int32_t start = 0;
    while (start < length) {
        int32_t next = start;
        UChar32 c;
        U8_NEXT(s, next, length, c);
        if (c < 0 || !isSpace(c)) break;
        start = next;
    }
    int32_t end = length;
    while (end > start) {
        int32_t previous = end;
        UChar32 c;
        U8_PREV(s, start, previous, c);
        if (c < 0 || !isSpace(c)) break;
        end = previous;
    }
    return std::string(text.substr(start, end - start));
}

}  // namespace

std::string trimmingHorizontalSpace(std::string_view text) {
    return trimming(text, [](UChar32 c) { return u_isblank(c) != 0; });
}

std::string trimmingWhitespaceAndNewlines(std::string_view text) {
    return trimming(text, [](UChar32 c) { return u_isUWhiteSpace(c) != 0; });
}

}  // namespace quillfen
