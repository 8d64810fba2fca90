// Qt keys and modifiers to the suite's virtual-key codes and shift set.

#include "platform/widgets/VirtualKeys.h"

#include <gtest/gtest.h>

TEST(VirtualKeys, QtKeysGiveTheSuitesCodes) {
    struct Case {
        int QtKey;
        Qt::KeyboardModifiers Modifiers;
        uint16_t Code;
    };
    const Case cases[] = {
        {Qt::Key_F1, Qt::NoModifier, 112},
        {Qt::Key_F2, Qt::NoModifier, 113},
        {Qt::Key_F5, Qt::NoModifier, 116},
        {Qt::Key_F12, Qt::NoModifier, 123},
        {Qt::Key_Escape, Qt::NoModifier, 27},
        {Qt::Key_Return, Qt::NoModifier, 13},
        {Qt::Key_Enter, Qt::KeypadModifier, 13},
        {Qt::Key_Tab, Qt::NoModifier, 9},
        {Qt::Key_Backtab, Qt::ShiftModifier, 9},
        {Qt::Key_Backspace, Qt::NoModifier, 8},
        {Qt::Key_Space, Qt::NoModifier, 32},
        {Qt::Key_PageUp, Qt::NoModifier, 33},
        {Qt::Key_PageDown, Qt::NoModifier, 34},
        {Qt::Key_End, Qt::NoModifier, 35},
        {Qt::Key_Home, Qt::NoModifier, 36},
        {Qt::Key_Left, Qt::NoModifier, 37},
        {Qt::Key_Up, Qt::NoModifier, 38},
        {Qt::Key_Right, Qt::NoModifier, 39},
        {Qt::Key_Down, Qt::NoModifier, 40},
        {Qt::Key_Insert, Qt::NoModifier, 45},
        {Qt::Key_Delete, Qt::NoModifier, 46},
        {Qt::Key_Shift, Qt::ShiftModifier, 16},
        {Qt::Key_Control, Qt::ControlModifier, 17},
        {Qt::Key_Alt, Qt::AltModifier, 18},
        {Qt::Key_A, Qt::NoModifier, 65},
        {Qt::Key_A, Qt::ShiftModifier, 65},
        {Qt::Key_F, Qt::ControlModifier, 70},
        {Qt::Key_Z, Qt::NoModifier, 90},
        {Qt::Key_0, Qt::NoModifier, 48},
        {Qt::Key_9, Qt::NoModifier, 57},
        {Qt::Key_Exclam, Qt::ShiftModifier, 49},
        {Qt::Key_Apostrophe, Qt::ControlModifier, 222},
        {Qt::Key_QuoteDbl, Qt::ShiftModifier | Qt::ControlModifier, 222},
        {Qt::Key_Comma, Qt::NoModifier, 188},
        {Qt::Key_Minus, Qt::NoModifier, 189},
        {Qt::Key_Period, Qt::NoModifier, 190},
        {Qt::Key_Ntilde, Qt::NoModifier, 192},
        // The numeric keypad has codes of its own...
        {Qt::Key_0, Qt::KeypadModifier, 96},
        {Qt::Key_7, Qt::KeypadModifier, 103},
        {Qt::Key_Asterisk, Qt::KeypadModifier, 106},
        {Qt::Key_Plus, Qt::KeypadModifier, 107},
        {Qt::Key_Minus, Qt::KeypadModifier, 109},
        {Qt::Key_Period, Qt::KeypadModifier, 110},
        {Qt::Key_Slash, Qt::KeypadModifier, 111},
        // ...but its navigation keys (Num Lock off) are the usual ones.
        {Qt::Key_Home, Qt::KeypadModifier, 36},
        {Qt::Key_unknown, Qt::NoModifier, 0},
        {Qt::Key_VolumeUp, Qt::NoModifier, 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(VirtualKeyFromQt(c.QtKey, c.Modifiers), c.Code)
            << "Qt key 0x" << std::hex << c.QtKey;
}

TEST(VirtualKeys, ShiftSetHasShiftAltCtrlInBitsZeroOneTwo) {
    struct Case {
        Qt::KeyboardModifiers Modifiers;
        Qt::MouseButtons Buttons;
        TShiftState Shift;
    };
    const Case cases[] = {
        {Qt::NoModifier, Qt::NoButton, 0},
        {Qt::ShiftModifier, Qt::NoButton, 1},
        {Qt::AltModifier, Qt::NoButton, 2},
        {Qt::ControlModifier, Qt::NoButton, 4},
        {Qt::ShiftModifier | Qt::ControlModifier, Qt::NoButton, 5},
        {Qt::ShiftModifier | Qt::AltModifier | Qt::ControlModifier, Qt::NoButton, 7},
        // Keypad and meta are not part of the set.
        {Qt::KeypadModifier | Qt::MetaModifier, Qt::NoButton, 0},
        {Qt::NoModifier, Qt::LeftButton, ssLeft},
        {Qt::ShiftModifier, Qt::RightButton | Qt::MiddleButton, ssShift | ssRight | ssMiddle},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ShiftStateFromQt(c.Modifiers, c.Buttons), c.Shift);
    EXPECT_EQ(ssShift, 1u);
    EXPECT_EQ(ssAlt, 2u);
    EXPECT_EQ(ssCtrl, 4u);
}
