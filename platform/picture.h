#pragma once

#include "platform/pixels.h"

#include <memory>
#include <string>

namespace platform {

// A picture that ships with the game, drawn at its own size.
class Picture {
public:
    Picture() = default;
    // Loads assets/<name>, compiled into the program; an unknown name gives an empty picture.
    static Picture load(const std::string& name);

    bool isNull() const { return !pixels_; }
    const std::string& name() const { return name_; }
    int width() const { return pixels_ ? pixels_->width() : 0; }   // pixels
    int height() const { return pixels_ ? pixels_->height() : 0; } // pixels
    // Loaded once and kept for the program's life: a backend may show them in place.
    const Pixels& pixels() const { return *pixels_; }

private:
    std::shared_ptr<const Pixels> pixels_;
    std::string name_;
};

} // namespace platform
