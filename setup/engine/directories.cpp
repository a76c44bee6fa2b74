#include "common/folder_protection.h"
#include "common/text_rules.h"
#include "engine_support.h"
#include "framework/scoped_handles.h"
#include "install_engine.h"
#include "path_rules.h"
#include "setup/debug_log.h"

namespace {
// A folder counts as present when listing it yields an entry.
bool FolderListsEntries(const CString& folder) {
    WIN32_FIND_DATAA found;
    ScopedFindHandle search(::FindFirstFileA(FolderSearchPattern(folder), &found));
    return search.IsValid();
}
}  // namespace

BOOL CInstallEngine::CreateThePath(const char* lpszPath) {
    CString path(lpszPath);
    LogFormat("start CreateThePath (%s)\r\n", path.c_str());
    if (path.IsEmpty()) {
        LogText("exit CreateThePath()\r\n");
        return FALSE;
    }
    // For all users, every folder is made protected: nothing can be put into
    // it, nor the folder renamed, before the first file is copied.
    auto create = [this](const CString& folder) {
        return m_state.m_hRootKey == HKEY_LOCAL_MACHINE ? CreateProtectedFolder(folder)
                                                        : ::CreateDirectoryA(folder, nullptr) != FALSE;
    };
    if (!FolderListsEntries(path) && !create(path)) {
        int parent = ParentSeparatorIndex(path);
        if (parent >= 0)
            CreateThePath(path.Left(parent));
        create(path);
    }
    LogText("exit CreateThePath()\r\n");
    return TRUE;
}

BOOL CInstallEngine::MyCreatePath(CString path) {
    LogFormat("start MyCreatePath(%s)\r\n", path.c_str());
    FolderSteps steps = SplitFolderSteps(path);
    CString folder = steps.root;
    WIN32_FIND_DATAA found;
    for (const CString& component : steps.components) {
        folder += component;
        CString pattern = FolderSearchPattern(folder);
        LogFormat("FindFirstFile(%s, 0x%x);\r\n", pattern.c_str(), TraceAddress(&found));
        ScopedFindHandle search(::FindFirstFileA(pattern, &found));
        folder = pattern.Left(pattern.GetLength() - 3);
        if (!search.IsValid()) {
            LogFormat("CreateDirectory(%s, NULL);\r\n", folder.c_str());
            if (!::CreateDirectoryA(folder, nullptr)) {
                LogText("FindClose();\r\n");
                LogText("exit MyCreatePath()\r\n");
                return FALSE;
            }
        }
    }
    WIN32_FIND_DATAA foundAtEnd;
    CString pattern = FolderSearchPattern(folder);
    LogFormat("FindFirstFile(%s, 0x%x);\r\n", pattern.c_str(), TraceAddress(&foundAtEnd));
    ScopedFindHandle search(::FindFirstFileA(pattern, &foundAtEnd));
    if (!search.IsValid()) {
        LogText("FindClose()\r\n");
        LogText("exit MyCreatePath()\r\n");
        return FALSE;
    }
    LogText("exit MyCreatePath();\r\n");
    return TRUE;
}
