// Folders and path forms the uninstaller asks the system for. Each comes back
// with a trailing backslash, or empty when the system cannot tell.
#pragma once
#include "framework/afx_string.h"

CString TempFolder();
CString SystemFolder();
CString WindowsFolder();

// The program's own folder, up to and including the last backslash of its path.
CString ProgramFolder();

// The long form of an existing path (short names expanded); the path itself otherwise.
CString LongPathOf(const CString& path);

// Where an existing folder really is once links and junctions are followed, as
// "X:\..." or "\\server\share\..."; empty when it cannot be resolved.
CString ResolvedFolder(const CString& folder);

// Whether two folders (each with its trailing backslash) are one: the same
// text but for case, or the same place once both are resolved.
bool IsSameFolder(const CString& folder, const CString& other);

// Whether the byte starts a two-byte character in the system's ANSI code page.
bool IsAnsiLeadByte(unsigned char c);
