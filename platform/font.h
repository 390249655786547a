#pragma once

#include <string>

namespace platform {

struct Font {
    std::string Name = "MS Sans Serif";
    float Size = 8; // points
    bool Bold = false;
    bool Italic = false;
    bool Underline = false;
    int Weight = 400; // 400 regular, 700 bold, 800 extra bold

    static Font of(std::string name, float size, int weight = 400, bool italic = false,
                   bool underline = false)
    {
        return {std::move(name), size, weight >= 600, italic, underline, weight};
    }
};

} // namespace platform
