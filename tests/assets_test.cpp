// Checks the committed pictures in assets/ against what the game relies on:
// sizes, the ball sprite's exact colour-keyed shape, and the basic looks of
// the icons and arrows.

#include <gtest/gtest.h>

#include <QColor>
#include <QImage>
#include <QString>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <vector>

#ifndef ORVANTA_ASSETS_DIR
#error "ORVANTA_ASSETS_DIR must name the assets folder"
#endif

namespace {

QImage load(const char *name)
{
    return QImage(QStringLiteral(ORVANTA_ASSETS_DIR "/") + QString::fromLatin1(name));
}

const QRgb kMagenta = qRgb(255, 0, 255);
const QRgb kWhite = qRgb(255, 255, 255);

// Number of pixels for which `want` is true reachable from the seeds through
// 4-neighbours that also satisfy it.
template <typename Pred>
int floodCount(const QImage &img, std::vector<std::array<int, 2>> stack, Pred want)
{
    std::vector<char> seen(size_t(img.width()) * size_t(img.height()), 0);
    int n = 0;
    while (!stack.empty()) {
        const auto [x, y] = stack.back();
        stack.pop_back();
        if (x < 0 || y < 0 || x >= img.width() || y >= img.height())
            continue;
        char &s = seen[size_t(y) * size_t(img.width()) + size_t(x)];
        if (s || !want(img.pixel(x, y)))
            continue;
        s = 1;
        ++n;
        stack.push_back({x + 1, y});
        stack.push_back({x - 1, y});
        stack.push_back({x, y + 1});
        stack.push_back({x, y - 1});
    }
    return n;
}

TEST(Assets, EveryPictureHasItsSizeAndAlpha)
{
    const struct {
        const char *name;
        int w, h;
        bool alpha;
    } cases[] = {
        {"ball.png", 64, 63, false},       {"ball-white.png", 64, 64, false},
        {"icon-16.png", 16, 16, true},     {"icon-24.png", 24, 24, true},
        {"icon-32.png", 32, 32, true},     {"icon-48.png", 48, 48, true},
        {"icon-64.png", 64, 64, true},     {"icon-256.png", 256, 256, true},
        {"arrow-dark.png", 31, 36, false}, {"arrow-bright.png", 31, 36, false},
        {"hoop-back.png", 110, 92, false}, {"wood.png", 277, 86, false},
        {"loading.png", 402, 281, false},  {"white.png", 676, 430, false},
        {"info-16.png", 16, 16, true},     {"info-32.png", 32, 32, true},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        const QImage img = load(c.name);
        ASSERT_FALSE(img.isNull());
        EXPECT_EQ(img.width(), c.w);
        EXPECT_EQ(img.height(), c.h);
        EXPECT_EQ(img.hasAlphaChannel(), c.alpha);
    }
}

TEST(Assets, BallIsOneSolidDiscOnMagenta)
{
    const QImage ball = load("ball.png");
    ASSERT_EQ(ball.size(), QSize(64, 63));

    int magenta = 0;
    int minX = 99, maxX = -1, minY = 99, maxY = -1;
    std::array<int, 2> inside{-1, -1};
    for (int y = 0; y < ball.height(); ++y)
        for (int x = 0; x < ball.width(); ++x) {
            const QRgb p = ball.pixel(x, y);
            if (p == kMagenta) {
                ++magenta;
                continue;
            }
            // No colour the key test could mistake for the background.
            const int dist =
                std::abs(qRed(p) - 255) + std::abs(qGreen(p)) + std::abs(qBlue(p) - 255);
            EXPECT_GT(dist, 24) << "near-magenta at " << x << "," << y;
            minX = std::min(minX, x), maxX = std::max(maxX, x);
            minY = std::min(minY, y), maxY = std::max(maxY, y);
            inside = {x, y};
        }
    EXPECT_EQ(magenta, 991);
    EXPECT_EQ(minX, 0);
    EXPECT_EQ(maxX, 62);
    EXPECT_EQ(minY, 0);
    EXPECT_EQ(maxY, 61);
    for (int x = 0; x < 64; ++x)
        EXPECT_EQ(ball.pixel(x, 62), kMagenta) << "last row, x=" << x;
    for (int y = 0; y < 63; ++y)
        EXPECT_EQ(ball.pixel(63, y), kMagenta) << "last column, y=" << y;

    std::vector<std::array<int, 2>> border;
    for (int x = 0; x < 64; ++x)
        border.push_back({x, 0}), border.push_back({x, 62});
    for (int y = 0; y < 63; ++y)
        border.push_back({0, y}), border.push_back({63, y});
    const auto isKey = [](QRgb p) { return p == kMagenta; };
    const auto isBall = [](QRgb p) { return p != kMagenta; };
    EXPECT_EQ(floodCount(ball, border, isKey), magenta) << "magenta hole inside the ball";
    EXPECT_EQ(floodCount(ball, {inside}, isBall), 64 * 63 - magenta) << "ball is not one piece";
}

TEST(Assets, WhiteBallIsTheSameBallOnWhite)
{
    const QImage ball = load("ball.png");
    const QImage white = load("ball-white.png");
    ASSERT_EQ(white.size(), QSize(64, 64));
    ASSERT_EQ(ball.size(), QSize(64, 63));
    int differing = 0;
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x) {
            const QRgb want = (y < 63 && ball.pixel(x, y) != kMagenta) ? ball.pixel(x, y) : kWhite;
            differing += white.pixel(x, y) != want;
        }
    EXPECT_EQ(differing, 0);
}

