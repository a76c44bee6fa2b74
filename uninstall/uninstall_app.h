// The uninstaller's application object. A program cannot delete its own file,
// so it works in two runs: the first, from the installation folder, asks and
// starts a copy of itself in its own temporary folder; that copy, the removal
// run, deletes the files, shortcuts, registry keys and folders, and at the end
// hands the deletion of its own file to the command interpreter.
#pragma once
#include <windows.h>

#include <vector>

#include "common/install_folder_rule.h"
#include "common/run_log.h"
#include "common/run_options.h"
#include "common/single_run.h"
#include "framework/win_app.h"

class CUninstallApp : public CWinApp {
public:
    CUninstallApp() = default;

    // Runs one of the two runs; always FALSE, the program ends afterwards.
    BOOL InitInstance() override;
    // The exit code of an unattended run; 0 for a person's.
    int ExitInstance() override;
    bool IsUnattended() const { return m_options.ui != UiLevel::Full; }
    // Writes the result to the log and lets go of the lock; FALSE.
    BOOL EndRun(int exitCode);

    // Mode test: TRUE when the program runs from its own temporary folder.
    BOOL IsRemovalRun();
    void RunFirst();
    void RunRemoval();
    void ChooseRootKey();
    // The root whose "SetupPath" names this folder, when one does: an all-users
    // and a per-user installation may stand side by side, each with its own.
    void ChooseRootOf(const CString& folder);
    // Notes which roots record an installation in another folder than this
    // one: their keys, entry and links belong to it and stay.
    void NoteOtherInstallations();
    bool BelongsToOther(HKEY root) const;
    bool HoldsOthersRecord(HKEY root) const;

    // First run: copies the uninstaller into its temporary folder and starts it.
    BOOL RelaunchFromTemp();
    BOOL CopyFailed(const CString& copy);

    // Sets m_strInstallDir from a candidate folder when it is safe to remove
    // from; otherwise says why and returns FALSE.
    BOOL AcceptInstallFolder(const CString& folder);

    // Removal steps, in the order the removal run calls them.
    void BuildFileList();
    BOOL RemoveInstalledFiles();
    void RemoveShortcuts();
    void RemoveProductKeys();
    BOOL RemoveUninstaller();
    void RemoveUninstallEntries();
    void RemoveInstallFolders();
    // Both registry steps at once: the product keys, then the uninstall entries.
    void CleanRegistry();
    virtual DWORD DeleteSelf();

    // The system's and the user's folders, asked for once per run.
    const SystemFolders& SystemFoldersHere();

    // Every message but the first run's question is shown by AfxMessageBox, so
    // it carries the program's title and the exclamation icon. Virtual so
    // in-process tests can answer them.
    virtual int ShowMessage(const char* text, UINT type);
    virtual int AskConfirmation();

    RunOptions m_options;
    CString m_strFolderArgument;  // the removal run's folder, after the switches
    CRunLog m_log;
    CSingleRun m_singleRun;
    int m_nExitCode = 0;
    // How long a removal run waits for its first run to let go of the lock.
    DWORD m_nLockWaitMs = 10000;
    bool m_bLogHandedOver = false;  // the removal run writes the rest of the log
    // Folders the install record says setup made, innermost first; empty
    // without a record. The folder walk never goes above them.
    std::vector<CString> m_createdFolders;
    bool m_bHasRecord = false;
    // The installed uninstaller, renamed where it is because the first run still runs it.
    CString m_strLeftInPlace;

    std::vector<CString> m_pFileList;
    int m_nFileCount = 0;
    CString m_strInstallDir;
    HKEY m_hRootKey = HKEY_CURRENT_USER;
    bool m_bOtherForMachine = false;  // the all-users root records another installation
    bool m_bOtherForUser = false;     // the user's root records another installation
    SystemFolders m_systemFolders;
    bool m_bHaveSystemFolders = false;
};

// The text without its leading blanks.
CString TrimmedLeft(const CString& text);
