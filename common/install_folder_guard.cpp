#include "install_folder_guard.h"

#include <shlobj.h>
#include <windows.h>

#include "common/shell_folders.h"
#include "common/system_paths.h"
#include "common/text_rules.h"

namespace {
// A folder as written and as it really is, so that neither a short name nor a
// junction hides which folder is meant.
void AddForms(std::vector<CString>& list, const CString& folder) {
    if (folder.IsEmpty())
        return;
    list.push_back(WithTrailingBackslash(folder));
    list.push_back(WithTrailingBackslash(LongPathOf(folder)));
    CString resolved = ResolvedFolder(folder);
    if (!resolved.IsEmpty())
        list.push_back(resolved);
}

std::vector<CString> FormsOf(const CString& folder) {
    std::vector<CString> forms;
    AddForms(forms, folder);
    return forms;
}
}  // namespace

SystemFolders CurrentSystemFolders() {
    static const int kShellFolders[] = {
        CSIDL_PROFILE,
        CSIDL_PROGRAM_FILES,
        CSIDL_PROGRAM_FILESX86,
        CSIDL_PROGRAM_FILES_COMMON,
        CSIDL_PROGRAM_FILES_COMMONX86,
        CSIDL_DESKTOPDIRECTORY,
        CSIDL_COMMON_DESKTOPDIRECTORY,
        CSIDL_PERSONAL,
        CSIDL_COMMON_DOCUMENTS,
        CSIDL_APPDATA,
        CSIDL_LOCAL_APPDATA,
        CSIDL_COMMON_APPDATA,
        CSIDL_PROGRAMS,
        CSIDL_COMMON_PROGRAMS,
        CSIDL_STARTMENU,
        CSIDL_COMMON_STARTMENU,
    };
    SystemFolders folders;
    CString windows = WindowsFolder();
    AddForms(folders.protectedFolders, windows);
    AddForms(folders.protectedFolders, SystemFolder());
    AddForms(folders.protectedFolders, TempFolder());
    for (int csidl : kShellFolders)
        AddForms(folders.protectedFolders, GetSpecialFolderPath(csidl));
    AddForms(folders.forbiddenTrees, windows);
    return folders;
}

bool IsProtectedFolder(const CString& folder, const std::vector<CString>& protectedFolders) {
    for (const CString& form : FormsOf(folder))
        if (CheckAgainstSystemFolders(form, protectedFolders, {}) != FolderProblem::None)
            return true;
    return false;
}

FolderProblem CheckInstallFolder(const CString& folder, const SystemFolders& system) {
    FolderProblem problem = InstallFolderProblem(folder, system);
    if (problem != FolderProblem::None)
        return problem;
    for (const CString& form : FormsOf(folder)) {
        if (CheckInstallFolderText(form) == FolderProblem::DriveRoot)
            return FolderProblem::DriveRoot;  // a junction to a whole drive
        problem = CheckAgainstSystemFolders(form, system.protectedFolders, system.forbiddenTrees);
        if (problem != FolderProblem::None)
            return problem;
    }
    return FolderProblem::None;
}
