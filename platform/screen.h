#pragma once

namespace platform {

// One dimension of the whole screen in twips, read afresh at every use.
class ScreenDimension {
public:
    explicit constexpr ScreenDimension(bool horizontal) : horizontal_(horizontal) {}
    operator float() const;

private:
    bool horizontal_;
};

struct ScreenObject {
    ScreenDimension Width{true};
    ScreenDimension Height{false};
};

inline constexpr ScreenObject Screen;

} // namespace platform
