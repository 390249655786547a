#include "platform/keyboard.h"

#include <cctype>

namespace platform {

KeyPress KeyPress::ofAscii(int keyAscii)
{
    KeyPress press;
    press.keyAscii = keyAscii;
    switch (keyAscii) {
    case 8: press.key = Key::Backspace; break;
    case 9: press.key = Key::Tab; break;
    case 13: press.key = Key::Return; break;
    case 27: press.key = Key::Escape; break;
    default: press.key = keyAscii >= 32 ? Key::Character : Key::Other; break;
    }
    if (keyAscii < 128 && std::isalpha(keyAscii))
        press.letter = static_cast<char>(std::toupper(keyAscii));
    return press;
}

KeyPress KeyPress::accessKey(char letter)
{
    KeyPress press = ofAscii(static_cast<unsigned char>(letter));
    press.shift = 4;
    return press;
}

} // namespace platform
