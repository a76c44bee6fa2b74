// What another process was started with, read from its own process parameters:
// the command line and the working folder it received.
#pragma once
#include <windows.h>

#include <string>

struct ProcessStartup {
    std::string commandLine;
    std::string currentDirectory;
};

// False when the process cannot be opened or read.
bool ReadProcessStartup(DWORD processId, ProcessStartup* startup);
