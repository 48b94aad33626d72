#include "engine/cleanup/detail/HeifItems.h"

#include <functional>
#include <map>
#include <set>
#include <optional>
#include <string_view>
#include <utility>
#include <vector>

namespace quillfen::detail {

namespace {

using Bytes = std::span<const std::uint8_t>;

// Big-endian fields read in order; a read past the end fails the reader and yields 0.
class Reader {
public:
    explicit Reader(Bytes data) : m_data(data) {}

    std::uint64_t read(std::size_t bytes) {
        if (bytes > 8 || bytes > m_data.size() - m_at) {
            m_failed = true;
            return 0;
        }
        std::uint64_t value = 0;
        for (std::size_t i = 0; i < bytes; ++i) value = value << 8 | m_data[m_at++];
        return value;
    }
    std::string_view type() {
        if (m_data.size() - m_at < 4) {
            m_failed = true;
            return {};
        }
        m_at += 4;
        return {reinterpret_cast<const char*>(m_data.data()) + m_at - 4, 4};
    }
    Bytes rest() const { return m_data.subspan(m_at); }
    bool done() const { return m_at == m_data.size(); }
    bool failed() const { return m_failed; }

private:
    Bytes m_data;
    std::size_t m_at = 0;
    bool m_failed = false;
};

struct Box {
    std::string_view type;
    Bytes body;
};

// The boxes that fill a region, in order; nothing when a box header does not fit.
std::optional<std::vector<Box>> boxesIn(Bytes region) {
    std::vector<Box> boxes;
    Reader reader(region);
    while (!reader.done()) {
        const Bytes at = reader.rest();
        std::uint64_t size = reader.read(4);
        const std::string_view type = reader.type();
        std::uint64_t header = 8;
        if (size == 1) size = reader.read(8), header = 16;
        if (size == 0) size = at.size();
        if (reader.failed() || size < header || size > at.size()) return std::nullopt;
        boxes.push_back({type, at.subspan(header, size - header)});
        reader = Reader(at.subspan(size));
    }
    return boxes;
}

const Box* find(const std::vector<Box>& boxes, std::string_view type) {
    for (const Box& box : boxes) {
        if (box.type == type) return &box;
    }
    return nullptr;
}

struct Canvas {
    std::uint64_t width = 0;
    std::uint64_t height = 0;
    // Equal sides, either way round: libheif's own writer gives a turned grid its turned size.
    bool sameSides(const Canvas& other) const {
        return (width == other.width && height == other.height) ||
               (width == other.height && height == other.width);
    }
};

struct Items {
    std::uint32_t primary = 0;
    std::map<std::uint32_t, std::string_view> types;  // every item with an "infe" entry
    std::map<std::uint32_t, std::vector<std::uint32_t>> inputs;
    std::map<std::uint32_t, Bytes> data;  // the first extent of each item's data
    std::map<std::uint32_t, Canvas> ispe;
};

bool readPrimary(const Box& pitm, Items& items) {
    Reader r(pitm.body);
    const auto version = r.read(1);
    r.read(3);
    items.primary = static_cast<std::uint32_t>(r.read(version == 0 ? 2 : 4));
    return !r.failed();
}

bool readEntries(const Box& iinf, Items& items) {
    Reader r(iinf.body);
    r.read(r.read(1) == 0 ? 5 : 7);  // version, flags and the entry count
    const auto boxes = boxesIn(r.rest());
    if (r.failed() || !boxes) return false;
    for (const Box& box : *boxes) {
        if (box.type != "infe") continue;
        Reader e(box.body);
        const auto version = e.read(1);
        e.read(3);
        if (version < 2) continue;  // entries without an item type describe no image
        const auto id = static_cast<std::uint32_t>(e.read(version == 2 ? 2 : 4));
        e.read(2);
        const std::string_view type = e.type();
        if (e.failed()) return false;
        items.types[id] = type;
    }
    return true;
}

bool readReferences(const Box& iref, Items& items) {
    Reader r(iref.body);
    const std::size_t idBytes = r.read(1) == 0 ? 2 : 4;
    r.read(3);
    const auto boxes = boxesIn(r.rest());
    if (r.failed() || !boxes) return false;
    for (const Box& box : *boxes) {
        if (box.type != "dimg") continue;
        Reader e(box.body);
        auto& inputs = items.inputs[static_cast<std::uint32_t>(e.read(idBytes))];
        for (auto count = e.read(2); count > 0 && !e.failed(); --count)
            inputs.push_back(static_cast<std::uint32_t>(e.read(idBytes)));
        if (e.failed()) return false;
    }
    return true;
}

// The first extent of every item: in the file (construction method 0) or in "idat" (method 1).
bool readLocations(const Box& iloc, Bytes file, Bytes idat, Items& items) {
    Reader r(iloc.body);
    const auto version = r.read(1);
    r.read(3);
    const auto sizes = r.read(2);
    const std::size_t offsetBytes = sizes >> 12, lengthBytes = sizes >> 8 & 15, baseBytes = sizes >> 4 & 15;
    const std::size_t indexBytes = version == 0 ? 0 : sizes & 15;
    for (auto count = r.read(version < 2 ? 2 : 4); count > 0 && !r.failed(); --count) {
        const auto id = static_cast<std::uint32_t>(r.read(version < 2 ? 2 : 4));
        const auto method = version == 0 ? 0 : r.read(2) & 15;
        r.read(2);
        const auto base = r.read(baseBytes);
        const auto extents = r.read(2);
        for (std::uint64_t i = 0; i < extents && !r.failed(); ++i) {
            r.read(indexBytes);
            const auto offset = r.read(offsetBytes);
            const auto length = r.read(lengthBytes);
            const Bytes source = method == 0 ? file : method == 1 ? idat : Bytes{};
            const std::uint64_t start = base + offset;
            if (i > 0 || start < base || start > source.size()) continue;
            const std::uint64_t available = source.size() - start;
            items.data[id] = source.subspan(start, length == 0 || length > available ? available : length);
        }
    }
    return !r.failed();
}

bool readSizes(const Box& iprp, Items& items) {
    const auto boxes = boxesIn(iprp.body);
    if (!boxes) return false;
    const Box* ipco = find(*boxes, "ipco");
    const auto properties = ipco ? boxesIn(ipco->body) : std::nullopt;
    if (!properties) return false;
    for (const Box& ipma : *boxes) {
        if (ipma.type != "ipma") continue;
        Reader r(ipma.body);
        const auto version = r.read(1);
        const bool wide = (r.read(3) & 1) != 0;
        for (auto count = r.read(4); count > 0 && !r.failed(); --count) {
            const auto id = static_cast<std::uint32_t>(r.read(version < 1 ? 2 : 4));
            for (auto n = r.read(1); n > 0 && !r.failed(); --n) {
                const auto index = r.read(wide ? 2 : 1) & (wide ? 0x7FFF : 0x7F);
                if (index == 0 || index > properties->size() || (*properties)[index - 1].type != "ispe")
                    continue;
                Reader s((*properties)[index - 1].body);
                s.read(4);
                const Canvas canvas{s.read(4), s.read(4)};
                if (s.failed()) return false;
                items.ispe[id] = canvas;
            }
        }
        if (r.failed()) return false;
    }
    return true;
}

std::optional<Items> readItems(Bytes file) {
    const auto top = boxesIn(file);
    const Box* meta = top ? find(*top, "meta") : nullptr;
    if (!meta || meta->body.size() < 4) return std::nullopt;
    const auto boxes = boxesIn(meta->body.subspan(4));
    if (!boxes) return std::nullopt;
    const Box* pitm = find(*boxes, "pitm");
    const Box* iinf = find(*boxes, "iinf");
    const Box* iloc = find(*boxes, "iloc");
    const Box* iref = find(*boxes, "iref");
    const Box* iprp = find(*boxes, "iprp");
    const Box* idat = find(*boxes, "idat");
    Items items;
    if (!pitm || !readPrimary(*pitm, items) || !iinf || !readEntries(*iinf, items)) return std::nullopt;
    if (iloc && !readLocations(*iloc, file, idat ? idat->body : Bytes{}, items)) return std::nullopt;
    if (iref && !readReferences(*iref, items)) return std::nullopt;
    if (iprp && !readSizes(*iprp, items)) return std::nullopt;
    return items;
}

// The canvas that a grid or overlay item declares in its data; nothing when the data is short.
std::optional<Canvas> declaredCanvas(std::string_view type, Bytes data) {
    Reader r(data);
    r.read(1);
    const std::size_t bytes = (r.read(1) & 1) != 0 ? 4 : 2;
    r.read(type == "grid" ? 2 : 8);  // a grid's rows and columns; an overlay's fill colour
    const Canvas canvas{r.read(bytes), r.read(bytes)};
    return r.failed() ? std::nullopt : std::optional(canvas);
}

// The item types libheif decodes: coded pictures, and pictures derived from other items.
bool coded(std::string_view type) { return type == "hvc1" || type == "av01"; }
bool derived(std::string_view type) { return type == "grid" || type == "iden" || type == "iovl"; }

// libheif decodes a derived item by decoding its inputs in turn, one level of its stack each.
constexpr std::size_t deepestDerivation = 8;

// Whether the item decodes in libheif: it is coded, or derived soundly from items that decode, none
// of them deriving from itself and no chain longer than deepestDerivation. `open` holds the items
// whose inputs are being checked; `sound` those found sound.
bool decodes(const Items& items, std::uint32_t id, const std::function<bool(const Canvas&)>& fits,
             std::set<std::uint32_t>& open, std::set<std::uint32_t>& sound) {
    if (sound.contains(id)) return true;
    const auto type = items.types.find(id);
    if (type == items.types.end()) return false;
    if (coded(type->second)) return true;
    if (!derived(type->second) || open.contains(id) || open.size() >= deepestDerivation) return false;
    const auto inputs = items.inputs.find(id);
    if (inputs == items.inputs.end() || inputs->second.empty()) return false;
    open.insert(id);
    for (const std::uint32_t input : inputs->second) {
        if (!decodes(items, input, fits, open, sound)) return false;
    }
    open.erase(id);
    const auto ispe = items.ispe.find(id);
    if (type->second == "iden") {
        // An identity shows its input as it is, so a size of its own must be the input's.
        const auto input = items.ispe.find(inputs->second.front());
        if (ispe != items.ispe.end() && input != items.ispe.end() && !ispe->second.sameSides(input->second))
            return false;
    } else {
        const auto location = items.data.find(id);
        const auto canvas =
            location == items.data.end() ? std::nullopt : declaredCanvas(type->second, location->second);
        if (!canvas || !fits(*canvas) || (ispe != items.ispe.end() && !ispe->second.sameSides(*canvas)))
            return false;
    }
    sound.insert(id);
    return true;
}

}  // namespace

bool heifItemsSound(std::span<const std::uint8_t> data, double maxPixels) {
    const auto items = readItems(data);
    if (!items) return false;
    const auto fits = [&](const Canvas& c) { return static_cast<double>(c.width) * c.height <= maxPixels; };
    for (const auto& [id, canvas] : items->ispe) {
        if (!fits(canvas)) return false;
    }
    // Every picture libheif sets up, not only the primary: an alpha or thumbnail picture is decoded
    // by the same road.
    std::set<std::uint32_t> open, sound;
    if (!decodes(*items, items->primary, fits, open, sound)) return false;
    for (const auto& [id, type] : items->types) {
        if (derived(type) && !decodes(*items, id, fits, open, sound)) return false;
    }
    return true;
}

}  // namespace quillfen::detail
