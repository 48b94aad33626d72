#include "engine/core/ContentHash.h"

#include <algorithm>
#include <bit>
#include <cstring>

namespace quillfen {

// MurmurHash3's 128-bit mixing on 16-byte blocks (Austin Appleby, public domain), fed in pieces.
namespace {

constexpr std::uint64_t c1 = 0x87c37b91114253d5ull;
constexpr std::uint64_t c2 = 0x4cf5ad432745937full;

std::uint64_t load(const std::uint8_t* bytes) {
    std::uint64_t value;
    std::memcpy(&value, bytes, sizeof value);
    if constexpr (std::endian::native == std::endian::big) value = __builtin_bswap64(value);
    return value;
}

std::uint64_t finalMix(std::uint64_t k) {
    k ^= k >> 33;
    k *= 0xff51afd7ed558ccdull;
    k ^= k >> 33;
    k *= 0xc4ceb9fe1a85ec53ull;
    k ^= k >> 33;
    return k;
}

std::uint64_t scrambleFirst(std::uint64_t k) {
    return std::rotl(k * c1, 31) * c2;
}
std::uint64_t scrambleSecond(std::uint64_t k) {
    return std::rotl(k * c2, 33) * c1;
}

}  // namespace

void ContentHash::mixBlock(const std::uint8_t* block) {
    m_h1 ^= scrambleFirst(load(block));
    m_h1 = std::rotl(m_h1, 27) + m_h2;
    m_h1 = m_h1 * 5 + 0x52dce729;
    m_h2 ^= scrambleSecond(load(block + 8));
    m_h2 = std::rotl(m_h2, 31) + m_h1;
    m_h2 = m_h2 * 5 + 0x38495ab5;
}

ContentHash& ContentHash::add(const void* data, std::size_t size) {
    const auto* bytes = static_cast<const std::uint8_t*>(data);
    m_length += size;
    if (m_pendingSize > 0) {
        const std::size_t taken = std::min(size, m_pending.size() - m_pendingSize);
        std::memcpy(m_pending.data() + m_pendingSize, bytes, taken);
        m_pendingSize += taken;
        bytes += taken;
        size -= taken;
        if (m_pendingSize < m_pending.size()) return *this;
        mixBlock(m_pending.data());
        m_pendingSize = 0;
    }
    for (; size >= m_pending.size(); bytes += m_pending.size(), size -= m_pending.size()) mixBlock(bytes);
    std::memcpy(m_pending.data(), bytes, size);
    m_pendingSize = size;
    return *this;
}

std::array<std::uint8_t, 16> ContentHash::digest() const {
    std::uint64_t h1 = m_h1, h2 = m_h2;
    if (m_pendingSize > 0) {
        std::array<std::uint8_t, 16> tail{};
        std::memcpy(tail.data(), m_pending.data(), m_pendingSize);
        h1 ^= scrambleFirst(load(tail.data()));
        h2 ^= scrambleSecond(load(tail.data() + 8));
    }
    h1 ^= m_length;
    h2 ^= m_length;
    h1 += h2;
    h2 += h1;
    h1 = finalMix(h1);
    h2 = finalMix(h2);
    h1 += h2;
    h2 += h1;
    std::array<std::uint8_t, 16> out;
    for (int i = 0; i < 8; ++i) {
        out[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(h1 >> (56 - 8 * i));
        out[static_cast<std::size_t>(8 + i)] = static_cast<std::uint8_t>(h2 >> (56 - 8 * i));
    }
    return out;
}

std::string ContentHash::hex() const {
    static constexpr char digits[] = "0123456789abcdef";
    std::string text;
    for (const std::uint8_t byte : digest()) {
        text += digits[byte >> 4];
        text += digits[byte & 15];
    }
    return text;
}

}  // namespace quillfen
