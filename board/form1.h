#pragma once

#include "platform/control.h"
#include "platform/form.h"
#include "platform/timer.h"

namespace orvanta {

// The score board: a wooden board in the bottom-left corner with the player's name, the
// score and the seconds left. The ball bounces off it; its slow timer is the game clock.
class Form1 : public platform::Form {
public:
    Form1();

    platform::Label Label3{*this, "Label3", 240, 120, 1935, 375, "Score Board"};
    platform::Shape Shape1{*this, "Shape1", platform::ShapeKind::Rectangle, 0, 0, 4215, 1335};
    platform::Label Label1{*this, "Label1", 2760, 120, 1215, 375};        // seconds left
    platform::Label Label2{*this, "Label2", 240, 600, 1815, 615, "Home"}; // player's name
    platform::Label Lblscore{*this, "Lblscore", 2760, 600, 1215, 615, "0 "};
    platform::Timer Timer1{*this, "Timer1", 10, true};   // the bounce
    platform::Timer Timer2{*this, "Timer2", 1000, true}; // the game clock

    void Form_Load() override;
    void Timer1_Timer();
    void Timer2_Timer();
};

} // namespace orvanta
