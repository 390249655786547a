#include "platform/qt/desktop.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <algorithm>

namespace platform {

namespace {

bool shownByAnyMonitor(const QRect& window)
{
    const QList<QScreen*> screens = QGuiApplication::screens();
    return std::any_of(screens.begin(), screens.end(), [&](const QScreen* screen) {
        return screen->geometry().intersects(window);
    });
}

// The nearest position at which `size` lies on `area` (its top-left part if it is larger).
QPoint clampedInto(QPoint at, QSize size, const QRect& area)
{
    const int x = std::max(area.left(), std::min(at.x(), area.right() + 1 - size.width()));
    const int y = std::max(area.top(), std::min(at.y(), area.bottom() + 1 - size.height()));
    return {x, y};
}

} // namespace

Desktop::Desktop(std::function<void()> monitorsChanged)
    : monitorsChanged_(std::move(monitorsChanged))
{
    auto* application = qGuiApp;
    for (QScreen* screen : QGuiApplication::screens())
        watch(screen);
    connect(application, &QGuiApplication::primaryScreenChanged, this, &Desktop::changed);
    connect(application, &QGuiApplication::screenAdded, this, [this](QScreen* screen) {
        watch(screen);
        changed();
    });
    connect(application, &QGuiApplication::screenRemoved, this, &Desktop::changed);
}

void Desktop::watch(QScreen* screen)
{
    connect(screen, &QScreen::geometryChanged, this, &Desktop::changed);
    connect(screen, &QScreen::availableGeometryChanged, this, &Desktop::changed);
}

void Desktop::changed()
{
    ++generation_;
    if (monitorsChanged_)
        monitorsChanged_();
}

QRect Desktop::workArea() const
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? screen->availableGeometry() : QRect();
}

QSize Desktop::workAreaSize() const { return workArea().size(); }

QPoint Desktop::place(QPoint model, QSize size, std::uint64_t& placedIn) const
{
    const QRect area = workArea();
    const QPoint at = area.topLeft() + model;
    const bool firstSinceChange = placedIn != generation_;
    placedIn = generation_;
    if (!firstSinceChange || area.isEmpty() || shownByAnyMonitor(QRect(at, size)))
        return at;
    return clampedInto(at, size, area);
}

QPoint Desktop::keptInside(QPoint at, QSize size) const
{
    const QRect area = workArea();
    return area.isEmpty() ? at : clampedInto(at, size, area);
}

QPoint Desktop::withinReach(QPoint at, QSize size) const
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen)
        return at;
    const QRect desktop = screen->virtualGeometry();
    return {std::clamp(at.x(), desktop.left() - size.width(), desktop.right() + 1),
            std::clamp(at.y(), desktop.top() - size.height(), desktop.bottom() + 1)};
}

void Desktop::centre(QWidget& window) const
{
    const QRect area = workArea();
    if (area.isEmpty())
        return;
    QRect frame = window.frameGeometry();
    frame.moveCenter(area.center());
    window.move(frame.topLeft());
}

} // namespace platform
