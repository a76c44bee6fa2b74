#include "shell_folders.h"

#include <shlobj.h>
#include <windows.h>

CString GetSpecialFolderPath(int csidl) {
    LPITEMIDLIST items = nullptr;
    if (FAILED(::SHGetSpecialFolderLocation(nullptr, csidl, &items)) || !items)
        return CString();
    char path[MAX_PATH] = {};
    BOOL ok = ::SHGetPathFromIDListA(items, path);
    ::CoTaskMemFree(items);
    return ok ? CString(path) : CString();
}

namespace {
bool g_perUserShortcuts = false;
bool g_allUsersDesktop = false;
}  // namespace

void SetAllUsersDesktop(bool allUsers) {
    g_allUsersDesktop = allUsers;
}

void SetPerUserShortcuts(bool perUser) {
    g_perUserShortcuts = perUser;
}

CString GetProgramsFolder() {
    if (g_perUserShortcuts)
        return GetSpecialFolderPath(CSIDL_PROGRAMS);
    CString folder = GetSpecialFolderPath(CSIDL_COMMON_PROGRAMS);
    return folder.IsEmpty() ? GetSpecialFolderPath(CSIDL_PROGRAMS) : folder;
}

CString GetDesktopFolder() {
    return GetSpecialFolderPath(g_allUsersDesktop ? CSIDL_COMMON_DESKTOPDIRECTORY : CSIDL_DESKTOPDIRECTORY);
}
