#pragma once

#include <memory>
#include <string>

class QImage;

namespace platform {

// A picture that ships with the game, drawn at its own size.
class Picture {
public:
    Picture() = default;
    // Loads assets/<name>, compiled into the program; an unknown name gives an empty picture.
    static Picture load(const std::string& name);

    bool isNull() const { return !image_; }
    const std::string& name() const { return name_; }
    int width() const;  // pixels
    int height() const; // pixels
    const QImage& image() const { return *image_; }

private:
    std::shared_ptr<const QImage> image_;
    std::string name_;
};

} // namespace platform
