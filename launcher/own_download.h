// The launcher's own file, opened the one way it is ever opened.
#pragma once
#include <windows.h>

#include <cstdint>
#include <string>

// For reading, shared with readers only: while the handle is open nobody can
// write the file, rename it or delete it. Null (not INVALID_HANDLE_VALUE) on failure.
HANDLE OpenOwnDownload(const std::wstring& path);

// Exactly bytes from offset, read through the handle without moving its file
// pointer; false when fewer could be read.
bool ReadAt(HANDLE file, uint64_t offset, void* buffer, DWORD bytes);
