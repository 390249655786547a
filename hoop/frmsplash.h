#pragma once

#include "platform/control.h"
#include "platform/form.h"
#include "platform/timer.h"

namespace orvanta {

// The hoop: a white panel near the top of the screen with a blinking title, two red rim
// pieces and an arrow pointing down into the opening between them.
class frmSplash : public platform::Form {
public:
    frmSplash();

    // Front to back.
    platform::Label Label1{*this, "Label1", 120, 120, 3015, 735, "Orvanta Basketball"};
    platform::Label Label2{*this, "Label2", 120, 120, 3015, 735, "Orvanta Basketball"};
    platform::Image Image2{*this, "Image2", 1200, 960, 465, 540};
    platform::Image Image1{*this, "Image1", 1200, 960, 465, 540};
    platform::Shape Shape1{*this, "Shape1", platform::ShapeKind::Circle, 360, 1080, 255, 255};
    platform::Shape Shape2{*this, "Shape2", platform::ShapeKind::Circle, 2400, 1080, 255, 255};
    platform::Shape Shape4{*this, "Shape4", platform::ShapeKind::Rectangle, 120, 120, 2895, 1455};
    platform::Shape Shape3{*this, "Shape3", platform::ShapeKind::Rectangle, 0, 0, 3135, 1695};
    platform::Timer Timer1{*this, "Timer1", 10, true};  // the rim
    platform::Timer Timer2{*this, "Timer2", 500, true}; // the blink

    bool InHoop = false; // a basket was counted and the ball has not yet left the hoop

    void Timer1_Timer();
    void Timer2_Timer();

private:
    // The edges that the rim rules compare, read afresh at every test.
    float HL() const;
    float HT() const;
    float HR() const;
    float HB() const;
    float S1L() const;
    float S1T() const;
    float S1R() const;
    float S1B() const;
    float S2L() const;
    float S2T() const;
    float S2R() const;
    float S2B() const;
};

} // namespace orvanta
