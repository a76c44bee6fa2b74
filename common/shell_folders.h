// The shell folders the shortcuts live in.
#pragma once
#include "framework/afx_string.h"

// The all-users Programs folder, or the user's own when that cannot be resolved
// or when the installation is for this user only.
CString GetProgramsFolder();
// An installation for this user only keeps its links in the user's own folders.
void SetPerUserShortcuts(bool perUser);
// The user's Desktop folder, or the all-users one once chosen; empty when it
// cannot be resolved.
CString GetDesktopFolder();
void SetAllUsersDesktop(bool allUsers);
// Path of a special folder (CSIDL), empty on failure.
CString GetSpecialFolderPath(int csidl);
