#include "uninstall_app.h"

#include "common/admin_check.h"
#include "common/install_folder_guard.h"
#include "common/product_catalogue.h"
#include "common/registry.h"
#include "common/system_paths.h"
#include "common/text_rules.h"
#include "uninstall_rules.h"

BOOL CUninstallApp::InitInstance() {
    m_strTitle = UninstallerTitle(m_strTitle);
    if (IsRemovalRun())
        RunRemoval();
    else
        RunFirst();
    return FALSE;
}

BOOL CUninstallApp::IsRemovalRun() {
    return IsOwnTempFolder(ProgramFolder(), TempFolder(), IsAnsiLeadByte);
}

void CUninstallApp::ChooseRootKey() {
    CString user;
    m_hRootKey = (GetCurrentUserName(user) && IsAdmin(user)) ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER;
}

void CUninstallApp::RunFirst() {
    if (AskConfirmation() != IDYES)
        return;
    ChooseRootKey();
    RelaunchFromTemp();
}

void CUninstallApp::RunRemoval() {
    CString folder = InstallFolderArgument(m_lpCmdLine);
    // The root only says where "SetupPath" is read; the cleanup covers both
    // roots. Without the question, the group listing is never loaded.
    if (folder.IsEmpty()) {
        ChooseRootKey();
        folder = InstallFolderFromSetupPath(RegGetString(m_hRootKey, kProductKey, kSetupPathValue, ""));
    }
    if (!AcceptInstallFolder(folder))
        return;
    BuildFileList();
    if (!RemoveInstalledFiles())
        return;
    RemoveShortcuts();
    RemoveProductKeys();
    // Without "SetupPath" a run of the installed uninstaller still finds its
    // folder: its own. The entry goes only once that file is gone.
    if (!RemoveUninstaller())
        return;
    RemoveUninstallEntries();
    RemoveInstallFolders();
    ShowMessage(kSuccessText, MB_OK);
    // Last act: the interpreter deletes this file once the process has ended.
    DeleteSelf();
}

BOOL CUninstallApp::AcceptInstallFolder(const CString& folder) {
    FolderProblem problem = CheckInstallFolder(folder, SystemFoldersHere());
    if (problem != FolderProblem::None) {
        ShowMessage(FolderProblemMessage(problem, folder), MB_OK);
        return FALSE;
    }
    m_strInstallDir = WithTrailingBackslash(folder);
    return TRUE;
}

// Asking the shell for each of them is most of the removal's own time; the
// folder check and the folder walk share one answer.
const SystemFolders& CUninstallApp::SystemFoldersHere() {
    if (!m_bHaveSystemFolders) {
        m_systemFolders = CurrentSystemFolders();
        m_bHaveSystemFolders = true;
    }
    return m_systemFolders;
}

int CUninstallApp::ShowMessage(const char* text, UINT type) {
    return AfxMessageBox(text, type);
}

int CUninstallApp::AskConfirmation() {
    return ::MessageBoxA(nullptr, kConfirmText, kConfirmCaption, MB_YESNO);
}
