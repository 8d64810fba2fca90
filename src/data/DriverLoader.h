#pragma once
// Finds and loads a driver module: from the program's own folder first, as
// an installation ships it there, then from the system's library path. A
// module stays loaded for the life of the process, so that no object it made
// can outlive its code.

#include <string>

class DriverLoader {
public:
    // The module's handle, or null when it cannot be loaded. A name with a
    // folder in it is loaded from there only.
    static void* Load(const std::string& name);
    // The address of an exported entry, or null.
    static void* Find(void* library, const std::string& entry);
    // Calls the shutdown entry of every module loaded so far that has one
    // (see DriverIntf.h), once. For the end of the program only: after it no
    // module can open a connection again. Loading the first module registers
    // it as a program shutdown hook (platform/ProgramShutdown.h).
    static void ShutdownModules();
    // The folder the running program was started from, without a trailing
    // separator; empty when it cannot be told.
    static std::string ProgramFolder();
};
