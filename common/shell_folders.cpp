#include "shell_folders.h"

#include <windows.h>
#include <shlobj.h>

CString GetSpecialFolderPath(int csidl) {
    LPITEMIDLIST items = nullptr;
    if (FAILED(::SHGetSpecialFolderLocation(nullptr, csidl, &items)) || !items)
        return CString();
    char path[MAX_PATH] = {};
    BOOL ok = ::SHGetPathFromIDListA(items, path);
    ::CoTaskMemFree(items);
    return ok ? CString(path) : CString();
}

CString GetProgramsFolder() {
    CString folder = GetSpecialFolderPath(CSIDL_COMMON_PROGRAMS);
    return folder.IsEmpty() ? GetSpecialFolderPath(CSIDL_PROGRAMS) : folder;
}

CString GetDesktopFolder() {
    return GetSpecialFolderPath(CSIDL_DESKTOPDIRECTORY);
}
