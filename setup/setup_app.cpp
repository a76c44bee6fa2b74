#include "setup_app.h"

#include <shlobj.h>

#include <cstdlib>

#include "common/admin_check.h"
#include "common/folder_protection.h"
#include "common/folder_trust.h"
#include "common/install_folder_guard.h"
#include "common/product_catalogue.h"
#include "common/registry.h"
#include "common/shell_folders.h"
#include "common/system_seam.h"
#include "common/text_rules.h"
#include "controls/high_contrast.h"
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
    if (!StartRun())
        return FALSE;
    Enable3dControls();
    if (HighContrastOn())
        SetDialogBkColor(::GetSysColor(COLOR_WINDOW), ::GetSysColor(COLOR_WINDOWTEXT));
    else
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
    bool admin = (GetCurrentUserName(userName) && IsAdmin(userName)) || TokenIsAdministrator();
    m_bLocalSystem = RunsAsLocalSystem();
    m_log.Field("user", userName);
    m_log.Field("administrator", admin ? "yes" : "no");
    if (m_bLocalSystem) {
        // A deployment tool's run: LocalSystem's own profile is seen by nobody.
        m_log.Field("account", "LocalSystem, installing for all users");
        SetAllUsersDesktop(true);
    }
    if (admin && (m_options.scope != InstallScope::CurrentUser || m_bLocalSystem)) {
        m_hRootKey = HKEY_LOCAL_MACHINE;
    } else if (m_options.scope == InstallScope::AllUsers) {
        FailUnattended("/ALLUSERS needs administrator rights");
    } else if (IsUnattended() || m_options.scope == InstallScope::CurrentUser) {
        m_unattended.Answered("you are not an administrator, still keep up installing?", "Yes, for this user");
        m_hRootKey = HKEY_CURRENT_USER;
    } else {
        if (AfxMessageBox("you are not an administrator, still keep up installing?",
                          MB_YESNO | MB_TOPMOST | MB_SETFOREGROUND) != IDYES)
            return FALSE;
        m_hRootKey = HKEY_CURRENT_USER;
    }
    if (m_hRootKey == HKEY_CURRENT_USER) {
        // A standard user may not write Program Files nor the machine's lists:
        // the installation goes to the user's own programs folder and links.
        CString local = GetSpecialFolderPath(CSIDL_LOCAL_APPDATA);
        if (!local.IsEmpty())
            m_strInstallDir = local + "\\Programs" + kDefaultFolderUnderPrograms;
        SetPerUserShortcuts(true);
    }
    m_log.Field("registry root", RootNameForTrace(m_hRootKey));
    // The other root's installation is another one: it stays as it is.
    HKEY otherRoot = m_hRootKey == HKEY_LOCAL_MACHINE ? HKEY_CURRENT_USER : HKEY_LOCAL_MACHINE;
    CString beside = RegGetUntraced(otherRoot, kProductKey, kSetupPathValue);
    if (!beside.IsEmpty())
        m_log.Write(CString(otherRoot == HKEY_CURRENT_USER ? "an installation for this user only"
                                                           : "an installation for all users") +
                    " stays beside this one, in " + beside + "\r\n");
    if (CInstallRecorder::RecoverUnfinished(m_hRootKey)) {
        LogText("an unfinished installation was rolled back\r\n");
        m_log.Write("an unfinished installation was rolled back\r\n");
    }

    m_strOldSetupPath = RegGetString(m_hRootKey, kProductKey, kSetupPathValue, "");
    if (!m_strOldSetupPath.IsEmpty()) {
        if (TailEndsWith(m_lpCmdLine, "autorun"))
            EndProcess(0);
        if (IsUnattended())
            m_unattended.Answered("You already have installed Brellic Pagewright. Do you want to reinstall it?", "Yes");
        else if (AfxMessageBox("You already have installed Brellic Pagewright. Do you want to reinstall it?",
                               MB_YESNO | MB_SYSTEMMODAL | MB_SETFOREGROUND) != IDYES)
            InterruptAndExit();
        LogText("user want to reinstall\n\r");
        // An earlier folder that could never be removed again is not reused:
        // the installation goes to the default folder instead.
        CString earlier = UpToLastBackslash(m_strOldSetupPath);
        if (earlier.IsEmpty() || CheckInstallFolder(earlier, CurrentSystemFolders()) == FolderProblem::None)
            m_strInstallDir = earlier;
        else
            m_log.Write("the earlier installation's folder " + earlier + " cannot be used; the default is\r\n");
        if (!m_options.installDir.IsEmpty() && WithTrailingBackslash(m_options.installDir) != m_strInstallDir)
            m_log.Write("the destination given is ignored: a reinstallation goes into the earlier folder\r\n");
    } else if (!m_options.installDir.IsEmpty()) {
        // The folder rule the destination page and the uninstaller apply, on the
        // folder as the system resolves it: where the uninstaller would refuse
        // to remove from, nothing is installed. (The page's look for the drive
        // is left out: an empty drive has nothing it could find.)
        CString chosen = WithTrailingBackslash(m_options.installDir);
        if (CheckInstallFolder(chosen, CurrentSystemFolders()) != FolderProblem::None) {
            m_log.Write("failure: the destination " + chosen + " cannot be used\r\n");
            Finish(kExitBadCommandLine);
        }
        m_strInstallDir = chosen;
    }

    StartTraceInLog();
    IsExitfile();
    if (IsUnattended())
        RunUnattended();

    if (m_pageWelcome.DoModal() != IDOK)
        InterruptAndExit();
    if (RunPage(m_pageAgreement) != IDOK)
        InterruptAndExit();
    RunWizard();
    LogText("exit setup!\r\n");
    // A person's run with /LOG gets the same last line as a run without one.
    EndLog(kExitSuccess);
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
    if (!InstallSteps(variant == WizardAction::InstallDefault))
        InterruptAndExit();
    m_pageFinish.DoModal();
    StartEditorIfChosen();
}

