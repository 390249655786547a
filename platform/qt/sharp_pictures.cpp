#include "platform/qt/sharp_pictures.h"

#include "platform/picture.h"
#include "platform/region.h"

#include <QImage>
#include <QRect>
#include <QRegion>
#include <map>
#include <string>
#include <vector>

namespace platform {

namespace {

// "ball.png" -> "ball@2x.png"
std::string doubleSizeName(const std::string& name)
{
    const std::string::size_type dot = name.rfind('.');
    const std::string stem = dot == std::string::npos ? name : name.substr(0, dot);
    const std::string suffix = dot == std::string::npos ? "" : name.substr(dot);
    return stem + "@2x" + suffix;
}

} // namespace

QImage imageOf(const Pixels& pixels)
{
    if (pixels.isNull())
        return {};
    return QImage(reinterpret_cast<const uchar*>(pixels.data()), pixels.width(), pixels.height(),
                  static_cast<qsizetype>(pixels.width()) * 4, QImage::Format_ARGB32);
}

QRegion qtRegion(const Region& region)
{
    std::vector<QRect> rects;
    for (const Rect& rect : region.rects())
        rects.emplace_back(rect.left, rect.top, rect.width(), rect.height());
    QRegion qt;
    qt.setRects(rects.data(), static_cast<int>(rects.size()));
    return qt;
}

const QImage& imageFor(const Picture& picture, double devicePixelRatio)
{
    // Made once each, over the pictures' own pixels, which live as long as the program.
    static std::map<std::string, QImage> normal, doubled;
    auto [plain, madePlain] = normal.try_emplace(picture.name());
    if (madePlain)
        plain->second = imageOf(picture.pixels());
    if (devicePixelRatio <= 1.0)
        return plain->second;
    // A picture without a double-size version stays as it is.
    auto [slot, added] = doubled.try_emplace(picture.name());
    if (added) {
        const Picture large = Picture::load(doubleSizeName(picture.name()));
        if (!large.isNull() && large.width() == picture.width() * 2 &&
            large.height() == picture.height() * 2) {
            slot->second = imageOf(large.pixels());
            slot->second.setDevicePixelRatio(2.0);
        }
    }
    return slot->second.isNull() ? plain->second : slot->second;
}

} // namespace platform
