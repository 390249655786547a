#include "platform/picture.h"

#include <QImage>
#include <QImageReader>
#include <map>

namespace platform {

Picture Picture::load(const std::string& name)
{
    // Pictures are immutable and shared: a window that shows one holds a reference.
    static std::map<std::string, std::shared_ptr<const QImage>> cache;
    auto& slot = cache[name];
    if (!slot) {
        // Our pictures are PNGs: asking every image plug-in whether it reads one would
        // load them all (and a JPEG library) before the first window shows.
        QImageReader reader(QString::fromStdString(":/assets/" + name), "png");
        reader.setAutoDetectImageFormat(false);
        QImage image = reader.read();
        if (image.isNull())
            return {};
        slot = std::make_shared<const QImage>(std::move(image));
    }
    Picture picture;
    picture.image_ = slot;
    picture.name_ = name;
    return picture;
}

int Picture::width() const { return image_ ? image_->width() : 0; }
int Picture::height() const { return image_ ? image_->height() : 0; }

} // namespace platform
