#include "platform/qt/sharp_pictures.h"

#include "platform/picture.h"

#include <QImage>
#include <map>
#include <string>

namespace platform {

namespace {

// "ball.png" -> ":/assets/ball@2x.png"
QString doubleSizeFile(const std::string& name)
{
    const std::string::size_type dot = name.rfind('.');
    const std::string stem = dot == std::string::npos ? name : name.substr(0, dot);
    const std::string suffix = dot == std::string::npos ? "" : name.substr(dot);
    return QString::fromStdString(":/assets/" + stem + "@2x" + suffix);
}

} // namespace

const QImage& imageFor(const Picture& picture, double devicePixelRatio)
{
    if (devicePixelRatio <= 1.0)
        return picture.image();
    // Loaded once each; a picture without a double-size version stays as it is.
    static std::map<std::string, QImage> doubled;
    auto [slot, added] = doubled.try_emplace(picture.name());
    if (added) {
        slot->second = QImage(doubleSizeFile(picture.name()), "PNG");
        if (slot->second.size() == picture.image().size() * 2)
            slot->second.setDevicePixelRatio(2.0);
        else
            slot->second = QImage();
    }
    return slot->second.isNull() ? picture.image() : slot->second;
}

} // namespace platform
