#include "ball/clock.h"
#include "core/modafs.h"
#include "platform/screen.h"

namespace orvanta {

using platform::Screen;

// The Top at which the ball lies on the bottom of the screen, and the Left at which it
// touches the right edge; each rounded to single precision before it is compared.
float clock::floorLine() const
{
    return static_cast<float>(static_cast<double>(Screen.Height) - Height.get());
}

float clock::rightLine() const
{
    return static_cast<float>(static_cast<double>(Screen.Width) - Width.get());
}

void clock::Timer1_Timer()
{
    modAFS& afs = AFS();
    Left = Left + afs.BallSpeedX.value();
    Top = Top + afs.BallSpeedY.value();
}

void clock::Timer3_Timer()
{
    modAFS& afs = AFS();
    // Each rule reads the position afresh and sees what the rules before it changed.
    if (floorLine() < Top) { // sunk below the bottom: bounce, losing speed
        afs.BallSpeedY = Integer::fromReal(-(afs.BallSpeedY.value() / 1.2));
        Top = Screen.Height - Height;
    }
    if (floorLine() > Top) // above the floor: gravity; exactly on it: none
        afs.BallSpeedY = afs.BallSpeedY + 5;
    if (Left < 0)
        afs.BallSpeedX = 100;
    if (rightLine() < Left)
        afs.BallSpeedX = -100;
}

} // namespace orvanta
