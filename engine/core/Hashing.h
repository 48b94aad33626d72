#pragma once

#include <cstddef>

namespace quillfen::hash_detail {

// Mixes one more value into a running hash, for the records that are hashed field by field.
inline void combine(std::size_t& seed, std::size_t value) {
    seed ^= value + 0x9e3779b97f4a7c15ull + (seed << 6) + (seed >> 2);
}

}  // namespace quillfen::hash_detail
