// Draws every picture the game ships in assets/.
//
//   orvanta-make-assets <output folder>
//
// Everything is computed from fixed numbers and fixed seeds, so running it
// again gives byte-identical pictures. Sprites that are shown with a colour
// key are drawn pixel by pixel with no antialiasing, so no edge pixel is ever
// a blend with the key colour.

#include <QColor>
#include <QDir>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPen>
#include <QRadialGradient>
#include <QString>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <random>
#include <vector>

namespace {

[[noreturn]] void fail(const char *what)
{
    std::fprintf(stderr, "orvanta-make-assets: %s\n", what);
    std::exit(1);
}

void check(bool ok, const char *what)
{
    if (!ok)
        fail(what);
}

QString g_outDir;

void save(const QImage &img, const char *name)
{
    const QString path = QDir(g_outDir).filePath(QString::fromLatin1(name));
    if (!img.save(path, "PNG"))
        fail(qPrintable(QStringLiteral("cannot write ") + path));
}

// A plain boolean raster used to build the pixel-art shapes.
struct Mask {
    int w = 0, h = 0;
    std::vector<char> bits;
    Mask(int w_, int h_) : w(w_), h(h_), bits(size_t(w_) * size_t(h_), 0) {}
    bool at(int x, int y) const
    {
        return x >= 0 && y >= 0 && x < w && y < h && bits[size_t(y) * w + x];
    }
    void set(int x, int y, bool v) { bits[size_t(y) * w + x] = v ? 1 : 0; }
    int count() const { return int(std::count(bits.begin(), bits.end(), 1)); }
    // Inside pixels with at least one 4-neighbour outside (or off the raster).
    bool isEdge(int x, int y) const
    {
        return at(x, y) && (!at(x - 1, y) || !at(x + 1, y) || !at(x, y - 1) || !at(x, y + 1));
    }
    Mask eroded() const
    {
        Mask m(w, h);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                m.set(x, y, at(x, y) && !isEdge(x, y));
        return m;
    }
};

// Every picture is also drawn at twice its size for screens with two device pixels to a
// logical one; `scale` is 1 or 2. A pixel's centre in the 1x picture's coordinates:
double at1x(int device, int scale) { return (device + 0.5) / scale - 0.5; }

// The 1x mask blown up: each pixel becomes scale x scale pixels.
Mask scaledUp(const Mask &m, int scale)
{
    Mask big(m.w * scale, m.h * scale);
    for (int y = 0; y < big.h; ++y)
        for (int x = 0; x < big.w; ++x)
            big.set(x, y, m.at(x / scale, y / scale));
    return big;
}

struct Vec3 {
    double x, y, z;
};
double dot(Vec3 a, Vec3 b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
Vec3 normalized(Vec3 v)
{
    const double l = std::sqrt(dot(v, v));
    return {v.x / l, v.y / l, v.z / l};
}

// ---------------------------------------------------------------------------
// Basketball seams, shared by the sprite and the icon.
//
// The ball is a unit sphere in its own frame: two great circles (x = 0 and
// y = 0) and two side seams on the planes x = +-c. It is turned a little
// toward the viewer's right and top so the seams curve like on a real ball.
// Screen axes: x right, y down, z toward the viewer.

constexpr double kSideSeam = 0.62;
constexpr double kYaw = 0.36;    // radians around the screen's vertical axis
constexpr double kPitch = -0.22; // radians around the screen's horizontal axis

Vec3 bodyToView(Vec3 b)
{
    const double cy = std::cos(kYaw), sy = std::sin(kYaw);
    const double cp = std::cos(kPitch), sp = std::sin(kPitch);
    const Vec3 r1{cy * b.x + sy * b.z, b.y, -sy * b.x + cy * b.z};
    return {r1.x, cp * r1.y - sp * r1.z, sp * r1.y + cp * r1.z};
}

// Visible seam polylines in unit-disc coordinates (x right, y down).
std::vector<std::vector<std::array<double, 2>>> seamPolylines()
{
    const double r = std::sqrt(1.0 - kSideSeam * kSideSeam);
    // clang-format off
    const std::array<std::function<Vec3(double)>, 4> curves = {
        [](double t) { return Vec3{0, std::cos(t), std::sin(t)}; },
        [](double t) { return Vec3{std::cos(t), 0, std::sin(t)}; },
        [r](double t) { return Vec3{kSideSeam, r * std::cos(t), r * std::sin(t)}; },
        [r](double t) { return Vec3{-kSideSeam, r * std::cos(t), r * std::sin(t)}; },
    };
    // clang-format on
    std::vector<std::vector<std::array<double, 2>>> out;
    constexpr int kSteps = 2000;
    for (const auto &curve : curves) {
        std::vector<std::array<double, 2>> run;
        for (int i = 0; i <= kSteps; ++i) {
            const double t = 2.0 * M_PI * i / kSteps;
            const Vec3 v = bodyToView(curve(t));
            if (v.z > 0.0) {
                run.push_back({v.x, v.y});
            } else if (!run.empty()) {
                out.push_back(std::move(run));
                run.clear();
            }
        }
        if (!run.empty())
            out.push_back(std::move(run));
    }
    return out;
}

// ---------------------------------------------------------------------------
// The ball sprite: 64 x 63, the ball fills [0..62] x [0..61].

constexpr int kBallW = 64, kBallH = 63;
constexpr double kBallCx = 31.0, kBallCy = 30.5, kBallRx = 31.10, kBallRy = 31.12;
constexpr int kBallPixels = 3041;
const QRgb kKey = qRgb(255, 0, 255);

Mask ballMask()
{
    Mask m(kBallW, kBallH);
    for (int y = 0; y < kBallH; ++y)
        for (int x = 0; x < kBallW; ++x) {
            const double u = (x - kBallCx) / kBallRx, v = (y - kBallCy) / kBallRy;
            m.set(x, y, u * u + v * v <= 1.0);
        }
    // The symmetric disc has an even pixel count; trim one corner step on the
    // shaded lower right so the sprite keeps its established size.
    int bestX = -1, bestY = -1;
    double bestSkew = 1e9;
    for (int y = int(kBallCy) + 1; y < kBallH; ++y)
        for (int x = int(kBallCx) + 1; x < kBallW; ++x)
            if (m.at(x, y) && !m.at(x + 1, y) && !m.at(x, y + 1)) {
                const double skew = std::abs((x - kBallCx) - (y - kBallCy));
                if (skew < bestSkew)
                    bestSkew = skew, bestX = x, bestY = y;
            }
    check(bestX >= 0, "ball: no corner to trim");
    m.set(bestX, bestY, false);
    return m;
}

// Orange ramp from the darkest shade to the shine.
const std::array<QRgb, 8> kOrange = {
    qRgb(92, 36, 14),   qRgb(138, 56, 18),  qRgb(178, 76, 22),  qRgb(212, 98, 28),
    qRgb(236, 122, 38), qRgb(248, 150, 58), qRgb(252, 186, 96), qRgb(255, 222, 150),
};

// At 2x the ball keeps exactly the 1x ball's outline, doubled: the window's shape is the
// 1x region at the device scale, so every pixel inside it must be ball. Shading, seams and
// rim are drawn at the finer grid.
QImage drawBall(QRgb background, int w, int h, int scale = 1)
{
    const Mask mask = scaledUp(ballMask(), scale);
    const Mask inner = mask.eroded();
    QImage img(w * scale, h * scale, QImage::Format_RGB32);
    img.fill(background);

    const Vec3 light = normalized({-0.55, -0.65, 0.75});
    const Vec3 half = normalized({light.x, light.y, light.z + 1.0});
    static const int bayer[4][4] = {{0, 8, 2, 10}, {12, 4, 14, 6}, {3, 11, 1, 9}, {15, 7, 13, 5}};

    for (int y = 0; y < mask.h; ++y)
        for (int x = 0; x < mask.w; ++x) {
            if (!mask.at(x, y))
                continue;
            const double nx = (at1x(x, scale) - kBallCx) / kBallRx;
            const double ny = (at1x(y, scale) - kBallCy) / kBallRy;
            const Vec3 n{nx, ny, std::sqrt(std::max(0.0, 1.0 - nx * nx - ny * ny))};
            const double diffuse = std::max(0.0, dot(n, light));
            const double gloss = std::pow(std::max(0.0, dot(n, half)), 18.0);
            const double level = 0.6 + 4.6 * diffuse + 2.4 * gloss;
            const double dither = (bayer[y & 3][x & 3] + 0.5) / 16.0 - 0.5;
            int idx = int(std::floor(level + 0.7 * dither));
            idx = std::clamp(idx, 1, int(kOrange.size()) - 1);
            img.setPixel(x, y, kOrange[size_t(idx)]);
        }

    // Seams: every ball pixel whose centre lies within about a pixel of a
    // projected seam turns black.
    // At 2x the seams are a little thinner than twice the 1x ones, so they stay crisp.
    const double seamReach = scale == 1 ? 0.78 : 0.62;
    const auto seams = seamPolylines();
    for (int y = 0; y < mask.h; ++y)
        for (int x = 0; x < mask.w; ++x) {
            if (!mask.at(x, y))
                continue;
            const double fx = at1x(x, scale), fy = at1x(y, scale);
            double best = 1e9;
            for (const auto &run : seams)
                for (const auto &p : run) {
                    const double dx = kBallCx + p[0] * kBallRx - fx,
                                 dy = kBallCy + p[1] * kBallRy - fy;
                    best = std::min(best, dx * dx + dy * dy);
                }
            if (best <= seamReach * seamReach)
                img.setPixel(x, y, qRgb(0, 0, 0));
        }

    // Rim: a dark line, as wide at 2x as at 1x, that is a little lighter where the light hits.
    for (int y = 0; y < mask.h; ++y)
        for (int x = 0; x < mask.w; ++x) {
            if (!mask.isEdge(x, y) && !(scale > 1 && inner.isEdge(x, y)))
                continue;
            const double lit =
                -(at1x(x, scale) - kBallCx) / kBallRx - (at1x(y, scale) - kBallCy) / kBallRy;
            img.setPixel(x, y, lit > 0.55 ? kOrange[1] : kOrange[0]);
        }

    // A little pink-and-white scuff at the lower left.
    const QRgb pink = qRgb(255, 150, 190), white = qRgb(255, 255, 255);
    const struct {
        int x, y;
        QRgb c;
    } scuff[] = {
        {12, 44, pink},  {13, 44, pink}, {11, 45, pink}, {12, 45, white},
        {13, 45, white}, {14, 45, pink}, {12, 46, pink}, {13, 46, pink},
    };
    for (const auto &s : scuff) {
        check(mask.at(s.x * scale, s.y * scale), "scuff outside the ball");
        for (int dy = 0; dy < scale; ++dy)
            for (int dx = 0; dx < scale; ++dx)
                img.setPixel(s.x * scale + dx, s.y * scale + dy, s.c);
    }

    return img.convertToFormat(QImage::Format_RGB888);
}

// The sprite must keep exactly the shape the game's collision code expects.
void verifyBall(const QImage &img)
{
    check(img.width() == kBallW && img.height() == kBallH, "ball: wrong size");
    const auto isKey = [&](int x, int y) { return img.pixel(x, y) == kKey; };

    int keys = 0;
    int minX = kBallW, maxX = -1, minY = kBallH, maxY = -1;
    for (int y = 0; y < kBallH; ++y)
        for (int x = 0; x < kBallW; ++x) {
            if (isKey(x, y)) {
                ++keys;
                continue;
            }
            const QColor c = QColor::fromRgb(img.pixel(x, y));
            const int far =
                std::max({std::abs(c.red() - 255), std::abs(c.green()), std::abs(c.blue() - 255)});
            check(far > 48, "ball: near-key colour inside the ball");
            minX = std::min(minX, x), maxX = std::max(maxX, x);
            minY = std::min(minY, y), maxY = std::max(maxY, y);
        }
    check(keys == kBallW * kBallH - kBallPixels, "ball: wrong number of key pixels");
    check(minX == 0 && maxX == 62 && minY == 0 && maxY == 61, "ball: wrong bounding box");
    for (int x = 0; x < kBallW; ++x)
        check(isKey(x, kBallH - 1), "ball: last row not all key");
    for (int y = 0; y < kBallH; ++y)
        check(isKey(kBallW - 1, y), "ball: last column not all key");

    // Key pixels reachable from the border, and ball pixels reachable from
    // one ball pixel, must together be the whole picture.
    const auto flood = [&](std::vector<std::array<int, 2>> stack, bool key) {
        std::vector<char> seen(size_t(kBallW * kBallH), 0);
        int n = 0;
        while (!stack.empty()) {
            const auto [x, y] = stack.back();
            stack.pop_back();
            if (x < 0 || y < 0 || x >= kBallW || y >= kBallH || seen[size_t(y * kBallW + x)] ||
                isKey(x, y) != key)
                continue;
            seen[size_t(y * kBallW + x)] = 1;
            ++n;
            stack.push_back({x + 1, y}), stack.push_back({x - 1, y});
            stack.push_back({x, y + 1}), stack.push_back({x, y - 1});
        }
        return n;
    };
    std::vector<std::array<int, 2>> border;
    for (int x = 0; x < kBallW; ++x)
        border.push_back({x, 0}), border.push_back({x, kBallH - 1});
    for (int y = 0; y < kBallH; ++y)
        border.push_back({0, y}), border.push_back({kBallW - 1, y});
    check(flood(border, true) == keys, "ball: key pixels inside the ball");
    check(flood({{31, 30}}, false) == kBallPixels, "ball: not one piece");
}

// The 2x ball covers exactly the 1x ball's pixels, doubled, and none of its colours is
// near the key.
void verifyBall2x(const QImage &ball, const QImage &big)
{
    check(big.width() == 2 * kBallW && big.height() == 2 * kBallH, "ball@2x: wrong size");
    for (int y = 0; y < big.height(); ++y)
        for (int x = 0; x < big.width(); ++x) {
            const bool key = big.pixel(x, y) == kKey;
            check(key == (ball.pixel(x / 2, y / 2) == kKey),
                  "ball@2x: outline is not the 1x one doubled");
            if (key)
                continue;
            const QColor c = QColor::fromRgb(big.pixel(x, y));
            const int far =
                std::max({std::abs(c.red() - 255), std::abs(c.green()), std::abs(c.blue() - 255)});
            check(far > 48, "ball@2x: near-key colour inside the ball");
        }
}

// ---------------------------------------------------------------------------
// Program icon: smooth, antialiased, on a transparent ground.

QImage drawIcon(int size)
{
    QImage img(size, size, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing, true);

    const double margin = std::max(0.5, size * 0.03);
    const QRectF disc(margin, margin, size - 2 * margin, size - 2 * margin);
    const QPointF c = disc.center();
    const double r = disc.width() / 2.0;

    QRadialGradient shade(c, r, QPointF(c.x() - 0.38 * r, c.y() - 0.42 * r));
    shade.setColorAt(0.00, QColor(255, 196, 120));
    shade.setColorAt(0.30, QColor(236, 128, 46));
    shade.setColorAt(0.70, QColor(196, 90, 28));
    shade.setColorAt(1.00, QColor(112, 46, 16));
    p.setPen(Qt::NoPen);
    p.setBrush(shade);
    p.drawEllipse(disc);

    QPainterPath clip;
    clip.addEllipse(disc);
    p.setClipPath(clip);
    const double seamWidth = std::max(1.0, size / 26.0);
    QPen seam(QColor(16, 8, 4), seamWidth, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    p.setPen(seam);
    p.setBrush(Qt::NoBrush);
    for (const auto &run : seamPolylines()) {
        QPainterPath path;
        for (size_t i = 0; i < run.size(); i += 8) {
            const QPointF q(c.x() + run[i][0] * r, c.y() + run[i][1] * r);
            if (i == 0)
                path.moveTo(q);
            else
                path.lineTo(q);
        }
        path.lineTo(c.x() + run.back()[0] * r, c.y() + run.back()[1] * r);
        p.drawPath(path);
    }
    p.setClipping(false);

    p.setPen(QPen(QColor(70, 28, 10), std::max(0.8, size / 48.0)));
    p.drawEllipse(disc);
    p.end();
    return img.convertToFormat(QImage::Format_ARGB32);
}

// ---------------------------------------------------------------------------
// Down arrow used to point at the ball: shaft on top, head below.

QImage drawArrow(QRgb fill, int scale = 1)
{
    constexpr int W = 31, H = 36, mid = 15;
    constexpr int shaftHalf = 7, headTop = 15, tip = H - 1;
    Mask m(W * scale, H * scale);
    for (int y = 0; y < m.h; ++y) {
        // In 1x pixels: the shaft's half width, then the head narrowing to the tip.
        const double fy = at1x(y, scale);
        const double half =
            fy < headTop - 0.5 ? shaftHalf + 0.5 : double(mid) * (tip - fy) / (tip - headTop) + 0.5;
        for (int x = 0; x < m.w; ++x)
            m.set(x, y, std::abs(at1x(x, scale) - mid) <= half);
    }
    const Mask inner = m.eroded();
    QImage img(m.w, m.h, QImage::Format_RGB32);
    img.fill(qRgb(255, 255, 255));
    for (int y = 0; y < m.h; ++y)
        for (int x = 0; x < m.w; ++x)
            if (m.at(x, y))
                img.setPixel(x, y,
                             m.isEdge(x, y) || (scale > 1 && inner.isEdge(x, y)) ? qRgb(0, 0, 0)
                                                                                 : fill);
    return img.convertToFormat(QImage::Format_RGB888);
}

// ---------------------------------------------------------------------------
// Light wood for the floor strip.

// Value noise on a lattice filled from a fixed-seed Mersenne Twister. The raw
// 32-bit outputs are mapped by hand, so every standard library gives the same
// numbers.
class ValueNoise {
public:
    explicit ValueNoise(std::uint32_t seed)
    {
        std::mt19937 gen(seed);
        for (auto &v : lattice_)
            v = double(gen() >> 8) / double(1u << 24);
    }
    double at(double x, double y) const
    {
        const double fx = std::floor(x), fy = std::floor(y);
        const int ix = int(fx), iy = int(fy);
        const double tx = smooth(x - fx), ty = smooth(y - fy);
        const double a = cell(ix, iy), b = cell(ix + 1, iy);
        const double c = cell(ix, iy + 1), d = cell(ix + 1, iy + 1);
        return (a + (b - a) * tx) * (1 - ty) + (c + (d - c) * tx) * ty;
    }
    double fbm(double x, double y, int octaves) const
    {
        double sum = 0, amp = 0.5, norm = 0;
        for (int i = 0; i < octaves; ++i) {
            sum += amp * at(x, y);
            norm += amp;
            x = x * 2.03 + 17.1;
            y = y * 2.03 + 5.7;
            amp *= 0.5;
        }
        return sum / norm;
    }

private:
    static constexpr int N = 256;
    static double smooth(double t) { return t * t * (3 - 2 * t); }
    double cell(int x, int y) const { return lattice_[size_t((y & (N - 1)) * N + (x & (N - 1)))]; }
    std::array<double, N * N> lattice_{};
};

QColor mix(QColor a, QColor b, double t)
{
    t = std::clamp(t, 0.0, 1.0);
    return QColor(int(std::lround(a.red() + (b.red() - a.red()) * t)),
                  int(std::lround(a.green() + (b.green() - a.green()) * t)),
                  int(std::lround(a.blue() + (b.blue() - a.blue()) * t)));
}

QImage drawWood(int scale = 1)
{
    constexpr int W = 277, H = 86;
    const ValueNoise noise(20240611u);
    const QColor light(226, 188, 138), tan(204, 160, 106), brown(168, 118, 70), line(124, 80, 44);
    const double knotX = 196, knotY = 52;

    QImage img(W * scale, H * scale, QImage::Format_RGB32);
    for (int py = 0; py < img.height(); ++py)
        for (int px = 0; px < img.width(); ++px) {
            const double x = at1x(px, scale), y = at1x(py, scale);
            // Grain lines are level curves of a slowly wandering height that
            // swells around the knot, so the lines flow past it.
            const double kx = (x - knotX) / 20.0, ky = (y - knotY) / 7.0;
            const double k2 = kx * kx + ky * ky;
            const double swell = 7.0 * std::exp(-k2 * 0.35) * std::tanh((y - knotY) / 2.5);
            const double wander = 9.0 * (noise.fbm(x / 90.0, y / 40.0, 3) - 0.5);
            const double h = y + wander + swell;

            // Broad streaks: stretched far along the board.
            const double streak = noise.fbm(x / 70.0 + 40.0, h / 3.2, 4);
            QColor c = mix(light, tan, (streak - 0.3) * 2.2);

            // Growth rings: a soft band and a thin dark line once per period.
            const double period = 11.0 + 3.0 * noise.at(h / 23.0 + 3.0, 7.0);
            const double ring = h / period + 0.35 * noise.fbm(x / 55.0, h / 9.0 + 90.0, 2);
            const double f = ring - std::floor(ring);
            c = mix(c, brown, 0.55 * std::pow(std::max(0.0, 1.0 - std::abs(f - 0.5) * 2.8), 2.0));
            const double dark = std::max(0.0, 1.0 - std::abs(f - 0.78) * 18.0);
            c = mix(c, line, 0.75 * dark);

            // Fine pores.
            const double pore = noise.at(x / 2.5 + 300.0, h * 1.3);
            if (pore > 0.82)
                c = mix(c, brown, (pore - 0.82) * 2.5);

            // The knot itself: dark heart with rings.
            if (k2 < 1.6) {
                const double kr = std::sqrt(k2);
                const double kring = 0.5 + 0.5 * std::cos(kr * 14.0);
                c = mix(c, mix(brown, line, kring), std::clamp((1.6 - k2) * 1.6, 0.0, 1.0));
                c = mix(c, QColor(96, 58, 30), 0.85 * std::clamp((0.45 - kr) * 5.0, 0.0, 1.0));
            }
            img.setPixel(px, py, c.rgb());
        }
    return img.convertToFormat(QImage::Format_RGB888);
}

// ---------------------------------------------------------------------------
// Loading screen picture: a green segment of a disc outlined in black.

QImage drawLoading(int scale = 1)
{
    constexpr int W = 402, H = 281;
    constexpr int left = 13, right = 300, top = 5, bottom = 210;
    const double cx = (left + right) / 2.0, cy = (top + bottom) / 2.0;
    const double rx = (right - left + 1) / 2.0, ry = (bottom - top + 1) / 2.0;

    // The straight edge runs from the disc's upper left to its right end; the
    // lower left part stays.
    const double a = 0.75 * M_PI;
    const double px = cx + rx * std::cos(a), py = cy - ry * std::sin(a);
    const double qx = right + 0.5, qy = cy;
    const auto side = [&](double x, double y) {
        return (qx - px) * (y - py) - (qy - py) * (x - px);
    };
    const double keep = side(left, bottom);

    Mask m(W * scale, H * scale);
    for (int y = 0; y < m.h; ++y)
        for (int x = 0; x < m.w; ++x) {
            const double fx = at1x(x, scale), fy = at1x(y, scale);
            const double u = (fx - cx) / rx, v = (fy - cy) / ry;
            m.set(x, y, u * u + v * v <= 1.0 && side(fx, fy) * keep > 0);
        }
    Mask inner = m.eroded().eroded(); // an outline two 1x pixels wide at every scale
    for (int i = 2; i < 2 * scale; ++i)
        inner = inner.eroded();
    QImage img(m.w, m.h, QImage::Format_RGB32);
    img.fill(qRgb(255, 255, 255));
    for (int y = 0; y < m.h; ++y)
        for (int x = 0; x < m.w; ++x)
            if (m.at(x, y))
                img.setPixel(x, y, inner.at(x, y) ? qRgb(0, 128, 0) : qRgb(0, 0, 0));
    return img.convertToFormat(QImage::Format_RGB888);
}

// ---------------------------------------------------------------------------
// Information sign in the classic 16 colours.

QImage drawInfo(int size)
{
    const int s = size / 16; // pixels per design unit
    const double c = (size - 1) / 2.0, r = size / 2.0 - 0.3;
    Mask disc(size, size);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x)
            disc.set(x, y, (x - c) * (x - c) + (y - c) * (y - c) <= r * r);

    const Mask inner = disc.eroded();
    const QRgb navy = qRgb(0, 0, 128), blue = qRgb(0, 0, 255), white = qRgb(255, 255, 255);
    QImage img(size, size, QImage::Format_ARGB32);
    img.fill(Qt::transparent);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            if (!disc.at(x, y))
                continue;
            // A thin lighter crescent inside the upper left rim gives the disc
            // some depth.
            const bool lit = (x + y) < 2 * c - 0.35 * r && !inner.at(x - s, y - s);
            QRgb col = disc.isEdge(x, y) ? qRgb(0, 0, 0) : (lit ? blue : navy);
            img.setPixel(x, y, col);
        }
    // The letter, on a 16-unit grid: dot, stem with a left serif, and a foot.
    const struct {
        int x0, y0, x1, y1;
    } parts[] = {{7, 3, 8, 4}, {7, 6, 8, 11}, {6, 6, 6, 6}, {6, 12, 9, 12}};
    for (const auto &part : parts)
        for (int y = part.y0 * s; y < (part.y1 + 1) * s; ++y)
            for (int x = part.x0 * s; x < (part.x1 + 1) * s; ++x)
                img.setPixel(x, y, white);
    return img;
}

QImage plain(int w, int h, QRgb colour)
{
    QImage img(w, h, QImage::Format_RGB888);
    img.fill(QColor::fromRgb(colour));
    return img;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <output folder>\n", argv[0]);
        return 2;
    }
    g_outDir = QString::fromLocal8Bit(argv[1]);
    if (!QDir().mkpath(g_outDir))
        fail("cannot create the output folder");

