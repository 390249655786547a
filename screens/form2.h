#pragma once

#include "platform/control.h"
#include "platform/form.h"

namespace orvanta {

// The About window.
class Form2 : public platform::Form {
public:
    Form2();

    platform::Label Label1{*this, "Label1", 480, 360, 1695, 375, "About this game:"};
    platform::Label Label2{*this, "Label2", 480, 960, 3495, 1095}; // credits
    platform::Label Label3{*this, "Label3", 480, 2160, 2055, 615}; // notice
    platform::Shape Shape1{*this, "Shape1", platform::ShapeKind::Rectangle, 0, 0, 4555, 3015};
    platform::CommandButton Command1{*this, "Command1", 3120, 2400, 975, 375, "Close"};

    void Command1_Click();
};

} // namespace orvanta
