// Nothing may be loaded from the program's own folder or the current folder:
// a setup program often runs from a downloads folder where anything can lie.
#pragma once
#include <windows.h>

#include "framework/function_cast.h"

inline void RestrictDllSearchToSystemFolder() {
    using SetDefaultDllDirectoriesFn = BOOL(WINAPI*)(DWORD);
    auto setDefault = FunctionCast<SetDefaultDllDirectoriesFn>(
        ::GetProcAddress(::GetModuleHandleA("kernel32.dll"), "SetDefaultDllDirectories"));
    if (setDefault)
        setDefault(LOAD_LIBRARY_SEARCH_SYSTEM32);
    ::SetDllDirectoryW(L"");
}
