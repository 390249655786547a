#include "screens/frmsplash1.h"

#include "ball/clock.h"
#include "core/modafs.h"
#include "core/number_text.h"
#include "core/windows.h"
#include "platform/msgbox.h"

namespace orvanta {

using namespace platform;

namespace {
void defineCaption(Label& label, Font font, Alignment alignment = Alignment::Left)
{
    label.backStyle = BackStyle::Transparent;
    label.font = std::move(font);
    label.alignment = alignment;
}
} // namespace

frmSplash1::frmSplash1() : Form("frmSplash1", 7455, 5850)
{
    Caption = "Orvanta Basketball";
    border = FormBorder::FixedDialog;
    startUpPosition = StartUpPosition::CenterScreen;
    BackColor = rgb(0, 128, 0);
    picture = Picture::load("white.png");

    Combo1.TabIndex = 5;
    Combo1.ToolTipText = "Game Length";
    Command2.TabIndex = 4;
    Command2.ToolTipText = "Exit Orvanta Basketball";
    text1.TabIndex = 2;
    text1.ToolTipText = "Enter your name";
    text1.MaxLength = 10;
    text1.font = Font::of("Ravie", 18);
    Command1.TabIndex = 1;
    Command1.ToolTipText = "Continue";
    Line1.BorderWidth = 3;
    Line2.BorderWidth = 3;
    ball.picture = Picture::load("ball-white.png");
    defineCaption(hello(0), Font::of("Monotype Corsiva", 48, 700, true), Alignment::Center);
    hello(0).ForeColor = colours::black;
    defineCaption(Label5, Font::of("MS Sans Serif", 18, 700));
    defineCaption(Label3, Font::of("MS Sans Serif", 18, 700));
    defineCaption(Label2, Font::of("Showcard Gothic", 48, 700, false, true), Alignment::Center);
    Label2.ForeColor = rgb(192, 0, 0);
    // Each access key goes to the control its label names: the name box and the list.
    Label3.accessKeyTarget = &text1;
    Label5.accessKeyTarget = &Combo1;

    Command1.onClick = [this] { Command1_Click(); };
    Command2.onClick = [this] { Command2_Click(); };
}

void frmSplash1::Form_Load()
{
    for (int i = 1; i <= 10; ++i)
        Combo1.AddItem(numberText(i));
}

void frmSplash1::Command1_Click()
{
    if (text1.Text.get().empty()) { // a name of blanks passes
        MsgBox("Enter your player name!", msgbox::information, "Name please!");
        return;
    }
    if (Combo1.Text().empty()) {
        MsgBox("Choose your game length!", msgbox::information, "Games Length please!");
        return;
    }
    MsgBox("Bounce the ball using the mouse. Score through the hoop. To exit Press the 'ESC' "
           "Button",
           msgbox::information, "Game Play");
    modAFS& afs = AFS();
    afs.SecondsLeft = Integer::fromReal(numericValue(Combo1.Text()) * 60);
    afs.PlayerName = text1.Text;
    Hide();
    // Loading the ball runs the whole game inside this call.
    window<clock>().Show();
}

void frmSplash1::Command2_Click() { ConfirmExit("Are you sure you want to Exit?"); }

} // namespace orvanta
