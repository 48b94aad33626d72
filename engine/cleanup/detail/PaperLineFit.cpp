#include "engine/cleanup/detail/PaperLineFit.h"

#include <algorithm>
#include <array>
#include <cfloat>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <vector>

namespace quillfen::detail::paper {

namespace {

constexpr int starts = 20, startPoints = 10, steps = 30;
static_assert(starts % 4 == 0, "the starts are followed four at a time");
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

// One start followed through its steps: its line (vx, vy, x0, y0), the line of the step before, and the least
// total distance it reached with the first line to reach it.
struct Start {
    std::array<float, 4> line{}, previous{}, best{};
    double least = DBL_MAX;
    int step = 0;
    bool done = false;
    bool nearlyExact = false;  // a total distance within a rounding error of none
};

// The least-squares line of the points weighed by the weights, into the start's line: the sums are added in
// the order of the points, each weighed coordinate and product rounded to a float first, as OpenCV adds them.
void fitWeighted(const cv::Point2f* p, int count, const float* weights, Start& s) {
    double x = 0, y = 0, x2 = 0, y2 = 0, xy = 0, sum = 0;
    for (int i = 0; i < count; ++i) {
        const float w = weights[i];
        x += w * p[i].x;
        y += w * p[i].y;
        x2 += w * p[i].x * p[i].x;
        y2 += w * p[i].y * p[i].y;
        xy += w * p[i].x * p[i].y;
        sum += w;
    }
    x /= sum, y /= sum, x2 /= sum, y2 /= sum, xy /= sum;
    const double dx2 = x2 - x * x, dy2 = y2 - y * y, dxy = xy - x * y;
    const float angle = static_cast<float>(std::atan2(2 * dxy, dx2 - dy2)) / 2;
    s.line = {std::cos(angle), std::sin(angle), static_cast<float>(x), static_cast<float>(y)};
}

// Whether the start's line moved by less than the accuracies since the step before.
bool settled(const Start& s) {
    double t = s.line[0] * s.previous[0] + s.line[1] * s.previous[1];
    t = std::clamp(t, -1.0, 1.0);
    if (!(std::fabs(std::acos(t)) < accuracy)) return false;
    const float x = std::fabs(s.line[2] - s.previous[2]), y = std::fabs(s.line[3] - s.previous[3]);
    return (x > y ? x : y) < accuracy;
}

// The total distance of the points from the start's line, each distance into distances.
double measure(const cv::Point2f* p, int count, const Start& s, float* distances) {
    const float px = s.line[2], py = s.line[3], nx = s.line[1], ny = -s.line[0];
    double total = 0;
    for (int j = 0; j < count; ++j) {
        const float x = p[j].x - px, y = p[j].y - py;
        distances[j] = std::fabs(nx * x + ny * y);
        total += distances[j];
    }
    return total;
}

// Huber's weights of the distances, normalised to a total of 1, then the weighted line.
void reweigh(const cv::Point2f* p, int count, const float* distances, float* weights, Start& s) {
    double total = 0;
    for (int j = 0; j < count; ++j) {
        weights[j] = distances[j] < huber ? 1.0f : huber / distances[j];
        total += weights[j];
    }
    if (std::fabs(total) > FLT_EPSILON) {
        const double share = 1. / total;
        for (int j = 0; j < count; ++j) weights[j] = static_cast<float>(weights[j] * share);
    } else {
        std::fill_n(weights, count, 1.0f);
    }
    s.previous = s.line;
    fitWeighted(p, count, weights, s);
}

// Each start's first line, the least-squares line of its points, and its weights, count of them a start.
std::vector<Start> startsOf(const std::vector<cv::Point2f>& points, std::vector<float>& weights) {
    const int count = static_cast<int>(points.size());
    Generator generator;
    std::vector<Start> out(starts);
    weights.assign(points.size() * starts, 0.0f);
    for (int k = 0; k < starts; ++k) {
        float* w = weights.data() + static_cast<std::ptrdiff_t>(k) * count;
        for (int chosen = 0; chosen < std::min(count, startPoints);) {
            const int j = generator.below(count);
            if (w[j] < FLT_EPSILON) w[j] = 1.0f, ++chosen;
        }
        fitWeighted(points.data(), count, w, out[k]);
    }
    return out;
}

// OpenCV's order: one start after another, each stopping when its total distance is within a rounding error
// of none and the least of all so far.
cv::Vec4f inTurn(const std::vector<cv::Point2f>& points, double nearlyNone) {
    const int count = static_cast<int>(points.size());
    std::vector<float> weights, distances(points.size());
    std::vector<Start> all = startsOf(points, weights);
    double least = DBL_MAX;
    std::array<float, 4> line{};
    for (int k = 0; k < starts; ++k) {
        Start& s = all[k];
        float* w = weights.data() + static_cast<std::ptrdiff_t>(k) * count;
        for (int i = 0; i < steps; ++i) {
            if (i > 0 && settled(s)) break;
            const double total = measure(points.data(), count, s, distances.data());
            if (total < least) {
                least = total, line = s.line;
                if (total < nearlyNone) break;
            }
            reweigh(points.data(), count, distances.data(), w, s);
        }
    }
    return {line[0], line[1], line[2], line[3]};
}

using Floats = float __attribute__((vector_size(16)));
using Doubles = double __attribute__((vector_size(32)));
using Ints = std::int32_t __attribute__((vector_size(16)));

// Adds the four floats to the four sums, each widened to a double. Widened lane by lane as spelled out here,
// the AVX2 build widens all four in one instruction; a conversion of the whole vector it splits in two halves.
[[gnu::always_inline]] inline void addWidened(Doubles& sums, Floats v) {
    sums += Doubles{v[0], v[1], v[2], v[3]};
}

// Four starts followed side by side, one in each lane, until each has settled, reached its last step or come
// within a rounding error of the points. Each lane takes the float and double steps of one start alone in
// their order, so every line is the one that start reaches by itself; a lane whose start has stopped goes on
// computing, and only its least distance and best line are kept from then on. The weights, four to a point
// (a start's in its lane), are room for the steps' own. Built for processors with AVX2 as well as for any
// other, picked when the program loads: AVX2 takes the four lanes of doubles in one register; neither fuses a
// multiplication with an addition.
[[gnu::target_clones("avx2", "default")]] void followFour(const cv::Point2f* p, int count, Start* s,
                                                           float* weights, double nearlyNone) {
    auto lanes = [&](auto of) { return Floats{of(s[0]), of(s[1]), of(s[2]), of(s[3])}; };
    auto absolute = [](Floats v) { return Floats(Ints(v) & (Ints{} + 0x7fffffff)); };
    for (;;) {
        bool going = false;
        for (int n = 0; n < 4; ++n) {
            if (!s[n].done) s[n].done = s[n].step > 0 && settled(s[n]);
            going = going || !s[n].done;
        }
        if (!going) return;
        const Floats px = lanes([](const Start& t) { return t.line[2]; });
        const Floats py = lanes([](const Start& t) { return t.line[3]; });
        const Floats nx = lanes([](const Start& t) { return t.line[1]; });
        const Floats ny = lanes([](const Start& t) { return -t.line[0]; });
        // The points' distances from each line, their totals, and Huber's weights of the distances with theirs.
        Doubles totals{}, weightTotals{};
        for (int j = 0; j < count; ++j) {
            const Floats x = p[j].x - px, y = p[j].y - py;
            const Floats d = absolute(nx * x + ny * y);
            addWidened(totals, d);
            const Floats w = d < huber ? Floats{} + 1.0f : huber / d;
            std::memcpy(weights + 4 * j, &w, sizeof w);
            addWidened(weightTotals, w);
        }
        for (int n = 0; n < 4; ++n) {
            if (s[n].done) continue;
            if (totals[n] < s[n].least) s[n].least = totals[n], s[n].best = s[n].line;
            s[n].nearlyExact = s[n].nearlyExact || totals[n] < nearlyNone;
            s[n].previous = s[n].line;
        }
        // The weighted lines, of the weights normalised to a total of 1.
        const Doubles share = 1. / weightTotals;
        const Ints kept =
            __builtin_convertvector((weightTotals < 0 ? -weightTotals : weightTotals) > FLT_EPSILON, Ints);
        Doubles x{}, y{}, x2{}, y2{}, xy{}, sum{};
        for (int i = 0; i < count; ++i) {
            Floats w;
            std::memcpy(&w, weights + 4 * i, sizeof w);
            w = kept ? __builtin_convertvector(Doubles{w[0], w[1], w[2], w[3]} * share, Floats)
                     : Floats{} + 1.0f;
            const Floats wx = w * p[i].x, wy = w * p[i].y;
            addWidened(x, wx);
            addWidened(y, wy);
            addWidened(x2, wx * p[i].x);
            addWidened(y2, wy * p[i].y);
            addWidened(xy, wx * p[i].y);
            addWidened(sum, w);
        }
        x /= sum, y /= sum, x2 /= sum, y2 /= sum, xy /= sum;
        const Doubles dx2 = x2 - x * x, dy2 = y2 - y * y, dxy = xy - x * y;
        for (int n = 0; n < 4; ++n) {
            if (s[n].done) continue;
            const float angle = static_cast<float>(std::atan2(2 * dxy[n], dx2[n] - dy2[n])) / 2;
            s[n].line = {std::cos(angle), std::sin(angle), static_cast<float>(x[n]), static_cast<float>(y[n])};
            s[n].done = ++s[n].step == steps || s[n].nearlyExact;
        }
    }
}

}  // namespace

cv::Vec4f huberLine(const std::vector<cv::Point2f>& points) {
    if (points.empty()) return {};
    const int count = static_cast<int>(points.size());
    const double nearlyNone = count * FLT_EPSILON;
    // The starts' first weights are spent once their first lines are fitted: their storage holds the steps'.
    std::vector<float> weights;
    std::vector<Start> all = startsOf(points, weights);
    for (int k = 0; k < starts; k += 4) {
        followFour(points.data(), count, all.data() + k, weights.data(), nearlyNone);
        if (std::any_of(all.begin() + k, all.begin() + k + 4, [](const Start& s) { return s.nearlyExact; }))
            return inTurn(points, nearlyNone);
    }
    double least = DBL_MAX;
    std::array<float, 4> line{};
    for (const Start& s : all)
        if (s.least < least) least = s.least, line = s.best;
    return {line[0], line[1], line[2], line[3]};
}

}  // namespace quillfen::detail::paper
