#pragma once

#include <QObject>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <cstdint>
#include <functional>

class QScreen;
class QWidget;

namespace platform {

// The model's screen is the primary monitor, wherever it stands on the desktop: every
// position of the model counts from that monitor's top-left corner, and its size is the
// model's Screen. The one place that maps model pixels to desktop pixels.
class Desktop final : public QObject {
public:
    // `monitorsChanged` runs after the primary monitor moved, changed size or was
    // replaced, or a monitor came or went: the windows are to be placed anew.
    explicit Desktop(std::function<void()> monitorsChanged);

    QSize primarySize() const;
    // Where a window whose model corner is `model` stands on the desktop. A window that
    // has not been placed since the monitors last changed (`placedIn` says when it was)
    // and that no monitor would show any part of is moved onto the primary monitor;
    // between changes windows go exactly where the model puts them, off-screen or not.
    QPoint place(QPoint model, QSize size, std::uint64_t& placedIn) const;
    // Centres a top-level window on the primary monitor (Qt would pick the pointer's).
    void centre(QWidget& window) const;

private:
    QRect primary() const;
    void watch(QScreen* screen);
    void changed();

    std::function<void()> monitorsChanged_;
    std::uint64_t generation_ = 1; // counts monitor changes; 0 is "never placed"
};

} // namespace platform