    const QImage ball = drawBall(kKey, kBallW, kBallH);
    verifyBall(ball);
    save(ball, "ball.png");
    save(drawBall(qRgb(255, 255, 255), 64, 64), "ball-white.png");
    const QImage ball2x = drawBall(kKey, kBallW, kBallH, 2);
    verifyBall2x(ball, ball2x);
    save(ball2x, "ball@2x.png");
    save(drawBall(qRgb(255, 255, 255), 64, 64, 2), "ball-white@2x.png");

    for (int size : {16, 24, 32, 48, 64, 256})
        save(drawIcon(size), qPrintable(QStringLiteral("icon-%1.png").arg(size)));

    save(drawArrow(qRgb(128, 0, 0)), "arrow-dark.png");
    save(drawArrow(qRgb(255, 0, 0)), "arrow-bright.png");
    save(plain(110, 92, qRgb(0, 0, 0)), "hoop-back.png");
    save(drawWood(), "wood.png");
    save(drawLoading(), "loading.png");
    save(plain(676, 430, qRgb(255, 255, 255)), "white.png");
    save(drawArrow(qRgb(128, 0, 0), 2), "arrow-dark@2x.png");
    save(drawArrow(qRgb(255, 0, 0), 2), "arrow-bright@2x.png");
    save(plain(220, 184, qRgb(0, 0, 0)), "hoop-back@2x.png");
    save(drawWood(2), "wood@2x.png");
    save(drawLoading(2), "loading@2x.png");
    save(plain(1352, 860, qRgb(255, 255, 255)), "white@2x.png");
    save(drawInfo(16), "info-16.png");
    save(drawInfo(32), "info-32.png");
    return 0;
}
