#pragma once

#include "core/integer.h"
#include "platform/control.h"
#include "platform/control_array.h"
#include "platform/form.h"
#include "platform/timer.h"

namespace orvanta {

// The loading screen: the first window of every run. It hands over to the entry screen
// after four and a half seconds, or at once on a click on its background.
class frmloading : public platform::Form {
public:
    frmloading();

    platform::Image ball{*this, "ball", 3840, 120, 960, 960};
    platform::Label Label1{*this, "Label1", 120, 3000, 1575, 255, "Orvanta Game 2023"};
    platform::Shape Shape1{*this, "Shape1", platform::ShapeKind::Rectangle, 0, 0, 4945, 3270};
    platform::Label logo_0{*this, "logo(0)", 1800, -120, 1335, 2295, "O"};
    platform::Label logo_2{*this, "logo(2)", 1800, 2160, 1935, 735, "game"};
    platform::Label logo_3{*this, "logo(3)", 2520, 0, 2535, 375};
    platform::ControlArray<platform::Label> logo{{0, &logo_0}, {2, &logo_2}, {3, &logo_3}};
    platform::Timer Timer1{*this, "Timer1", 500, true};

    Integer LoadTicks;

    void Form_Load() override;
    void Timer1_Timer();
    void Form_Click() override;

private:
    void handOver();
};

} // namespace orvanta
