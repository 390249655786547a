#include "ball/clock.h"
#include "board/form1.h"
#include "core/modafs.h"
#include "core/number_text.h"
#include "core/windows.h"
#include "hoop/frmsplash.h"
#include "platform/msgbox.h"

namespace orvanta {

float frmSplash::HL() const { return Left; }
float frmSplash::HT() const { return Top; }
float frmSplash::HR() const { return HL() + Width; }
float frmSplash::HB() const { return HT() + Height; }
float frmSplash::S1L() const { return HL() + Shape1.Left; }
float frmSplash::S1T() const { return HT() + Shape1.Top; }
float frmSplash::S1R() const { return S1L() + Shape1.Width; }
float frmSplash::S1B() const { return S1T() + Shape1.Height; }
float frmSplash::S2L() const { return HL() + Shape2.Left; }
float frmSplash::S2T() const { return HT() + Shape2.Top; }
float frmSplash::S2R() const { return S2L() + Shape2.Width; }
float frmSplash::S2B() const { return S2T() + Shape2.Height; }

// The rim: nine rules in order, every test strict, every edge read at its test, so that
// a later rule sees what an earlier one did to the ball in the same tick.
void frmSplash::Timer1_Timer()
{
    modAFS& afs = AFS();
    clock& ball = window<clock>();
    const auto BL = [&] { return ball.Left.get(); };
    const auto BT = [&] { return ball.Top.get(); };
    const auto BR = [&] { return BL() + ball.Width; };
    const auto BB = [&] { return BT() + ball.Height; };

    // 1. Basket: falling between the pieces with its top edge inside the rim band.
    if (!InHoop && S1R() < BL() && afs.BallSpeedY > 0 && S2L() > BR() && S1T() < BT() &&
        S1B() > BT()) {
        platform::Label& score = window<Form1>().Lblscore;
        score.Caption = numberText(numericValue(score.Caption) + 1);
        InHoop = true;
        platform::Beep();
        afs.BallSpeedX = 0;
        ball.Top = HB(); // under the rim
        afs.BasketCount = afs.BasketCount + 1;
        if (afs.PlayerName == "qqbonusnow")
            afs.BasketCount = afs.BasketCount + 10;
    }
    // 2. Leaving the hoop: one drop counts once.
    if (HB() < BT())
        InHoop = false;
    // 3. Blocked from below: a rising ball may not pass up through the hoop.
    if (BR() > HL() && HR() > BL() && S1T() < BT() && S1T() + 400 > BT() && afs.BallSpeedY < 0) {
        afs.BallSpeedY = -afs.BallSpeedY;
        ball.Top = HB();
    }
    // 4, 5. Landing on top of a piece: up and away to the left.
    if (S1T() < BB() && S1T() + 200 > BB() && S1L() < BR() && S1R() > BL()) {
        afs.BallSpeedY = -50;
        afs.BallSpeedX = -(afs.BallSpeedX + 30);
        ball.Top = HT() + Shape1.Top - ball.Height;
    }
    if (S2T() < BB() && S2T() + 200 > BB() && S2L() < BR() && S2R() > BL()) {
        afs.BallSpeedY = -50;
        afs.BallSpeedX = -(afs.BallSpeedX + 30);
        ball.Top = HT() + Shape2.Top - ball.Height;
    }
    // 6 to 9. Striking the side of a piece, in the band of the right piece.
    const auto inRimBand = [&] { return S2T() < BB() && S2B() > BT(); };
    if (inRimBand() && S1L() < BR() && S1L() + 100 > BR()) // left piece, outer side
        afs.BallSpeedX = -afs.BallSpeedX;
    if (inRimBand() && S2R() < BL() && S2R() + 100 > BL()) // right piece, outer side
        afs.BallSpeedX = -afs.BallSpeedX;
    if (inRimBand() && S1R() > BL() && S1R() - 100 < BL()) // left piece, inner side
        afs.BallSpeedX = -afs.BallSpeedX;
    if (inRimBand() && S2L() < BR() && S2L() + 200 > BR()) // right piece, inner side
        afs.BallSpeedX = -afs.BallSpeedX;
}

} // namespace orvanta
