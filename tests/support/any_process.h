// Windows and processes that the program under test starts itself (a copy of
// itself, an interpreter): found among all top-level windows, watched by id.
#pragma once
#include <windows.h>

#include <string>

#include "ui_driver.h"

// A visible message box of any process whose text contains the fragment.
HWND WaitForAnyMessageBox(const std::string& textFragment, int timeoutMs = 15000);
// True when no visible message box of any process contains the fragment.
bool NoMessageBoxWith(const std::string& textFragment);

// The process owner of ui_driver.h, under the name these tests knew it by.
using WatchedProcess = ChildProcess;

// Sets (or, with a null value, removes) an environment variable of this test
// process, so that the programs it starts inherit it; restores it afterwards.
class ScopedEnvironmentVariable {
public:
    ScopedEnvironmentVariable(const char* name, const char* value);
    ~ScopedEnvironmentVariable();
    ScopedEnvironmentVariable(const ScopedEnvironmentVariable&) = delete;
    ScopedEnvironmentVariable& operator=(const ScopedEnvironmentVariable&) = delete;

private:
    std::string m_name;
    std::string m_saved;
    bool m_hadValue = false;
};

// Polls until no process runs from an executable of that name (e.g. "cmd.exe");
// false when one still runs at the end.
bool WaitProcessesEnded(const char* exeName, int timeoutMs = 15000);

// Polls until the file no longer exists; false when it is still there at the end.
bool WaitFileGone(const std::string& path, int timeoutMs = 15000);
