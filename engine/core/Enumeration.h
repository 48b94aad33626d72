#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "engine/core/Json.h"

// Enumerations whose cases carry their names as raw values, which are also their stored form.
// An enumeration opts in by specialising CaseNames with its cases in declaration order.
namespace quillfen {

template <class E>
struct CaseNames;  // static constexpr std::array<std::pair<E, std::string_view>, N> cases

template <class E>
concept NamedCases = requires {
    CaseNames<E>::cases;
};

// Every case in declaration order.
template <NamedCases E>
constexpr auto allCases() {
    constexpr auto& cases = CaseNames<E>::cases;
    std::array<E, cases.size()> out{};
    for (std::size_t i = 0; i < cases.size(); ++i) out[i] = cases[i].first;
    return out;
}

template <NamedCases E>
constexpr std::string_view rawValue(E value) {
    for (const auto& [caseValue, name] : CaseNames<E>::cases)
        if (caseValue == value) return name;
    return {};
}

// The case whose name is `text` exactly (case-sensitive); absent for any other text.
template <NamedCases E>
constexpr std::optional<E> fromRawValue(std::string_view text) {
    for (const auto& [value, name] : CaseNames<E>::cases)
        if (name == text) return value;
    return std::nullopt;
}

// Stored as the case name; any other text rejects the document.
template <NamedCases E>
struct Coding<E> {
    static E read(const Json& v) {
        if (!v.is_string())
            throw DocumentError("", "expected a case name, found " + json_detail::typeName(v));
        const auto& name = v.get_ref<const std::string&>();
        if (const auto value = fromRawValue<E>(name)) return *value;
        throw DocumentError("", "\"" + name + "\" is not a known case");
    }
    static Json write(E value) {
        const std::string_view name = rawValue(value);
        if (name.empty()) throw EncodingError("", "the value is not a known case");
        return std::string(name);
    }
};

}  // namespace quillfen
