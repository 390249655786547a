#include "board/form1.h"

#include "ball/clock.h"
#include "core/modafs.h"
#include "core/windows.h"
#include "hoop/frmsplash.h"
#include "platform/screen.h"

namespace orvanta {

using namespace platform;

namespace {
void defineScoreLabel(Label& label, float points)
{
    label.BackColor = colours::black;
    label.ForeColor = colours::white;
    label.borderStyle = BorderStyle::FixedSingle;
    label.alignment = Alignment::Center;
    label.font = Font::of("Rockwell Extra Bold", points, 800);
}
} // namespace

Form1::Form1() : Form("Form1", 4215, 1335)
{
    Caption = "Score Board";
    startUpPosition = StartUpPosition::CenterScreen;
    picture = Picture::load("wood.png");

    Label3.BackColor = colours::white;
    Label3.ForeColor = rgb(192, 0, 0);
    Label3.borderStyle = BorderStyle::FixedSingle;
    Label3.alignment = Alignment::Center;
    Label3.font = Font::of("Rockwell Extra Bold", 12, 800);
    Shape1.BorderColor = colours::black;
    Shape1.BorderWidth = 5;
    defineScoreLabel(Label1, 15.75F);
    defineScoreLabel(Label2, 12);
    defineScoreLabel(Lblscore, 24);

    Timer1.onTimer = [this] { Timer1_Timer(); };
    Timer2.onTimer = [this] { Timer2_Timer(); };
}

// Docks the board in the bottom-left corner and puts the hoop at the top centre: an
// eighth of the screen's width down, not of its height.
void Form1::Form_Load()
{
    Label2.Caption = AFS().PlayerName;
    Left = 0;
    Top = Screen.Height - Height;
    frmSplash& hoop = window<frmSplash>();
    hoop.Left = Screen.Width / 2 - hoop.Width / 2;
    hoop.Top = Screen.Width / 8;
}

// While the ball overlaps the board, both speeds change sign on every tick.
void Form1::Timer1_Timer()
{
    modAFS& afs = AFS();
    clock& ball = window<clock>();
    if (ball.Left < Width && ball.Top + ball.Height > Top)
        afs.BallSpeedY = -afs.BallSpeedY;
    if (Top - ball.Height < ball.Top && Left + Width > ball.Left)
        afs.BallSpeedX = -afs.BallSpeedX;
}

} // namespace orvanta
