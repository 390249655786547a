#include "platform/picture.h"

#include "platform/embedded_files.h"

#include <map>

namespace platform {

Picture Picture::load(const std::string& name)
{
    // Pictures are immutable and shared: a window that shows one holds a reference.
    static std::map<std::string, std::shared_ptr<const Pixels>> cache;
    auto& slot = cache[name];
    if (!slot) {
        Pixels pixels = Pixels::fromPng(embeddedFile(name));
        if (pixels.isNull())
            return {};
        slot = std::make_shared<const Pixels>(std::move(pixels));
    }
    Picture picture;
    picture.pixels_ = slot;
    picture.name_ = name;
    return picture;
}

} // namespace platform
