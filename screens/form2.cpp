#include "screens/form2.h"

namespace orvanta {

using namespace platform;

Form2::Form2() : Form("Form2", 4560, 3015)
{
    Caption = "About";
    startUpPosition = StartUpPosition::CenterScreen;
    BackColor = colours::buttonFace;
    icon = FormIcon::Information;

    Label1.font = Font::of("Times New Roman", 12);
    Label2.Caption = "Orvanta Basketball: knock the ball about your desktop with the mouse "
                     "and drop it through the hoop before the time runs out.";
    Label3.Caption = "Free to play and to share. Have fun!";
    Shape1.BorderWidth = 5;
    Shape1.BorderColor = colours::black;
    Command1.ToolTipText = "Close";

    Command1.onClick = [this] { Command1_Click(); };
}

void Form2::Command1_Click() { Hide(); }

} // namespace orvanta
