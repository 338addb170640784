#include "icon_art.h"

#include <algorithm>
#include <cmath>
#include <functional>

namespace brevikon::icon {

namespace {

struct Point {
    double x = 0;
    double y = 0;
};

struct Colour {
    double r = 0;
    double g = 0;
    double b = 0;
    double a = 1;
};

constexpr Colour Rgb(int r, int g, int b, double a = 1) {
    return {r / 255.0, g / 255.0, b / 255.0, a};
}

constexpr Colour PageShadow = Rgb(0, 0, 0, 0.22);
constexpr Colour PageEdge = Rgb(74, 90, 112);
constexpr Colour PageFill = Rgb(255, 255, 255);
constexpr Colour FoldFill = Rgb(214, 223, 235);
constexpr Colour TextLine = Rgb(122, 140, 165);
constexpr Colour LensTint = Rgb(170, 210, 245, 0.45);
constexpr Colour LensText = Rgb(40, 72, 120);
constexpr Colour LensGlint = Rgb(255, 255, 255, 0.75);
constexpr Colour Rim = Rgb(31, 59, 92);
constexpr Colour Handle = Rgb(37, 54, 77);

// A shape as a signed distance in icon coordinates (0..1 across): negative inside.
using Shape = std::function<double(Point)>;

double Length(Point p) {
    return std::sqrt(p.x * p.x + p.y * p.y);
}

// Distance to the segment from a to b, less a radius: a capsule, or a round-ended line.
Shape Capsule(Point a, Point b, double radius) {
    return [=](Point p) {
        const Point ab{b.x - a.x, b.y - a.y};
        const Point ap{p.x - a.x, p.y - a.y};
        const double t =
            std::clamp((ap.x * ab.x + ap.y * ab.y) / (ab.x * ab.x + ab.y * ab.y), 0.0, 1.0);
        return Length({ap.x - t * ab.x, ap.y - t * ab.y}) - radius;
    };
}

Shape Disc(Point centre, double radius) {
    return [=](Point p) { return Length({p.x - centre.x, p.y - centre.y}) - radius; };
}

// A convex polygon, corners clockwise on screen (y down), grown by `grow` (negative: shrunk).
// The largest distance to the edge lines is exact inside and close enough outside.
Shape ConvexPolygon(std::vector<Point> corners, double grow = 0) {
    return [=](Point p) {
        double distance = -1e9;
        for (std::size_t i = 0; i < corners.size(); ++i) {
            const Point a = corners[i];
            const Point b = corners[(i + 1) % corners.size()];
            const Point edge{b.x - a.x, b.y - a.y};
            const double length = Length(edge);
            // Outward normal of a clockwise polygon in y-down coordinates.
            const Point normal{edge.y / length, -edge.x / length};
            distance = std::max(distance, (p.x - a.x) * normal.x + (p.y - a.y) * normal.y);
        }
        return distance - grow;
    };
}

Shape Intersection(Shape first, Shape second) {
    return [=](Point p) { return std::max(first(p), second(p)); };
}

Shape Ring(Point centre, double outer, double inner) {
    return [=](Point p) {
        const double d = Length({p.x - centre.x, p.y - centre.y});
        return std::max(d - outer, inner - d);
    };
}

// Premultiplied RGBA canvas, painted layer by layer with "over".
class Canvas {
  public:
    explicit Canvas(int size)
        : size_(size), pixels_(static_cast<std::size_t>(size * size), Colour{0, 0, 0, 0}) {
        // Small images need more samples per pixel for the same smoothness of an edge.
        samples_ = size <= 32 ? 8 : size <= 64 ? 6 : 4;
    }

    void Paint(const Shape& shape, Colour colour) {
        const double step = 1.0 / samples_;
        for (int y = 0; y < size_; ++y) {
            for (int x = 0; x < size_; ++x) {
                int inside = 0;
                for (int sy = 0; sy < samples_; ++sy) {
                    for (int sx = 0; sx < samples_; ++sx) {
                        const Point p{(x + (sx + 0.5) * step) / size_,
                                      (y + (sy + 0.5) * step) / size_};
                        if (shape(p) <= 0) ++inside;
                    }
                }
                if (inside == 0) continue;
                const double a = colour.a * inside / (samples_ * samples_);
                Colour& dst = pixels_[static_cast<std::size_t>(y * size_ + x)];
                dst.r = colour.r * a + dst.r * (1 - a);
                dst.g = colour.g * a + dst.g * (1 - a);
                dst.b = colour.b * a + dst.b * (1 - a);
                dst.a = a + dst.a * (1 - a);
            }
        }
    }

    std::vector<std::uint8_t> Rgba() const {
        std::vector<std::uint8_t> out;
        out.reserve(pixels_.size() * 4);
        auto byte = [](double v) {
            return static_cast<std::uint8_t>(std::lround(std::clamp(v, 0.0, 1.0) * 255));
        };
        for (const Colour& c : pixels_) {
            const double a = c.a;
            out.push_back(a > 0 ? byte(c.r / a) : 0);
            out.push_back(a > 0 ? byte(c.g / a) : 0);
            out.push_back(a > 0 ? byte(c.b / a) : 0);
            out.push_back(byte(a));
        }
        return out;
    }

