#include "engine/render/Canvas.h"

#include "engine/core/ContentHash.h"
#include "engine/render/CanvasImpl.h"
#include "engine/render/TextRendering.h"

#include <opencv2/imgproc.hpp>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>

namespace quillfen {

namespace {

constexpr double kappa = 0.5522847498307936;  // 4 (√2 − 1) / 3, for quarter ellipses

void setSource(cairo_t* cr, Color color) {
    cairo_set_source_rgba(cr, color.red, color.green, color.blue, color.alpha);
}

void appendPath(cairo_t* cr, const Path& path) {
    cairo_new_path(cr);
    for (const auto& e : path.elements()) {
        switch (e.kind) {
            case Path::Element::Kind::move:
                cairo_move_to(cr, e.points[0].x, e.points[0].y);
                break;
            case Path::Element::Kind::line:
                cairo_line_to(cr, e.points[0].x, e.points[0].y);
                break;
            case Path::Element::Kind::curve:
                cairo_curve_to(cr, e.points[0].x, e.points[0].y, e.points[1].x, e.points[1].y, e.points[2].x,
                               e.points[2].y);
                break;
            case Path::Element::Kind::close:
                cairo_close_path(cr);
                break;
        }
    }
}

cairo_fill_rule_t fillRule(FillRule rule) {
    return rule == FillRule::evenOdd ? CAIRO_FILL_RULE_EVEN_ODD : CAIRO_FILL_RULE_WINDING;
}

// The bounding box in device space of a user-space box under the context's transform.
void deviceBox(cairo_t* cr, double& x1, double& y1, double& x2, double& y2) {
    double xs[4] = {x1, x2, x1, x2};
    double ys[4] = {y1, y1, y2, y2};
    for (int i = 0; i < 4; ++i) cairo_user_to_device(cr, &xs[i], &ys[i]);
    x1 = *std::min_element(xs, xs + 4);
    x2 = *std::max_element(xs, xs + 4);
    y1 = *std::min_element(ys, ys + 4);
    y2 = *std::max_element(ys, ys + 4);
}

struct SurfaceDeleter {
    void operator()(cairo_surface_t* s) const { cairo_surface_destroy(s); }
};
using Surface = std::unique_ptr<cairo_surface_t, SurfaceDeleter>;

Surface surfaceFromBitmap(const Bitmap& bitmap) {
    const bool opaque = [&] {
        for (std::size_t i = 3; i < bitmap.pixels.size(); i += 4) {
            if (bitmap.pixels[i] != 255) return false;
        }
        return true;
    }();
    Surface surface(cairo_image_surface_create(opaque ? CAIRO_FORMAT_RGB24 : CAIRO_FORMAT_ARGB32,
                                               bitmap.width, bitmap.height));
    if (cairo_surface_status(surface.get()) != CAIRO_STATUS_SUCCESS) return nullptr;
    cairo_surface_flush(surface.get());
    unsigned char* data = cairo_image_surface_get_data(surface.get());
    const int stride = cairo_image_surface_get_stride(surface.get());
    for (int y = 0; y < bitmap.height; ++y) {
        const std::uint8_t* in = bitmap.pixel(0, y);
        auto* out = reinterpret_cast<std::uint32_t*>(data + static_cast<std::size_t>(y) * stride);
        for (int x = 0; x < bitmap.width; ++x, in += 4) {
            out[x] =
                std::uint32_t(in[3]) << 24 | std::uint32_t(in[0]) << 16 | std::uint32_t(in[1]) << 8 | in[2];
        }
    }
    cairo_surface_mark_dirty(surface.get());
    return surface;
}

// Names the surface's content for a PDF: surfaces of one name become one object in the file. False
// when cairo refused the name.
bool setUniqueID(cairo_surface_t* surface, const std::string& id) {
    auto* bytes = new unsigned char[id.size()];
    std::memcpy(bytes, id.data(), id.size());
    if (cairo_surface_set_mime_data(
            surface, CAIRO_MIME_TYPE_UNIQUE_ID, bytes, id.size(),
            [](void* p) { delete[] static_cast<unsigned char*>(p); }, bytes) != CAIRO_STATUS_SUCCESS) {
        delete[] bytes;
        return false;
    }
    return true;
}

// A one-pixel surface that carries the JPEG bytes. A PDF embeds the bytes unchanged, at their own
// pixel size, in the unit square the surface is drawn to, and shares them between every use of the
// same bytes; the pixel itself is never read. (A surface of the JPEG's size would make cairo copy
// its unused pixels for every use.)
Surface surfaceForJpeg(const PageImage& image) {
    Surface surface(cairo_image_surface_create(CAIRO_FORMAT_RGB24, 1, 1));
    if (cairo_surface_status(surface.get()) != CAIRO_STATUS_SUCCESS) return nullptr;
    auto* bytes = new std::shared_ptr<const std::vector<std::uint8_t>>(image.jpeg());
    if (cairo_surface_set_mime_data(
            surface.get(), CAIRO_MIME_TYPE_JPEG, (*bytes)->data(), (*bytes)->size(),
            [](void* p) { delete static_cast<std::shared_ptr<const std::vector<std::uint8_t>>*>(p); },
            bytes) != CAIRO_STATUS_SUCCESS) {
        delete bytes;
        return nullptr;
    }
    if (!setUniqueID(surface.get(), image.uniqueID())) return nullptr;
    return surface;
}

// Names a shadow's mask by its pixels, so that a PDF holds each mask once however many pages repeat it
// (compressing the same mask for every page is a tenth of a large book's writing time).
void nameByContent(cairo_surface_t* mask) {
    const int stride = cairo_image_surface_get_stride(mask);
    const int height = cairo_image_surface_get_height(mask);
    ContentHash hash;
    hash.add(cairo_image_surface_get_data(mask),
             static_cast<std::size_t>(stride) * static_cast<std::size_t>(height));
    const std::string id = "mask-" + hash.hex() + "-" + std::to_string(cairo_image_surface_get_width(mask)) +
                           "x" + std::to_string(height);
    setUniqueID(mask, id);
}

// The key of a shadow mask: everything its pixels are made from.
std::string maskKey(const Path& path, FillRule rule, const cairo_matrix_t& toMask, int w, int h,
                    double blur) {
    std::string key;
    const auto add = [&key](const auto& value) {
        key.append(reinterpret_cast<const char*>(&value), sizeof value);
    };
    add(w), add(h), add(blur), add(rule);
    for (const auto& e : path.elements()) {
        add(e.kind);
        const int count = e.kind == Path::Element::Kind::curve ? 3 : e.kind == Path::Element::Kind::close ? 0 : 1;
        for (int i = 0; i < count; ++i) {
            Point p = e.points[i];
            cairo_matrix_transform_point(&toMask, &p.x, &p.y);
            add(p.x), add(p.y);
        }
    }
    return key;
}

// The coverage of `path` drawn through `toMask` onto a w × h mask and blurred with a Gaussian of
// `blur` mask pixels. With `made`, a mask made before from the same is reused, and a new one is
// named by its content and kept there.
Surface shadowMask(ShadowMasks* made, const Path& path, FillRule rule, const cairo_matrix_t& toMask, int w,
                   int h, double blur) {
    std::string key;
    if (made) {
        key = maskKey(path, rule, toMask, w, h, blur);
        if (cairo_surface_t* known = made->find(key)) return Surface(cairo_surface_reference(known));
    }
    Surface mask(cairo_image_surface_create(CAIRO_FORMAT_A8, w, h));
    cairo_t* mc = cairo_create(mask.get());
    cairo_set_matrix(mc, &toMask);
    appendPath(mc, path);
    cairo_set_fill_rule(mc, fillRule(rule));
    cairo_fill(mc);
    cairo_destroy(mc);
    cairo_surface_flush(mask.get());
    if (blur > 0.05) {
        cv::Mat alpha(h, w, CV_8UC1, cairo_image_surface_get_data(mask.get()),
                      cairo_image_surface_get_stride(mask.get()));
        cv::GaussianBlur(alpha, alpha, cv::Size(0, 0), blur, blur, cv::BORDER_CONSTANT);
    }
    cairo_surface_mark_dirty(mask.get());
    if (made) {
        nameByContent(mask.get());
        made->keep(std::move(key), mask.get());
    }
    return mask;
}

// A picture drawn smaller on a bitmap is first reduced to its size there by averaging pixel areas,
// as smooth as cairo's best filter and many times cheaper. Only for unrotated, unskewed drawing; true
// when the bitmap was reduced.
bool reduceToDevice(cairo_t* cr, const Rect& rect, Bitmap& bitmap) {
    cairo_matrix_t device;
    cairo_get_matrix(cr, &device);
    if (device.xy != 0 || device.yx != 0) return false;
    const double width = std::round(std::abs(rect.width() * device.xx));
    const double height = std::round(std::abs(rect.height() * device.yy));
    if (!(width >= 1 && height >= 1 && width < bitmap.width && height < bitmap.height)) return false;
    Bitmap smaller(static_cast<int>(width), static_cast<int>(height));
    const cv::Mat from(bitmap.height, bitmap.width, CV_8UC4, bitmap.pixels.data(), bitmap.stride());
    cv::Mat to(smaller.height, smaller.width, CV_8UC4, smaller.pixels.data(), smaller.stride());
    cv::resize(from, to, to.size(), 0, 0, cv::INTER_AREA);
    bitmap = std::move(smaller);
    return true;
}

}  // namespace

// Path

void Path::moveTo(Point point) {
    m_elements.push_back({Element::Kind::move, {point}});
    m_current = m_start = point;
}

void Path::lineTo(Point point) {
    if (m_elements.empty()) return moveTo(point);
    m_elements.push_back({Element::Kind::line, {point}});
    m_current = point;
}

void Path::quadTo(Point control, Point end) {
    if (m_elements.empty()) moveTo(control);
    const Point c1{m_current.x + 2.0 / 3.0 * (control.x - m_current.x),
                   m_current.y + 2.0 / 3.0 * (control.y - m_current.y)};
    const Point c2{end.x + 2.0 / 3.0 * (control.x - end.x), end.y + 2.0 / 3.0 * (control.y - end.y)};
    curveTo(c1, c2, end);
}

void Path::curveTo(Point control1, Point control2, Point end) {
    if (m_elements.empty()) moveTo(control1);
    m_elements.push_back({Element::Kind::curve, {control1, control2, end}});
    m_current = end;
}

void Path::close() {
    if (m_elements.empty()) return;
    m_elements.push_back({Element::Kind::close, {}});
    m_current = m_start;
}

void Path::addRect(const Rect& rect) {
    const Rect r = rect.standardized();
    moveTo({r.minX(), r.minY()});
    lineTo({r.maxX(), r.minY()});
    lineTo({r.maxX(), r.maxY()});
    lineTo({r.minX(), r.maxY()});
    close();
}

void Path::addEllipse(const Rect& rect) {
    const Rect r = rect.standardized();
    const double cx = r.midX(), cy = r.midY(), rx = r.width() / 2, ry = r.height() / 2;
    const double kx = kappa * rx, ky = kappa * ry;
    moveTo({cx + rx, cy});
    curveTo({cx + rx, cy + ky}, {cx + kx, cy + ry}, {cx, cy + ry});
    curveTo({cx - kx, cy + ry}, {cx - rx, cy + ky}, {cx - rx, cy});
    curveTo({cx - rx, cy - ky}, {cx - kx, cy - ry}, {cx, cy - ry});
    curveTo({cx + kx, cy - ry}, {cx + rx, cy - ky}, {cx + rx, cy});
    close();
}

// ShadowMasks

ShadowMasks::~ShadowMasks() {
    for (auto& [key, mask] : m_masks) cairo_surface_destroy(mask);
}

cairo_surface_t* ShadowMasks::find(const std::string& key) const {
    for (const auto& [known, mask] : m_masks) {
        if (known == key) return mask;
    }
    return nullptr;
}

void ShadowMasks::keep(std::string key, cairo_surface_t* mask) {
    // A book repeats a handful of slot shapes; a few masks hold them all.
    constexpr std::size_t kept = 8;
    if (m_masks.size() == kept) {
        cairo_surface_destroy(m_masks.front().second);
        m_masks.erase(m_masks.begin());
    }
    m_masks.emplace_back(std::move(key), cairo_surface_reference(mask));
}

// Canvas

Canvas::Impl::Impl(cairo_t* cr, double height, bool raster, double shadowResolution)
    : cr(cr), raster(raster), shadowResolution(shadowResolution) {
    cairo_translate(cr, 0, height);
    cairo_scale(cr, 1, -1);
}

Canvas::Impl::~Impl() {
    cairo_destroy(cr);
}

Canvas::Canvas(int width, int height) {
    cairo_surface_t* surface =
        cairo_image_surface_create(CAIRO_FORMAT_ARGB32, std::max(width, 0), std::max(height, 0));
    cairo_t* cr = cairo_create(surface);
    cairo_surface_destroy(surface);
    m = std::make_unique<Impl>(cr, height, true, 1.0);
}

Canvas::Canvas(std::unique_ptr<Impl> impl) : m(std::move(impl)) {}
Canvas::~Canvas() = default;
Canvas::Canvas(Canvas&&) noexcept = default;
Canvas& Canvas::operator=(Canvas&&) noexcept = default;

bool Canvas::isValid() const {
    if (cairo_status(m->cr) != CAIRO_STATUS_SUCCESS) return false;
    if (!m->raster) return true;
    cairo_surface_t* surface = cairo_get_target(m->cr);
    return cairo_image_surface_get_width(surface) > 0 && cairo_image_surface_get_height(surface) > 0;
}

Bitmap Canvas::bitmap() const {
    if (!m->raster || !isValid()) return {};
    cairo_surface_t* surface = cairo_get_target(m->cr);
    cairo_surface_flush(surface);
    const int width = cairo_image_surface_get_width(surface);
    const int height = cairo_image_surface_get_height(surface);
    const int stride = cairo_image_surface_get_stride(surface);
    const unsigned char* data = cairo_image_surface_get_data(surface);
    Bitmap bitmap(width, height);
    for (int y = 0; y < height; ++y) {
        const auto* in = reinterpret_cast<const std::uint32_t*>(data + static_cast<std::size_t>(y) * stride);
        std::uint8_t* out = bitmap.pixel(0, y);
        for (int x = 0; x < width; ++x, out += 4) {
            out[0] = static_cast<std::uint8_t>(in[x] >> 16);
            out[1] = static_cast<std::uint8_t>(in[x] >> 8);
            out[2] = static_cast<std::uint8_t>(in[x]);
            out[3] = static_cast<std::uint8_t>(in[x] >> 24);
        }
    }
    return bitmap;
}

void Canvas::save() {
    cairo_save(m->cr);
    m->saved.push_back(m->state);
}

void Canvas::restore() {
    if (m->saved.empty()) return;
    cairo_restore(m->cr);
    m->state = m->saved.back();
    m->saved.pop_back();
}

void Canvas::translate(double dx, double dy) {
    cairo_translate(m->cr, dx, dy);
}
void Canvas::scale(double sx, double sy) {
    cairo_scale(m->cr, sx, sy);
}
void Canvas::rotate(double radians) {
    cairo_rotate(m->cr, radians);
}

void Canvas::clip(const Path& path, FillRule rule) {
    appendPath(m->cr, path);
    cairo_set_fill_rule(m->cr, fillRule(rule));
    cairo_clip(m->cr);
}

void Canvas::clipToRect(const Rect& rect) {
    Path path;
    path.addRect(rect);
    clip(path);
}

void Canvas::setFillColor(Color color) {
    m->state.fill = color;
}
void Canvas::setStrokeColor(Color color) {
    m->state.stroke = color;
}
void Canvas::setLineWidth(double width) {
    cairo_set_line_width(m->cr, width);
}

void Canvas::setLineCap(LineCap cap) {
    cairo_set_line_cap(m->cr, cap == LineCap::round    ? CAIRO_LINE_CAP_ROUND
                              : cap == LineCap::square ? CAIRO_LINE_CAP_SQUARE
                                                       : CAIRO_LINE_CAP_BUTT);
}

void Canvas::setLineJoin(LineJoin join) {
    cairo_set_line_join(m->cr, join == LineJoin::round   ? CAIRO_LINE_JOIN_ROUND
                               : join == LineJoin::bevel ? CAIRO_LINE_JOIN_BEVEL
                                                         : CAIRO_LINE_JOIN_MITER);
}

void Canvas::setLineDash(const std::vector<double>& lengths, double phase) {
    cairo_set_dash(m->cr, lengths.data(), static_cast<int>(lengths.size()), phase);
}

void Canvas::setShadow(Size offset, double blur, Color color) {
    m->state.shadowOffset = offset;
    m->state.shadowBlur = std::isfinite(blur) ? std::max(blur, 0.0) : 0.0;
    m->state.shadowColor = color;
}

void Canvas::setInterpolationQuality(InterpolationQuality quality) {
    m->state.quality = quality;
}

void Canvas::fill(const Path& path, FillRule rule) {
    cairo_t* cr = m->cr;
    const auto& state = m->state;
    appendPath(cr, path);
    cairo_set_fill_rule(cr, fillRule(rule));
    if (state.shadowColor.alpha > 0) {
        // The shape's coverage, drawn at the shadow resolution in device space, blurred and painted in
        // the shadow colour at the shadow offset. The blur is treated as twice the Gaussian's sigma.
        double x1, y1, x2, y2;
        cairo_fill_extents(cr, &x1, &y1, &x2, &y2);
        deviceBox(cr, x1, y1, x2, y2);
        const double sigma = state.shadowBlur / 2;
        const double margin = std::ceil(3 * sigma) + 1;
        x1 = std::floor(x1 - margin);
        y1 = std::floor(y1 - margin);
        x2 = std::ceil(x2 + margin);
        y2 = std::ceil(y2 + margin);
        // A bitmap's shadow is exact; a PDF's is rasterised just finely enough for its softness.
        double k = m->raster ? 1.0 : std::clamp(2 / std::max(sigma, 1e-3), 0.25, m->shadowResolution);
        const double longSide = std::max(x2 - x1, y2 - y1);
        if (longSide * k > 4096) k = 4096 / longSide;
        const int w = static_cast<int>(std::ceil((x2 - x1) * k));
        const int h = static_cast<int>(std::ceil((y2 - y1) * k));
        if (w > 0 && h > 0 && std::isfinite(x1) && std::isfinite(y1)) {
            cairo_matrix_t toMask;
            cairo_get_matrix(cr, &toMask);
            cairo_matrix_t shift;
            cairo_matrix_init_scale(&shift, k, k);
            cairo_matrix_translate(&shift, -x1, -y1);
            cairo_matrix_multiply(&toMask, &toMask, &shift);
            Surface mask = shadowMask(m->shadowMasks, path, rule, toMask, w, h, sigma * k);
            if (!m->raster && !m->shadowMasks) nameByContent(mask.get());
            cairo_pattern_t* pattern = cairo_pattern_create_for_surface(mask.get());
            cairo_matrix_t placement;
            cairo_matrix_init_scale(&placement, k, k);
            cairo_matrix_translate(&placement, -(x1 + state.shadowOffset.width),
                                   -(y1 - state.shadowOffset.height));
            cairo_pattern_set_matrix(pattern, &placement);
            cairo_pattern_set_filter(pattern, CAIRO_FILTER_GOOD);
            cairo_save(cr);
            cairo_identity_matrix(cr);
            setSource(cr, state.shadowColor);
            cairo_mask(cr, pattern);
            cairo_restore(cr);
            cairo_pattern_destroy(pattern);
        }
        appendPath(cr, path);
    }
    setSource(cr, state.fill);
    cairo_fill(cr);
}

void Canvas::fillRect(const Rect& rect) {
    Path path;
    path.addRect(rect);
    fill(path);
}

void Canvas::fillEllipse(const Rect& rect) {
    Path path;
    path.addEllipse(rect);
    fill(path);
}

void Canvas::stroke(const Path& path) {
    appendPath(m->cr, path);
    setSource(m->cr, m->state.stroke);
    cairo_stroke(m->cr);
}

void Canvas::strokeRect(const Rect& rect) {
    Path path;
    path.addRect(rect);
    stroke(path);
}

void Canvas::drawImage(const PageImage& image, const Rect& rect) {
    if (image.isEmpty() || rect.isEmpty()) return;
    const Rect r = rect.standardized();
    cairo_t* cr = m->cr;
    const bool high = m->state.quality == InterpolationQuality::high;
    bool reduced = false;
    Surface surface;
    if (image.isJpeg() && !m->raster) {
        surface = surfaceForJpeg(image);
    } else if (auto pixels = image.decoded()) {
        if (m->raster && high) reduced = reduceToDevice(cr, r, *pixels);
        surface = surfaceFromBitmap(*pixels);
    }
    if (!surface) return;
    cairo_save(cr);
    cairo_new_path(cr);
    cairo_rectangle(cr, r.minX(), r.minY(), r.width(), r.height());
    cairo_clip(cr);
    cairo_translate(cr, r.minX(), r.maxY());
    cairo_scale(cr, r.width() / cairo_image_surface_get_width(surface.get()),
                -r.height() / cairo_image_surface_get_height(surface.get()));
    cairo_set_source_surface(cr, surface.get(), 0, 0);
    cairo_pattern_t* pattern = cairo_get_source(cr);
    cairo_pattern_set_filter(pattern, high && !reduced ? CAIRO_FILTER_BEST : CAIRO_FILTER_GOOD);
    if (m->raster) cairo_pattern_set_extend(pattern, CAIRO_EXTEND_PAD);
    cairo_paint(cr);
    cairo_restore(cr);
}

double Canvas::drawTextLine(std::string_view text, const Font& font, Color color, TextAlignment alignment,
                            Point anchor, double maxWidth) {
    return TextRendering::drawLine(m->cr, text, font, color, alignment, anchor, maxWidth);
}

void Canvas::drawTextFrame(std::string_view text, const Font& font, Color color, const Rect& frame) {
    TextRendering::drawFrame(m->cr, text, font, color, frame);
}

void Canvas::drawTextBlock(std::string_view text, const Font& font, Color color, const Rect& area,
                           BlockPlacement placement) {
    if (area.isEmpty()) return;
    const double h = std::min(area.height(), Text::suggestedFrameSize(text, font, area.width()).height);
    const double y = placement == BlockPlacement::centred ? area.midY() - h / 2 : area.maxY() - h;
    drawTextFrame(text, font, color, Rect(area.minX(), y, area.width(), h + 1));
}

}  // namespace quillfen
