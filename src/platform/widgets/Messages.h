#pragma once
// The few window messages the suite sends to its own controls with Perform.

#include <cstdint>

struct TMessage {
    unsigned Msg = 0;
    uintptr_t WParam = 0;
    intptr_t LParam = 0;
    intptr_t Result = 0;
};

#if defined(_WIN32)
#include <windows.h>
#else
// Moves the focus within a form: LParam 0 and WParam 0 to the next control in
// tab order, WParam not 0 to the previous one.
constexpr unsigned WM_NEXTDLGCTL = 40;
#endif
