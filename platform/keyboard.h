#pragma once

namespace platform {

// The keys the toolkit tells apart. A key that types a character is a Character;
// Navigation is any other key that moves within a control (Home, End, Page Up, Delete...).
enum class Key {
    Character,
    Return,
    Escape,
    Tab,
    Backspace,
    Up,
    Down,
    Left,
    Right,
    Navigation,
    Other
};

// A key press as a backend hands it to the model.
struct KeyPress {
    Key key = Key::Other;
    int keyAscii = 0; // the character code the key gives the form (Return 13, Escape 27), or 0
    int shift = 0;    // as the mouse handlers get it: 1 Shift, 2 Ctrl, 4 Alt
    char letter = 0;  // 'A' to 'Z' for a letter key, whatever the modifiers; else 0

    static KeyPress ofAscii(int keyAscii);
    static KeyPress accessKey(char letter);
};

// What the model made of a key press.
enum class KeyRoute {
    Taken,     // the model acted on it (or deliberately ignored it): the backend drops it
    ToControl, // it edits or moves within the focused control: the control's editor has it
};

} // namespace platform
