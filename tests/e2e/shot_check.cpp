// Holds screenshots of the top rows of the screen, pixel by pixel, against the places
// that a headless trace gives the ball: each must show the ball of one of them, cut at the
// top edge as the game has it, on a plain background, or no ball at all where the game
// has it wholly above the screen. Prints how many screenshots showed which, and names each
// that showed a ball the game never had.
// usage: shot_check <ball picture> <trace> <screenshot>...

#include <QColor>
#include <QFile>
#include <QImage>
#include <QRegularExpression>

#include <cstdio>
#include <map>
#include <tuple>
#include <vector>

namespace {

constexpr QRgb key = qRgb(255, 0, 255); // the ball picture's see-through colour

struct Place {
    int x, y;
    bool operator==(const Place&) const = default;
};

std::vector<Place> placesOf(const QString& trace)
{
    QFile file(trace);
    std::vector<Place> places;
    if (!file.open(QIODevice::ReadOnly))
        return places;
    const QRegularExpression at(QStringLiteral("\"x\":(-?\\d+),\"y\":(-?\\d+)"));
    for (const auto& match : at.globalMatch(QString::fromUtf8(file.readAll()))) {
        const Place place{match.captured(1).toInt(), match.captured(2).toInt()};
        if (places.empty() || !(places.back() == place))
            places.push_back(place);
    }
    return places;
}

// The colour most pixels of the shot have.
QRgb backgroundOf(const QImage& shot)
{
    std::map<QRgb, int> counts;
    for (int y = 0; y < shot.height(); y += 4)
        for (int x = 0; x < shot.width(); x += 4)
            ++counts[shot.pixel(x, y)];
    QRgb most = 0;
    int highest = -1;
    for (const auto& [colour, count] : counts)
        if (count > highest)
            std::tie(most, highest) = std::tie(colour, count);
    return most;
}

// Whether the shot is the background with the ball at `place` (cut at the shot's edges).
bool shows(const QImage& shot, QRgb background, const QImage& ball, Place place, int othersSeen)
{
    int ballPixels = 0;
    for (int j = 0; j < ball.height(); ++j) {
        for (int i = 0; i < ball.width(); ++i) {
            const QRgb colour = ball.pixel(i, j);
            const QPoint at(place.x + i, place.y + j);
            if (colour == key || !shot.rect().contains(at))
                continue;
            if (shot.pixel(at) != colour)
                return false;
            if (colour != background)
                ++ballPixels;
        }
    }
    return ballPixels == othersSeen; // nothing else on the background
}

} // namespace

int main(int argc, char* argv[])
{
    if (argc < 4) {
        std::fprintf(stderr, "usage: shot_check <ball picture> <trace> <screenshot>...\n");
        return 2;
    }
    const QImage ball =
        QImage(QString::fromLocal8Bit(argv[1])).convertToFormat(QImage::Format_RGB32);
    const std::vector<Place> places = placesOf(QString::fromLocal8Bit(argv[2]));
    if (ball.isNull() || places.empty()) {
        std::fprintf(stderr, "shot_check: cannot read the ball picture or the trace\n");
        return 2;
    }
    int had = 0, none = 0, never = 0;
    for (int n = 3; n < argc; ++n) {
        const QImage shot =
            QImage(QString::fromLocal8Bit(argv[n])).convertToFormat(QImage::Format_RGB32);
        if (shot.isNull()) {
            std::fprintf(stderr, "shot_check: cannot read %s\n", argv[n]);
            return 2;
        }
        const QRgb background = backgroundOf(shot);
        int notBackground = 0;
        for (int y = 0; y < shot.height(); ++y)
            for (int x = 0; x < shot.width(); ++x)
                notBackground += shot.pixel(x, y) != background;
        if (notBackground == 0) {
            ++none;
            continue;
        }
        bool found = false;
        for (const Place& place : places)
            if ((found = shows(shot, background, ball, place, notBackground)))
                break;
        if (found) {
            ++had;
        } else {
            ++never;
            std::printf("a ball the game never had: %s\n", argv[n]);
        }
    }
    std::printf("%d screenshots: %d show a ball the game had, %d no ball, %d a ball it never had\n",
                argc - 3, had, none, never);
    return never == 0 ? 0 : 1;
}
