#pragma once

#include "platform/backend_guard.h"

#include <QObject>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <cstdint>
#include <functional>

class QScreen;
class QWidget;

namespace platform {

// The model's screen is the primary monitor's work area (what the desktop's panels leave
// free of it), wherever it stands on the desktop: every position of the model counts from
// its top-left corner, and its size is the model's Screen. A window manager keeps the
// windows it manages out of the panels, so a model that counted them in would put the
// board and the ball's floor where X shows neither. The one place that maps model pixels
// to desktop pixels.
class Desktop final : public QObject {
public:
    // `monitorsChanged` runs after the primary monitor moved, changed size or was
    // replaced, a monitor came or went, or a panel came, went or changed size: the
    // windows are to be placed anew.
    explicit Desktop(std::function<void()> monitorsChanged);

    QSize workAreaSize() const;
    // Where a window whose model corner is `model` stands on the desktop. A window that
    // has not been placed since the monitors last changed (`placedIn` says when it was)
    // and that no monitor would show any part of is moved into the work area;
    // between changes windows go exactly where the model puts them, off-screen or not.
    QPoint place(QPoint model, QSize size, std::uint64_t& placedIn) const;
    // Where a window of `size` whose corner is to be at `at` stands so as to lie wholly
    // in the work area (its top-left part, if it is larger).
    QPoint keptInside(QPoint at, QSize size) const;
    // Where a window of `size` whose corner is to be at `at` stands so that X can place it:
    // X holds a position in 16 bits, and one past that range wraps round to the other
    // side of the screen. A window wholly off the desktop (a replay's, recorded on a
    // larger screen) stands just past its edge instead, where as little of it shows.
    QPoint withinReach(QPoint at, QSize size) const;
    // Centres a top-level window in the work area (Qt would pick the pointer's monitor).
    void centre(QWidget& window) const;

private:
    QRect workArea() const;
    void watch(QScreen* screen);
    void changed();

    std::function<void()> monitorsChanged_;
    std::uint64_t generation_ = 1; // counts monitor changes; 0 is "never placed"
};

} // namespace platform
