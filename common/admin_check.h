// Whether a named user, or this process, counts as an administrator.
#pragma once
#include <windows.h>

#include "framework/afx_string.h"

// The functions are bound by name at every call from the libraries that export
// them (netapi32 and advapi32, from the system folder). Where the group-listing
// function does not exist (the Windows 95 family), everybody is an administrator.
BOOL IsAdmin(const char* lpszUserName);

// Whether this process's token holds the Administrators group (directly, nested
// or through a domain group) or is LocalSystem's: deployment tools run setup so,
// and neither is a named member of the local group.
BOOL TokenIsAdministrator();
BOOL RunsAsLocalSystem();

// The current user's name as GetUserName gives it; FALSE when it cannot be read.
BOOL GetCurrentUserName(CString& name);
