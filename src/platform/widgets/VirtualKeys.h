#pragma once
// Keys as the handlers see them: virtual-key codes and the shift set. Qt's key
// events are translated here before any handler runs, so that a handler
// compares Key with 113 for F2 whatever the keyboard layout of the machine.

#include <QtCore/qnamespace.h>

#include <cstdint>

// The shift set: bits 0, 1 and 2 are Shift, Alt and Ctrl; the mouse buttons
// and the double-click flag follow.
using TShiftState = unsigned;
enum : TShiftState {
    ssShift = 1u << 0,
    ssAlt = 1u << 1,
    ssCtrl = 1u << 2,
    ssLeft = 1u << 3,
    ssRight = 1u << 4,
    ssMiddle = 1u << 5,
    ssDouble = 1u << 6,
};

#if defined(_WIN32)
#include <windows.h> // the same codes under the same names
#else
enum : uint16_t {
    VK_BACK = 8,
    VK_TAB = 9,
    VK_RETURN = 13,
    VK_SHIFT = 16,
    VK_CONTROL = 17,
    VK_MENU = 18,
    VK_PAUSE = 19,
    VK_CAPITAL = 20,
    VK_ESCAPE = 27,
    VK_SPACE = 32,
    VK_PRIOR = 33,
    VK_NEXT = 34,
    VK_END = 35,
    VK_HOME = 36,
    VK_LEFT = 37,
    VK_UP = 38,
    VK_RIGHT = 39,
    VK_DOWN = 40,
    VK_SNAPSHOT = 44,
    VK_INSERT = 45,
    VK_DELETE = 46,
    VK_LWIN = 91,
    VK_APPS = 93,
    VK_NUMPAD0 = 96,
    VK_MULTIPLY = 106,
    VK_ADD = 107,
    VK_SUBTRACT = 109,
    VK_DECIMAL = 110,
    VK_DIVIDE = 111,
    VK_F1 = 112,
    VK_F2 = 113,
    VK_F3 = 114,
    VK_F4 = 115,
    VK_F5 = 116,
    VK_F6 = 117,
    VK_F7 = 118,
    VK_F8 = 119,
    VK_F9 = 120,
    VK_F10 = 121,
    VK_F11 = 122,
    VK_F12 = 123,
    VK_NUMLOCK = 144,
    VK_SCROLL = 145,
    VK_OEM_1 = 186,      // ;:
    VK_OEM_PLUS = 187,   // =+
    VK_OEM_COMMA = 188,  // ,<
    VK_OEM_MINUS = 189,  // -_
    VK_OEM_PERIOD = 190, // .>
    VK_OEM_2 = 191,      // /?
    VK_OEM_3 = 192,      // `~
    VK_OEM_4 = 219,      // [{
    VK_OEM_5 = 220,      // \|
    VK_OEM_6 = 221,      // ]}
    VK_OEM_7 = 222,      // '"
};
#endif

// The virtual-key code of a Qt key, 0 for a key that has none. Letters give
// their capital's code whatever the case; keys of the numeric keypad
// (Qt::KeypadModifier) give the keypad codes. Punctuation is coded by its
// place on a US keyboard, shifted or not, so Ctrl+' is 222.
uint16_t VirtualKeyFromQt(int qtKey, Qt::KeyboardModifiers modifiers);

// The shift set of Qt's modifiers and mouse buttons. Double clicks are added
// by the mouse handling that sees them.
TShiftState ShiftStateFromQt(Qt::KeyboardModifiers modifiers,
                             Qt::MouseButtons buttons = Qt::NoButton);
