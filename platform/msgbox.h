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
constexpr int yes = 6;
constexpr int no = 7;
} // namespace msgbox

// A modal message box, shown from inside the handler that needs it; other windows'
// timers keep ticking while it is open. Returns the button's result code.
int MsgBox(const std::string& prompt, int style = msgbox::okOnly, const std::string& title = {});

// The system beep: the platform's own, never waited for.
void Beep();

} // namespace platform
