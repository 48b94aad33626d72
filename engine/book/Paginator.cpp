#include "engine/book/Paginator.h"

#include <algorithm>
#include <cstdint>
#include <limits>
#include <string>
#include <unordered_map>
#include <unordered_set>

#include "engine/core/TextTrimming.h"

namespace quillfen::Paginator {

namespace {

using Drawings = std::vector<const DrawingInfo*>;

constexpr const char* noRoomText =
    "The safe margin leaves no room on the page. Choose a smaller safe margin.";

std::vector<const Child*> uniqueChildren(std::span<const Child> children) {
    std::vector<const Child*> out;
    std::unordered_set<UUID> seen;
    for (const Child& child : children)
        if (seen.insert(child.id).second) out.push_back(&child);
    return out;
}

Drawings orderedPointers(Drawings drawings, std::span<const Child> children, BookOrder order) {
    const auto earlier = [](const DrawingInfo* a, const DrawingInfo* b) { return isEarlier(*a, *b); };
    if (order == BookOrder::chronological) {
        std::stable_sort(drawings.begin(), drawings.end(), earlier);
        return drawings;
    }
    std::unordered_map<UUID, std::size_t> position;
    for (std::size_t i = 0; i < children.size(); ++i) position.emplace(children[i].id, i);
    const auto key = [&position](const DrawingInfo* d) {
        if (!d->childID) return std::numeric_limits<std::size_t>::max();
        const auto it = position.find(*d->childID);
        return it == position.end() ? std::numeric_limits<std::size_t>::max() : it->second;
    };
    std::vector<std::pair<std::size_t, const DrawingInfo*>> keyed;
    keyed.reserve(drawings.size());
    for (const DrawingInfo* d : drawings) keyed.emplace_back(key(d), d);
    std::stable_sort(keyed.begin(), keyed.end(), [&earlier](const auto& a, const auto& b) {
        if (a.first != b.first) return a.first < b.first;
        return earlier(a.second, b.second);
    });
    for (std::size_t i = 0; i < keyed.size(); ++i) drawings[i] = keyed[i].second;
    return drawings;
}

// The chosen drawing when it is among the drawings, else the oldest (see `coverDrawing`).
const DrawingInfo* coverOf(const std::optional<UUID>& chosen, std::span<const DrawingInfo* const> drawings) {
    const DrawingInfo* oldest = nullptr;
    for (const DrawingInfo* drawing : drawings) {
        if (chosen && drawing->id == *chosen) return drawing;
        if (!oldest || isEarlier(*drawing, *oldest) ||
            (!isEarlier(*oldest, *drawing) && drawing->id < oldest->id)) {
            oldest = drawing;
        }
    }
    return oldest;
}

// The number of drawings on each page; pages are consecutive runs of the drawings in order.
std::vector<std::size_t> chunkSizes(std::span<const DrawingInfo* const> drawings, Arrangement arrangement) {
    std::vector<std::size_t> sizes;
    const std::size_t n = drawings.size();
    if (arrangement != Arrangement::mix) {
        const std::size_t per = arrangement == Arrangement::one     ? 1
                                : arrangement == Arrangement::two   ? 2
                                : arrangement == Arrangement::three ? 3
                                                                    : 4;
        for (std::size_t start = 0; start < n; start += per) sizes.push_back(std::min(per, n - start));
        return sizes;
    }
    std::size_t counter = 0;
    std::size_t waiting = 0;
    const auto flush = [&] {
        while (waiting > 0) {
            const std::size_t k = static_cast<std::size_t>(mixPattern[counter % mixPattern.size()]);
            sizes.push_back(std::min(k, waiting));
            waiting -= sizes.back();
            ++counter;
        }
    };
    for (const DrawingInfo* d : drawings) {
        if (!d->featured) {
            ++waiting;
            continue;
        }
        flush();
        sizes.push_back(1);
        ++counter;
    }
    flush();
    return sizes;
}

void appendDrawingPages(std::vector<PageContent>& content, std::span<const DrawingInfo* const> drawings,
                        Arrangement arrangement) {
    std::size_t start = 0;
    for (const std::size_t size : chunkSizes(drawings, arrangement)) {
        DrawingsPage page;
        page.drawings.reserve(size);
        for (std::size_t i = start; i < start + size; ++i) page.drawings.push_back(drawings[i]->id);
        content.emplace_back(std::move(page));
        start += size;
    }
}

std::string dpiText(double dpi) {
    return std::to_string(Resolution::wholeDPI(dpi));
}

void addSlotWarnings(const BookPage& page, const std::unordered_map<UUID, const DrawingInfo*>& table,
                     std::vector<LayoutWarning>& warnings) {
    for (const Slot& slot : page.slots) {
        const auto it = table.find(slot.drawing);
        if (it == table.end() || !(slot.image.width() > 0) || !(slot.image.height() > 0)) continue;
        const DrawingInfo& info = *it->second;
        const double dpi = Resolution::dpi(info.pixelSize, slot.image.size);
        const Resolution::Grade grade = Resolution::grade(dpi);
        if (grade == Resolution::Grade::good) continue;
        const std::string title = info.title.empty() ? "Untitled" : info.title;
        const std::string where = "“" + title + "” on page " + std::to_string(page.number);
        if (grade == Resolution::Grade::soft) {
            warnings.push_back(
                {page.number, info.id,
                 where + " prints at " + dpiText(dpi) + " dpi (300 looks sharp). It may look a little soft.",
                 false});
        } else {
            warnings.push_back(
                {page.number, info.id,
                 where + " prints at only " + dpiText(dpi) +
                     " dpi and will look blurry. Use a sharper photo or scan, or put it on a page with "
                     "more drawings.",
                 true});
        }
    }
}

}  // namespace

bool isEarlier(const DrawingInfo& a, const DrawingInfo& b) {
    if (a.date != b.date) return a.date < b.date;
    return a.sequence < b.sequence;
}

std::vector<DrawingInfo> ordered(std::span<const DrawingInfo> drawings, std::span<const Child> children,
                                 BookOrder order) {
    Drawings pointers;
    pointers.reserve(drawings.size());
    for (const DrawingInfo& d : drawings) pointers.push_back(&d);
    std::vector<DrawingInfo> out;
    out.reserve(drawings.size());
    for (const DrawingInfo* d : orderedPointers(std::move(pointers), children, order)) out.push_back(*d);
    return out;
}

std::optional<UUID> coverDrawing(const std::optional<UUID>& chosen,
                                 std::span<const DrawingInfo* const> drawings) {
    const DrawingInfo* cover = coverOf(chosen, drawings);
    if (!cover) return std::nullopt;
    return cover->id;
}

std::vector<std::vector<DrawingInfo>> chunk(std::span<const DrawingInfo> drawings, Arrangement arrangement) {
    Drawings pointers;
    pointers.reserve(drawings.size());
    for (const DrawingInfo& d : drawings) pointers.push_back(&d);
    std::vector<std::vector<DrawingInfo>> pages;
    std::size_t start = 0;
    for (const std::size_t size : chunkSizes(pointers, arrangement)) {
        pages.emplace_back(drawings.begin() + static_cast<std::ptrdiff_t>(start),
                           drawings.begin() + static_cast<std::ptrdiff_t>(start + size));
        start += size;
    }
    return pages;
}

double captionHeight(const BookSettings& settings, int count, double pageWidth, double pageHeight) {
    if (settings.caption == CaptionStyle::none) return 0;
    return CaptionMetrics::forPage(settings, count, pageWidth, pageHeight).height;
}

BookLayout paginate(const BookSettings& settings, std::span<const Child> children,
                    std::span<const DrawingInfo> drawings) {
    const Size trim = trimSize(settings.size);
    const PrintSpec spec = settings.spec.heldTo(trim);

    std::unordered_map<UUID, const DrawingInfo*> table;
    table.reserve(drawings.size());
    Drawings unique;
    unique.reserve(drawings.size());
    for (const DrawingInfo& d : drawings)
        if (table.emplace(d.id, &d).second) unique.push_back(&d);
    const std::vector<const Child*> listed = uniqueChildren(children);

    std::vector<PageContent> content;
    if (settings.coverInInterior) content.emplace_back(CoverPage{});
    if (!trimmingWhitespaceAndNewlines(settings.dedication).empty()) content.emplace_back(DedicationPage{});

    const Drawings inOrder = orderedPointers(unique, children, settings.order);

    std::unordered_set<UUID> withAbout;
    std::vector<UUID> aboutChildren;
    if (settings.aboutPages) {
        std::unordered_set<UUID> drawn;
        for (const DrawingInfo* d : unique)
            if (d->childID) drawn.insert(*d->childID);
        for (const Child* child : listed)
            if (drawn.count(child->id)) {
                aboutChildren.push_back(child->id);
                withAbout.insert(child->id);
            }
    }

    if (settings.order == BookOrder::chronological) {
        for (const UUID& id : aboutChildren) content.emplace_back(AboutPage{id});
        appendDrawingPages(content, inOrder, settings.arrangement);
    } else {
        std::size_t start = 0;
        while (start < inOrder.size()) {
            const std::optional<UUID>& child = inOrder[start]->childID;
            std::size_t end = start + 1;
            while (end < inOrder.size() && inOrder[end]->childID == child) ++end;
            if (child && withAbout.count(*child)) content.emplace_back(AboutPage{*child});
            appendDrawingPages(content, std::span(inOrder).subspan(start, end - start), settings.arrangement);
            start = end;
        }
    }

    const bool wantsBack = !trimmingWhitespaceAndNewlines(settings.closing).empty();
    const std::int64_t contentPages = static_cast<std::int64_t>(content.size()) + (wantsBack ? 1 : 0);
    const std::int64_t padded = spec.paddedPageCount(contentPages);
    content.insert(content.end(), static_cast<std::size_t>(std::max<std::int64_t>(padded - contentPages, 0)),
                   BlankPage{});
    if (wantsBack) content.emplace_back(BackPage{});

    std::vector<LayoutWarning> warnings;
    const double s = spec.safe;
    const bool hasRoom = trim.width - 2 * s > 0 && trim.height - 2 * s > 0;
    if (!hasRoom) warnings.push_back({std::nullopt, std::nullopt, noRoomText, true});
    const Rect contentRect{s, s, trim.width - 2 * s, trim.height - 2 * s};

    std::vector<BookPage> pages;
    pages.reserve(content.size());
    for (std::size_t i = 0; i < content.size(); ++i) {
        BookPage page{static_cast<int>(i + 1), std::move(content[i]), {}};
        if (const auto* drawingsPage = std::get_if<DrawingsPage>(&page.content); drawingsPage && hasRoom) {
            std::vector<PlacedDrawing> placed;
            placed.reserve(drawingsPage->drawings.size());
            for (const UUID& id : drawingsPage->drawings) {
                const auto it = table.find(id);
                if (it != table.end()) placed.push_back({id, it->second->aspect});
            }
            const double band =
                captionHeight(settings, static_cast<int>(placed.size()), trim.width, trim.height);
            page.slots = slots(placed, contentRect, band);
            addSlotWarnings(page, table, warnings);
        }
        pages.push_back(std::move(page));
    }

    if (const DrawingInfo* cover = coverOf(settings.coverDrawing, unique)) {
        const Rect rect = coverPictureRect(trim.width, trim.height, s, cover->aspect);
        if (rect.width() > 0 && rect.height() > 0) {
            const double dpi = Resolution::dpi(cover->pixelSize, rect.size);
            if (Resolution::grade(dpi) != Resolution::Grade::good) {
                std::optional<int> page;
                if (settings.coverInInterior) {
                    const auto first = std::find_if(pages.begin(), pages.end(), [](const BookPage& p) {
                        return std::holds_alternative<CoverPage>(p.content);
                    });
                    if (first != pages.end()) page = first->number;
                }
                warnings.push_back({page, cover->id,
                                    "The cover drawing prints at " + dpiText(dpi) + " dpi (300 looks sharp).",
                                    dpi < Resolution::minimumDPI});
            }
        }
    }

    const auto pageCount = static_cast<std::int64_t>(pages.size());
    if (spec.maximumPages > 0 && pageCount > spec.maximumPages) {
        warnings.push_back({std::nullopt, std::nullopt,
                            std::to_string(pageCount) + " pages is more than this preset's " +
                                std::to_string(spec.maximumPages) +
                                "-page limit. Put more drawings on each page or make two books.",
                            true});
    }

    return BookLayout{std::move(pages), trim, spec, static_cast<int>(contentPages), std::move(warnings)};
}

std::vector<LayoutWarning> coverWarnings(const BookLayout& layout) {
    // Only the cover warning names a drawing without a page, or names the cover page.
    const auto onCover = [&](const LayoutWarning& warning) {
        if (!warning.drawing) return false;
        if (!warning.page) return true;
        const auto index = static_cast<std::size_t>(*warning.page - 1);
        return *warning.page >= 1 && index < layout.pages.size() &&
               std::holds_alternative<CoverPage>(layout.pages[index].content);
    };
    std::vector<LayoutWarning> warnings;
    for (const LayoutWarning& warning : layout.warnings)
        if (onCover(warning) || warning.text == noRoomText) warnings.push_back(warning);
    return warnings;
}

}  // namespace quillfen::Paginator