void CSetupApp::StartEditorIfChosen() {
    if (!m_bRunProgram)
        return;
    if (m_bLocalSystem) {
        m_log.Write("the editor is not started: LocalSystem has nobody logged on to see it\r\n");
        return;
    }
    m_engine.RunProgram();
}

bool CSetupApp::InstallSteps(bool allShortcuts) {
    // A run without any window has nobody to show progress to, nor a Cancel.
    ProgressShown when = m_options.ui == UiLevel::Silent    ? ProgressShown::Never
                         : m_options.ui == UiLevel::Passive ? ProgressShown::AtOnce
                                                            : ProgressShown::AfterAMoment;
    m_pageProgress.Begin(when, !IsUnattended());
    m_engine.SetProgress(when == ProgressShown::Never ? nullptr : &m_pageProgress);
    InstallEnd end = InstallStepsRecorded(allShortcuts);
    m_pageProgress.End();
    if (m_pageProgress.Stopped())
        m_log.Write("the installation was cancelled and undone\r\n");
    if (end == InstallEnd::Failed || end == InstallEnd::FolderNotCreated)
        ShowFailureReport();
    if (end == InstallEnd::FolderNotCreated && !IsUnattended())
        EndProcess(0);
    return end == InstallEnd::Installed;
}

void CSetupApp::ShowFailureReport() {
    // An unattended run's log holds the same trace already.
    if (!IsUnattended())
        m_dlgDebugMessage.DoModal();
}

CSetupApp::InstallEnd CSetupApp::InstallStepsRecorded(bool allShortcuts) {
    InstallQuestions& questions = IsUnattended() ? static_cast<InstallQuestions&>(m_unattended) : m_questions;
    m_engine.SetQuestions(questions);
    m_questions.SetWindowBehind(&m_pageProgress.m_hWnd);
    m_engine.SetRecorder(&m_recorder);
    m_engine.SetRunLog(&m_log);
    // Administrators will run what lands here: no standard user may own,
    // change or redirect a folder on the way (setup makes the missing ones
    // protected from the start).
    if (m_hRootKey == HKEY_LOCAL_MACHINE) {
        UntrustedFolder untrusted = FindUntrustedFolderOnTheWay(m_strInstallDir);
        if (!untrusted.path.IsEmpty()) {
            CString why = "Setup cannot install into \"" + untrusted.path + "\": " + FolderTrustReason(untrusted.why) +
                          ". The installation will be canceled.";
            if (IsUnattended())
                m_unattended.Fail("the folder " + untrusted.path +
                                  " cannot be used: " + FolderTrustReason(untrusted.why));
            else
                AfxMessageBox(why, MB_OK | MB_ICONEXCLAMATION);
            return InstallEnd::FolderRefused;
        }
    }
    m_recorder.Begin(m_hRootKey, m_strInstallDir);

    StepOutcome copied = m_engine.CopyFileToAnother(nullptr, nullptr, nullptr, nullptr);
    switch (copied.status) {
        case StepStatus::Done:
            break;
        case StepStatus::Cancelled:
            m_recorder.Rollback();
            return InstallEnd::Undone;
        case StepStatus::FolderNotCreated:
        case StepStatus::NotRecorded:
            m_recorder.Rollback();
            if (IsUnattended())
                return InstallEnd::Failed;
            questions.ReportFolderNotCreated(copied.path);
            return InstallEnd::FolderNotCreated;
        case StepStatus::Incomplete:
            m_recorder.Rollback();
            return InstallEnd::Failed;
    }
    if (!m_pageProgress.KeepGoing()) {
        m_recorder.Rollback();
        return InstallEnd::Undone;
    }

    m_engine.RemoveShortcuts();
    ::SHChangeNotify(SHCNE_ASSOCCHANGED, SHCNF_FLUSHNOWAIT, nullptr, nullptr);
    if (allShortcuts || m_bStartMenuIcon)
        m_engine.AddTpStartMenu();
    if (allShortcuts || m_bDesktopShortcut)
        m_engine.CreateDesktopShortCut();
    m_engine.WriteReg();
    if (IsUnattended() && m_unattended.Failed()) {
        m_recorder.Rollback();
        return InstallEnd::Failed;
    }
    if (!m_pageProgress.KeepGoing()) {
        m_recorder.Rollback();
        return InstallEnd::Undone;
    }
    if (m_engine.ChangeLeftOut() || !InstallationRegistered() || !m_recorder.Commit()) {
        m_recorder.Rollback();
        if (IsUnattended())
            m_unattended.Fail("the installation could not be recorded in the registry");
        else
            AfxMessageBox("Setup could not record the installation in the registry, so nothing has been installed.",
                          MB_OK | MB_ICONEXCLAMATION);
        return InstallEnd::Failed;
    }
    return InstallEnd::Installed;
}

// What the uninstaller will look for: a refused registry write leaves it out.
bool CSetupApp::InstallationRegistered() const {
    HKEY key = nullptr;
    if (::RegOpenKeyExA(m_hRootKey, kProductKey, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
        return false;
    DWORD type = 0;
    DWORD size = 0;
    bool present = ::RegQueryValueExA(key, kSetupPathValue, nullptr, &type, nullptr, &size) == ERROR_SUCCESS;
    ::RegCloseKey(key);
    return present;
}

CString CSetupApp::MediaEditorPath() const {
    return MediaEditorBesideProgram();
}
