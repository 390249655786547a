#include "program/play.h"

#include "ball/clock.h"
#include "board/form1.h"
#include "hoop/frmsplash.h"
#include "platform/program.h"

namespace orvanta {

bool isPlayTimer(const platform::Timer& timer)
{
    const platform::Program& program = platform::Program::current();
    const clock* ball = program.find<clock>();
    const frmSplash* hoop = program.find<frmSplash>();
    const Form1* board = program.find<Form1>();
    return (ball && (&timer == &ball->Timer1 || &timer == &ball->Timer3)) ||
           (hoop && &timer == &hoop->Timer1) || (board && &timer.form() == board);
}

} // namespace orvanta
