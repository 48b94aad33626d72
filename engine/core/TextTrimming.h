#pragma once

#include <string>
#include <string_view>

// Unicode-aware trimming of UTF-8 texts typed by the user. Pure; any thread.
namespace quillfen {

// Without horizontal white space (space separators and tab) at either end; line breaks stay.
std::string trimmingHorizontalSpace(std::string_view text);
// Without white space and line breaks at either end.
std::string trimmingWhitespaceAndNewlines(std::string_view text);

}  // namespace quillfen
