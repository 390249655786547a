#include "ball/clock.h"
#include "core/modafs.h"

namespace orvanta {

// The ball flies away from the point touched, harder the farther that point lies from
// its centre: a fifth of the distance across, half of it down.
void clock::Image1_MouseMove(int /*Button*/, int /*Shift*/, float X, float Y)
{
    if (HitLock)
        return;
    modAFS& afs = AFS();
    afs.BallSpeedX = Integer::fromReal(-((X - Width / 2.0) / 5));
    afs.BallSpeedY = Integer::fromReal(-((Y - Height / 2.0) / 2));
    tmrhit.Enabled = true;
    HitLock = true;
}

void clock::tmrhit_Timer()
{
    SetFocus(); // so that Escape reaches the ball
    HitLock = false;
    tmrhit.Enabled = false;
}

void clock::Image1_Click() { EndProgram(); }

void clock::Form_KeyPress(int& KeyAscii)
{
    if (KeyAscii == 27)
        ConfirmExit("Are you sure you want to Exit, " + AFS().PlayerName + "?");
}

} // namespace orvanta
