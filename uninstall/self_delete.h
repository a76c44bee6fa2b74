// Deletion of the uninstaller's own copy by the command interpreter, which
// keeps trying for some seconds so that it succeeds once the uninstaller ended.
#pragma once
#include <windows.h>

#include <vector>

#include "framework/afx_string.h"

// The interpreter to start: cmd.exe in the system folder, whatever COMSPEC says.
CString InterpreterPath();

// Starts the hidden interpreter at idle priority to delete the file, and then
// each of the folders (deepest first) once it is empty; the caller's process
// is raised to high priority. 0 when it started, otherwise the system's error
// code (nothing is started then).
DWORD StartSelfDeletion(const CString& file, const std::vector<CString>& folders = {});
// The folder that holds the file, for the deletion to take it too.
std::vector<CString> HoldingFolder(const CString& file);
