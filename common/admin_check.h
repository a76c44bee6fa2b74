// Whether a named user belongs to the local Administrators group.
#pragma once
#include <windows.h>

#include "framework/afx_string.h"

// The functions are bound by name at every call from the libraries that export
// them (netapi32 and advapi32, from the system folder). Where the group-listing
// function does not exist (the Windows 95 family), everybody is an administrator.
BOOL IsAdmin(const char* lpszUserName);

// The current user's name as GetUserName gives it; FALSE when it cannot be read.
BOOL GetCurrentUserName(CString& name);
