#include "uninstall_app.h"

#include "common/admin_check.h"
#include "common/command_tail.h"
#include "common/elevation.h"
#include "common/install_folder_guard.h"
#include "common/install_recorder.h"
#include "common/product_catalogue.h"
#include "common/registry.h"
#include "common/system_paths.h"
#include "common/text_rules.h"
#include "framework/scoped_handles.h"
#include "uninstall_rules.h"

BOOL CUninstallApp::InitInstance() {
    m_strTitle = UninstallerTitle(m_strTitle);
    m_options = ParseUninstallSwitches(m_lpCmdLine, &m_strFolderArgument);
    bool removal = IsRemovalRun();
    // Removing an installation for one user needs no administrator; removing
    // the all-users one runs in an elevated copy, which logs and answers.
    if (!removal && m_options.badSwitch.IsEmpty() && RunsAsLimitedAdministrator()) {
        ChooseRootOf(ProgramFolder());
        if (m_hRootKey == HKEY_LOCAL_MACHINE) {
            m_nExitCode = RunElevatedCopy(CommandTail(::GetCommandLineW()));
            return FALSE;
        }
    }
    if (m_options.log)
        m_log.Open(m_options.logFile, "Brellic Pagewright Uninstall", removal);
    m_log.Field("program", GetModulePath());
    m_log.Field("command line", m_lpCmdLine);
    if (!m_options.badSwitch.IsEmpty()) {
        ShowMessage("The switch \"" + m_options.badSwitch + "\" is not known.", MB_OK);
        return EndRun(kExitBadCommandLine);
    }
    // The removal run waits a moment for its first run, which lets go as it starts it.
    if (!m_singleRun.Acquire(removal ? m_nLockWaitMs : 0)) {
        ShowMessage(
            "Another installation or removal of Brellic Pagewright is running. Please try again when it has "
            "finished.",
            MB_OK);
        if (removal)
            DeleteSelf();  // its fresh folder is of no use to a later attempt
        return EndRun(kExitAlreadyRunning);
    }
    m_nExitCode = kExitFailed;  // until a run says otherwise
    if (removal) {
        RunRemoval();
        // A removal that stopped early still takes its copy and folder with it:
        // the next attempt makes a fresh one.
        if (m_nExitCode != kExitSuccess)
            DeleteSelf();
    } else
        RunFirst();
    return EndRun(m_nExitCode);
}

BOOL CUninstallApp::EndRun(int exitCode) {
    m_nExitCode = exitCode;
    CString result;
    result.Format("result: %d %s\r\n", exitCode, ExitCodeMeaning(exitCode));
    if (!m_bLogHandedOver)
        m_log.Write(result);
    m_singleRun.Release();
    return FALSE;
}

int CUninstallApp::ExitInstance() {
    CWinApp::ExitInstance();
    return IsUnattended() ? m_nExitCode : 0;
}

BOOL CUninstallApp::IsRemovalRun() {
    return IsOwnTempFolder(ProgramFolder(), TempFolder(), IsAnsiLeadByte);
}

void CUninstallApp::ChooseRootKey() {
    CString user;
    bool admin = (GetCurrentUserName(user) && IsAdmin(user)) || TokenIsAdministrator();
    m_hRootKey = admin ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER;
}

void CUninstallApp::RunFirst() {
    if (!IsUnattended() && AskConfirmation() != IDYES) {
        m_nExitCode = kExitCancelled;
        return;
    }
    ChooseRootOf(ProgramFolder());
    RelaunchFromTemp();
}

// Both looks leave the keys as they are: reading through the traced call
// would create an empty product key under a root that has none.
void CUninstallApp::ChooseRootOf(const CString& folder) {
    for (HKEY root : {HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER}) {
        CString recorded = InstallFolderFromSetupPath(RegGetUntraced(root, kProductKey, kSetupPathValue));
        if (!recorded.IsEmpty() && !folder.IsEmpty() && IsSameFolder(recorded, WithTrailingBackslash(folder))) {
            m_hRootKey = root;
            return;
        }
    }
    ChooseRootKey();
}

void CUninstallApp::NoteOtherInstallations() {
    auto other = [this](HKEY root) {
        CString recorded = InstallFolderFromSetupPath(RegGetUntraced(root, kProductKey, kSetupPathValue));
        return !recorded.IsEmpty() && !IsSameFolder(recorded, m_strInstallDir);
    };
    m_bOtherForMachine = other(HKEY_LOCAL_MACHINE);
    m_bOtherForUser = other(HKEY_CURRENT_USER);
}

bool CUninstallApp::BelongsToOther(HKEY root) const {
    return root == HKEY_LOCAL_MACHINE ? m_bOtherForMachine : m_bOtherForUser;
}

// Another root's unfinished installation waits for the next setup under that
// root, with the product key that names its record.
bool CUninstallApp::HoldsOthersRecord(HKEY root) const {
    HKEY key = nullptr;
    if (root == m_hRootKey || ::RegOpenKeyExA(root, kProductKey, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
        return false;
    ScopedRegKey owned(key);
    return ::RegQueryValueExA(key, kPendingRecordValue, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
}

void CUninstallApp::RunRemoval() {
    ParseUninstallSwitches(m_lpCmdLine, &m_strFolderArgument);
    CString folder = InstallFolderArgument(TrimmedLeft(m_strFolderArgument));
    // The root of the installation this run removes. Without the question, the
    // group listing is never loaded.
    if (folder.IsEmpty())
        ChooseRootKey();
    else
        ChooseRootOf(folder);
    // A killed installation under that root is undone before anything is
    // removed. Another root's record is not this run's to act on: an elevated
    // run must not follow a record its user could have written in their own hive.
    CInstallRecorder::RecoverUnfinished(m_hRootKey);
    if (folder.IsEmpty())
        folder = InstallFolderFromSetupPath(RegGetString(m_hRootKey, kProductKey, kSetupPathValue, ""));
    if (!AcceptInstallFolder(folder))
        return;
    NoteOtherInstallations();
    // Held open while anything inside is deleted, so that it cannot be swapped
    // for a link to somewhere else behind the checks (say while a question is up).
    ScopedHandle held(::CreateFileA(BeforeLastBackslash(m_strInstallDir), FILE_READ_ATTRIBUTES,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                    FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    BY_HANDLE_FILE_INFORMATION info{};
    if (!held.IsValid() || !::GetFileInformationByHandle(held.Get(), &info) ||
        (info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) || !(info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
        CString text;
        text.Format("The folder \"%s\" cannot be opened, or is a link to another place. Nothing has been removed.",
                    m_strInstallDir.c_str());
        ShowMessage(text, MB_OK);
        return;
    }
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
    held.Reset();
    RemoveInstallFolders();
    m_nExitCode = kExitSuccess;
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

// An unattended run shows nothing: its messages go to the log, and the backup
// question is answered Yes (a removal takes everything of ours).
int CUninstallApp::ShowMessage(const char* text, UINT type) {
    if (!IsUnattended())
        return AfxMessageBox(text, type);
    m_log.Write(CString(text) + "\r\n");
    return (type & MB_TYPEMASK) == MB_YESNO ? IDYES : IDOK;
}

int CUninstallApp::AskConfirmation() {
    return ::MessageBoxA(nullptr, kConfirmText, kConfirmCaption, MB_YESNO);
}

CString TrimmedLeft(const CString& text) {
    int first = 0;
    while (first < text.GetLength() && (text[first] == ' ' || text[first] == '\t'))
        ++first;
    return text.Mid(first);
}
