#include "program/replay_vocabulary.h"

#include "ball/clock.h"
#include "board/form1.h"
#include "hoop/frmsplash.h"
#include "platform/control.h"
#include "platform/timer.h"
#include "screens/form2.h"
#include "screens/frmend.h"
#include "screens/frmloading.h"
#include "screens/frmsplash1.h"

namespace orvanta {

namespace {

using platform::replay::WindowNames;

// Read from a window's own definition, so that the list cannot fall behind it. Windows
// only hold their definition until they load: making one here has no effect on a run.
template <class W>
WindowNames namesOf()
{
    const W window;
    WindowNames names{window.className(), {}, {}, {}, {}};
    for (const platform::Timer* timer : window.timers())
        names.timers.push_back(timer->name());
    for (const platform::Control* control : window.controls()) {
        switch (control->kind()) {
        case platform::ControlKind::TextBox: names.textBoxes.push_back(control->name()); break;
        case platform::ControlKind::ComboBox: names.lists.push_back(control->name()); break;
        case platform::ControlKind::CommandButton: names.buttons.push_back(control->name()); break;
        default: break;
        }
    }
    return names;
}

} // namespace

const platform::replay::Vocabulary& replayVocabulary()
{
    static const platform::replay::Vocabulary vocabulary{
        namesOf<frmloading>(), namesOf<frmSplash1>(), namesOf<clock>(), namesOf<frmSplash>(),
        namesOf<Form1>(),      namesOf<frmend>(),     namesOf<Form2>()};
    return vocabulary;
}

const char* programVersion() { return ORVANTA_VERSION; }

platform::replay::Replay readGameReplay(const std::string& path)
{
    platform::replay::Replay replay = platform::replay::readReplayFile(path, replayVocabulary());
    // Another version may play by other rules: its game would not come out the same.
    if (replay.header.programVersion != programVersion())
        throw platform::replay::ReadError{1, "recorded by version " + replay.header.programVersion +
                                                 " of the program; this is version " +
                                                 programVersion()};
    return replay;
}

} // namespace orvanta
