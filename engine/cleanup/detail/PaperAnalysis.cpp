#include "engine/cleanup/detail/PaperAnalysis.h"

#include "engine/cleanup/detail/PaperAveraging.h"
#include "engine/cleanup/detail/PaperBands.h"
#include "engine/cleanup/detail/PaperEdges.h"
#include "engine/cleanup/detail/PaperOutlines.h"
#include "engine/cleanup/detail/PaperSmoothing.h"

#include <opencv2/core/hal/intrin.hpp>
#include <opencv2/imgproc.hpp>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <vector>

namespace quillfen::detail::paper {

namespace {

constexpr int analysisSide = 384;  // outlines are proposed on a copy this large, then refined

// Per channel, the quadratic in position that best fits the border pixels of an 8-bit Lab picture, ignoring
// outliers; evaluated a row at a time, in floats.
class SurfaceModel {
public:
    explicit SurfaceModel(const cv::Mat& lab);
    // The model's three channels along row y, into row (three floats a pixel).
    void evaluate(int y, float* row) const;

private:
    int cols;
    std::vector<double> us, vs;  // the terms of each column and each row
    double fit[6][3];            // each term's coefficient for each channel
};

SurfaceModel::SurfaceModel(const cv::Mat& lab) : cols(lab.cols) {
    const int band = std::max(2, std::min(lab.cols, lab.rows) / 25);
    std::vector<cv::Point> border;
    for (int y = 0; y < lab.rows; y += 2)
        for (int x = 0; x < lab.cols; x += 2)
            if (x < band || y < band || x >= lab.cols - band || y >= lab.rows - band)
                border.emplace_back(x, y);
    auto terms = [&](double x, double y) {
        const double u = 2 * x / lab.cols - 1, v = 2 * y / lab.rows - 1;
        return std::array<double, 6>{1, u, v, u * v, u * u, v * v};
    };
    std::vector<char> keep(border.size(), 1);
    cv::Mat coefficients(6, 3, CV_64F, cv::Scalar(0));
    for (int pass = 0; pass < 3; ++pass) {
        const int rows = static_cast<int>(std::count(keep.begin(), keep.end(), 1));
        if (rows < 12) break;
        cv::Mat A(rows, 6, CV_64F), B(rows, 3, CV_64F);
        for (std::size_t i = 0, row = 0; i < border.size(); ++i) {
            if (!keep[i]) continue;
            const auto t = terms(border[i].x, border[i].y);
            const cv::Vec3f c = lab.at<cv::Vec3b>(border[i]);
            for (int j = 0; j < 6; ++j) A.at<double>(static_cast<int>(row), j) = t[j];
            for (int k = 0; k < 3; ++k) B.at<double>(static_cast<int>(row), k) = c[k];
            ++row;
        }
        cv::solve(A, B, coefficients, cv::DECOMP_QR);
        std::vector<double> residuals(border.size());
        for (std::size_t i = 0; i < border.size(); ++i) {
            const auto t = terms(border[i].x, border[i].y);
            const cv::Vec3f c = lab.at<cv::Vec3b>(border[i]);
            double r = 0;
            for (int k = 0; k < 3; ++k) {
                double m = 0;
                for (int j = 0; j < 6; ++j) m += t[j] * coefficients.at<double>(j, k);
                r += (c[k] - m) * (c[k] - m);
            }
            residuals[i] = std::sqrt(r);
        }
        std::vector<double> sorted = residuals;
        std::nth_element(sorted.begin(), sorted.begin() + static_cast<std::ptrdiff_t>(sorted.size() / 2),
                         sorted.end());
        const double limit = std::max(3.0, 2.5 * sorted[sorted.size() / 2]);
        for (std::size_t i = 0; i < border.size(); ++i) keep[i] = residuals[i] < limit;
    }
    // The terms of every position from those of its column and its row, without dividing per pixel.
    us.resize(static_cast<std::size_t>(lab.cols));
    vs.resize(static_cast<std::size_t>(lab.rows));
    for (int x = 0; x < lab.cols; ++x) us[x] = terms(x, 0)[1];
    for (int y = 0; y < lab.rows; ++y) vs[y] = terms(0, y)[2];
    for (int j = 0; j < 6; ++j)
        for (int k = 0; k < 3; ++k) fit[j][k] = coefficients.at<double>(j, k);
}

void SurfaceModel::evaluate(int y, float* row) const {
    const double v = vs[y];
    // Each channel adds its six terms in the order of the terms, two pixels at a time; the terms of
    // the row alone are taken once for it.
    double alongRow[3], squareOfRow[3];
    for (int k = 0; k < 3; ++k) alongRow[k] = v * fit[2][k], squareOfRow[k] = v * v * fit[5][k];
    int x = 0;
    for (; x + 2 <= cols; x += 2) {
        const cv::v_float64x2 u = cv::v_load(us.data() + x);
        const cv::v_float64x2 uv = u * cv::v_setall_f64(v), uu = u * u;
        for (int k = 0; k < 3; ++k) {
            const cv::v_float64x2 sum = cv::v_setall_f64(0.0 + fit[0][k]) + u * cv::v_setall_f64(fit[1][k]) +
                                        cv::v_setall_f64(alongRow[k]) + uv * cv::v_setall_f64(fit[3][k]) +
                                        uu * cv::v_setall_f64(fit[4][k]) + cv::v_setall_f64(squareOfRow[k]);
            const cv::v_float32x4 rounded = cv::v_cvt_f32(sum);
            row[x * 3 + k] = cv::v_extract_n<0>(rounded);
            row[x * 3 + 3 + k] = cv::v_extract_n<1>(rounded);
        }
    }
    for (; x < cols; ++x) {
        const double u = us[x];
        for (int k = 0; k < 3; ++k)
            row[x * 3 + k] = static_cast<float>(0.0 + fit[0][k] + u * fit[1][k] + alongRow[k] +
                                                u * v * fit[3][k] + u * u * fit[4][k] + squareOfRow[k]);
    }
}

// Luma, whiteness and neutrality of each pixel of an 8-bit RGB picture, as the three channels of one
// 8-bit picture, in one pass: whiteness is luma less the spread of the channels, neutrality one less the
// spread over the brightest channel (at least 0.05). Values 0...1 in floats, rounded to bytes at the end;
// each step rounds as the matrix operations of the same formulas did. Sixteen pixels are taken at a time,
// four to a vector, each lane in the float and double steps of one pixel; the rest of a row one by one.
cv::Mat planesOf(const cv::Mat& rgb) {
    cv::Mat out(rgb.size(), CV_8UC3);
    const float unit = static_cast<float>(1.0 / 255);
    auto byte = [](float v) { return cv::saturate_cast<std::uint8_t>(v * 255.0f); };
    const cv::v_float32x4 units = cv::v_setall_f32(unit), scale = cv::v_setall_f32(255.0f);
    const cv::v_float32x4 zero = cv::v_setzero_f32(), one = cv::v_setall_f32(1.0f);
    const cv::v_float32x4 least = cv::v_setall_f32(0.05f);
    const cv::v_float64x2 red = cv::v_setall_f64(0.2126), green = cv::v_setall_f64(0.7152),
                          blue = cv::v_setall_f64(static_cast<double>(0.0722f));
    auto bytesOf = [&](const cv::v_float32x4 (&v)[4]) {
        const cv::v_int16x8 low = cv::v_pack(cv::v_round(v[0] * scale), cv::v_round(v[1] * scale));
        const cv::v_int16x8 high = cv::v_pack(cv::v_round(v[2] * scale), cv::v_round(v[3] * scale));
        return cv::v_pack_u(low, high);
    };
    for (int y = 0; y < rgb.rows; ++y) {
        const auto* in = rgb.ptr<std::uint8_t>(y);
        auto* o = out.ptr<std::uint8_t>(y);
        int x = 0;
        for (; x + 16 <= rgb.cols; x += 16, in += 48, o += 48) {
            cv::v_uint8x16 r8, g8, b8;
            cv::v_load_deinterleave(in, r8, g8, b8);
            cv::v_float32x4 luma[4], white[4], neutral[4];
            auto floats = [](const cv::v_uint8x16& v, cv::v_float32x4 (&f)[4]) {
                cv::v_uint16x8 l, h;
                cv::v_expand(v, l, h);
                cv::v_uint32x4 q[4];
                cv::v_expand(l, q[0], q[1]);
                cv::v_expand(h, q[2], q[3]);
                for (int k = 0; k < 4; ++k) f[k] = cv::v_cvt_f32(cv::v_reinterpret_as_s32(q[k]));
            };
            cv::v_float32x4 rs[4], gs[4], bs[4];
            floats(r8, rs), floats(g8, gs), floats(b8, bs);
            for (int k = 0; k < 4; ++k) {
                const cv::v_float32x4 r = rs[k] * units, g = gs[k] * units, b = bs[k] * units;
                // The first two weights are applied in doubles; the third is added with one rounding.
                const cv::v_float64x2 first = cv::v_cvt_f64(r) * red + cv::v_cvt_f64(g) * green;
                const cv::v_float64x2 second = cv::v_cvt_f64_high(r) * red + cv::v_cvt_f64_high(g) * green;
                const cv::v_float32x4 partial = cv::v_cvt_f32(first, second);
                luma[k] = cv::v_cvt_f32(cv::v_cvt_f64(b) * blue + cv::v_cvt_f64(partial),
                                        cv::v_cvt_f64_high(b) * blue + cv::v_cvt_f64_high(partial));
                const cv::v_float32x4 high = cv::v_max(cv::v_max(r, g), b);
                const cv::v_float32x4 low = cv::v_min(cv::v_min(r, g), b);
                const cv::v_float32x4 spread = high - low;
                white[k] = cv::v_max(luma[k] - spread, zero);
                neutral[k] = one - spread / cv::v_max(high, least);
            }
            cv::v_store_interleave(o, bytesOf(luma), bytesOf(white), bytesOf(neutral));
        }
        for (; x < rgb.cols; ++x, in += 3, o += 3) {
            const float r = in[0] * unit, g = in[1] * unit, b = in[2] * unit;
            // The first two weights are applied in doubles; the third is added with one rounding, as a
            // fused multiply-add does (the product of two floats is exact in a double).
            const float partial = static_cast<float>(r * 0.2126 + g * 0.7152);
            const float luma = static_cast<float>(static_cast<double>(b) * 0.0722f + partial);
            const float high = std::max(std::max(r, g), b), low = std::min(std::min(r, g), b);
            const float spread = high - low;
            o[0] = byte(luma);
            o[1] = byte(std::max(luma - spread, 0.0f));
            o[2] = byte(1 - spread / std::max(high, 0.05f));
        }
    }
    return out;
}

// The level of values that the given share of the masked pixels stay below (CV_8U values and mask).
int levelOf(const cv::Mat& values, const cv::Mat& mask, double share) {
    int histogram[256] = {};
    int count = 0;
    for (int y = 0; y < values.rows; ++y) {
        const auto* m = mask.ptr<std::uint8_t>(y);
        const auto* v = values.ptr<std::uint8_t>(y);
        for (int x = 0; x < values.cols; ++x)
            if (m[x]) ++histogram[v[x]], ++count;
    }
    int level = 0;
    for (int below = 0; level < 255 && below + histogram[level] <= share * count; ++level)
        below += histogram[level];
    return level;
}

// How many pixels of a run of a CV_8U mask's row are set, sixteen at a time: a run is a few hundred pixels at
// most, too few to be worth a call through OpenCV's dispatch of a matrix.
int setIn(const std::uint8_t* row, const Run& run) {
    int count = 0, x = run.from;
    const cv::v_uint8x16 unset = cv::v_setzero_u8();
    for (; x + 16 <= run.to; x += 16) count += __builtin_popcount(cv::v_signmask(cv::v_load(row + x) != unset));
    for (; x < run.to; ++x) count += row[x] != 0;
    return count;
}

// The part of the analysis copy that holds the outlines where they lie in the picture, and margin pixels
// around them: masks, counts and histograms of an outline need look no further than this window.
cv::Rect windowOf(const Analysis& a, std::initializer_list<const Corners*> outlines, int margin) {
    std::vector<cv::Point> corners;
    for (const Corners* c : outlines) {
        const auto polygon = smallPolygon(a, *c);
        corners.insert(corners.end(), polygon.begin(), polygon.end());
    }
    const cv::Rect picture(cv::Point(0, 0), a.smallLuma.size());
    const cv::Rect held = cv::boundingRect(corners) & picture;
    if (held.empty()) return {};
    return cv::Rect(held.x - margin, held.y - margin, held.width + 2 * margin, held.height + 2 * margin) & picture;
}

// The outline filled with 255 in a mask of the window, 0 elsewhere: the window's part of the mask of the
// whole analysis copy.
cv::Mat filled(const Analysis& a, const Corners& c, const cv::Rect& window) {
    std::vector<cv::Point> polygon = smallPolygon(a, c);
    for (auto& p : polygon) p -= window.tl();
    cv::Mat mask(window.size(), CV_8U, cv::Scalar(0));
    cv::fillConvexPoly(mask, polygon, cv::Scalar(255));
    return mask;
}

}  // namespace

std::vector<cv::Point> smallPolygon(const Analysis& a, const Corners& c) {
    std::vector<cv::Point> polygon;
    for (const auto& p : c)
        polygon.emplace_back(cvRound((p.x + 0.5) * a.smallScale - 0.5), cvRound((p.y + 0.5) * a.smallScale - 0.5));
    return polygon;
}

bool analysable(const Bitmap& image) {
    return !image.isEmpty() && image.pixels.size() == Bitmap::byteCount(image.width, image.height) &&
           image.width >= 16 && image.height >= 16;
}

Analysis analyse(const Bitmap& image) {
    Analysis a;
    a.size = cv::Size(image.width, image.height);
    const cv::Mat rgba(image.height, image.width, CV_8UC4, const_cast<std::uint8_t*>(image.pixels.data()));
    // The colour before smoothing is needed only while the analysis is made: each thread keeps its picture,
    // as large as the last picture it analysed (a working copy in detection), for its next analysis, whose
    // memory pages are then not taken anew, each faulted in and cleared by the system.
    thread_local cv::Mat rgb8;
    cv::cvtColor(rgba, rgb8, cv::COLOR_RGBA2RGB);

    a.smallScale = std::min(1.0, static_cast<double>(analysisSide) / std::max(image.width, image.height));
    const cv::Size small(std::max(1, static_cast<int>(std::lround(image.width * a.smallScale))),
                         std::max(1, static_cast<int>(std::lround(image.height * a.smallScale))));
    a.smallScale = static_cast<double>(small.width) / image.width;
    const cv::Mat smallRgb = areaAveraged(rgb8, small);
    // Smoothed into a picture apart, which OpenCV would otherwise copy first to smooth in place. The thread
    // keeps that picture too for its next analysis, unless an analysis still holds it: then the next one
    // takes a fresh picture.
    thread_local cv::Mat smoothed;
    if (smoothed.u != nullptr && smoothed.u->refcount > 1) smoothed.release();
    smoothLightly(rgb8, smoothed);
    a.colour = smoothed;
    // The median filter costs about as much for three channels as for one: the three planes are
    // filtered together, each as its own channel.
    cv::Mat merged = planesOf(smallRgb);
    cv::medianBlur(merged, merged, 5);
    cv::Mat filtered[3];
    cv::split(merged, filtered);
    a.smallLuma = filtered[0];
    a.smallWhite = filtered[1];
    a.smallNeutral = filtered[2];

    cv::Mat median, lab8;
    cv::medianBlur(smallRgb, median, 5);
    cv::cvtColor(median, median, cv::COLOR_RGB2Lab);
    smoothGaussian(median, lab8, std::max(1.0, small.width / 120.0));
    const SurfaceModel model(lab8);
    a.standOut = cv::Mat(small, CV_32F);
    // The Lab values and the model a row at a time, in floats.
    std::vector<cv::Vec3f> labRow(static_cast<std::size_t>(small.width)), modelRow(labRow.size());
    for (int y = 0; y < small.height; ++y) {
        const auto* labBytes = lab8.ptr<cv::Vec3b>(y);
        for (int x = 0; x < small.width; ++x) labRow[x] = labBytes[x];
        model.evaluate(y, modelRow.data()->val);
        auto* out = a.standOut.ptr<float>(y);
        int x = 0;
        // Four pixels at a time, each step rounding as the plain loop below does.
        for (; x + 4 <= small.width; x += 4) {
            cv::v_float32x4 l, ca, cb, ml, ma, mb;
            cv::v_load_deinterleave(labRow[x].val, l, ca, cb);
            cv::v_load_deinterleave(modelRow[x].val, ml, ma, mb);
            const cv::v_float32x4 dl = l - ml, da = ca - ma, db = cb - mb;
            auto half = [&](auto widen) {
                const cv::v_float64x2 brighter = widen(dl) / cv::v_setall_f64(25.0);
                const cv::v_float64x2 a = widen(da), b = widen(db);
                const cv::v_float64x2 colourful =
                    cv::v_cvt_f64(cv::v_cvt_f32(cv::v_sqrt(a * a + b * b))) / cv::v_setall_f64(14.0);
                return cv::v_select(brighter < colourful, colourful, brighter);
            };
            const cv::v_float64x2 low = half([](cv::v_float32x4 f) { return cv::v_cvt_f64(f); });
            const cv::v_float64x2 high = half([](cv::v_float32x4 f) { return cv::v_cvt_f64_high(f); });
            cv::v_store(out + x, cv::v_combine_low(cv::v_cvt_f32(low), cv::v_cvt_f32(high)));
        }
        for (; x < small.width; ++x) {
            const cv::Vec3f c = labRow[x], m = modelRow[x];
            const double brighter = (c[0] - m[0]) / 25.0;  // 8-bit L: 25 is about 10 L* units
            // The float length of the colour difference, rounded once from its double value.
            const double da = c[1] - m[1], db = c[2] - m[2];
            const double colourful = static_cast<float>(std::sqrt(da * da + db * db)) / 14.0;
            out[x] = static_cast<float>(std::max(brighter, colourful));
        }
    }
    cv::compare(a.standOut, 1.0, a.foreground, cv::CMP_GT);
    return a;
}

// How well an outline separates what stands out from the surface: the share of its inside that stands
// out times the share of a band around it that does not.
double regionSupport(const Analysis& a, const Corners& c) {
    const int band = std::max(3, std::max(a.foreground.cols, a.foreground.rows) / 30);
    const cv::Rect window = windowOf(a, {&c}, band + 1);
    if (window.empty()) return 0;
    const BandRows rows(filled(a, c, window), band);
    const cv::Mat foreground = a.foreground(window);
    int insideCount = 0, standing = 0, aroundCount = 0, busy = 0;
    for (int y = 0; y < window.height; ++y) {
        const auto* f = foreground.ptr<std::uint8_t>(y);
        for (const Run& run : rows.inside(y)) insideCount += run.to - run.from, standing += setIn(f, run);
        for (const Run& run : rows.around(y)) aroundCount += run.to - run.from, busy += setIn(f, run);
    }
    if (insideCount == 0) return 0;
    const double plain = aroundCount == 0 ? 1 : 1 - static_cast<double>(busy) / aroundCount;
    return static_cast<double>(standing) / insideCount * plain;
}

// How well an outline holds a sheet on a busy surface, judged only near it: the share of its inside
// that is as white as its paper (the brighter part of the inside, so that drawing does not count
// against it), times the share of a thin band around it that is clearly less white. Busy surroundings
// do not lower it, unlike regionSupport.
double paperSupport(const Analysis& a, const Corners& c) {
    const int band = std::max(2, std::max(a.smallWhite.cols, a.smallWhite.rows) / 80);
    const cv::Rect window = windowOf(a, {&c}, band + 1);
    if (window.empty()) return 0;
    const BandRows rows(filled(a, c, window), band);
    const cv::Mat whiteness = a.smallWhite(window);
    int histogram[256] = {};
    int insideCount = 0;
    for (int y = 0; y < window.height; ++y) {
        const auto* w = whiteness.ptr<std::uint8_t>(y);
        for (const Run& run : rows.inside(y)) {
            for (int x = run.from; x < run.to; ++x) ++histogram[w[x]];
            insideCount += run.to - run.from;
        }
    }
    if (insideCount == 0) return 0;
    int paper = 255;
    for (int seen = 0; paper > 0 && seen < insideCount / 4; --paper) seen += histogram[paper];
    const int floor = paper - 30;
    int whiteInside = 0;
    for (int v = std::max(0, floor); v < 256; ++v) whiteInside += histogram[v];
    int aroundCount = 0, darkerAround = 0;
    for (int y = 0; y < window.height; ++y) {
        const auto* w = whiteness.ptr<std::uint8_t>(y);
        for (const Run& run : rows.around(y)) {
            for (int x = run.from; x < run.to; ++x) darkerAround += w[x] < floor;
            aroundCount += run.to - run.from;
        }
    }
    const double white = std::min(1.0, static_cast<double>(whiteInside) / insideCount / 0.8);
    return aroundCount == 0 ? 0 : white * darkerAround / aroundCount;
}

// Whether outer holds a smaller outline whose paper is brighter than the rest of outer: then outer is the
// surface the sheet lies on (a placemat, a book, a table top), not the sheet. The inner outline must
// keep clear of all four of outer's sides, since a colour band drawn along a sheet's side leaves a
// brighter outline touching the others, unless it is crisp: a sheet lying towards one side or corner of
// its mat, or on a book that runs out of the picture, keeps clear of two of them. A crisp one clear of a
// single side is enough where inner did not stop at a band drawn along the sheet's side: outer then takes
// in a strip of the mat beside the sheet, where beside a band drawn on it the sheet's edge runs on, or the
// surface beyond the band is the one beyond the sheet's other sides.
bool enclosesBrighterSheet(const Analysis& a, const Corners& outer, const Corners& inner, bool crisp) {
    if (covered(inner, outer) < 0.9 || polygonArea(inner) > 0.9 * polygonArea(outer)) return false;
    const double margin = 0.02 * std::max(a.size.width, a.size.height);
    std::array<bool, 4> clear{};
    for (int i = 0; i < 4; ++i) {
        const cv::Point2d p = outer[i], q = outer[(i + 1) % 4];
        const cv::Point2d inward = cv::Point2d(-(q - p).y, (q - p).x) / cv::norm(q - p);
        const double sign = (outer[(i + 2) % 4] - p).dot(inward) > 0 ? 1 : -1;
        clear[i] = std::all_of(inner.begin(), inner.end(), [&](const cv::Point2d& corner) {
            return sign * (corner - p).dot(inward) >= margin;
        });
    }
    const auto clearSides = std::count(clear.begin(), clear.end(), true);
    if (clearSides == 0 || !brighterWithin(a, outer, inner)) return false;
    return clearSides >= (crisp ? 2 : 4) || (crisp && !stoppedAtDrawnBand(a.colour, outer, inner));
}

bool brighterWithin(const Analysis& a, const Corners& outer, const Corners& inner) {
    const cv::Rect window = windowOf(a, {&outer, &inner}, 1);
    if (window.empty()) return false;
    const cv::Mat sheet = filled(a, inner, window);
    const cv::Mat ring = filled(a, outer, window) & ~sheet;
    if (cv::countNonZero(ring) == 0 || cv::countNonZero(sheet) == 0) return false;
    // The sheet's paper, not the drawing on it, against the surface: the brighter quarter of the sheet
    // against the middle of the rest.
    const cv::Mat luma = a.smallLuma(window);
    return levelOf(luma, sheet, 0.75) > levelOf(luma, ring, 0.5) + 15;
}

bool standsOutInItsLight(const Analysis& a, const Corners& c, int side) {
    const cv::Rect picture(cv::Point(0, 0), a.smallLuma.size());
    const cv::Mat inside = filled(a, c, picture);
    const std::vector<cv::Point> polygon = smallPolygon(a, c);
    const cv::Point2d from = polygon[side], to = polygon[(side + 1) % 4];
    const double length = cv::norm(to - from);
    if (length < 1) return true;
    const cv::Point2d along = (to - from) / length;
    cv::Point2d inward(-along.y, along.x);
    if ((cv::Point2d(polygon[(side + 2) % 4]) - from).dot(inward) < 0) inward = -inward;
    constexpr double strip = 3;  // analysis pixels on either side of the side that tell which is lit
    double own = 0, rest = 0, near = 0, beyond = 0;
    int ownCount = 0, restCount = 0, nearCount = 0, beyondCount = 0;
    for (int y = 0; y < picture.height; ++y) {
        const auto* luma = a.smallLuma.ptr<std::uint8_t>(y);
        const auto* in = inside.ptr<std::uint8_t>(y);
        for (int x = 0; x < picture.width; ++x) {
            const cv::Point2d p = cv::Point2d(x, y) - from;
            const double depth = p.dot(inward), t = p.dot(along) / length;
            if (t > 0.1 && t < 0.9 && std::abs(depth) < strip) {
                (depth > 0 ? near : beyond) += luma[x];
                ++(depth > 0 ? nearCount : beyondCount);
            }
            if (depth < 0) continue;
            (in[x] ? own : rest) += luma[x];
            ++(in[x] ? ownCount : restCount);
        }
    }
    if (nearCount == 0 || beyondCount == 0 || near / nearCount <= beyond / beyondCount) return true;
    if (ownCount == 0 || restCount == 0) return true;
    constexpr double contrast = 0.12 * 255;  // as the selection asks of a sheet over the whole picture
    return own / ownCount - rest / restCount > contrast;
}

}  // namespace quillfen::detail::paper