// Each picture the windows draw ships at twice its size too. Its colours are the 1x
// picture's, sampled finer: blown down again it is close to the 1x one. The ball's outline
// is exactly the 1x one doubled, since its window's shape is the 1x region at the device
// scale: every pixel inside that shape must be ball, and no pixel outside it.
TEST(Assets, DoubleSizePicturesMatchTheirOnes)
{
    for (const char *name : {"ball", "ball-white", "arrow-dark", "arrow-bright", "hoop-back",
                             "wood", "loading", "white"}) {
        SCOPED_TRACE(name);
        const QImage one = load(qPrintable(QString::fromLatin1(name) + ".png"));
        const QImage two = load(qPrintable(QString::fromLatin1(name) + "@2x.png"));
        ASSERT_FALSE(two.isNull());
        ASSERT_EQ(two.size(), one.size() * 2);
        EXPECT_EQ(two.hasAlphaChannel(), one.hasAlphaChannel());
        const QImage down = two.scaled(one.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        long difference = 0;
        for (int y = 0; y < one.height(); ++y)
            for (int x = 0; x < one.width(); ++x) {
                const QRgb a = one.pixel(x, y), b = down.pixel(x, y);
                difference += std::abs(qRed(a) - qRed(b)) + std::abs(qGreen(a) - qGreen(b)) +
                              std::abs(qBlue(a) - qBlue(b));
            }
        EXPECT_LT(difference / (one.width() * one.height()), 40) << "mean difference per pixel";
    }
    const QImage ball = load("ball.png");
    const QImage big = load("ball@2x.png");
    int outlineDiffers = 0;
    for (int y = 0; y < big.height(); ++y)
        for (int x = 0; x < big.width(); ++x)
            outlineDiffers +=
                (big.pixel(x, y) == kMagenta) != (ball.pixel(x / 2, y / 2) == kMagenta);
    EXPECT_EQ(outlineDiffers, 0);
}

TEST(Assets, RoundPicturesHaveClearCornersAndSolidMiddles)
{
    const char *names[] = {"icon-16.png", "icon-24.png",  "icon-32.png", "icon-48.png",
                           "icon-64.png", "icon-256.png", "info-16.png", "info-32.png"};
    for (const char *name : names) {
        SCOPED_TRACE(name);
        const QImage img = load(name);
        ASSERT_FALSE(img.isNull());
        ASSERT_EQ(img.width(), img.height());
        const int e = img.width() - 1, m = img.width() / 2;
        for (const auto &[x, y] : {std::array{0, 0}, {e, 0}, {0, e}, {e, e}})
            EXPECT_EQ(qAlpha(img.pixel(x, y)), 0) << "corner " << x << "," << y;
        for (const auto &[x, y] : {std::array{m, m}, {m - 1, m - 1}, {m / 2, m}, {m, m / 2}})
            EXPECT_EQ(qAlpha(img.pixel(x, y)), 255) << "middle " << x << "," << y;
    }

    // The info sign keeps to the classic 16-colour palette: nothing blended.
    const std::array<QRgb, 16> palette = {
        qRgb(0, 0, 0),       qRgb(128, 0, 0),   qRgb(0, 128, 0),   qRgb(128, 128, 0),
        qRgb(0, 0, 128),     qRgb(128, 0, 128), qRgb(0, 128, 128), qRgb(192, 192, 192),
        qRgb(128, 128, 128), qRgb(255, 0, 0),   qRgb(0, 255, 0),   qRgb(255, 255, 0),
        qRgb(0, 0, 255),     qRgb(255, 0, 255), qRgb(0, 255, 255), qRgb(255, 255, 255),
    };
    for (const char *name : {"info-16.png", "info-32.png"}) {
        SCOPED_TRACE(name);
        const QImage img = load(name).convertToFormat(QImage::Format_ARGB32);
        int white = 0, navy = 0;
        for (int y = 0; y < img.height(); ++y)
            for (int x = 0; x < img.width(); ++x) {
                const QRgb p = img.pixel(x, y);
                if (qAlpha(p) == 0)
                    continue;
                ASSERT_EQ(qAlpha(p), 255) << x << "," << y;
                const QRgb rgb = p | 0xff000000u;
                EXPECT_NE(std::find(palette.begin(), palette.end(), rgb), palette.end())
                    << x << "," << y;
                white += rgb == kWhite;
                navy += rgb == qRgb(0, 0, 128);
            }
        EXPECT_GT(navy, white) << "the disc should be mostly navy around a white letter";
        EXPECT_GT(white, 0);
    }
}

TEST(Assets, PlainAndArrowPicturesUseTheirColours)
{
    // Pictures that are a single flat colour.
    const struct {
        const char *name;
        QRgb colour;
    } plain[] = {{"hoop-back.png", qRgb(0, 0, 0)}, {"white.png", kWhite}};
    for (const auto &c : plain) {
        SCOPED_TRACE(c.name);
        const QImage img = load(c.name);
        ASSERT_FALSE(img.isNull());
        int other = 0;
        for (int y = 0; y < img.height(); ++y)
            for (int x = 0; x < img.width(); ++x)
                other += img.pixel(x, y) != c.colour;
        EXPECT_EQ(other, 0);
    }

    // Arrows: black-outlined fill on white, mirror-symmetric, pointing down
    // (the widest row lies below the narrower shaft, the tip at the bottom).
    const struct {
        const char *name;
        QRgb fill;
    } arrows[] = {{"arrow-dark.png", qRgb(128, 0, 0)}, {"arrow-bright.png", qRgb(255, 0, 0)}};
    for (const auto &c : arrows) {
        SCOPED_TRACE(c.name);
        const QImage img = load(c.name);
        ASSERT_EQ(img.size(), QSize(31, 36));
        int fill = 0;
        std::vector<int> width(size_t(img.height()), 0);
        for (int y = 0; y < img.height(); ++y)
            for (int x = 0; x < img.width(); ++x) {
                const QRgb p = img.pixel(x, y);
                EXPECT_TRUE(p == kWhite || p == qRgb(0, 0, 0) || p == c.fill) << x << "," << y;
                EXPECT_EQ(p, img.pixel(img.width() - 1 - x, y)) << x << "," << y;
                fill += p == c.fill;
                width[size_t(y)] += p != kWhite;
                // Fill never touches the white ground: the outline is closed.
                if (p == c.fill) {
                    for (const auto &[dx, dy] : {std::array{1, 0}, {-1, 0}, {0, 1}, {0, -1}}) {
                        EXPECT_NE(img.pixel(x + dx, y + dy), kWhite) << x << "," << y;
                    }
                }
            }
        EXPECT_GT(fill, 200);
        const auto widest = std::max_element(width.begin(), width.end()) - width.begin();
        EXPECT_GT(width[size_t(widest)], width[0]);
        EXPECT_GT(width[size_t(widest)], width.back());
        EXPECT_GT(widest, 0);
        EXPECT_GT(width.back(), 0);
    }
}

} // namespace
