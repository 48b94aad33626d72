#include "engine/core/Json.h"

#include <charconv>
#include <limits>

namespace quillfen {

namespace {

// The deepest nesting of objects and arrays a document may have, far beyond this program's own.
constexpr int deepestDocument = 512;

// Whether the arrays and objects of JSON text nest deeper than `levels`; brackets inside strings do
// not count. Exact for valid JSON, and for the valid part of any other text, which is as far as the
// parser goes. A scan of its own: the parser's own hook for this costs time quadratic in the length
// of an array.
bool nestedDeeperThan(std::string_view text, int levels) {
    int depth = 0;
    bool inString = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (inString) {
            if (c == '\\') ++i;
            else if (c == '"') inString = false;
        } else if (c == '"') {
            inString = true;
        } else if (c == '[' || c == '{') {
            if (++depth > levels) return true;
        } else if (c == ']' || c == '}') {
            --depth;
        }
    }
    return false;
}

std::string describe(const std::string& path, const std::string& reason) {
    return path.empty() ? reason : path + ": " + reason;
}

std::int64_t integral(const Json& v, std::int64_t lowest, std::int64_t highest) {
    if (v.is_number_integer() && !v.is_number_unsigned()) {
        const auto n = v.get<std::int64_t>();
        if (n >= lowest && n <= highest) return n;
    } else if (v.is_number_unsigned()) {
        const auto n = v.get<std::uint64_t>();
        if (n <= static_cast<std::uint64_t>(highest)) return static_cast<std::int64_t>(n);
    } else if (v.is_number_float()) {
        const double d = v.get<double>();
        if (std::isfinite(d) && d == std::trunc(d) && d >= static_cast<double>(lowest) &&
            d <= static_cast<double>(highest) && d < 9.2233720368547758e18)
            return static_cast<std::int64_t>(d);
        if (std::isfinite(d) && d == std::trunc(d)) throw DocumentError("", "the integer is out of range");
        throw DocumentError("", "expected an integer, found a fraction");
    } else {
        throw DocumentError("", "expected an integer, found " + json_detail::typeName(v));
    }
    throw DocumentError("", "the integer is out of range");
}

double number(const Json& v) {
    if (!v.is_number()) throw DocumentError("", "expected a number, found " + json_detail::typeName(v));
    return v.get<double>();
}

Json pair(double a, double b) {
    return Json::array({encode<double>(a), encode<double>(b)});
}

std::pair<double, double> readPair(const Json& v) {
    if (!v.is_array() || v.size() != 2 || !v[0].is_number() || !v[1].is_number())
        throw DocumentError("", "expected an array of two numbers, found " + json_detail::typeName(v));
    return {v[0].get<double>(), v[1].get<double>()};
}

}  // namespace

DocumentError::DocumentError(std::string path, std::string reason)
    : std::runtime_error(describe(path, reason)), m_path(std::move(path)), m_reason(std::move(reason)) {}

DocumentError DocumentError::within(const std::string& outer) const {
    return DocumentError(json_detail::keyPath(outer, m_path), m_reason);
}

EncodingError::EncodingError(std::string path, std::string reason)
    : std::runtime_error(describe(path, reason)), m_path(std::move(path)), m_reason(std::move(reason)) {}

EncodingError EncodingError::within(const std::string& outer) const {
    return EncodingError(json_detail::keyPath(outer, m_path), m_reason);
}

namespace json_detail {

std::string keyPath(std::string_view outer, std::string_view inner) {
    if (inner.empty()) return std::string(outer);
    if (outer.empty()) return std::string(inner);
    if (inner.front() == '[') return std::string(outer) + std::string(inner);
    return std::string(outer) + "." + std::string(inner);
}

const Json& objectOf(const Json& value) {
    if (!value.is_object()) throw DocumentError("", "expected an object, found " + typeName(value));
    return value;
}

std::string typeName(const Json& value) {
    if (value.is_number_float()) return "a number with a fraction";
    if (value.is_number()) return "a number";
    if (value.is_string()) return "a string";
    if (value.is_boolean()) return "a boolean";
    if (value.is_array()) return "an array";
    if (value.is_object()) return "an object";
    if (value.is_null()) return "null";
    return "an unknown value";
}

}  // namespace json_detail

bool Coding<bool>::read(const Json& v) {
    if (!v.is_boolean()) throw DocumentError("", "expected true or false, found " + json_detail::typeName(v));
    return v.get<bool>();
}

int Coding<int>::read(const Json& v) {
    return static_cast<int>(integral(v, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
}

std::int64_t Coding<std::int64_t>::read(const Json& v) {
    return integral(v, std::numeric_limits<std::int64_t>::min(), std::numeric_limits<std::int64_t>::max());
}

double Coding<double>::read(const Json& v) {
    return number(v);
}

Json Coding<double>::write(double value) {
    if (!std::isfinite(value)) throw EncodingError("", "the number is not finite and cannot be written");
    return value;
}

std::string Coding<std::string>::read(const Json& v) {
    if (!v.is_string()) throw DocumentError("", "expected a string, found " + json_detail::typeName(v));
    return v.get<std::string>();
}

UUID Coding<UUID>::read(const Json& v) {
    if (!v.is_string()) throw DocumentError("", "expected a UUID string, found " + json_detail::typeName(v));
    const auto id = UUID::parse(v.get_ref<const std::string&>());
    if (!id) throw DocumentError("", "\"" + v.get<std::string>() + "\" is not a UUID");
    return *id;
}

Date Coding<Date>::read(const Json& v) {
    return Date{number(v)};
}

Json Coding<Date>::write(const Date& value) {
    return encode<double>(value.seconds);
}

Size Coding<Size>::read(const Json& v) {
    const auto [w, h] = readPair(v);
    return Size{w, h};
}

Json Coding<Size>::write(const Size& value) {
    return pair(value.width, value.height);
}

Point Coding<Point>::read(const Json& v) {
    const auto [x, y] = readPair(v);
    return Point{x, y};
}

Json Coding<Point>::write(const Point& value) {
    return pair(value.x, value.y);
}

std::optional<int> parseDecimalInt(std::string_view text) {
    int value = 0;
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    if (ec != std::errc() || ptr != end || text.empty()) return std::nullopt;
    return value;
}

Json parseDocument(std::string_view text) {
    // Reading, comparing and copying values recurse through the levels, so a document nested deeper
    // than any this program writes is refused before it is parsed.
    if (nestedDeeperThan(text, deepestDocument)) {
        throw DocumentError("", "the document is nested deeper than " + std::to_string(deepestDocument) + " levels");
    }
    try {
        return Json::parse(text);
    } catch (const Json::exception& e) {
        throw DocumentError("", std::string("the document is not valid JSON: ") + e.what());
    }
}

}  // namespace quillfen
