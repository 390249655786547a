#include "program/play.h"

#include "ball/clock.h"
#include "board/form1.h"
#include "core/modafs.h"
#include "core/number_text.h"
#include "hoop/frmsplash.h"
#include "platform/program.h"
#include "screens/frmsplash1.h"

#include <algorithm>
#include <cmath>

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

bool gameStarted()
{
    const modAFS* afs = platform::Program::current().find<modAFS>();
    return afs && !afs->PlayerName.empty();
}

int basketsCounted()
{
    const modAFS* afs = platform::Program::current().find<modAFS>();
    return afs ? afs->BasketCount.value() : 0;
}

GameProgress gameProgress()
{
    const platform::Program& program = platform::Program::current();
    const modAFS* afs = program.find<modAFS>();
    const frmSplash1* entry = program.find<frmSplash1>();
    if (!afs || afs->PlayerName.empty() || !entry)
        return {};
    const int minutes = static_cast<int>(std::lround(numericValue(entry->Combo1.Text())));
    const int secondsLeft = std::max(0, static_cast<int>(afs->SecondsLeft.value()));
    return {afs->PlayerName, minutes, afs->BasketCount.value(),
            std::max(0, minutes * 60 - secondsLeft)};
}

} // namespace orvanta
