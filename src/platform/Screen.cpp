#include "platform/Screen.h"

namespace {
int gCursor = crDefault;
std::function<void(int)> gHandler;
} // namespace

void SetScreenCursor(int cursor) {
    if (cursor == gCursor) return;
    gCursor = cursor;
    if (gHandler) gHandler(cursor);
}

int ScreenCursor() { return gCursor; }

void SetScreenCursorHandler(std::function<void(int)> handler) { gHandler = std::move(handler); }
