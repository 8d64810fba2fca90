#pragma once
// Work that must be done after the program's forms are gone and before its
// Qt application and the process end: the database clients' own shutdown,
// registered by the data layer when it loads a client. The application
// object runs the hooks without knowing whose they are, so that the screen
// layer depends on no layer above it.

#include <functional>

// Safe from any thread; a hook added twice runs twice.
void AddProgramShutdownHook(std::function<void()> hook);
// Runs every hook, in the order they were added; they stay registered.
void RunProgramShutdownHooks();
