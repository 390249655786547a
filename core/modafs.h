#pragma once

// The game core module: the state that several windows share, the shaping of the ball
// window, the exit question and the end of the program.

#include "core/integer.h"
#include "platform/colour.h"
#include "platform/gdi.h"
#include "platform/program.h"

#include <string>

namespace platform {
class Form;
}

namespace orvanta {

// All zero or empty when the program starts, and never reset: one run plays one game.
struct modAFS {
    Integer BallSpeedX;  // twips per move tick, positive to the right
    Integer BallSpeedY;  // twips per move tick, positive downwards
    Integer BasketCount; // baskets counted
    Integer SecondsLeft; // whole seconds of play left
    std::string PlayerName;
    platform::RegionHandle ShapeRegion = 0; // the ball window's region while it is cut
    platform::RegionHandle PixelRegion = 0; // the pixel being cut away from it
};

// The module of this run.
inline modAFS& AFS() { return platform::Program::current().single<modAFS>(); }

// Cuts a window to the pixels of its drawing surface that are not the key colour.
void MakeTransparent(platform::Form& window, platform::Colour keyColour);

// Asks whether to exit with the given prompt; Yes ends the program, No changes nothing.
void ConfirmExit(const std::string& prompt);

// Ends the program at once: no further handler runs.
[[noreturn]] void EndProgram();

} // namespace orvanta