  private:
    int size_;
    int samples_;
    std::vector<Colour> pixels_{};
};

}  // namespace

std::vector<std::uint8_t> DrawDocumentIcon(int size) {
    Canvas canvas(size);
    const double pixel = 1.0 / size;
    const bool small = size <= 24;
    // Edges on whole pixels and lines on pixel centres keep the small images crisp.
    auto edge = [&](double v) { return std::round(v * size) / size; };
    auto centre = [&](double v) { return (std::floor(v * size) + 0.5) / size; };

    const double left = edge(small ? 0.12 : 0.14);
    const double right = edge(small ? 0.80 : 0.76);
    const double top = edge(0.05);
    const double bottom = edge(small ? 0.94 : 0.92);
    const double fold = edge(small ? 0.26 : 0.22);
    const double stroke = std::max(pixel, 0.028);

    const std::vector<Point> page = {
        {left, top}, {right - fold, top}, {right, top + fold}, {right, bottom}, {left, bottom}};
    if (size >= 32) {
        std::vector<Point> shadow = page;
        for (Point& p : shadow) {
            p.x += 0.025;
            p.y += 0.025;
        }
        canvas.Paint(ConvexPolygon(shadow), PageShadow);
    }
    canvas.Paint(ConvexPolygon(page), PageEdge);
    canvas.Paint(ConvexPolygon(page, -stroke), PageFill);
    const std::vector<Point> flap = {
        {right - fold, top}, {right, top + fold}, {right - fold, top + fold}};
    canvas.Paint(ConvexPolygon(flap), PageEdge);
    canvas.Paint(ConvexPolygon(flap, -stroke * 0.8), FoldFill);

    // Lines of text, the first ones shortened by the folded corner.
    const double lineHalf = std::max(pixel * 0.5, small ? 0.035 : 0.022);
    const int lines = small ? 3 : size <= 48 ? 5 : 7;
    const double firstLine = small ? 0.38 : 0.34;
    const double lineGap = small ? 0.18 : size <= 48 ? 0.11 : 0.08;
    const double textLeft = left + (small ? 0.10 : 0.09);
    const double lengths[] = {0.78, 0.95, 0.88, 0.95, 0.70, 0.92, 0.60};
    const double textWidth = right - 0.09 - textLeft;
    std::vector<Shape> textLines;
    for (int i = 0; i < lines; ++i) {
        const double y = small ? centre(firstLine + i * lineGap) : firstLine + i * lineGap;
        const double end = textLeft + textWidth * lengths[i];
        textLines.push_back(Capsule({textLeft, y}, {end, y}, lineHalf));
        canvas.Paint(textLines.back(), TextLine);
    }

    // The magnifying glass, lower right, its lens over the text.
    const Point lens{small ? 0.56 : 0.58, small ? 0.58 : 0.60};
    const double rimOuter = small ? 0.27 : 0.24;
    const double rimWidth = std::max(1.5 * pixel, small ? 0.09 : 0.055);
    const double glass = rimOuter - rimWidth;
    const Shape inside = Disc(lens, glass + pixel * 0.25);
    canvas.Paint(inside, LensTint);
    if (!small) {
        // The text under the lens, drawn larger and darker: what the glass is for.
        constexpr double Magnify = 1.6;
        for (int i = 0; i < lines; ++i) {
            const double y = lens.y + (firstLine + i * lineGap - lens.y) * Magnify;
            const double end = textLeft + textWidth * lengths[i];
            const Point a{lens.x + (textLeft - lens.x) * Magnify, y};
            const Point b{lens.x + (end - lens.x) * Magnify, y};
            canvas.Paint(Intersection(Capsule(a, b, lineHalf * Magnify), inside), LensText);
        }
        // A glint on the glass, upper left.
        const Shape glint = Intersection(Ring(lens, glass * 0.78, glass * 0.62),
                                         ConvexPolygon({{lens.x - glass, lens.y - glass},
                                                        {lens.x, lens.y - glass},
                                                        {lens.x - glass, lens.y}}));
        canvas.Paint(glint, LensGlint);
    }
    canvas.Paint(Ring(lens, rimOuter, glass), Rim);

    // The handle runs down to the right at 45 degrees from the rim.
    const double diagonal = std::sqrt(0.5);
    const Point handleStart{lens.x + rimOuter * diagonal, lens.y + rimOuter * diagonal};
    const Point handleEnd{small ? 0.93 : 0.91, small ? 0.95 : 0.93};
    canvas.Paint(Capsule(handleStart, handleEnd, std::max(pixel, small ? 0.075 : 0.055)), Handle);
    return canvas.Rgba();
}

}  // namespace brevikon::icon
