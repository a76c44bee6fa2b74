// Reading and writing one named value below a registry root, as text. A read
// that fails yields the caller's default; a write that fails does nothing.
#pragma once
#include <windows.h>

#include "framework/afx_string.h"

// REG_SZ/REG_EXPAND_SZ as text up to the first NUL (not expanded), REG_DWORD as
// signed decimal; other types, an empty text or a missing value give the default.
// Opening uses create semantics, so reading an absent key leaves it behind.
CString RegGetString(HKEY hRoot, const char* lpszSubKey, const char* lpszValueName, const char* lpszDefault);

// Stores REG_DWORD/REG_DWORD_BIG_ENDIAN from decimal text, anything else as text with its NUL.
void RegSetString(HKEY hRoot, const char* lpszSubKey, const char* lpszValueName, const char* lpszValue, DWORD dwType);

// "HKEY_CURRENT_USER" for that root, "HKEY_LOCAL_MACHINE" for any other.
const char* RootNameForTrace(HKEY root);

// A text value without a trace line, empty when absent: a look at the other
// root's installation leaves the trace as it was.
CString RegGetUntraced(HKEY hRoot, const char* lpszSubKey, const char* lpszValueName);

// The same without a trace line, for details beyond the installation's traced
// steps (what inventory tools read): the trace stays as it has always been.
void RegSetUntraced(HKEY hRoot, const char* lpszSubKey, const char* lpszValueName, const char* lpszValue, DWORD dwType);
