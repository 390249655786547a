#include "platform/picture.h"

#include <QImage>
#include <map>

namespace platform {

Picture Picture::load(const std::string& name)
{
    // Pictures are immutable and shared: a window that shows one holds a reference.
    static std::map<std::string, std::shared_ptr<const QImage>> cache;
    auto& slot = cache[name];
    if (!slot) {
        QImage image(QString::fromStdString(":/assets/" + name), "PNG");
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
