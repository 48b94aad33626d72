// The sample drawings: each subject is a fixed list of wobbly crayon strokes on white, in percent
// coordinates of the picture (x from the left edge, y from the bottom edge), drawn with the random
// sequence seeded by the subject and the caller's seed.

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <numbers>
#include <vector>

#include "engine/render/Canvas.h"
#include "engine/sample/SampleArt.h"

namespace quillfen::SampleArt {

namespace {

// The crayons; every stroke sets its own alpha.
constexpr Color red{0.86, 0.16, 0.18};
constexpr Color orange{0.97, 0.52, 0.12};
constexpr Color yellow{0.98, 0.8, 0.1};
constexpr Color green{0.2, 0.66, 0.28};
constexpr Color lightBlue{0.45, 0.72, 0.95};
constexpr Color blue{0.15, 0.38, 0.86};
constexpr Color purple{0.52, 0.25, 0.72};
constexpr Color pink{0.96, 0.45, 0.66};
constexpr Color brown{0.5, 0.3, 0.16};
constexpr Color ink{0.12, 0.12, 0.14};

constexpr double pi = std::numbers::pi;
constexpr double fillWidth = 1.4;
constexpr double ringWidth = 1.1;

using Points = std::vector<Point>;

// What every stroke draws into: the picture's size in pixels and the random state it advances.
struct Canvas {
    quillfen::Canvas& context;
    double width;
    double height;
    std::uint64_t seed;

