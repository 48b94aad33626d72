// The photographed look of a sample drawing: the sheet, tinted like paper, lies in perspective on a
// wooden table under a light that falls off away from the upper left, with an optional soft shadow.
// Everything is computed on linear sRGB values and encoded to sRGB once at the end.

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <numbers>
#include <vector>

#include <opencv2/core.hpp>
#include <opencv2/imgproc.hpp>

#include "engine/sample/SampleArt.h"
#include "engine/cleanup/detail/LinearPixels.h"

namespace quillfen::SampleArt {

namespace {

using Rgb = std::array<float, 3>;

double linearFromEncoded(double v) {
    return v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
}

Rgb linear(double r, double g, double b) {
    return {static_cast<float>(linearFromEncoded(r)), static_cast<float>(linearFromEncoded(g)),
            static_cast<float>(linearFromEncoded(b))};
}

std::uint8_t encode(float linear) {
    return detail::codeOfLinear16()[static_cast<int>(std::clamp(linear, 0.0f, 1.0f) * 65535 + 0.5f)];
}

// Fraction of a Gaussian of `sigma` around `x` that falls inside [from, to].
double coverage(double x, double from, double to, double sigma) {
    const double k = 1 / (sigma * std::numbers::sqrt2);
    return 0.5 * (std::erfc((from - x) * k) - std::erfc((to - x) * k));
}

// The wood grain: stripes of two colours 22 pixels wide with soft edges, turned by 0.08 radians and
// blurred (sigma 3). The stripes vary along one direction only, so the blur is a one-dimensional
// convolution of one period, sampled finely and looked up per pixel.
class WoodGrain {
public:
    WoodGrain() {
        const Rgb first = linear(0.46, 0.32, 0.21);
        const Rgb second = linear(0.38, 0.26, 0.17);
        const int n = samplesPerPixel * 2 * stripeWidth;
        std::vector<double> mix(n);
        const double soft = (1 - sharpness) * stripeWidth;  // width of the blend at each edge
        for (int i = 0; i < n; ++i) {
            const double p = (i + 0.5) / samplesPerPixel;  // 0 ... 2 * stripeWidth
            const double toEdge = std::min({std::abs(p - stripeWidth), p, 2 * stripeWidth - p});
            const double t = std::clamp(0.5 + toEdge / soft, 0.0, 1.0);
            const double eased = t * t * (3 - 2 * t);
            mix[i] = p < stripeWidth ? eased : 1 - eased;  // weight of the first colour
        }
        const int reach = static_cast<int>(std::ceil(3 * blurSigma * samplesPerPixel));
        std::vector<double> kernel(2 * reach + 1);
        double sum = 0;
        for (int k = -reach; k <= reach; ++k) {
            const double d = k / double(samplesPerPixel) / blurSigma;
            sum += kernel[k + reach] = std::exp(-0.5 * d * d);
        }
        profile_.resize(n + 1);
        for (int i = 0; i < n; ++i) {
            double w = 0;
            for (int k = -reach; k <= reach; ++k) w += kernel[k + reach] * mix[((i + k) % n + n) % n];
            w /= sum;
            for (int c = 0; c < 3; ++c)
                profile_[i][c] = static_cast<float>(w * first[c] + (1 - w) * second[c]);
        }
        profile_[n] = profile_[0];
    }

    // The grain at a point in picture coordinates (origin at the lower left, y upwards).
    Rgb at(double x, double y) const {
        const double u = x * std::cos(angle) + y * std::sin(angle);
        const double period = 2.0 * stripeWidth;
        const double s = (u - period * std::floor(u / period)) * samplesPerPixel - 0.5;
        const double clampedS = std::clamp(s, 0.0, double(profile_.size() - 1) - 1e-9);
        const auto i = static_cast<std::size_t>(clampedS);
        const float f = static_cast<float>(clampedS - i);
        const Rgb& a = profile_[i];
        const Rgb& b = profile_[i + 1];
        return {a[0] + (b[0] - a[0]) * f, a[1] + (b[1] - a[1]) * f, a[2] + (b[2] - a[2]) * f};
    }

