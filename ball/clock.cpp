#include "ball/clock.h"

#include "board/form1.h"
#include "core/modafs.h"
#include "core/windows.h"
#include "hoop/frmsplash.h"

namespace orvanta {

using namespace platform;

clock::clock() : Form("clock", 960, 960)
{
    Caption = "Clock";
    Left = 7185;
    Top = 9255;
    BackColor = colours::magenta;
    picture = Picture::load("ball.png");
    ShowInTaskbar = true;
    keptOnScreen = false; // where the ball starts is the game's, on every screen

    Timer1.onTimer = [this] { Timer1_Timer(); };
    Timer3.onTimer = [this] { Timer3_Timer(); };
    tmrhit.onTimer = [this] { tmrhit_Timer(); };
    Image1.onMouseMove = [this](int button, int shift, float x, float y) {
        Image1_MouseMove(button, shift, x, y);
    };
    Image1.onClick = [this] { Image1_Click(); };
}

// The whole game runs inside the modal show at the end: it returns when the game clock
// hides the ball. No timer can tick before it, so hoop and board are seen first and the
// ball only once it is cut to shape.
void clock::Form_Load()
{
    window<frmSplash>().Show();
    window<Form1>().Show();
    MakeTransparent(*this, rgb(255, 0, 255));
    Show(ShowMode::Modal);
}

} // namespace orvanta
