#include "shortcut_removal.h"

#include <windows.h>

#include "product_catalogue.h"
#include "shell_folders.h"

CString LinkPath(const CString& folder, const char* name) {
    return folder + "\\" + name + ".lnk";
}

void RemoveProductShortcuts(LegacyLink legacy) {
    CString programs = GetProgramsFolder();
    CString group = programs + "\\" + kGroupFolderName;
    // An unresolved Programs folder must not turn the group into a relative path.
    if (!programs.IsEmpty() && ::GetFileAttributesA(group) != INVALID_FILE_ATTRIBUTES) {
        if (legacy == LegacyLink::Remove)
            ::DeleteFileA(LinkPath(group, kLegacyGroupLinkName));
        for (const ProductLink& link : kGroupLinks)
            ::DeleteFileA(LinkPath(group, link.name));
        ::RemoveDirectoryA(group);
    }
    CString desktop = GetDesktopFolder();
    if (!desktop.IsEmpty()) {
        CString link = LinkPath(desktop, kDesktopLink.name);
        if (::GetFileAttributesA(link) != INVALID_FILE_ATTRIBUTES)
            ::DeleteFileA(link);
    }
}
