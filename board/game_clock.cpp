#include "ball/clock.h"
#include "board/form1.h"
#include "core/modafs.h"
#include "core/number_text.h"
#include "core/windows.h"
#include "hoop/frmsplash.h"
#include "platform/msgbox.h"
#include "screens/frmend.h"

namespace orvanta {

using namespace platform;

// Once a second: the test comes before the decrement, so a game of N seconds shows N - 1
// first and ends on tick N + 1. The beep follows the label, which reads "0" on the
// game-over tick too: eleven beeps in a game that runs out.
void Form1::Timer2_Timer()
{
    modAFS& afs = AFS();
    if (afs.SecondsLeft <= 0) {
        window<clock>().Hide();
        window<frmSplash>().Hide();
        Hide();
        MsgBox("Times up, lets see how you did!", msgbox::okOnly, "Whats the score?");
        window<frmend>().Show();
        Timer2.Enabled = false;
    } else {
        afs.SecondsLeft = afs.SecondsLeft - 1;
        Label1.Caption = numberText(afs.SecondsLeft.value());
    }
    if (numericValue(Label1.Caption) < 10)
        Beep();
}

} // namespace orvanta
