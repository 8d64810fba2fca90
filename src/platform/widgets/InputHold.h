#pragma once
// TInputHold: a look into the input waiting for the program, without taking
// anything out of it. While a hold lives, the user's input meant for the
// program's windows (keys, mouse buttons and moves, the wheel, context menu
// requests) is held back instead of handled; when the hold ends, what it held
// is handed on in its order, as if it had only now arrived. Nothing else is
// held: paints and timers go on.
//
// KeyPressWaiting fetches what the window system has queued since the last
// look and says whether a press of a key waits for a window. Fetching costs a
// turn of the event loop, so a caller that looks often (once per record of a
// long search) is answered from the last fetch until 20 milliseconds have
// passed. The first look always fetches.
//
// A long operation on the user-interface thread uses it to stop when the
// user presses Esc while the key stays in line for whoever handles it next.

#include <cstdint>
#include <memory>

class QWidget;
class InputHoldFilter;

class TInputHold {
public:
    TInputHold();
    ~TInputHold();
    TInputHold(const TInputHold&) = delete;
    TInputHold& operator=(const TInputHold&) = delete;

    // key: a virtual-key code (VirtualKeys.h). window: the window the key
    // must be meant for (any widget of it).
    bool KeyPressWaiting(const QWidget* window, uint16_t key);

private:
    std::unique_ptr<InputHoldFilter> FFilter;
    unsigned FLooks = 0;
    int64_t FLastFetch = 0; // steady clock, milliseconds
};
