// Starting a program with the user's ordinary rights from a process that may
// run with an administrator's elevated ones, so that what setup starts for the
// user (the editor) does not inherit setup's power.
#pragma once
#include <windows.h>

#include "framework/afx_string.h"
#include "framework/scoped_handles.h"

// Whose token a program was started with.
enum class StartedWith {
    ThisProcess,  // this process is not elevated: its own token, as usual
    ShellToken,   // the desktop shell's, the user's everyday token
    NormalUser,   // a normal-user token made from this process's own
    Restricted,   // this process's own, administrators denied, privileges dropped, medium integrity
    Nothing,      // elevated, and no ordinary token could be had: nothing was started
    Failed,       // not elevated, and the system could not start the program
};

// Starts commandLine (quoted as the system expects) in directory, inheriting
// no handle of ours; when elevated, only ever with an ordinary token. The new
// process's handles go to *started (the caller closes them) unless the result
// is Nothing or Failed.
StartedWith StartWithOrdinaryRights(const CString& commandLine, const CString& directory, PROCESS_INFORMATION* started);

// This process's token made a standard user's: Administrators deny-only, no
// privileges, medium integrity. Invalid when the system refuses.
ScopedHandle RestrictedOwnToken();
