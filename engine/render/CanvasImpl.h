#pragma once

#include "engine/render/Canvas.h"

#include <cairo.h>

#include <vector>

namespace quillfen {

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
    State state;
    std::vector<State> saved;
};

}  // namespace quillfen
