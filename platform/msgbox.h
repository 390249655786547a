#pragma once

#include <string>

namespace platform {

// Message box styles and results, with the platform's values.
namespace msgbox {
constexpr int okOnly = 0;
constexpr int yesNo = 4;
constexpr int critical = 16;
constexpr int exclamation = 48;
constexpr int information = 64;
constexpr int defaultButton2 = 256;

constexpr int ok = 1;
constexpr int cancel = 2;
constexpr int ignore = 5;
constexpr int yes = 6;
constexpr int no = 7;

// The answer of a box closed by the window system rather than by a button (its window
// closed or destroyed from outside): the answer that changes nothing. Cancel where the box
// has it, else the last button (OK, No, Ignore), so the program never waits on a box
// that is gone.
int closeAnswer(int style);
} // namespace msgbox

// A modal message box, shown from inside the handler that needs it; other windows'
// timers keep ticking while it is open. Returns the button's result code.
int MsgBox(const std::string& prompt, int style = msgbox::okOnly, const std::string& title = {});

// The system beep: the platform's own, never waited for.
void Beep();

} // namespace platform
