// The launcher's own file, opened the one way it is ever opened.
#pragma once
#include <windows.h>

#include <string>

// For reading, shared with readers only: while the handle is open nobody can
// write the file, rename it or delete it. Null (not INVALID_HANDLE_VALUE) on failure.
HANDLE OpenOwnDownload(const std::wstring& path);
