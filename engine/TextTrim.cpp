#include "engine/TextTrim.h"

#include <unicode/uchar.h>
#include <unicode/utf8.h>

namespace quillfen {

namespace {

bool isHorizontalWhitespace(UChar32 c) {
    return c == u'\t' || (c >= 0 && u_charType(c) == U_SPACE_SEPARATOR);
}

}  // namespace

std::string trimmedHorizontalWhitespace(std::string_view text) {
    const auto* bytes = reinterpret_cast<const uint8_t*>(text.data());
    const auto length = static_cast<int32_t>(text.size());
    int32_t start = 0;
    while (start < length) {
        int32_t next = start;
        UChar32 c;
        U8_NEXT(bytes, next, length, c);
        if (!isHorizontalWhitespace(c)) break;
        start = next;
    }
    int32_t end = length;
    while (end > start) {
        int32_t previous = end;
        UChar32 c;
        U8_PREV(bytes, start, previous, c);
        if (!isHorizontalWhitespace(c)) break;
        end = previous;
    }
    return std::string(text.substr(static_cast<std::size_t>(start), static_cast<std::size_t>(end - start)));
}

}  // namespace quillfen
