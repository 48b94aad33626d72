#pragma once

#include <array>
#include <compare>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace quillfen {

// A 128-bit identifier. Its text is the 36-character 8-4-4-4-12 form in upper case; parsing takes
// either case and nothing else. A plain value; safe to copy across threads.
class UUID {
public:
    UUID() = default;  // all zero
    explicit UUID(const std::array<std::uint8_t, 16>& bytes) : m_bytes(bytes) {}

    static UUID random();  // version 4, from the system's random source
    static std::optional<UUID> parse(std::string_view text);

    std::string string() const;
    const std::array<std::uint8_t, 16>& bytes() const { return m_bytes; }

    auto operator<=>(const UUID&) const = default;

private:
    std::array<std::uint8_t, 16> m_bytes{};
};

}  // namespace quillfen

template <>
struct std::hash<quillfen::UUID> {
    std::size_t operator()(const quillfen::UUID& id) const noexcept;
};
