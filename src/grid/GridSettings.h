#pragma once
// The settings the grid library shares among all grids of the process: the
// keys of the incremental search, the find dialog and the copy from the row
// above, the time-out of a search started by typing, and the colours a
// search shows in. They are set once, when the grid unit starts
// (GridUnit.h); a program that wants others changes them before its first
// grid is made.

#include "platform/widgets/TColor.h"
#include "platform/widgets/VirtualKeys.h"

#include <cstdint>

// A key with the shift keys that must be held with it.
struct TShortCut {
    uint16_t Key = 0;
    TShiftState Shift = 0;

    // Shift, Ctrl and Alt as given, whatever the mouse buttons.
    bool Matches(uint16_t key, TShiftState shift) const {
        constexpr TShiftState keys = ssShift | ssCtrl | ssAlt;
        return Key != 0 && key == Key && (shift & keys) == (Shift & keys);
    }
};

struct TDBGridSettings {
    TShortCut IncSearchKey{'F', ssCtrl};
    TShortCut SearchNextKey{VK_RETURN, ssCtrl};
    TShortCut SearchPriorKey{VK_RETURN, ssCtrl | ssShift};
    // The same key as IncSearchKey: pressed during a search it opens the
    // find dialog.
    TShortCut FindDialogKey{'F', ssCtrl};
    TShortCut CopyFromAboveKey{VK_OEM_7, ssCtrl};
    // Milliseconds; a search started with IncSearchKey has none.
    int IncSearchTimeOut = 1500;
    TColor IncSearchBackColor = clYellow;
    TColor IncSearchTextColor = clBlack;
};

TDBGridSettings& DBGridSettings();
