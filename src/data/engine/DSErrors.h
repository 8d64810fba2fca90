#pragma once
// Raising the engine's errors: EDBClient with the status code and its text.

#include "data/engine/DSIntf.h"

#include <string>

[[noreturn]] void DSRaise(int status);
[[noreturn]] void DSRaise(int status, std::string message);
// The one text every refused packet gets, whatever was wrong with it.
[[noreturn]] void DSRaiseInvalidPacket();
