#include "engine/cleanup/detail/PaperLineFit.h"

#include <algorithm>
#include <array>
#include <cfloat>
#include <cmath>
#include <cstdint>
#include <vector>

namespace quillfen::detail::paper {

namespace {

constexpr int starts = 20, startPoints = 10, steps = 30;
constexpr float huber = 1.345f, accuracy = 0.01f;

// OpenCV's generator, seeded as cv::fitLine seeds it: a multiply-with-carry step on 64 bits.
struct Generator {
    std::uint64_t state = ~std::uint64_t{0};
    int below(int n) {
        state = static_cast<std::uint64_t>(static_cast<std::uint32_t>(state)) * 4164903690u +
                static_cast<std::uint32_t>(state >> 32);
        return static_cast<int>(static_cast<std::uint32_t>(state) % static_cast<std::uint32_t>(n));
    }
};

// One start followed through its steps: its line (vx, vy, x0, y0), the line of the step before, the
// points' weights and distances, and the least total distance it reached with the first line to reach it.
struct Start {
    std::array<float, 4> line{}, previous{}, best{};
    float* weights = nullptr;  // one a point, in the storage of all starts
    float* distances = nullptr;
    double least = DBL_MAX;
    int step = 0;
    bool done = false;
    bool nearlyExact = false;  // a total distance within a rounding error of none
};

// The least-squares lines of the points weighed by each start's weights, for N starts at once: each start's
// sums are added in the order of its points, as for one alone. The loops over the starts are unrolled, so
// that their sums stay apart in registers.
template <int N>
void fitWeighted(const cv::Point2f* p, int count, Start* const* s) {
    double x[N] = {}, y[N] = {}, x2[N] = {}, y2[N] = {}, xy[N] = {}, sum[N] = {};
    for (int i = 0; i < count; ++i)
#pragma GCC unroll 2
        for (int n = 0; n < N; ++n) {
            const float w = s[n]->weights[i];
            x[n] += w * p[i].x;
            y[n] += w * p[i].y;
            x2[n] += w * p[i].x * p[i].x;
            y2[n] += w * p[i].y * p[i].y;
            xy[n] += w * p[i].x * p[i].y;
            sum[n] += w;
        }
    for (int n = 0; n < N; ++n) {
        x[n] /= sum[n], y[n] /= sum[n], x2[n] /= sum[n], y2[n] /= sum[n], xy[n] /= sum[n];
        const double dx2 = x2[n] - x[n] * x[n], dy2 = y2[n] - y[n] * y[n], dxy = xy[n] - x[n] * y[n];
        const float angle = static_cast<float>(std::atan2(2 * dxy, dx2 - dy2)) / 2;
        s[n]->line = {std::cos(angle), std::sin(angle), static_cast<float>(x[n]), static_cast<float>(y[n])};
    }
}

// Whether the start's line moved by less than the accuracies since the step before.
bool settled(const Start& s) {
    double t = s.line[0] * s.previous[0] + s.line[1] * s.previous[1];
    t = std::clamp(t, -1.0, 1.0);
    if (!(std::fabs(std::acos(t)) < accuracy)) return false;
    const float x = std::fabs(s.line[2] - s.previous[2]), y = std::fabs(s.line[3] - s.previous[3]);
    return (x > y ? x : y) < accuracy;
}

// The points' distances from each start's line, and their totals.
template <int N>
void measure(const cv::Point2f* p, int count, Start* const* s, double* totals) {
    float px[N], py[N], nx[N], ny[N];
    for (int n = 0; n < N; ++n) {
        px[n] = s[n]->line[2], py[n] = s[n]->line[3], nx[n] = s[n]->line[1], ny[n] = -s[n]->line[0];
        totals[n] = 0;
    }
    for (int j = 0; j < count; ++j)
#pragma GCC unroll 2
        for (int n = 0; n < N; ++n) {
            const float x = p[j].x - px[n], y = p[j].y - py[n];
            const float d = std::fabs(nx[n] * x + ny[n] * y);
            s[n]->distances[j] = d;
            totals[n] += d;
        }
}

// Huber's weights of the distances, normalised to a total of 1, then the weighted lines.
template <int N>
void reweigh(const cv::Point2f* p, int count, Start* const* s) {
    double totals[N] = {};
    for (int j = 0; j < count; ++j)
#pragma GCC unroll 2
        for (int n = 0; n < N; ++n) {
            const float d = s[n]->distances[j];
            const float w = d < huber ? 1.0f : huber / d;
            s[n]->weights[j] = w;
            totals[n] += w;
        }
    for (int n = 0; n < N; ++n) {
        float* w = s[n]->weights;
        if (std::fabs(totals[n]) > FLT_EPSILON) {
            const double share = 1. / totals[n];
            for (int j = 0; j < count; ++j) w[j] = static_cast<float>(w[j] * share);
        } else {
            std::fill_n(w, count, 1.0f);
        }
        s[n]->previous = s[n]->line;
    }
    fitWeighted<N>(p, count, s);
}

// One step of N starts that have not settled.
template <int N>
void stepOf(const cv::Point2f* p, int count, Start* const* s, double nearlyNone) {
    double totals[N];
    measure<N>(p, count, s, totals);
    for (int n = 0; n < N; ++n) {
        if (totals[n] < s[n]->least) s[n]->least = totals[n], s[n]->best = s[n]->line;
        s[n]->nearlyExact = s[n]->nearlyExact || totals[n] < nearlyNone;
    }
    reweigh<N>(p, count, s);
    for (int n = 0; n < N; ++n) s[n]->done = ++s[n]->step == steps || s[n]->nearlyExact;
}

// Each start's first line: the least-squares line of its points. The starts' weights and distances are
// kept in storage, which they must not outlive.
std::vector<Start> startsOf(const std::vector<cv::Point2f>& points, std::vector<float>& storage) {
    const int count = static_cast<int>(points.size());
    Generator generator;
    std::vector<Start> out(starts);
    storage.assign(points.size() * 2 * starts, 0.0f);
    float* next = storage.data();
    for (Start& s : out) {
        s.weights = next;
        s.distances = next + count;
        next += 2 * count;
        for (int chosen = 0; chosen < std::min(count, startPoints);) {
            const int j = generator.below(count);
            if (s.weights[j] < FLT_EPSILON) s.weights[j] = 1.0f, ++chosen;
        }
        Start* one[] = {&s};
        fitWeighted<1>(points.data(), count, one);
    }
    return out;
}

// OpenCV's order: one start after another, each stopping when its total distance is within a rounding error
// of none and the least of all so far.
cv::Vec4f inTurn(const std::vector<cv::Point2f>& points, double nearlyNone) {
    const int count = static_cast<int>(points.size());
    std::vector<float> storage;
    std::vector<Start> all = startsOf(points, storage);
    double least = DBL_MAX;
    std::array<float, 4> line{};
    for (Start& s : all) {
        Start* one[] = {&s};
        for (int i = 0; i < steps; ++i) {
            if (i > 0 && settled(s)) break;
            double total;
            measure<1>(points.data(), count, one, &total);
            if (total < least) {
                least = total, line = s.line;
                if (total < nearlyNone) break;
            }
            reweigh<1>(points.data(), count, one);
        }
    }
    return {line[0], line[1], line[2], line[3]};
}

}  // namespace

cv::Vec4f huberLine(const std::vector<cv::Point2f>& points) {
    if (points.empty()) return {};
    const int count = static_cast<int>(points.size());
    const double nearlyNone = count * FLT_EPSILON;
    std::vector<float> storage;
    std::vector<Start> all = startsOf(points, storage);
    for (int k = 0; k < starts; k += 2) {
        Start* pair[] = {&all[k], &all[k + 1]};
        for (;;) {
            Start* going[2];
            int n = 0;
            for (Start* s : pair)
                if (!s->done && !(s->done = s->step > 0 && settled(*s))) going[n++] = s;
            if (n == 2) {
                stepOf<2>(points.data(), count, going, nearlyNone);
            } else if (n == 1) {
                stepOf<1>(points.data(), count, going, nearlyNone);
            } else {
                break;
            }
        }
        if (all[k].nearlyExact || all[k + 1].nearlyExact) return inTurn(points, nearlyNone);
    }
    double least = DBL_MAX;
    std::array<float, 4> line{};
    for (const Start& s : all)
        if (s.least < least) least = s.least, line = s.best;
    return {line[0], line[1], line[2], line[3]};
}

}  // namespace quillfen::detail::paper
