#include "shortcut_removal.h"

#include <shlobj.h>
#include <windows.h>

#include <cstring>
#include <vector>

#include "framework/scoped_handles.h"

#include "product_catalogue.h"
#include "shell_folders.h"

CString LinkPath(const CString& folder, const char* name) {
    return folder + "\\" + name + ".lnk";
}

namespace {
void RemoveLink(const CString& link, ShortcutRemovalWatcher* watcher) {
    if (watcher && ::GetFileAttributesA(link) != INVALID_FILE_ATTRIBUTES && !watcher->BeforeLinkRemoved(link))
        return;
    ::DeleteFileA(link);
}

bool IsEmptyFolder(const CString& folder) {
    WIN32_FIND_DATAA found;
    HANDLE search = ::FindFirstFileA(folder + "\\*", &found);
    if (search == INVALID_HANDLE_VALUE)
        return false;
    bool empty = true;
    do {
        if (std::strcmp(found.cFileName, ".") != 0 && std::strcmp(found.cFileName, "..") != 0)
            empty = false;
    } while (empty && ::FindNextFileA(search, &found));
    ::FindClose(search);
    return empty;
}
}  // namespace

void RemoveProductShortcuts(LegacyLink legacy, ShortcutRemovalWatcher* watcher) {
    CString programs = GetProgramsFolder();
    CString group = programs + "\\" + kGroupFolderName;
    // An unresolved Programs folder must not turn the group into a relative path.
    if (!programs.IsEmpty() && ::GetFileAttributesA(group) != INVALID_FILE_ATTRIBUTES) {
        if (legacy == LegacyLink::Remove)
            RemoveLink(LinkPath(group, kLegacyGroupLinkName), watcher);
        for (const ProductLink& link : kGroupLinks)
            RemoveLink(LinkPath(group, link.name), watcher);
        if (!watcher || !IsEmptyFolder(group) || watcher->BeforeGroupRemoved(group))
            ::RemoveDirectoryA(group);
    }
    CString desktop = GetDesktopFolder();
    if (!desktop.IsEmpty()) {
        CString link = LinkPath(desktop, kDesktopLink.name);
        if (::GetFileAttributesA(link) != INVALID_FILE_ATTRIBUTES)
            RemoveLink(link, watcher);
    }
}

CString LinkTarget(const CString& link) {
    // COM stays initialised on this thread for the rest of the run.
    ::CoInitialize(nullptr);
    ComPtr<IShellLinkA> shellLink;
    ComPtr<IPersistFile> persist;
    int n = ::MultiByteToWideChar(CP_ACP, 0, link.c_str(), -1, nullptr, 0);
    if (n <= 0 ||
        FAILED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                  shellLink.ReceiveVoid())) ||
        FAILED(shellLink->QueryInterface(IID_IPersistFile, persist.ReceiveVoid())))
        return CString();
    std::vector<wchar_t> wide(static_cast<size_t>(n));
    ::MultiByteToWideChar(CP_ACP, 0, link.c_str(), -1, wide.data(), n);
    if (FAILED(persist->Load(wide.data(), STGM_READ)))
        return CString();
    std::vector<char> target(32768, '\0');
    if (FAILED(shellLink->GetPath(target.data(), static_cast<int>(target.size()), nullptr, SLGP_RAWPATH)))
        return CString();
    return CString(target.data());
}
