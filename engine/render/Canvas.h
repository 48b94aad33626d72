#pragma once

#include "engine/core/Bitmap.h"
#include "engine/core/Color.h"
#include "engine/core/Geometry.h"
#include "engine/render/PageImage.h"
#include "engine/render/Text.h"

#include <memory>
#include <string_view>
#include <vector>

namespace quillfen {

// A path in user space: lines and Bézier curves, built up from a current point. A plain value.
class Path {
public:
    struct Element {
        enum class Kind { move, line, curve, close };
        Kind kind;
        Point points[3];  // move and line: points[0]; curve: two controls and the end
    };

    void moveTo(Point point);
    void lineTo(Point point);
    void quadTo(Point control, Point end);  // as the cubic curve of the same shape
    void curveTo(Point control1, Point control2, Point end);
    void close();
    void addRect(const Rect& rect);
    void addEllipse(const Rect& rect);  // the ellipse inscribed in the rectangle

    bool isEmpty() const { return m_elements.empty(); }
    const std::vector<Element>& elements() const { return m_elements; }

private:
    std::vector<Element> m_elements;
    Point m_current;
    Point m_start;
};

enum class LineCap { butt, round, square };
enum class LineJoin { miter, round, bevel };
enum class InterpolationQuality { standard, high };
enum class FillRule { winding, evenOdd };

// Where a text block sits in its area: centred vertically, or hanging from the area's top.
enum class BlockPlacement { centred, top };

// A drawing surface with origin at the lower left and y upwards, over a bitmap or one PDF page. The
// graphics state (transform, clip, colours, line style, dash, shadow, interpolation) is saved and
// restored as a stack. Colours are sRGB. Not shared between threads; one canvas per drawing.
class Canvas {
public:
    // A transparent bitmap of width × height pixels; one unit is one pixel to begin with.
    Canvas(int width, int height);
    ~Canvas();
    Canvas(Canvas&&) noexcept;
    Canvas& operator=(Canvas&&) noexcept;

    // False when the surface could not be made or drawing has failed.
    bool isValid() const;
    // The pixels drawn so far (bitmap canvases); an empty bitmap for a PDF page or a failed canvas.
    Bitmap bitmap() const;

    void save();
    void restore();

    void translate(double dx, double dy);
    void scale(double sx, double sy);
    void rotate(double radians);  // counter-clockwise

    void clip(const Path& path, FillRule rule = FillRule::winding);
    void clipToRect(const Rect& rect);

    void setFillColor(Color color);
    void setStrokeColor(Color color);
    void setLineWidth(double width);
    void setLineCap(LineCap cap);
    void setLineJoin(LineJoin join);
    // On and off lengths in user space; an empty list draws solid lines again.
    void setLineDash(const std::vector<double>& lengths, double phase = 0);
    // Fills cast a shadow of the given colour, offset and blurred in device space (pixels of a bitmap,
    // points of a PDF page, y upwards) whatever the transform; a zero colour alpha ends the shadow.
    void setShadow(Size offset, double blur, Color color);
    void setInterpolationQuality(InterpolationQuality quality);

    void fill(const Path& path, FillRule rule = FillRule::winding);
    void fillRect(const Rect& rect);
    void fillEllipse(const Rect& rect);
    void stroke(const Path& path);
    void strokeRect(const Rect& rect);

    // Draws the image stretched to the rectangle, its top row at the rectangle's top.
    void drawImage(const PageImage& image, const Rect& rect);

    // One line of text with its baseline at anchor.y, from anchor.x or centred on it. Wider than
    // maxWidth it is cut at its end with "…" and placed as if exactly maxWidth wide; when not even
    // "…" fits, the "…" is drawn all the same. Returns the width used for placement, 0 when nothing
    // was drawn.
    double drawTextLine(std::string_view text, const Font& font, Color color, TextAlignment alignment,
                        Point anchor, double maxWidth);
    // Text wrapped at the frame's width with centred lines, from the frame's top down; lines that do
    // not fit wholly inside the frame are left out and no ink leaves the frame.
    void drawTextFrame(std::string_view text, const Font& font, Color color, const Rect& frame);
    // A centred block in an area: the frame is as tall as the wrapped text needs, at most the area's
    // height (plus one point of slack), centred in the area or hanging from its top.
    void drawTextBlock(std::string_view text, const Font& font, Color color, const Rect& area,
                       BlockPlacement placement);

    struct Impl;

private:
    friend class PdfWriter;
    explicit Canvas(std::unique_ptr<Impl> impl);
    std::unique_ptr<Impl> m;
};

}  // namespace quillfen
