#include "engine/core/PixelStorage.h"

#include <cstdint>

#include <sys/mman.h>

namespace quillfen {

namespace {

constexpr std::uintptr_t hugePage = std::uintptr_t{2} << 20;

std::uintptr_t roundedUp(std::uintptr_t value) {
    return (value + hugePage - 1) & ~(hugePage - 1);
}

}  // namespace

void* mapLargePixels(std::size_t bytes) {
    // Mapped with a huge page to spare, then trimmed to a 2 MB-aligned run of whole 2 MB blocks.
    const std::size_t length = roundedUp(bytes);
    void* mapped =
        mmap(nullptr, length + hugePage, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (mapped == MAP_FAILED) return nullptr;
    const auto begin = reinterpret_cast<std::uintptr_t>(mapped);
    const auto aligned = roundedUp(begin);
    if (aligned > begin) munmap(mapped, aligned - begin);
    const std::uintptr_t tail = begin + length + hugePage - (aligned + length);
    if (tail > 0) munmap(reinterpret_cast<void*>(aligned + length), tail);
    // A kernel without transparent huge pages refuses the advice; the pages then stay plain ones.
    madvise(reinterpret_cast<void*>(aligned), length, MADV_HUGEPAGE);
    return reinterpret_cast<void*>(aligned);
}

void unmapLargePixels(void* data, std::size_t bytes) {
    munmap(data, roundedUp(bytes));
}

}  // namespace quillfen
