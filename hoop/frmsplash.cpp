#include "hoop/frmsplash.h"

namespace orvanta {

using namespace platform;

namespace {
constexpr Colour darkRed = rgb(192, 0, 0);
constexpr Colour brightRed = rgb(255, 0, 0);

void defineTitle(Label& title, Colour colour)
{
    title.alignment = Alignment::Center;
    title.backStyle = BackStyle::Transparent;
    title.font = Font::of("Rockwell Extra Bold", 14.25F, 800);
    title.ForeColor = colour;
}

void defineRimPiece(Shape& piece)
{
    piece.backStyle = BackStyle::Opaque;
    piece.BackColor = brightRed;
}
} // namespace

frmSplash::frmSplash() : Form("frmSplash", 3135, 1695)
{
    Caption = "Orvanta Basketball";
    Left = 6285;
    Top = 4920;
    BackColor = colours::black;
    picture = Picture::load("hoop-back.png");

    defineTitle(Label1, darkRed);
    defineTitle(Label2, colours::black);
    Image2.picture = Picture::load("arrow-dark.png");
    Image1.picture = Picture::load("arrow-bright.png");
    defineRimPiece(Shape1);
    defineRimPiece(Shape2);
    Shape4.BorderColor = colours::black;
    Shape4.BorderWidth = 3;
    Shape3.backStyle = BackStyle::Opaque;

    Timer1.onTimer = [this] { Timer1_Timer(); };
    Timer2.onTimer = [this] { Timer2_Timer(); };
}

// The title goes between dark and bright red; the arrow blinks the other way.
void frmSplash::Timer2_Timer()
{
    if (Label1.ForeColor == darkRed) {
        Label1.ForeColor = brightRed;
        Image1.Visible = false;
        Image2.Visible = true;
    } else {
        Label1.ForeColor = darkRed;
        Image1.Visible = true;
        Image2.Visible = false;
    }
}

} // namespace orvanta
