#include "screens/frmloading.h"

#include "core/windows.h"
#include "screens/frmsplash1.h"

namespace orvanta {

using namespace platform;

frmloading::frmloading() : Form("frmloading", 4950, 3270)
{
    Caption = "Form Loading";
    startUpPosition = StartUpPosition::CenterScreen;
    picture = Picture::load("loading.png");

    ball.picture = Picture::load("ball-white.png");
    Label1.backStyle = BackStyle::Transparent;
    Shape1.BorderWidth = 5;
    Shape1.BorderColor = colours::black;
    logo(0).backStyle = BackStyle::Transparent;
    logo(0).ForeColor = rgb(192, 0, 0);
    logo(0).font = Font::of("Monotype Corsiva", 90, 700, true);
    logo(2).backStyle = BackStyle::Transparent;
    logo(2).font = Font::of("Showcard Gothic", 24, 700);
    logo(3).backStyle = BackStyle::Transparent;

    Timer1.onTimer = [this] { Timer1_Timer(); };
}

void frmloading::Form_Load() { LoadTicks = -1; }

// The first tick takes the count from -1 to 0: the ninth tick, 4.5 s after the load, is
// the first to find it above 7.
void frmloading::Timer1_Timer()
{
    LoadTicks = LoadTicks + 1;
    if (LoadTicks > 7)
        handOver();
}

// Only a click on the window's own surface comes here: the labels and the picture
// swallow theirs.
void frmloading::Form_Click() { handOver(); }

void frmloading::handOver()
{
    window<frmSplash1>().Show();
    Timer1.Enabled = false;
    Hide();
}

} // namespace orvanta
