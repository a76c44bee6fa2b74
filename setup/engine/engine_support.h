// Small helpers the install operations share.
#pragma once
#include <windows.h>

#include <cstdint>

#include "framework/afx_string.h"

// An address as the trace prints it with 0x%x: its low 32 bits.
inline unsigned TraceAddress(const void* address) {
    return static_cast<unsigned>(reinterpret_cast<uintptr_t>(address));
}

// True when the file can be opened for reading right now (a folder cannot).
bool CanOpenForReading(const CString& path);

// True when a file (not a folder) of that name exists.
bool FileIsPresent(const CString& path);
// The same, with the file's size when it is there.
bool FileIsPresent(const CString& path, uint64_t& size);

// The media's editor beside the running program.
CString MediaEditorBesideProgram();
