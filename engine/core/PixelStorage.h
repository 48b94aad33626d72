#pragma once

#include <cstddef>
#include <memory>
#include <new>
#include <utility>

namespace quillfen {

// Large pictures' storage: a mapping of their own, aligned to 2 MB and advised for huge pages, so
// that the kernel faults them in and clears them 2 MB at a time rather than 4 KB, and gives the
// memory back whole when it is released. Where transparent huge pages are off or missing, plain
// pages. Thread-safe.
inline constexpr std::size_t largePixelBytes = std::size_t{4} << 20;
// Nothing when the mapping fails.
void* mapLargePixels(std::size_t bytes);
void unmapLargePixels(void* data, std::size_t bytes);

// The allocator of pictures' pixels: an element made without a value is left undefined, for writers
// that set every pixel anyway; buffers of largePixelBytes or more are mapped as above. Stateless.
template <typename T>
struct PixelAllocator {
    using value_type = T;

    PixelAllocator() = default;
    template <typename U>
    PixelAllocator(const PixelAllocator<U>&) noexcept {}

    T* allocate(std::size_t n) {
        if (n < largePixelBytes / sizeof(T)) return std::allocator<T>{}.allocate(n);
        if (void* data = mapLargePixels(n * sizeof(T))) return static_cast<T*>(data);
        throw std::bad_alloc();
    }
    void deallocate(T* data, std::size_t n) noexcept {
        if (n < largePixelBytes / sizeof(T)) return std::allocator<T>{}.deallocate(data, n);
        unmapLargePixels(data, n * sizeof(T));
    }

    template <typename U>
    void construct(U* at) noexcept {
        ::new (static_cast<void*>(at)) U;
    }
    template <typename U, typename... Arguments>
    void construct(U* at, Arguments&&... arguments) {
        ::new (static_cast<void*>(at)) U(std::forward<Arguments>(arguments)...);
    }

    template <typename U>
    bool operator==(const PixelAllocator<U>&) const noexcept {
        return true;
    }
};

}  // namespace quillfen
