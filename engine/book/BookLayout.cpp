#include "engine/book/BookLayout.h"

#include <functional>

#include "engine/core/Hashing.h"

std::size_t std::hash<quillfen::LayoutWarning>::operator()(
    const quillfen::LayoutWarning& warning) const noexcept {
    std::size_t h = warning.page ? std::hash<int>{}(*warning.page) * 2 + 1 : 0;
    const auto mix = [&h](std::size_t v) { quillfen::hash_detail::combine(h, v); };
    mix(warning.drawing ? std::hash<quillfen::UUID>{}(*warning.drawing) * 2 + 1 : 0);
    mix(std::hash<std::string>{}(warning.text));
    mix(warning.severe ? 1 : 0);
    return h;
}
