#include "setup_app.h"

#include <shlobj.h>

#include <cstdlib>

#include "common/admin_check.h"
#include "common/product_catalogue.h"
#include "common/registry.h"
#include "common/system_seam.h"
#include "common/text_rules.h"
#include "debug_log.h"
#include "engine/engine_support.h"

CSetupApp& SetupApp() {
    return *static_cast<CSetupApp*>(AfxGetApp());
}

CSetupApp::CSetupApp() = default;

void CSetupApp::EndProcess(int exitCode) {
    std::exit(exitCode);
}

void CSetupApp::InterruptAndExit() {
    m_pageInterrupted.DoModal();
    EndProcess(0);
    __builtin_unreachable();  // EndProcess never returns, whichever override runs
}

INT_PTR CSetupApp::RunPage(CDialog& page) {
    m_bPageOpening = 1;
    return page.DoModal();
}

BOOL CSetupApp::InitInstance() {
    Enable3dControls();
    SetDialogBkColor(RGB(255, 255, 255), RGB(0, 0, 0));
    m_bSameDir = 0;
    ConnectTraceToLog();
    g_strDebugLog = kDebugLogPreamble;

    OSVERSIONINFOA version{};
    version.dwOSVersionInfoSize = sizeof version;
    if (g_system.getVersionEx(&version))
        LogFormat("%s%d.%d.%d\r\n ", "Version of the operating system: ", static_cast<int>(version.dwPlatformId),
                  static_cast<int>(version.dwMajorVersion), static_cast<int>(version.dwMinorVersion));
    LogText("Start setup\r\n");

    CString programFiles = RegGetString(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion",
                                        "ProgramFilesDir", "C:\\Program Files");
    m_strInstallDir = programFiles + kDefaultFolderUnderPrograms;

    CString userName;
    if (GetCurrentUserName(userName) && IsAdmin(userName)) {
        m_hRootKey = HKEY_LOCAL_MACHINE;
    } else {
        if (AfxMessageBox("you are not an administrator, still keep up installing?",
                          MB_YESNO | MB_TOPMOST | MB_SETFOREGROUND) != IDYES)
            return FALSE;
        m_hRootKey = HKEY_CURRENT_USER;
    }

    m_strOldSetupPath = RegGetString(m_hRootKey, kProductKey, kSetupPathValue, "");
    if (!m_strOldSetupPath.IsEmpty()) {
        if (TailEndsWith(m_lpCmdLine, "autorun"))
            EndProcess(0);
        if (AfxMessageBox("You already have installed Brellic Pagewright. Do you want to reinstall it?",
                          MB_YESNO | MB_SYSTEMMODAL | MB_SETFOREGROUND) != IDYES)
            InterruptAndExit();
        LogText("user want to reinstall\n\r");
        m_strInstallDir = UpToLastBackslash(m_strOldSetupPath);
    }

    IsExitfile();

    if (m_pageWelcome.DoModal() != IDOK)
        InterruptAndExit();
    if (RunPage(m_pageAgreement) != IDOK)
        InterruptAndExit();
    RunWizard();
    LogText("exit setup!\r\n");
    return FALSE;
}

void CSetupApp::RunWizard() {
    WizardState state = WizardState::Accepted;
    while (state != WizardState::Done) {
        int result = 0;
        if (state == WizardState::Accepted) {
            m_engine.initCopyedFileList();
            m_bDesktopShortcut = m_bStartMenuIcon = m_bRunProgram = 1;
        } else {
            switch (PageForState(state)) {
                case WizardPage::InstallType:
                    result = static_cast<int>(RunPage(m_pageInstallType));
                    break;
                case WizardPage::Agreement:
                    result = static_cast<int>(RunPage(m_pageAgreement));
                    break;
                case WizardPage::Destination:
                    result = static_cast<int>(RunPage(m_pageDestination));
                    break;
                case WizardPage::Confirm:
                    result = static_cast<int>(RunPage(m_pageConfirm));
                    break;
                case WizardPage::None:
                    break;
            }
        }
        WizardStep step = NextStep(state, result);
        switch (step.action) {
            case WizardAction::Interrupt:
                InterruptAndExit();
            case WizardAction::EnableShortcuts:
                m_bDesktopShortcut = m_bStartMenuIcon = 1;
                break;
            case WizardAction::InstallDefault:
            case WizardAction::InstallCustom:
                Install(step.action);
                break;
            case WizardAction::None:
                break;
        }
        state = step.next;
    }
}

void CSetupApp::Install(WizardAction variant) {
    bool all = variant == WizardAction::InstallDefault;
    CopyFiles();
    m_engine.RemoveShortcuts();
    ::SHChangeNotify(SHCNE_ASSOCCHANGED, SHCNF_FLUSHNOWAIT, nullptr, nullptr);
    if (all || m_bStartMenuIcon)
        m_engine.AddTpStartMenu();
    if (all || m_bDesktopShortcut)
        m_engine.CreateDesktopShortCut();
    m_engine.WriteReg();
    m_pageFinish.DoModal();
    if (m_bRunProgram)
        m_engine.RunProgram();
}

void CSetupApp::CopyFiles() {
    StepOutcome copied = m_engine.CopyFileToAnother(nullptr, nullptr, nullptr, nullptr);
    if (copied.status == StepStatus::FolderNotCreated) {
        m_questions.ReportFolderNotCreated(copied.path);
        EndProcess(0);
    }
    if (copied.status == StepStatus::Cancelled)
        InterruptAndExit();
}

CString CSetupApp::MediaEditorPath() const {
    return MediaEditorBesideProgram();
}
