// The setup program's application object: all install state, one object per
// wizard page, and the install operations, named as their trace lines print them.
#pragma once
#include <windows.h>

#include <vector>

#include "framework/win_app.h"
#include "debug_message_dlg.h"
#include "pages/agreement_page.h"
#include "pages/confirm_page.h"
#include "pages/destination_page.h"
#include "pages/finish_page.h"
#include "pages/install_type_page.h"
#include "pages/interrupted_page.h"
#include "pages/welcome_page.h"
#include "sequence.h"

class CSetupApp : public CWinApp {
public:
    CSetupApp();

    BOOL InitInstance() override;
    // The interrupted page, then the end of the process with exit code 0.
    [[noreturn]] void InterruptAndExit();
    // Ends the process at once (static destructors run). Tests override it.
    [[noreturn]] virtual void EndProcess(int exitCode);

    // Start-up and media.
    BOOL IsExitfile();
    void RunWizard();
    void Install(WizardAction variant);

    // Install engine.
    void initCopyedFileList();
    BOOL GetFileVersion(CString& strVersion, CString strFile);
    BOOL CopyFileToAnother(const char* lpsz1, const char* lpsz2, const char* lpsz3, const char* lpsz4);
    BOOL CreateThePath(const char* lpszPath);
    BOOL MyCreatePath(CString path);
    BOOL CreateShortCut(const char* file, const char* folder, const char* name);
    void AddTpStartMenu();
    BOOL CreateDesktopShortCut();
    void RemoveShortcuts();
    void WriteReg();
    void RepairRunexe(CString& commandLine, CString& directory);
    void RunProgram();

    // Full path of the media's "Scrivo.ex_" beside the running program.
    CString MediaEditorPath() const;

    CString m_strOldSetupPath;
    int m_bSameDir = 0;
    std::vector<CString> m_pCopyList;
    int m_nCopyCount = 0;
    int m_bPageOpening = 0;
    RECT m_rcPage{};
    HKEY m_hRootKey = HKEY_LOCAL_MACHINE;
    CString m_strInstallDir;
    int m_bDesktopShortcut = 1;
    int m_bStartMenuIcon = 1;
    int m_bRunProgram = 1;
    CInstallTypePage m_pageInstallType;
    CAgreementPage m_pageAgreement;
    CDestinationPage m_pageDestination;
    CFinishPage m_pageFinish;
    CDebugMessageDlg m_dlgDebugMessage;
    CConfirmPage m_pageConfirm;
    CWelcomePage m_pageWelcome;
    CInterruptedPage m_pageInterrupted;
    CString m_strSourceDir;

private:
    INT_PTR RunPage(CDialog& page);
    bool KeepBackupIfWanted(const CString& source, const CString& destination);

    // One copy of the files spans nested retries: only the outermost run reports
    // the files that, in the end, could not be installed.
    int m_nCopyRunDepth = 0;
    std::vector<CString> m_uncopiedFiles;
};

// The running setup's application object.
CSetupApp& SetupApp();
