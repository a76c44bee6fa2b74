// The shell folders the shortcuts live in.
#pragma once
#include "framework/afx_string.h"

// The all-users Programs folder, or the user's own when that cannot be resolved.
CString GetProgramsFolder();
// The user's Desktop folder; empty when it cannot be resolved.
CString GetDesktopFolder();
// Path of a special folder (CSIDL), empty on failure.
CString GetSpecialFolderPath(int csidl);
