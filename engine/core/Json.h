#pragma once

#include <cmath>
#include <cstdint>
#include <map>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include <nlohmann/json.hpp>

#include "engine/core/Date.h"
#include "engine/core/Geometry.h"
#include "engine/core/UUID.h"

// Stored form of the engine's records. Writing puts keys in the order a record lists its fields and
// never writes a non-finite number; reading looks keys up by name, ignores unknown keys, reads an
// absent or null optional as absent, and rejects the whole document on a missing or mistyped value.
namespace quillfen {

using Json = nlohmann::ordered_json;

// A stored document cannot be read; `path` names the key that is missing or mistyped.
class DocumentError : public std::runtime_error {
public:
    DocumentError(std::string path, std::string reason);
    const std::string& path() const { return m_path; }
    const std::string& reason() const { return m_reason; }
    DocumentError within(const std::string& outer) const;  // the same error one level further out

private:
    std::string m_path;
    std::string m_reason;
};

// A value cannot be written (a number that is not finite); `path` names the key.
class EncodingError : public std::runtime_error {
public:
    EncodingError(std::string path, std::string reason);
    const std::string& path() const { return m_path; }
    EncodingError within(const std::string& outer) const;

private:
    std::string m_path;
    std::string m_reason;
};

// Coding<T>::read(const Json&) -> T throws DocumentError; Coding<T>::write(const T&) -> Json throws
// EncodingError. Records specialise it next to their definition.
template <class T>
struct Coding;

template <class T>
T decode(const Json& value) {
    return Coding<T>::read(value);
}

template <class T>
Json encode(const T& value) {
    return Coding<T>::write(value);
}

namespace json_detail {
std::string keyPath(std::string_view outer, std::string_view inner);
const Json& objectOf(const Json& value);  // throws DocumentError when not an object
std::string typeName(const Json& value);
}  // namespace json_detail

// The value at `key`, which must be present and not null.
template <class T>
T required(const Json& object, std::string_view key) {
    const Json& obj = json_detail::objectOf(object);
    const auto it = obj.find(key);
    if (it == obj.end()) throw DocumentError(std::string(key), "the key is missing");
    if (it->is_null()) throw DocumentError(std::string(key), "the value is null");
    try {
        return decode<T>(*it);
    } catch (const DocumentError& e) {
        throw e.within(std::string(key));
    }
}

// The value at `key`, or absent when the key is missing or null.
template <class T>
std::optional<T> optional(const Json& object, std::string_view key) {
    const Json& obj = json_detail::objectOf(object);
    const auto it = obj.find(key);
    if (it == obj.end() || it->is_null()) return std::nullopt;
    try {
        return decode<T>(*it);
    } catch (const DocumentError& e) {
        throw e.within(std::string(key));
    }
}

// Writes `value` at `key`, after the keys written before it.
template <class T>
void put(Json& object, std::string_view key, const T& value) {
    try {
        object[std::string(key)] = encode<T>(value);
    } catch (const EncodingError& e) {
        throw e.within(std::string(key));
    }
}

// Writes `value` at `key` when present; leaves the key out when absent.
template <class T>
void putOptional(Json& object, std::string_view key, const std::optional<T>& value) {
    if (value) put(object, key, *value);
}

template <>
struct Coding<bool> {
    static bool read(const Json& v);
    static Json write(bool value) { return value; }
};

template <>
struct Coding<int> {
    static int read(const Json& v);  // an integral number, written as 20 or 20.0, within int's range
    static Json write(int value) { return value; }
};

template <>
struct Coding<std::int64_t> {
    static std::int64_t read(const Json& v);
    static Json write(std::int64_t value) { return value; }
};

template <>
struct Coding<double> {
    static double read(const Json& v);  // any number
    static Json write(double value);    // throws EncodingError when not finite
};

template <>
struct Coding<std::string> {
    static std::string read(const Json& v);
    static Json write(const std::string& value) { return value; }
};

template <>
struct Coding<UUID> {
    static UUID read(const Json& v);  // the 36-character text, either case
    static Json write(const UUID& value) { return value.string(); }
};

template <>
struct Coding<Date> {
    static Date read(const Json& v);
    static Json write(const Date& value);
};

template <>
struct Coding<Size> {
    static Size read(const Json& v);  // [width, height]
    static Json write(const Size& value);
};

template <>
struct Coding<Point> {
    static Point read(const Json& v);  // [x, y]
    static Json write(const Point& value);
};

template <class T>
struct Coding<std::vector<T>> {
    static std::vector<T> read(const Json& v) {
        if (!v.is_array()) throw DocumentError("", "expected an array, found " + json_detail::typeName(v));
        std::vector<T> out;
        out.reserve(v.size());
        for (std::size_t i = 0; i < v.size(); ++i) {
            try {
                out.push_back(decode<T>(v[i]));
            } catch (const DocumentError& e) {
                throw e.within("[" + std::to_string(i) + "]");
            }
        }
        return out;
    }
    static Json write(const std::vector<T>& values) {
        Json out = Json::array();
        for (std::size_t i = 0; i < values.size(); ++i) {
            try {
                out.push_back(encode<T>(values[i]));
            } catch (const EncodingError& e) {
                throw e.within("[" + std::to_string(i) + "]");
            }
        }
        return out;
    }
};

// The whole text as a decimal int; nothing for anything else.
std::optional<int> parseDecimalInt(std::string_view text);

// An integer-keyed map is an object whose keys are decimal strings.
template <class T>
struct Coding<std::map<int, T>> {
    static std::map<int, T> read(const Json& v) {
        const Json& obj = json_detail::objectOf(v);
        std::map<int, T> out;
        for (auto it = obj.begin(); it != obj.end(); ++it) {
            const std::optional<int> key = parseDecimalInt(it.key());
            if (!key) throw DocumentError(it.key(), "the key is not a decimal integer");
            try {
                out.emplace(*key, decode<T>(it.value()));
            } catch (const DocumentError& e) {
                throw e.within(it.key());
            }
        }
        return out;
    }
    static Json write(const std::map<int, T>& values) {
        Json out = Json::object();
        for (const auto& [key, value] : values) put(out, std::to_string(key), value);
        return out;
    }
};

// Parses a whole document; malformed JSON becomes a DocumentError.
Json parseDocument(std::string_view text);

}  // namespace quillfen
