#pragma once

#include "app/model/KeyedJob.h"

#include <QRect>
#include <QRectF>
#include <QThreadPool>

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

class QPainter;

namespace quillfen {

// The identity of one page render in a preview: a new render starts whenever any field changes.
struct PageKey {
    std::int64_t revision = 0;
    bool guides = false;
    int number = 0;
    int width = 0;  // the cell width in whole points

    bool operator==(const PageKey&) const = default;
};

// A length in whole points, truncated toward zero.
int wholePoints(double points);

// The soft shadow under a page or a sheet: two points down, fading out over three points.
void paintPageShadow(QPainter& painter, const QRectF& page);

// The pictures of a lazily painted grid of page cells, one slot per cell (0-based). A slot's picture
// is rendered off the GUI thread and stored only while its key is current; a render dropped before it
// began never runs. GUI thread only; the render itself runs on the given pool and gets only copies.
template <typename Picture>
class PageRenders {
public:
    explicit PageRenders(QObject* owner) : m_owner(owner) {}

    // Renders the slots whose cells (`area` of a slot) intersect `visible`, and lets go of the others
    // of `count` and of every slot beyond it: their pending renders are dropped, and their pictures
    // too once they lie more than a view's height above or below.
    void follow(QRect visible, int count, const std::function<QRectF(int)>& area,
                const std::function<void(int)>& render) {
        const QRect kept = visible.adjusted(0, -visible.height(), 0, visible.height());
        for (int slot = 0; slot < count; ++slot) {
            const QRectF rect = area(slot);
            if (rect.intersects(visible)) render(slot);
            else forget(slot, !rect.intersects(kept));
        }
        forgetFrom(count);
    }

    // Starts `work` on `pool` for the slot unless a render for an equal key is already current; once its
    // picture is stored, `shown` runs on the GUI thread.
    void render(int slot, const PageKey& key, QThreadPool& pool, std::function<Picture()> work,
                std::function<void()> shown) {
        Slot& target = this->slot(slot);
        if (target.job.key() == key) return;
        if (target.wanted) target.wanted->store(false);
        auto wanted = std::make_shared<std::atomic<bool>>(true);
        target.wanted = wanted;
        target.job.start(
            pool, key,
            [work = std::move(work), wanted, renders = m_renders]() -> std::optional<Picture> {
                if (!wanted->load()) return std::nullopt;
                renders->fetch_add(1);
                return work();
            },
            [this, slot, key, shown = std::move(shown)](std::optional<Picture> result) {
                if (!result) return;
                Slot& stored = this->slot(slot);
                stored.picture = std::move(*result);
                stored.pictureKey = key;
                shown();
            });
    }

    // Drops the slot's pending render, and with `dropPicture` its picture; a slot never used stays so.
    void forget(int slot, bool dropPicture) {
        if (slot < 0 || slot >= static_cast<int>(m_slots.size())) return;
        Slot& target = *m_slots[static_cast<std::size_t>(slot)];
        if (target.wanted) target.wanted->store(false);
        target.wanted.reset();
        target.job.reset();
        if (dropPicture) {
            target.picture = Picture();
            target.pictureKey.reset();
        }
    }

    // Forgets the slots from `first` on, pictures and all.
    void forgetFrom(int first) {
        for (int slot = first; slot < static_cast<int>(m_slots.size()); ++slot) forget(slot, true);
    }

    // The slot's picture (a default Picture when none) and the key it was rendered for.
    const Picture& picture(int slot) const {
        static const Picture none;
        return has(slot) ? m_slots[static_cast<std::size_t>(slot)]->picture : none;
    }
    std::optional<PageKey> pictureKey(int slot) const {
        return has(slot) ? m_slots[static_cast<std::size_t>(slot)]->pictureKey : std::nullopt;
    }
    // Renders that actually ran since the grid was made.
    int renderCount() const { return m_renders->load(); }

private:
    struct Slot {
        explicit Slot(QObject* owner) : job(owner) {}
        KeyedJob<PageKey, std::optional<Picture>> job;
        std::shared_ptr<std::atomic<bool>> wanted;  // false once the render is no longer needed
        Picture picture;
        std::optional<PageKey> pictureKey;
    };

    bool has(int slot) const { return slot >= 0 && slot < static_cast<int>(m_slots.size()); }
    Slot& slot(int index) {
        while (static_cast<int>(m_slots.size()) <= index) m_slots.push_back(std::make_unique<Slot>(m_owner));
        return *m_slots[static_cast<std::size_t>(index)];
    }

    QObject* m_owner;
    // Kept for the grid's life: a pending render refers to its slot's job.
    std::vector<std::unique_ptr<Slot>> m_slots;
    std::shared_ptr<std::atomic<int>> m_renders = std::make_shared<std::atomic<int>>(0);
};

}  // namespace quillfen
