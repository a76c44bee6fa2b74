#include "shortcut_removal.h"

#include <windows.h>

#include "product_names.h"
#include "shell_folders.h"

void RemoveProductShortcuts(LegacyLink legacy) {
    CString programs = GetProgramsFolder();
    CString group = programs + "\\" + kGroupFolderName;
    // An unresolved Programs folder must not turn the group into a relative path.
    if (!programs.IsEmpty() && ::GetFileAttributesA(group) != INVALID_FILE_ATTRIBUTES) {
        if (legacy == LegacyLink::Remove)
            ::DeleteFileA(group + "\\Pagewright.lnk");
        static const char* const kLinks[] = {"\\Brellic Pagewright.lnk", "\\Uninstall.lnk", "\\Brellic Leafview.lnk",
                                             "\\Brellic Pagewright User Manual.lnk"};
        for (const char* link : kLinks)
            ::DeleteFileA(group + link);
        ::RemoveDirectoryA(group);
    }
    CString desktop = GetDesktopFolder();
    if (!desktop.IsEmpty()) {
        CString link = desktop + "\\Brellic Pagewright.lnk";
        if (::GetFileAttributesA(link) != INVALID_FILE_ATTRIBUTES)
            ::DeleteFileA(link);
    }
}
