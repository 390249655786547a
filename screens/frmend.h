#pragma once

#include "core/integer.h"
#include "platform/control.h"
#include "platform/control_array.h"
#include "platform/form.h"
#include "platform/timer.h"

namespace orvanta {

// The end screen: name, length, baskets and the rate of scoring, with a ball picture
// bouncing in its corner. It keeps the ball window hidden on every tick.
class frmend : public platform::Form {
public:
    frmend();

    // Front to back; the text boxes and buttons always lie above the rest.
    platform::CommandButton Command2{*this, "Command2", 2400, 2520, 1215, 375, "Exit"};
    platform::CommandButton Command1{*this, "Command1", 480, 2520, 1335, 375, "About"};
    platform::TextBox Text3{*this, "Text3", 1200, 1320, 1215, 375}; // baskets
    platform::TextBox Text2{*this, "Text2", 1200, 840, 2655, 375};  // seconds
    platform::TextBox Text1{*this, "Text1", 1200, 240, 3255, 495};  // player
    platform::Shape Shape1{*this, "Shape1", platform::ShapeKind::Rectangle, 10, 30, 6350, 3190};
    platform::Image ball{*this, "ball", 5040, 2040, 960, 960};
    platform::Label Label2{*this, "Label2", 480, 1800, 3135, 375}; // the rate
    platform::Label Label1_2{*this, "Label1(2)", 240, 1320, 735, 375, "Baskets"};
    platform::Label Label1_1{*this, "Label1(1)", 240, 840, 735, 375, "Seconds"};
    platform::Label Label1_0{*this, "Label1(0)", 240, 240, 735, 375, "Player"};
    platform::ControlArray<platform::Label> Label1{{0, &Label1_0}, {1, &Label1_1}, {2, &Label1_2}};
    platform::Timer Timer1{*this, "Timer1", 10, true};

    Integer BounceStep; // the picture's step per tick, twips, positive down

    void Form_Load() override;
    void Timer1_Timer();
    void Command1_Click(); // About
    void Command2_Click(); // Exit
};

} // namespace orvanta
