#pragma once
// The screen cursor as the framework sets it around blocking work. The Qt
// layer installs a handler that shows the cursor; without one only the value
// is kept.

#include <functional>

enum TCursor : int { crDefault = 0, crHourGlass = -11, crSQLWait = -17 };

void SetScreenCursor(int cursor);
int ScreenCursor();
void SetScreenCursorHandler(std::function<void(int)> handler);

// Restores the default cursor when it leaves its scope, whether or not the
// work in between succeeded.
class TBusyCursor {
public:
    explicit TBusyCursor(int cursor = crHourGlass) { SetScreenCursor(cursor); }
    ~TBusyCursor() { SetScreenCursor(crDefault); }
    TBusyCursor(const TBusyCursor&) = delete;
    TBusyCursor& operator=(const TBusyCursor&) = delete;
};
