#pragma once
// The event types of the controls: std::function members named as the event,
// each taking the sender first, answers passed by reference.

#include "platform/Classes.h"
#include "platform/widgets/VirtualKeys.h"

#include <cstdint>
#include <functional>

enum TMouseButton { mbLeft, mbRight, mbMiddle };
enum TCloseAction { caNone, caHide, caFree, caMinimize };

using TNotifyEvent = std::function<void(TObject* Sender)>;
// Key is a virtual-key code; a handler that sets it to 0 keeps the key from
// the control.
using TKeyEvent = std::function<void(TObject* Sender, uint16_t& Key, TShiftState Shift)>;
// Key is the typed character in Windows-1252, the code page of the suite's
// 8-bit text; a handler that sets it to 0 swallows it.
using TKeyPressEvent = std::function<void(TObject* Sender, char& Key)>;
using TCloseEvent = std::function<void(TObject* Sender, TCloseAction& Action)>;
using TMouseEvent =
    std::function<void(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y)>;
using TMouseMoveEvent = std::function<void(TObject* Sender, TShiftState Shift, int X, int Y)>;