    double aspect() const { return width / height; }
    double random() { return next(seed); }
};

// One hand-drawn stroke through `points` (percent coordinates): four passes, each with its own
// jitter and curve wobble, the first strong and three faint ones around it. `width` is in percent of
// the picture's shorter side.
void strokePath(Canvas& canvas, const Points& points, bool closed, Color color, double width) {
    if (points.empty()) return;
    const double m = std::min(canvas.width, canvas.height) / 100;
    for (int pass = 0; pass < 4; ++pass) {
        Points jittered;
        jittered.reserve(points.size() + 1);
        for (const Point& p : points) {
            const double u1 = canvas.random();
            const double u2 = canvas.random();
            jittered.push_back(
                {(p.x + 1.2 * u1 - 0.6) * canvas.width / 100, (p.y + 1.2 * u2 - 0.6) * canvas.height / 100});
        }
        if (closed) jittered.push_back(jittered.front());
        Path path;
        path.moveTo(jittered.front());
        for (std::size_t k = 1; k < jittered.size(); ++k) {
            const Point from = jittered[k - 1];
            const Point to = jittered[k];
            const double u1 = canvas.random();
            const double u2 = canvas.random();
            const Point control{(from.x + to.x) / 2 + (0.8 * u1 - 0.4) * m,
                                (from.y + to.y) / 2 + (0.8 * u2 - 0.4) * m};
            path.quadTo(control, to);
        }
        canvas.context.setLineCap(LineCap::round);
        canvas.context.setLineJoin(LineJoin::round);
        canvas.context.setLineWidth(width * m * (0.55 + 0.35 * canvas.random()));
        canvas.context.setStrokeColor({color.red, color.green, color.blue, pass == 0 ? 0.85 : 0.35});
        canvas.context.stroke(path);
    }
}

void polyline(Canvas& canvas, const Points& points, Color color, double width) {
    strokePath(canvas, points, false, color, width);
}

void polygon(Canvas& canvas, const Points& points, Color color, double width) {
    strokePath(canvas, points, true, color, width);
}

// A zigzag filling an oval from its bottom to its top, starting on the left. A round oval divides its
// horizontal radius by the aspect, so that it is a true circle of the height's percent.
Points scribbleOval(const Canvas& canvas, double cx, double cy, double rx, double ry, bool round = false) {
    const double horizontal = round ? rx / canvas.aspect() : rx;
    Points points;
    for (int j = 0; j <= 22; ++j) {
        const double y = cy - ry + 0.09 * ry * j;
        const double d = (y - cy) / ry;
        const double side = j % 2 == 0 ? -1 : 1;
        points.push_back({cx + side * horizontal * std::sqrt(std::max(0.0, 1 - d * d)), y});
    }
    return points;
}

Points scribbleBox(double x0, double x1, double y0, double y1) {
    Points points;
    for (int j = 0; j <= 22; ++j) points.push_back({j % 2 == 0 ? x0 : x1, y0 + 0.045 * (y1 - y0) * j});
    return points;
}

// A round outline of 25 points, the last on the first.
Points ring(const Canvas& canvas, double cx, double cy, double r) {
    Points points;
    for (int k = 0; k <= 24; ++k) {
        const double a = 2 * pi * k / 24;
        points.push_back({cx + r * std::cos(a) / canvas.aspect(), cy + r * std::sin(a)});
    }
    return points;
}

Points waveRow(double base, double amplitude) {
    Points points;
    for (int k = 0; k <= 20; ++k)
        points.push_back({5.0 * k, k % 2 == 0 ? base + amplitude : base - amplitude});
    return points;
}

void cross(Canvas& canvas, double x, double y, Color color) {
    polyline(canvas, {{x - 2, y}, {x + 2, y}}, color, 1.1);
    polyline(canvas, {{x, y - 3}, {x, y + 3}}, color, 1.1);
}

void stickFigure(Canvas& canvas, double x, double b, double h, Color color) {
    polyline(canvas, ring(canvas, x, b + 0.82 * h, 0.14 * h), color, 1.1);
    polyline(canvas, {{x, b + 0.68 * h}, {x, b + 0.3 * h}}, color, 1.1);
    polyline(canvas, {{x - 0.18 * h, b + 0.5 * h}, {x, b + 0.6 * h}, {x + 0.18 * h, b + 0.5 * h}}, color,
             1.1);
    polyline(canvas, {{x - 0.14 * h, b}, {x, b + 0.3 * h}, {x + 0.14 * h, b}}, color, 1.1);
    polyline(canvas, scribbleOval(canvas, x, b + 0.45 * h, 0.08 * h, 0.12 * h), color, fillWidth);
}

void sun(Canvas& canvas, double cx, double cy) {
    polyline(canvas, scribbleOval(canvas, cx, cy, 7, 7, true), yellow, fillWidth);
    polyline(canvas, ring(canvas, cx, cy, 7.5), orange, ringWidth);
    for (int k = 0; k <= 8; ++k) {
        const double a = 2 * pi * k / 9;
        const double c = std::cos(a) / canvas.aspect();
        const double s = std::sin(a);
        polyline(canvas, {{cx + 10 * c, cy + 10 * s}, {cx + 15 * c, cy + 15 * s}}, orange, ringWidth);
    }
}

void grass(Canvas& canvas) {
    Points points;
    for (int k = 0; k <= 40; ++k) points.push_back({2.5 * k, k % 2 == 0 ? 6.0 : 11.0});
    polyline(canvas, points, green, 1.2);
}

void drawHouse(Canvas& c) {
    sun(c, 82, 78);
    polyline(c, {{25, 12}, {25, 50}, {60, 50}, {60, 12}}, red, 1.3);
    polygon(c, {{21, 48}, {42.5, 75}, {64, 48}}, brown, 1.3);
    polyline(c, scribbleOval(c, 42.5, 58, 12, 7), brown, fillWidth);
    polyline(c, {{38, 12}, {38, 30}, {47, 30}, {47, 12}}, blue, 1.2);
    polygon(c, {{29, 36}, {35, 36}, {35, 43}, {29, 43}}, lightBlue, 1.1);
    polygon(c, {{51, 36}, {57, 36}, {57, 43}, {51, 43}}, lightBlue, 1.1);
    grass(c);
    polyline(c, {{70, 60}, {74, 62}, {78, 60}}, ink, 1.1);
}

void drawRocket(Canvas& c) {
    for (const Point p :
         {Point{10, 85}, Point{25, 65}, Point{90, 20}, Point{70, 90}, Point{15, 30}, Point{88, 55}})
        cross(c, p.x, p.y, yellow);
    polygon(c, {{40, 15}, {40, 62}, {50, 82}, {60, 62}, {60, 15}}, red, 1.4);
    polyline(c, scribbleOval(c, 50, 70, 5, 6), red, fillWidth);
    polyline(c, ring(c, 50, 48, 7), blue, ringWidth);
    polyline(c, {{40, 25}, {32, 12}, {40, 15}}, orange, 1.3);
    polyline(c, {{60, 25}, {68, 12}, {60, 15}}, orange, 1.3);
    polyline(c, scribbleOval(c, 50, 7, 6, 5), orange, fillWidth);
    polyline(c, scribbleOval(c, 50, 4, 3, 3), yellow, fillWidth);
    stickFigure(c, 50, 40, 14, pink);
    polyline(c, ring(c, 80, 78, 9), ink, ringWidth);
}

void drawRainbow(Canvas& c) {
    const double radii[] = {52.5, 47.25, 42, 36.75, 31.5, 26.25};
    const Color bands[] = {red, orange, yellow, green, blue, purple};
    for (int band = 0; band < 6; ++band) {
        Points points;
        for (int k = 0; k <= 20; ++k) {
            const double a = pi * k / 20;
            points.push_back({50 + radii[band] * std::cos(a) / c.aspect(), 18 + radii[band] * std::sin(a)});
        }
        polyline(c, points, bands[band], 1.8);
    }
    polyline(c, scribbleOval(c, 15, 80, 9, 6), lightBlue, fillWidth);
    polyline(c, scribbleOval(c, 85, 82, 9, 6), lightBlue, fillWidth);
    for (int k = 0; k <= 9; ++k) polyline(c, {{10.0 + 9 * k, 70}, {9.0 + 9 * k, 64}}, blue, 1.1);
    grass(c);
}

void drawFish(Canvas& c) {
    for (const double base : {10, 28, 46, 64, 82}) polyline(c, waveRow(base, 2), lightBlue, 0.9);
    struct Fish {
        double cx;
        double cy;
        Color color;
    };
    for (const Fish& f : {Fish{30, 60, orange}, Fish{68, 35, purple}, Fish{70, 75, green}}) {
        polyline(c, scribbleOval(c, f.cx, f.cy, 9, 7), f.color, fillWidth);
        polygon(c, {{f.cx + 8, f.cy}, {f.cx + 15, f.cy + 6}, {f.cx + 15, f.cy - 6}}, f.color, 1.3);
        polyline(c, ring(c, f.cx - 4, f.cy + 2, 1.2), ink, ringWidth);
    }
    for (const Point p : {Point{20, 82}, Point{45, 88}, Point{50, 50}, Point{85, 55}})
        polyline(c, ring(c, p.x, p.y, 2.5), blue, ringWidth);
    polyline(c, {{10, 5}, {12, 25}, {8, 40}}, green, 1.3);
    polyline(c, {{90, 5}, {88, 22}, {92, 35}}, green, 1.3);
}

void drawFlower(Canvas& c) {
    polyline(c, {{50, 5}, {49, 30}, {51, 50}}, green, 1.6);
    polyline(c, {{50, 20}, {40, 28}, {49, 26}}, green, 1.3);
    polyline(c, {{50, 30}, {60, 38}, {51, 34}}, green, 1.3);
    for (int k = 0; k <= 6; ++k) {
        const double a = 2 * pi * k / 7;
        polyline(c, scribbleOval(c, 50 + 13 * std::cos(a) / c.aspect(), 65 + 13 * std::sin(a), 6, 6, true),
                 pink, fillWidth);
    }
    polyline(c, scribbleOval(c, 50, 65, 7, 7, true), yellow, fillWidth);
    sun(c, 12, 85);
    grass(c);
}

void drawDinosaur(Canvas& c) {
    polygon(c,
            {{15, 20},
             {20, 40},
             {40, 50},
             {65, 52},
             {78, 65},
             {90, 68},
             {92, 58},
             {80, 55},
             {78, 40},
             {70, 22},
             {62, 22},
             {62, 32},
             {40, 30},
             {35, 20}},
            green, 1.5);
    polyline(c, scribbleOval(c, 55, 40, 16, 9), green, fillWidth);
    for (int k = 0; k <= 5; ++k) {
        const double x = 8.0 * k;
        const double y = 4.0 * k / 3;
        polyline(c, {{25 + x, 45 + y}, {29 + x, 54 + y}, {33 + x, 47 + y}}, orange, 1.3);
    }
    polyline(c, ring(c, 86, 63, 1.5), ink, ringWidth);
    polyline(c, {{88, 59}, {92, 60}}, red, 1.1);
    grass(c);
    sun(c, 15, 82);
}

void drawFamily(Canvas& c) {
    sun(c, 85, 82);
    stickFigure(c, 18, 12, 46, blue);
    stickFigure(c, 38, 12, 46, pink);
    stickFigure(c, 58, 12, 30, purple);
    stickFigure(c, 78, 12, 30, orange);
    polyline(c, {{80, 12}, {80, 40}}, brown, 1.6);
    polyline(c, scribbleOval(c, 80, 48, 8, 10), green, fillWidth);
    grass(c);
}

void drawCar(Canvas& c) {
    polygon(c, {{12, 22}, {12, 42}, {30, 44}, {38, 60}, {65, 60}, {75, 44}, {90, 42}, {90, 22}}, red, 1.5);
    polyline(c, scribbleBox(14, 86, 24, 42), red, fillWidth);
    polygon(c, {{40, 47}, {43, 56}, {62, 56}, {67, 47}}, lightBlue, 1.1);
    polyline(c, scribbleOval(c, 28, 20, 6, 7, true), ink, fillWidth);
    polyline(c, scribbleOval(c, 74, 20, 6, 7, true), ink, fillWidth);
    for (const double y : {30, 36, 42}) polyline(c, {{2, y}, {8, y}}, lightBlue, 1.1);
    polyline(c, {{0, 10}, {100, 10}}, brown, 1.3);
    sun(c, 85, 82);
}

void drawSnowman(Canvas& c) {
    for (const Point p : {Point{10, 90}, Point{25, 75}, Point{40, 92}, Point{60, 80}, Point{75, 95},
                          Point{90, 75}, Point{15, 55}, Point{85, 50}})
        polyline(c, ring(c, p.x, p.y, 1.2), lightBlue, ringWidth);
    polyline(c, ring(c, 50, 22, 15), blue, ringWidth);
    polyline(c, ring(c, 50, 47, 11), blue, ringWidth);
    polyline(c, ring(c, 50, 66, 8), blue, ringWidth);
    polygon(c, {{42, 72}, {58, 72}, {56, 84}, {44, 84}}, ink, 1.3);
    polyline(c, {{50, 64}, {56, 63}}, orange, 1.6);
    polyline(c, {{39, 48}, {25, 56}}, brown, 1.3);
    polyline(c, {{61, 48}, {75, 58}}, brown, 1.3);
    polyline(c, {{40, 57}, {60, 57}}, red, 1.6);
    polyline(c, {{0, 6}, {100, 7}}, lightBlue, 1.4);
}

void drawTree(Canvas& c) {
    polyline(c, scribbleBox(45, 55, 6, 38), brown, fillWidth);
    polyline(c, scribbleOval(c, 50, 58, 33.8, 24, true), green, fillWidth);
    for (const Point p : {Point{40, 60}, Point{55, 70}, Point{62, 52}, Point{45, 45}, Point{50, 78},
                          Point{35, 70}, Point{72, 8}})
        polyline(c, scribbleOval(c, p.x, p.y, 2.2, 2.2, true), red, fillWidth);
    grass(c);
    polyline(c, {{80, 85}, {84, 88}, {88, 85}}, ink, 1.1);
    polyline(c, {{15, 80}, {19, 83}, {23, 80}}, ink, 1.1);
}

void drawButterfly(Canvas& c) {
    polyline(c, scribbleOval(c, 38, 60, 12, 14), purple, fillWidth);
    polyline(c, scribbleOval(c, 62, 60, 12, 14), purple, fillWidth);
    polyline(c, scribbleOval(c, 40, 36, 9, 10), pink, fillWidth);
    polyline(c, scribbleOval(c, 60, 36, 9, 10), pink, fillWidth);
    polyline(c, {{50, 25}, {50, 72}}, ink, 1.6);
    polyline(c, {{50, 72}, {45, 84}}, ink, 1.1);
    polyline(c, {{50, 72}, {55, 84}}, ink, 1.1);
    polyline(c, ring(c, 36, 62, 3), yellow, ringWidth);
    polyline(c, ring(c, 64, 62, 3), yellow, ringWidth);
    for (const double x : {12, 22, 80, 90}) {
        polyline(c, {{x, 5}, {x, 18}}, green, 1.1);
        polyline(c, scribbleOval(c, x, 20, 2.5, 2.5), x == 12 || x == 80 ? red : orange, fillWidth);
    }
}

void drawPlanets(Canvas& c) {
    sun(c, 12, 50);
    struct Planet {
        double x;
        double y;
        double radius;
        Color color;
    };
    for (const Planet& p : {Planet{32, 58, 3, orange}, Planet{46, 42, 4, blue}, Planet{60, 58, 5, red},
                            Planet{74, 42, 6, brown}, Planet{88, 58, 7, yellow}})
        polyline(c, scribbleOval(c, p.x, p.y, p.radius, p.radius, true), p.color, fillWidth);
    polyline(c, {{80, 52}, {100, 48}}, purple, 1.1);
    for (const Point p : {Point{20, 85}, Point{45, 90}, Point{70, 85}, Point{90, 92}, Point{30, 15},
                          Point{60, 10}, Point{85, 20}})
        cross(c, p.x, p.y, ink);
}

void drawCat(Canvas& c) {
    polyline(c, scribbleOval(c, 50, 35, 18, 18), orange, fillWidth);
    polyline(c, ring(c, 50, 62, 13), orange, ringWidth);
    polyline(c, {{42, 70}, {40, 82}, {47, 74}}, orange, 1.3);
    polyline(c, {{58, 70}, {60, 82}, {53, 74}}, orange, 1.3);
    polyline(c, ring(c, 45, 64, 1.5), green, ringWidth);
    polyline(c, ring(c, 55, 64, 1.5), green, ringWidth);
    polyline(c, {{48, 58}, {50, 56}, {52, 58}}, pink, 1.1);
    polyline(c, {{38, 56}, {28, 54}}, ink, 1.1);
    polyline(c, {{62, 56}, {72, 54}}, ink, 1.1);
    polyline(c, {{38, 60}, {28, 62}}, ink, 1.1);
    polyline(c, {{62, 60}, {72, 62}}, ink, 1.1);
    polyline(c, {{68, 25}, {80, 35}, {78, 50}}, orange, 1.4);
    polyline(c, ring(c, 85, 85, 6), yellow, ringWidth);
}

void drawBoat(Canvas& c) {
    for (const double base : {8, 15, 22, 29}) polyline(c, waveRow(base, 1.5), blue, 1.1);
    polygon(c, {{25, 35}, {75, 35}, {65, 24}, {35, 24}}, brown, 1.4);
    polyline(c, scribbleBox(32, 68, 26, 34), brown, fillWidth);
    polyline(c, {{50, 35}, {50, 75}}, ink, 1.2);
    polygon(c, {{50, 74}, {70, 42}, {50, 42}}, red, 1.3);
    polyline(c, scribbleOval(c, 58, 52, 5, 8), red, fillWidth);
    sun(c, 15, 80);
    polyline(c, {{70, 82}, {74, 85}, {78, 82}}, ink, 1.1);
    polyline(c, {{80, 75}, {84, 78}, {88, 75}}, ink, 1.1);
}

void draw(Kind kind, Canvas& canvas) {
    switch (kind) {
        case Kind::house:
            return drawHouse(canvas);
        case Kind::rocket:
            return drawRocket(canvas);
        case Kind::rainbow:
            return drawRainbow(canvas);
        case Kind::fish:
            return drawFish(canvas);
        case Kind::flower:
            return drawFlower(canvas);
        case Kind::dinosaur:
            return drawDinosaur(canvas);
        case Kind::family:
            return drawFamily(canvas);
        case Kind::car:
            return drawCar(canvas);
        case Kind::snowman:
            return drawSnowman(canvas);
        case Kind::tree:
            return drawTree(canvas);
        case Kind::butterfly:
            return drawButterfly(canvas);
        case Kind::planets:
            return drawPlanets(canvas);
        case Kind::cat:
            return drawCat(canvas);
        case Kind::boat:
            return drawBoat(canvas);
    }
}

}  // namespace

Bitmap image(Kind kind, std::int64_t seed, double width, double height) {
    const auto size = pixelSize(width, height);
    if (!size) return {};
    quillfen::Canvas context(size->first, size->second);
    if (!context.isValid()) return {};
    context.setFillColor(Color::white());
    context.fillRect(Rect(0, 0, size->first, size->second));
    Canvas canvas{context, width, height, initialState(kind, seed)};
    draw(kind, canvas);
    return context.bitmap();
}

}  // namespace quillfen::SampleArt
