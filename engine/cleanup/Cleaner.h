#pragma once

#include "engine/core/Bitmap.h"
#include "engine/library/CleanupRecords.h"
#include "engine/core/Geometry.h"
#include "engine/cleanup/ImageIO.h"
#include "engine/cleanup/Lighting.h"

// The cleanup of a photographed drawing: cut out and squared up along its crop corners, turned by
// quarter turns, straightened by a fine angle, its lighting evened out and its paper whitened.
// Pure functions, safe on any thread, any number at once; none of them fails.
namespace quillfen::Cleaner {

// The cleaned picture, opaque. The crop refers to the picture as given (upright, before the turns),
// the straightening angle to the picture after the turns. The crop's corners are held to the
// picture; however small, a convex crop is honoured, while one that is not finite, crossed or
// collinear is ignored, as is one that would leave fewer than 2 pixels a side or square up to more
// than maximumPixelCount, and so is an angle that is not finite in radians. Pictures of any size,
// down to 1 x 1, have their light evened and their paper whitened. Transparency is flattened onto
// white first.
Bitmap apply(const CleanupSettings& settings, const Bitmap& image);
// The cleaned picture at most maximumSide pixels on its longer side: the picture
// downscaled(apply(settings, the source stood upright), maximumSide) gives, within rounding, with
// the source's orientation riding along with the cleanup's own turns and warps instead of a turned
// copy of its own. Nothing for a malformed source or a maximum side below one pixel.
std::optional<Bitmap> cleanedAtMost(const CleanupSettings& settings, const SourcePicture& source,
                                    double maximumSide);
std::optional<Bitmap> cleanedAtMost(const CleanupSettings& settings, const Bitmap& image,
                                    double maximumSide);
// The pixel size apply gives for a picture of that size, computed without touching pixels; zero for
// an empty size or one beyond maximumPixelCount.
Size outputSize(const CleanupSettings& settings, Size imageSize);
Size outputSize(const CleanupSettings& settings, const Bitmap& image);
Size outputSize(const CleanupSettings& settings, const SourcePicture& source);  // stood upright

// The quad, held to the picture, squared up to the longer of its opposite edges and trimmed by
// 1.5 % of its shorter side on each edge; the picture unchanged when it is not usable as a crop.
Bitmap perspectiveCorrect(const Bitmap& image, const Quad& quad);
// The picture turned clockwise by quarterTurns & 3 quarter turns.
Bitmap rotateQuarterTurns(const Bitmap& image, std::int64_t quarterTurns);
// The picture turned counterclockwise by degrees about its centre, cut to the largest rectangle of
// its own aspect that the turned picture covers; unchanged for an angle that is not finite in radians.
Bitmap straighten(const Bitmap& image, double degrees);
// The scale of that rectangle for a width x height picture turned by radians.
double straightenScale(double width, double height, double radians);

}  // namespace quillfen::Cleaner
