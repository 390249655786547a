#pragma once

#include "platform/control.h"
#include "platform/control_array.h"
#include "platform/form.h"

namespace orvanta {

// The entry screen: the player's name and the game's length, then the game.
class frmSplash1 : public platform::Form {
public:
    frmSplash1();

    // Front to back; the list, the text box and the buttons always lie above the rest.
    platform::ComboBox Combo1{*this, "Combo1", 3240, 3480, 1215, 315};
    platform::CommandButton Command2{*this, "Command2", 840, 4320, 1935, 615, "Exit"};
    platform::TextBox text1{*this, "text1", 3240, 2760, 2895, 495};
    platform::CommandButton Command1{*this, "Command1", 4440, 4320, 1935, 615, "Continue"};
    platform::Line Line1{*this, "Line1", 1320, 1680, 6480, 1680};
    platform::Image ball{*this, "ball", 5400, 600, 960, 960};
    platform::Line Line2{*this, "Line2", 720, 2640, 6720, 2640};
    platform::Label hello_0{*this, "hello(0)", 1800, 360, 3540, 1155, "Orvanta"};
    platform::Label Label5{*this, "Label5", 0, 3360, 2535, 495, "&Minutes"};
    platform::Label Label3{*this, "Label3", 240, 2760, 2535, 495, "&Player Name"};
    platform::Label Label2{*this, "Label2", 0, 1560, 7455, 1335, "Basketball"};
    platform::ControlArray<platform::Label> hello{{0, &hello_0}};

    void Form_Load() override;
    void Command1_Click(); // Continue
    void Command2_Click(); // Exit
};

} // namespace orvanta
