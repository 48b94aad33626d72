#include "engine/cleanup/Cleaner.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include <opencv2/imgproc.hpp>

#include "engine/cleanup/detail/Finishing.h"
#include "engine/cleanup/detail/LinearPixels.h"
#include "engine/cleanup/detail/Warping.h"

namespace quillfen::Cleaner {

namespace {

constexpr double cropInset = 0.015;
constexpr double straightenThreshold = 0.01;
// The fewest pixels a side that a crop must leave once squared up and trimmed to be honoured.
constexpr int smallestCropSide = 2;

// A geometric step: the size it yields and, for each of its pixel indices, the source index.
struct Warp {
    int width = 0;
    int height = 0;
    cv::Matx33d toSource = cv::Matx33d::eye();
};

cv::Matx33d translation(double dx, double dy) {
    return cv::Matx33d(1, 0, dx, 0, 1, dy, 0, 0, 1);
}

double cross(Point o, Point a, Point b) {
    return (a.x - o.x) * (b.y - o.y) - (a.y - o.y) * (b.x - o.x);
}

// Convex, with its corners turning one way round: not crossed, no three corners on a line.
bool isConvex(const Quad& quad) {
    const auto p = quad.points();
    int positive = 0, negative = 0;
    for (std::size_t i = 0; i < 4; ++i) {
        const double turn = cross(p[i], p[(i + 1) % 4], p[(i + 2) % 4]);
        if (turn > 1e-12) ++positive;
        if (turn < -1e-12) ++negative;
    }
    return positive == 4 || negative == 4;
}

// The crop held to the picture: corners from a damaged document far outside it would square up
// into a huge sheet. Nothing when a corner is not a number.
std::optional<Quad> heldToPicture(const Quad& quad) {
    for (const Point& p : quad.points()) {
        if (!std::isfinite(p.x) || !std::isfinite(p.y)) return std::nullopt;
    }
    return quad.clamped();
}

// Takes a crop held to the picture.
std::optional<Warp> perspectiveWarp(const Quad& quad, int width, int height) {
    if (!isConvex(quad)) return std::nullopt;
    const Size edges = quad.edgeLengths(Size{static_cast<double>(width), static_cast<double>(height)});
    if (!(edges.width * edges.height <= maximumPixelCount && edges.width <= maximumPixelCount &&
          edges.height <= maximumPixelCount)) {
        return std::nullopt;
    }

    // The squared-up sheet, trimmed and rounded outward in its own y-up coordinates.
    const double inset = cropInset * std::min(edges.width, edges.height);
    const int xMin = detail::inwardPixels(inset), xMax = detail::outwardPixels(edges.width - inset);
    const int yMin = detail::inwardPixels(inset), yMax = detail::outwardPixels(edges.height - inset);
    if (xMax - xMin < smallestCropSide || yMax - yMin < smallestCropSide) return std::nullopt;

    // Sheet coordinates with rows from the top onto the photo's, pixel centres at half pixels.
    const auto corner = [&](Point unit) {
        return cv::Point2f(static_cast<float>(unit.x * width), static_cast<float>((1 - unit.y) * height));
    };
    const cv::Point2f sheet[4] = {{0, 0},
                                  {static_cast<float>(edges.width), 0},
                                  {static_cast<float>(edges.width), static_cast<float>(edges.height)},
                                  {0, static_cast<float>(edges.height)}};
    const cv::Point2f photo[4] = {corner(quad.topLeft), corner(quad.topRight), corner(quad.bottomRight),
                                  corner(quad.bottomLeft)};
    const cv::Matx33d projection = cv::getPerspectiveTransform(sheet, photo);
    return Warp{xMax - xMin, yMax - yMin,
                translation(-0.5, -0.5) * projection * translation(xMin + 0.5, edges.height - yMax + 0.5)};
}

// The straightening angle in radians; nothing at or below the threshold and for an angle that is
// not finite once converted (a stored angle beyond about 5.7e307 degrees overflows).
std::optional<double> straighteningRadians(double degrees) {
    const double radians = degrees * std::numbers::pi / 180;
    if (!std::isfinite(radians)) return std::nullopt;
    return radians;
}

std::optional<double> appliedRadians(double degrees) {
    if (!(std::abs(degrees) > straightenThreshold)) return std::nullopt;
    return straighteningRadians(degrees);
}

Warp straightenWarp(int width, int height, double theta) {
    const double s = straightenScale(width, height, theta);
    const double midX = width / 2.0, midY = height / 2.0;
    const int xMin = detail::inwardPixels(midX - 0.5 * width * s);
    const int xMax = detail::outwardPixels(midX + 0.5 * width * s);
    const int yMin = detail::inwardPixels(midY - 0.5 * height * s);
    const int yMax = detail::outwardPixels(midY + 0.5 * height * s);
    // Output index -> y-up point -> turned back about the centre -> source index (rows from the top).
    const cv::Matx33d outputToPoint(1, 0, xMin + 0.5, 0, -1, yMax - 0.5, 0, 0, 1);
    const double c = std::cos(theta), sn = std::sin(theta);
    const cv::Matx33d turnBack =
        translation(midX, midY) * cv::Matx33d(c, sn, 0, -sn, c, 0, 0, 0, 1) * translation(-midX, -midY);
    const cv::Matx33d pointToSource(1, 0, -0.5, 0, -1, height - 0.5, 0, 0, 1);
    return Warp{xMax - xMin, yMax - yMin, pointToSource * turnBack * outputToPoint};
}

// The picture as the turned one reads it: pixel (x, y) of the picture turned clockwise by quarter
// turns is pixel turned(...) * (x, y, 1) of the width x height picture.
cv::Matx33d turnedToSource(std::int64_t quarterTurns, int width, int height) {
    switch (quarterTurns & 3) {
        case 1:
            return cv::Matx33d(0, 1, 0, -1, 0, height - 1, 0, 0, 1);
        case 2:
            return cv::Matx33d(-1, 0, width - 1, 0, -1, height - 1, 0, 0, 1);
        case 3:
            return cv::Matx33d(0, -1, width - 1, 1, 0, 0, 0, 0, 1);
        default:
            return cv::Matx33d::eye();
    }
}

void turn(cv::Mat& image, std::int64_t quarterTurns) {
    static constexpr cv::RotateFlags codes[] = {cv::ROTATE_90_CLOCKWISE, cv::ROTATE_180,
                                                cv::ROTATE_90_COUNTERCLOCKWISE};
    const auto turns = static_cast<int>(quarterTurns & 3);
    if (turns == 0) return;
    cv::Mat out;
    cv::rotate(image, out, codes[turns - 1]);
    image = out;
}

// The warp read from the picture: straight from its pixels where the region it reads (inside the
// picture) is opaque; otherwise only that region is flattened and turned into linear light first.
cv::Mat warpedPicture(const Bitmap& image, const cv::Rect& region, Warp warp, int samples) {
    if (detail::isOpaque(image, region)) {
        return detail::warpedLinear(image, warp.toSource, warp.width, warp.height, samples);
    }
    warp.toSource = translation(-region.x, -region.y) * warp.toSource;
    return detail::warpedLinear(detail::linearQuadsOfBitmap(image, region), warp.toSource, warp.width,
                                warp.height, samples);
}

// Pixels read as the width x height picture they make once stood upright: pixel (x, y) of the upright
// picture is pixel toPixels * (x, y, 1) of theirs, whole pixels on whole pixels. Without a mirror
// that is a number of clockwise quarter turns of the pixels.
struct Upright {
    const Bitmap& pixels;
    int width = pixels.width;
    int height = pixels.height;
    cv::Matx33d toPixels = cv::Matx33d::eye();
    std::optional<int> quarterTurns = 0;
};

// Pixels standing upright by an EXIF orientation (1 to 8; any other value stands for 1).
Upright uprightByOrientation(const Bitmap& pixels, int orientation) {
    const int o = orientation >= 2 && orientation <= 8 ? orientation : 1;
    const bool transposes = o >= 5;
    const int width = transposes ? pixels.height : pixels.width;
    const int height = transposes ? pixels.width : pixels.height;
    const bool mirrorsX = o == 2 || o == 3 || o == 6 || o == 7;
    const bool mirrorsY = o == 3 || o == 4 || o == 7 || o == 8;
    const cv::Matx33d mirrored(mirrorsX ? -1 : 1, 0, mirrorsX ? width - 1 : 0, 0, mirrorsY ? -1 : 1,
                               mirrorsY ? height - 1 : 0, 0, 0, 1);
    const cv::Matx33d toPixels = transposes ? cv::Matx33d(0, 1, 0, 1, 0, 0, 0, 0, 1) * mirrored : mirrored;
    static constexpr int turns[] = {0, 0, -1, 2, -1, -1, 1, -1, 3};
    return Upright{pixels, width, height, toPixels,
                   turns[o] < 0 ? std::nullopt : std::optional<int>(turns[o])};
}

// The crop's warp, reading only the part of the picture its corners span, with a margin for the sampling.
cv::Mat croppedWarped(const Upright& picture, const Quad& quad, Warp warp, int samples) {
    const int width = picture.width, height = picture.height;
    double left = width, right = 0, top = height, bottom = 0;
    for (const Point& p : quad.points()) {
        left = std::min(left, p.x * width), right = std::max(right, p.x * width);
        top = std::min(top, (1 - p.y) * height), bottom = std::max(bottom, (1 - p.y) * height);
    }
    const auto within = [](double v, int limit) {
        return static_cast<int>(std::clamp(v, 0.0, static_cast<double>(limit)));
    };
    int x0 = within(std::floor(left) - 2, width), x1 = within(std::ceil(right) + 2, width);
    int y0 = within(std::floor(top) - 2, height), y1 = within(std::ceil(bottom) + 2, height);
    if (x1 <= x0 || y1 <= y0) x0 = 0, y0 = 0, x1 = width, y1 = height;
    // The region's first and last pixels where the pixels hold them.
    const cv::Vec3d first = picture.toPixels * cv::Vec3d(x0, y0, 1);
    const cv::Vec3d last = picture.toPixels * cv::Vec3d(x1 - 1, y1 - 1, 1);
    const cv::Rect region(static_cast<int>(std::min(first[0], last[0])),
                          static_cast<int>(std::min(first[1], last[1])),
                          static_cast<int>(std::abs(last[0] - first[0])) + 1,
                          static_cast<int>(std::abs(last[1] - first[1])) + 1);
    warp.toSource = picture.toPixels * warp.toSource;
    return warpedPicture(picture.pixels, region, warp, samples);
}

// The warp made to give its picture turned clockwise by quarter turns.
Warp turned(Warp warp, std::int64_t quarterTurns) {
    warp.toSource = warp.toSource * turnedToSource(quarterTurns, warp.width, warp.height);
    if (quarterTurns & 1) std::swap(warp.width, warp.height);
    return warp;
}

cv::Mat warpedBy(const cv::Mat& source, const Warp& warp, int samples = 3) {
    return detail::warpedLinear(source, warp.toSource, warp.width, warp.height, samples);
}

// apply's geometry read from the picture: its working picture before the lighting. The quarter turns
// ride along with the first warp; the straightening samples the crop's result.
cv::Mat geometry(const CleanupSettings& settings, const Upright& picture) {
    const auto quad = settings.crop ? heldToPicture(*settings.crop) : std::nullopt;
    const auto crop = quad ? perspectiveWarp(*quad, picture.width, picture.height) : std::nullopt;
    const auto radians = appliedRadians(settings.straighten);
    if (crop) {
        cv::Mat linear = croppedWarped(picture, *quad, turned(*crop, settings.quarterTurns), radians ? 4 : 3);
        if (radians) linear = warpedBy(linear, straightenWarp(linear.cols, linear.rows, *radians));
        return linear;
    }
    Warp warp = turned(Warp{picture.width, picture.height}, settings.quarterTurns);
    if (radians) {
        const Warp straightening = straightenWarp(warp.width, warp.height, *radians);
        warp = Warp{straightening.width, straightening.height, warp.toSource * straightening.toSource};
    } else if (picture.quarterTurns) {
        cv::Mat linear = detail::linearOfBitmap(picture.pixels);
        turn(linear, *picture.quarterTurns + settings.quarterTurns);
        return linear;
    }
    warp.toSource = picture.toPixels * warp.toSource;
    const cv::Rect whole(0, 0, picture.pixels.width, picture.pixels.height);
    return warpedPicture(picture.pixels, whole, warp, 3);
}

// The lighting and whitening of a working picture, as a Bitmap.
Bitmap lit(const CleanupSettings& settings, const cv::Mat& linear) {
    std::optional<BackgroundMap> background;
    if (settings.flatten) {
        background = detail::backgroundMapOfLinear(linear);
    } else if (settings.whiten > 0) {
        background = averaged(detail::backgroundMapOfLinear(linear));
    }
    const auto level = whitenLevel(settings.whiten);
    const auto cube = level ? whitenCube(*level) : nullptr;
    return detail::finished(linear, background ? &*background : nullptr, cube.get());
}

bool isWellFormed(const Bitmap& image) {
    return !image.isEmpty() && image.pixels.size() == Bitmap::byteCount(image.width, image.height);
}

std::optional<Bitmap> cleanedAtMost(const CleanupSettings& settings, const Bitmap& pixels, int orientation,
                                    double maximumSide) {
    if (!isWellFormed(pixels) || !(maximumSide >= 1)) return std::nullopt;
    try {
        return downscaled(lit(settings, geometry(settings, uprightByOrientation(pixels, orientation))),
                          maximumSide);
    } catch (const std::exception&) {  // allocation failures and OpenCV errors alike
        return std::nullopt;
    }
}

cv::Mat wrapped(const Bitmap& image) {
    return cv::Mat(image.height, image.width, CV_8UC4, const_cast<std::uint8_t*>(image.pixels.data()));
}

Bitmap bitmapOfRgba(const cv::Mat& rgba) {
    Bitmap out = Bitmap::toBeFilled(rgba.cols, rgba.rows);
    rgba.copyTo(wrapped(out));
    return out;
}

}  // namespace

double straightenScale(double width, double height, double radians) {
    if (!(width > 0 && height > 0)) return 1;
    const double c = std::abs(std::cos(radians)), s = std::abs(std::sin(radians));
    return std::min(width / (width * c + height * s), height / (width * s + height * c));
}

Size outputSize(const CleanupSettings& settings, Size imageSize) {
    if (!(imageSize.width >= 1 && imageSize.height >= 1 &&
          imageSize.width * imageSize.height <= maximumPixelCount)) {
        return Size{0, 0};
    }
    int width = detail::outwardPixels(imageSize.width), height = detail::outwardPixels(imageSize.height);
    if (const auto quad = settings.crop ? heldToPicture(*settings.crop) : std::nullopt) {
        if (const auto warp = perspectiveWarp(*quad, width, height)) {
            width = warp->width, height = warp->height;
        }
    }
    if (settings.quarterTurns & 1) std::swap(width, height);
    if (const auto radians = appliedRadians(settings.straighten)) {
        const Warp warp = straightenWarp(width, height, *radians);
        width = warp.width, height = warp.height;
    }
    return Size{static_cast<double>(width), static_cast<double>(height)};
}

Size outputSize(const CleanupSettings& settings, const Bitmap& image) {
    if (!isWellFormed(image)) return Size{0, 0};
    return outputSize(settings, Size{static_cast<double>(image.width), static_cast<double>(image.height)});
}

Size outputSize(const CleanupSettings& settings, const SourcePicture& source) {
    if (!isWellFormed(source.pixels)) return Size{0, 0};
    const Upright upright = uprightByOrientation(source.pixels, source.orientation);
    return outputSize(settings,
                      Size{static_cast<double>(upright.width), static_cast<double>(upright.height)});
}

Bitmap apply(const CleanupSettings& settings, const Bitmap& image) {
    if (!isWellFormed(image)) return image;
    return lit(settings, geometry(settings, Upright{image}));
}

std::optional<Bitmap> cleanedAtMost(const CleanupSettings& settings, const SourcePicture& source,
                                    double maximumSide) {
    return cleanedAtMost(settings, source.pixels, source.orientation, maximumSide);
}

std::optional<Bitmap> cleanedAtMost(const CleanupSettings& settings, const Bitmap& image,
                                    double maximumSide) {
    return cleanedAtMost(settings, image, 1, maximumSide);
}

Bitmap perspectiveCorrect(const Bitmap& image, const Quad& quad) {
    if (!isWellFormed(image)) return image;
    const auto held = heldToPicture(quad);
    const auto warp = held ? perspectiveWarp(*held, image.width, image.height) : std::nullopt;
    if (!warp) return image;
    return detail::bitmapOfLinear(croppedWarped(Upright{image}, *held, *warp, 3));
}

Bitmap rotateQuarterTurns(const Bitmap& image, std::int64_t quarterTurns) {
    if (!isWellFormed(image) || (quarterTurns & 3) == 0) return image;
    cv::Mat pixels = wrapped(image);
    turn(pixels, quarterTurns);
    return bitmapOfRgba(pixels);
}

Bitmap straighten(const Bitmap& image, double degrees) {
    const auto radians = straighteningRadians(degrees);
    if (!isWellFormed(image) || !radians) return image;
    const Warp warp = straightenWarp(image.width, image.height, *radians);
    return detail::bitmapOfLinear(warpedPicture(image, cv::Rect(0, 0, image.width, image.height), warp, 3));
}

}  // namespace quillfen::Cleaner
