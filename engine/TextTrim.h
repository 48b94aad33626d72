#pragma once

#include <string>
#include <string_view>

namespace quillfen {

// The UTF-8 text without horizontal white space (Unicode space separators and tab) at either end;
// line breaks stay. Bytes that are not valid UTF-8 count as text.
std::string trimmedHorizontalWhitespace(std::string_view text);

}  // namespace quillfen