    static constexpr double blurSigma = 3;

private:
    static constexpr int stripeWidth = 22;
    static constexpr int samplesPerPixel = 8;
    static constexpr double sharpness = 0.2;
    static constexpr double angle = 0.08;
    std::vector<Rgb> profile_;
};

const WoodGrain& woodGrain() {
    static const WoodGrain grain;
    return grain;
}

// The drawing multiplied onto paper-coloured stock, as opaque linear RGBA in 16 bits, ready to be
// resampled. Transparent parts of the drawing show the paper.
cv::Mat tintedPaper(const Bitmap& image) {
    const Rgb tint = linear(0.96, 0.91, 0.8);
    const auto& decode = detail::linearOfCode();
    cv::Mat out(image.height, image.width, CV_16UC4);
    cv::parallel_for_(cv::Range(0, image.height), [&](const cv::Range& rows) {
        for (int y = rows.start; y < rows.end; ++y) {
            const std::uint8_t* in = image.pixel(0, y);
            auto* o = out.ptr<std::uint16_t>(y);
            for (int x = 0; x < image.width; ++x, in += 4, o += 4) {
                const int alpha = in[3];
                const float a = alpha / 255.0f;
                for (int c = 0; c < 3; ++c) {
                    float v = 0;
                    if (alpha == 255) {
                        v = decode[in[c]];
                    } else if (alpha > 0) {
                        const int straight = std::min(255, (in[c] * 255 + alpha / 2) / alpha);
                        v = decode[straight] * a;
                    }
                    const float paper = tint[c] * std::min(1.0f, v + 1 - a);
                    o[c] = static_cast<std::uint16_t>(paper * 65535 + 0.5f);
                }
                o[3] = 65535;
            }
        }
    });
    return out;
}

// Where the drawing's edges land in the output, as OpenCV pixel positions (pixel centres on whole
// numbers, rows downwards) for the picture's corners in the order top left, top right, bottom right,
// bottom left.
std::array<cv::Point2f, 4> landingCorners(const Quad& quad, int width, int height) {
    const auto corners = quad.scaled(Size{double(width), double(height)});
    std::array<cv::Point2f, 4> out;
    for (std::size_t i = 0; i < 4; ++i)
        out[i] = cv::Point2f(static_cast<float>(corners[i].x - 0.5),
                             static_cast<float>(height - corners[i].y - 0.5));
    return out;
}

}  // namespace

Bitmap photographed(const Bitmap& image, const Quad& quad, bool shadow, double width, double height) {
    const auto size = pixelSize(width, height);
    if (!size || image.isEmpty() || image.pixels.size() != Bitmap::byteCount(image.width, image.height))
        return {};
    for (const Point& p : quad.points())
        if (!std::isfinite(p.x) || !std::isfinite(p.y)) return {};
    const auto [w, h] = *size;
    const double W = w;
    const double H = h;

    // A quad collapsed to a line or a point shows no paper: only the table.
    cv::Mat paper = cv::Mat::zeros(h, w, CV_16UC4);
    try {
        const float iw = static_cast<float>(image.width) - 0.5f;
        const float ih = static_cast<float>(image.height) - 0.5f;
        const std::array<cv::Point2f, 4> from{cv::Point2f(-0.5f, -0.5f), cv::Point2f(iw, -0.5f),
                                              cv::Point2f(iw, ih), cv::Point2f(-0.5f, ih)};
        const auto to = landingCorners(quad, w, h);
        const cv::Mat transform = cv::getPerspectiveTransform(from.data(), to.data());
        cv::Mat inverse;
        if (quad.area() * W * H >= 1 && cv::invert(transform, inverse, cv::DECOMP_LU) != 0)
            cv::warpPerspective(tintedPaper(image), paper, inverse, cv::Size(w, h),
                                cv::INTER_LINEAR | cv::WARP_INVERSE_MAP, cv::BORDER_CONSTANT,
                                cv::Scalar::all(0));
    } catch (const cv::Exception&) {
        return {};
    }

    // Light: white within 0.1 W of (0.3 W, 0.8 H), falling off linearly to this colour at W.
    const Rgb dim = linear(0.68, 0.66, 0.64);
    const double lightX = 0.3 * W;
    const double lightY = 0.8 * H;
    const double inner = 0.1 * W;
    const double outer = W;
    // Shadow: a grey box at (0.55 W, 0.05 H) of 0.5 W x 0.35 H, blurred with sigma 0.04 W. The blur of a
    // box is separable, so its reach is a product of two one-dimensional coverages.
    const Rgb shade = linear(0.62, 0.62, 0.66);
    const double sigma = 0.04 * W;
    std::vector<float> shadowX(w, 0.0f);
    std::vector<float> shadowY(h, 0.0f);
    if (shadow) {
        for (int x = 0; x < w; ++x)
            shadowX[x] = static_cast<float>(coverage(x + 0.5, 0.55 * W, 1.05 * W, sigma));
        for (int row = 0; row < h; ++row)
            shadowY[row] = static_cast<float>(coverage(H - row - 0.5, 0.05 * H, 0.40 * H, sigma));
    }
    // Table edges: the blurred grain fades into the table colour within a few pixels of the border.
    const Rgb table = linear(0.42, 0.29, 0.19);
    const double grainSigma = WoodGrain::blurSigma;
    std::vector<float> edgeX(w);
    std::vector<float> edgeY(h);
    for (int x = 0; x < w; ++x) edgeX[x] = static_cast<float>(coverage(x + 0.5, 0, W, grainSigma));
    for (int row = 0; row < h; ++row) edgeY[row] = static_cast<float>(coverage(row + 0.5, 0, H, grainSigma));

    const WoodGrain& grain = woodGrain();
    Bitmap out(w, h);
    cv::parallel_for_(cv::Range(0, h), [&](const cv::Range& rows) {
        for (int row = rows.start; row < rows.end; ++row) {
            const auto* p = paper.ptr<std::uint16_t>(row);
            std::uint8_t* o = out.pixel(0, row);
            const double y = H - row - 0.5;
            const double dy = y - lightY;
            for (int x = 0; x < w; ++x, p += 4, o += 4) {
                const double px = x + 0.5;
                const Rgb wood = grain.at(px, y);
                const float grainAlpha = edgeX[x] * edgeY[row];
                const float covered = p[3] / 65535.0f;
                const double distance = std::hypot(px - lightX, dy);
                const float t =
                    static_cast<float>(std::clamp((distance - inner) / (outer - inner), 0.0, 1.0));
                const float reach = shadowX[x] * shadowY[row];
                for (int c = 0; c < 3; ++c) {
                    const float ground = wood[c] * grainAlpha + table[c] * (1 - grainAlpha);
                    const float photo = p[c] / 65535.0f + ground * (1 - covered);
                    const float light = 1 + (dim[c] - 1) * t;
                    const float shaded = 1 - (1 - shade[c]) * reach;
                    o[c] = encode(photo * light * shaded);
                }
                o[3] = 255;
            }
        }
    });
    return out;
}

}  // namespace quillfen::SampleArt
