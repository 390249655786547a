#pragma once

// What the program takes from outside, one event at a time: its timers' ticks, the
// player's input, the answers to its message boxes, a termination signal and its end. A
// recording keeps exactly these; a listener hears each before the program acts on it.
// Plain C++ with no Qt, so that the replay format can name the same kinds.

#include <cstdint>
#include <string_view>

namespace platform {

enum class EventKind : std::uint8_t {
    Tick,   // a timer of a window: window, item = timer
    Move,   // the pointer over a window: window, x, y, value = buttons, shift
    Click,  // window, x, y
    Key,    // a key with a character for the window: window, value = code
    Access, // Alt and a letter: window, value = the letter
    Close,  // a close request from the window system: window
    Type,   // the text a text box now holds: window, item = box, text
    Pick,   // an item of a list: window, item = list, value = index
    Press,  // a button clicked or pressed with a key: window, item = button
    Answer, // the open message box answered: value = result code
    Signal, // SIGINT or SIGTERM
    Exit,   // the program ended: value = status
};

// One event as the program took it, by the names of what it went to, built as
// TakenEvent::of(EventKind::Move, window).at(x, y).with(buttons, shift).
struct TakenEvent {
    EventKind kind = EventKind::Tick;
    std::string_view window; // the window's class name; empty for Answer, Signal, Exit
    std::string_view item;   // the timer's or control's name, for Tick, Type, Pick, Press
    float x = 0, y = 0;      // twips from the window's top-left corner
    int value = 0;
    int shift = 0;
    std::string_view text; // the typed text

    static TakenEvent of(EventKind kind, std::string_view window = {}, std::string_view item = {})
    {
        TakenEvent event;
        event.kind = kind;
        event.window = window;
        event.item = item;
        return event;
    }
    TakenEvent& at(float atX, float atY)
    {
        x = atX;
        y = atY;
        return *this;
    }
    TakenEvent& with(int eventValue, int shiftKeys = 0)
    {
        value = eventValue;
        shift = shiftKeys;
        return *this;
    }
    TakenEvent& typed(std::string_view typedText)
    {
        text = typedText;
        return *this;
    }
};

class EventListener {
public:
    virtual ~EventListener() = default;
    virtual void took(const TakenEvent& event) = 0;
};

} // namespace platform
