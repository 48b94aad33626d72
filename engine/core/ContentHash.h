#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

namespace quillfen {

// A 128-bit digest of a byte sequence fed in pieces, several gigabytes a second: equal bytes give equal
// digests however they are split, and any change gives another digest with overwhelming likelihood. It
// names content (a JPEG stream shared in a PDF, a file's identifier); it is no defence against anyone
// forging a collision. A plain value; one per thread.
class ContentHash {
public:
    ContentHash& add(const void* data, std::size_t size);
    ContentHash& add(const std::string& text) { return add(text.data(), text.size()); }
    ContentHash& add(double value) { return add(&value, sizeof value); }

    // The digest of everything added so far; adding may continue afterwards.
    std::array<std::uint8_t, 16> digest() const;
    // The digest as 32 lower-case hexadecimal digits.
    std::string hex() const;

private:
    void mixBlock(const std::uint8_t* block);

    std::uint64_t m_h1 = 0x9368e53c2f6af274ull;
    std::uint64_t m_h2 = 0x586dcd208f7cd3fdull;
    std::uint64_t m_length = 0;
    std::array<std::uint8_t, 16> m_pending{};  // the bytes of a block not yet whole
    std::size_t m_pendingSize = 0;
};

}  // namespace quillfen
