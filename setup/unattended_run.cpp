// The parts of a run that switches choose: the log, the one-run lock, and the
// installation without pages for package managers and deployment tools.
#include <windows.h>

#include "common/command_tail.h"
#include "common/elevation.h"
#include "common/product_catalogue.h"
#include "common/registry.h"
#include "common/text_rules.h"
#include "debug_log.h"
#include "setup_app.h"

namespace {
void MirrorIntoRunLog(const char* text) {
    SetupApp().m_log.Write(text);
}

// The wizard of the run that holds the lock, brought to the front.
void ShowRunningSetup() {
    HWND other = ::FindWindowA("#32770", "Brellic Pagewright Setup");
    if (other) {
        ::ShowWindow(other, SW_RESTORE);
        ::SetForegroundWindow(other);
    }
}
}  // namespace

bool CSetupApp::StartRun() {
    m_options = ParseSetupSwitches(m_lpCmdLine);
    // An installation for this user only needs no administrator; anything else
    // runs in an elevated copy, which writes the log and gives the exit code.
    if (m_options.scope != InstallScope::CurrentUser && m_options.badSwitch.IsEmpty() && !m_options.help &&
        RunsAsLimitedAdministrator())
        EndProcess(RunElevatedCopy(CommandTail(::GetCommandLineW())));
    if (m_options.log) {
        m_log.Open(m_options.logFile, "Brellic Pagewright Setup");
        SYSTEMTIME now;
        ::GetLocalTime(&now);
        CString stamp;
        stamp.Format("%04u-%02u-%02u %02u:%02u:%02u", now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute,
                     now.wSecond);
        m_log.Field("date", stamp);
        m_log.Field("program", GetModulePath());
        m_log.Field("version", PRODUCT_VERSION_TEXT);
        m_log.Field("command line", m_lpCmdLine);
    }
    // A CD's start-up tail may carry anything before "autorun": it keeps its own meaning.
    bool tailRule = TailEndsWith(m_lpCmdLine, "autorun") || TailEndsWith(m_lpCmdLine, "notruneditor");
    if (!m_options.badSwitch.IsEmpty() && !tailRule) {
        m_log.Write("failure: the switch " + m_options.badSwitch + " is not known\r\n");
        if (!IsUnattended())
            AfxMessageBox("The switch \"" + m_options.badSwitch +
                              "\" is not known.\nRun setup.exe /? to see the switches setup knows.",
                          MB_OK | MB_ICONEXCLAMATION);
        Finish(kExitBadCommandLine);
    }
    if (m_options.help) {
        if (!IsUnattended())
            AfxMessageBox(SetupHelpText(), MB_OK | MB_ICONINFORMATION);
        Finish(kExitSuccess);
    }
    if (!m_singleRun.Acquire()) {
        m_log.Write("failure: another setup or uninstall of Brellic Pagewright is running\r\n");
        if (!IsUnattended())
            ShowRunningSetup();
        Finish(kExitAlreadyRunning);
    }
    return true;
}

// The header is complete: the trace so far, and from here on as it grows.
void CSetupApp::StartTraceInLog() {
    if (!m_log.IsOpen())
        return;
    m_log.Field("destination", m_strInstallDir);
    m_log.Write("\r\n");
    m_log.Write(g_strDebugLog);
    MirrorLog(MirrorIntoRunLog);
}

void CSetupApp::RunUnattended() {
    m_engine.initCopyedFileList();
    m_bDesktopShortcut = m_options.noDesktop ? 0 : 1;
    m_bStartMenuIcon = m_options.noStartMenu ? 0 : 1;
    m_bRunProgram = m_options.run ? 1 : 0;
    if (!InstallSteps(false)) {
        if (m_pageProgress.Stopped())
            Finish(kExitCancelled);
        FailUnattended(m_unattended.Failed() ? m_unattended.Failure() : CString("the installation did not finish"));
    }
    StartEditorIfChosen();
    LogText("exit setup!\r\n");
    Finish(kExitSuccess);
}

void CSetupApp::FailUnattended(const CString& why) {
    m_unattended.Fail(why);
    if (!IsUnattended())
        AfxMessageBox(why, MB_OK | MB_ICONEXCLAMATION);
    Finish(kExitFailed);
}

void CSetupApp::EndLog(int exitCode) {
    MirrorLog(nullptr);
    CString result;
    result.Format("result: %d %s\r\n", exitCode, ExitCodeMeaning(exitCode));
    m_log.Write(result);
}

void CSetupApp::Finish(int exitCode) {
    EndLog(exitCode);
    m_singleRun.Release();
    EndProcess(exitCode);
    __builtin_unreachable();
}
