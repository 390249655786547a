#pragma once

#include "platform/control.h"
#include "platform/form.h"
#include "platform/timer.h"

namespace orvanta {

// The ball: a window cut to the shape of the ball, moved about the screen by its timers,
// knocked away by the pointer. Loading it starts the game.
class clock : public platform::Form {
public:
    clock();

    platform::Image Image1{*this, "Image1", 0, 0, 975, 975}; // catches the pointer over the ball
    platform::Timer Timer1{*this, "Timer1", 10, true};       // move
    platform::Timer Timer3{*this, "Timer3", 10, true};       // floor, gravity, edges
    platform::Timer tmrhit{*this, "tmrhit", 500, true};      // end of the touch cool-down

    bool HitLock = false; // a touch was taken and the cool-down runs

    // Game start.
    void Form_Load() override;
    // Motion.
    void Timer1_Timer();
    void Timer3_Timer();
    // Input.
    void Image1_MouseMove(int Button, int Shift, float X, float Y);
    void tmrhit_Timer();
    void Image1_Click();
    void Form_KeyPress(int& KeyAscii) override;

private:
    float floorLine() const;
    float rightLine() const;
};

} // namespace orvanta
