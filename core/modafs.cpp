#include "core/modafs.h"

#include "platform/form.h"
#include "platform/msgbox.h"

namespace orvanta {

using namespace platform;

void MakeTransparent(Form& window, Colour keyColour)
{
    modAFS& afs = AFS();
    const int W = window.pixelWidth();
    const int H = window.pixelHeight();
    afs.ShapeRegion = CreateRectRgn(0, 0, W, H);
    // Both bounds inclusive: the scan also visits one column and one row just outside the
    // surface, where GetPixel matches no colour.
    for (int y = 0; y <= H; ++y) {
        for (int x = 0; x <= W; ++x) {
            const Colour c = GetPixel(hDC(window), x, y);
            if (c == keyColour) {
                afs.PixelRegion = CreateRectRgn(x, y, x + 1, y + 1);
                CombineRgn(afs.ShapeRegion, afs.ShapeRegion, afs.PixelRegion, RGN_DIFF);
                DeleteObject(afs.PixelRegion);
            }
        }
    }
    SetWindowRgn(window, afs.ShapeRegion, true);
}

void ConfirmExit(const std::string& prompt)
{
    const int answer =
        MsgBox(prompt, msgbox::yesNo + msgbox::exclamation + msgbox::defaultButton2, "Exit");
    if (answer == msgbox::yes)
        EndProgram();
}

void EndProgram() { Program::current().end(0); }

} // namespace orvanta
