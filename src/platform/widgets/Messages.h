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
// Ends a mode the mouse started (a drag under way), as when another window
// takes the mouse.
constexpr unsigned WM_CANCELMODE = 0x001F;
// A scroll bar of the control: WParam one of the SB_ codes below.
// The thumb position of SB_THUMBPOSITION and SB_THUMBTRACK travels in LParam
// whole, not in the high word of WParam, so that a position above 65535
// arrives as it is.
constexpr unsigned WM_HSCROLL = 0x0114;
constexpr unsigned WM_VSCROLL = 0x0115;
constexpr unsigned SB_LINEUP = 0, SB_LINELEFT = 0;
constexpr unsigned SB_LINEDOWN = 1, SB_LINERIGHT = 1;
constexpr unsigned SB_PAGEUP = 2, SB_PAGELEFT = 2;
constexpr unsigned SB_PAGEDOWN = 3, SB_PAGERIGHT = 3;
constexpr unsigned SB_THUMBPOSITION = 4;
constexpr unsigned SB_THUMBTRACK = 5;
constexpr unsigned SB_TOP = 6, SB_LEFT = 6;
constexpr unsigned SB_BOTTOM = 7, SB_RIGHT = 7;
constexpr unsigned SB_ENDSCROLL = 8;
#endif
