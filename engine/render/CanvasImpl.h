#pragma once

#include "engine/render/Canvas.h"

#include <cairo.h>

#include <string>
#include <utility>
#include <vector>

namespace quillfen {

// The shadow masks a PDF's pages have used, each by what it was drawn from, so that a shadow repeated
// on many pages is drawn and blurred once. Owned by the PDF writer; used on its thread only.
class ShadowMasks {
public:
    ShadowMasks() = default;
    ~ShadowMasks();
    ShadowMasks(const ShadowMasks&) = delete;
    ShadowMasks& operator=(const ShadowMasks&) = delete;

    // The mask made from `key`, or null; the surface stays owned here.
    cairo_surface_t* find(const std::string& key) const;
    // Keeps a reference to `mask` under `key`; the oldest are let go beyond a few.
    void keep(std::string key, cairo_surface_t* mask);

private:
    std::vector<std::pair<std::string, cairo_surface_t*>> m_masks;
};

// The state behind a Canvas; shared with the PDF writer, which makes canvases over its pages.
struct Canvas::Impl {
    struct State {
        Color fill = Color::black();
        Color stroke = Color::black();
        Size shadowOffset;
        double shadowBlur = 0;
        Color shadowColor = Color::black(0);
        InterpolationQuality quality = InterpolationQuality::standard;
    };

    // Takes over cr; height is the device height that the y-up base transform flips around.
    Impl(cairo_t* cr, double height, bool raster, double shadowResolution);
    ~Impl();
    Impl(const Impl&) = delete;
    Impl& operator=(const Impl&) = delete;

    cairo_t* cr = nullptr;
    bool raster = true;           // a bitmap, where images are drawn as pixels
    double shadowResolution = 1;  // at most this many shadow mask pixels per device unit
    ShadowMasks* shadowMasks = nullptr;  // a PDF's masks made on earlier pages, when set
    State state;
    std::vector<State> saved;
};

}  // namespace quillfen
