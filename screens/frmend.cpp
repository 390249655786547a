#include "screens/frmend.h"

#include "ball/clock.h"
#include "core/modafs.h"
#include "core/number_text.h"
#include "core/windows.h"
#include "screens/form2.h"
#include "screens/frmsplash1.h"

namespace orvanta {

using namespace platform;

frmend::frmend() : Form("frmend", 6360, 3240)
{
    Caption = "The End";
    Left = 3825;
    Top = 3135;
    BackColor = colours::white;

    Command2.TabIndex = 8;
    Command2.ToolTipText = "Exit Orvanta Basketball";
    Command1.TabIndex = 7;
    Command1.ToolTipText = "About";
    for (TextBox* box : {&Text1, &Text2, &Text3})
        box->Locked = true;
    Text1.TabIndex = 0;
    Text2.TabIndex = 1;
    Text3.TabIndex = 2;
    Shape1.BorderWidth = 4;
    ball.picture = Picture::load("ball-white.png");
    Label2.borderStyle = BorderStyle::FixedSingle;
    Label2.alignment = Alignment::Center;
    Label2.backStyle = BackStyle::Transparent;
    for (int i = 0; i <= 2; ++i)
        Label1(i).backStyle = BackStyle::Transparent;

    Timer1.onTimer = [this] { Timer1_Timer(); };
    Command1.onClick = [this] { Command1_Click(); };
    Command2.onClick = [this] { Command2_Click(); };
}

// The name and the length come back from the hidden entry screen.
void frmend::Form_Load()
{
    frmSplash1& entry = window<frmSplash1>();
    BounceStep = 10;
    Text1.Text = entry.text1.Text;
    Text2.Text = numberText(numericValue(entry.Combo1.Text()) * 60);
    Text3.Text = numberText(AFS().BasketCount.value());
    const double seconds = numericValue(Text2.Text);
    const double baskets = numericValue(Text3.Text);
    if (seconds > 0 && baskets > 0)
        Label2.Caption = "1 basket every " + numberText(seconds / baskets) + " seconds";
}

// The picture falls faster by 10 twips a tick and is thrown back up past 2400.
void frmend::Timer1_Timer()
{
    window<clock>().Hide();
    BounceStep = BounceStep + 10;
    ball.Top = ball.Top + BounceStep.value();
    if (ball.Top > 2400)
        BounceStep = -200;
}

void frmend::Command1_Click() { window<Form2>().Show(); }

void frmend::Command2_Click() { ConfirmExit("Are you sure you want to Exit?"); }

} // namespace orvanta
