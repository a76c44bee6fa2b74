// The setup program's application object: the install state it shares with the
// pages and the engine, one object per wizard page, and the order of the steps.
#pragma once
#include <windows.h>

#include "common/install_recorder.h"
#include "common/run_log.h"
#include "common/run_options.h"
#include "common/single_run.h"
#include "debug_message_dlg.h"
#include "engine/install_engine.h"
#include "engine/install_state.h"
#include "framework/win_app.h"
#include "pages/agreement_page.h"
#include "pages/confirm_page.h"
#include "pages/destination_page.h"
#include "pages/finish_page.h"
#include "pages/install_type_page.h"
#include "pages/interrupted_page.h"
#include "pages/progress_page.h"
#include "pages/welcome_page.h"
#include "sequence.h"
#include "unattended_questions.h"
#include "wizard_questions.h"

class CSetupApp : public CWinApp, public InstallState {
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

    // The install steps under the install record: true when the installation
    // was committed; otherwise everything was rolled back and the user told.
    bool InstallSteps(bool allShortcuts);
    enum class InstallEnd { Installed, Undone, Failed, FolderNotCreated, FolderRefused };
    InstallEnd InstallStepsRecorded(bool allShortcuts);
    // After a failure's own message, in a run with windows: the trace, for the
    // person to send to support. Tests override it.
    virtual void ShowFailureReport();
    bool InstallationRegistered() const;

    // Switches, the run's log and the one-run lock; false when the run ends here.
    bool StartRun();
    void StartTraceInLog();
    bool IsUnattended() const { return m_options.ui != UiLevel::Full; }
    // The installation without a page or a question.
    [[noreturn]] void RunUnattended();
    // Starts the editor when the person or /RUN asked for it, and someone can see it.
    void StartEditorIfChosen();
    // Stops copying the trace into the log and ends the log with the result line.
    void EndLog(int exitCode);
    // Ends the run with that exit code, its log closed with the result line.
    [[noreturn]] void Finish(int exitCode);
    // A failure of an unattended run: logged, then exit code 1603.
    [[noreturn]] void FailUnattended(const CString& why);

    // Full path of the media's "Scrivo.ex_" beside the running program.
    CString MediaEditorPath() const;

    int m_bPageOpening = 0;
    RECT m_rcPage{};
    CWizardQuestions m_questions;
    CInstallEngine m_engine{*this, m_questions};
    RunOptions m_options;
    CRunLog m_log;
    CUnattendedQuestions m_unattended{m_log};
    CSingleRun m_singleRun;
    CInstallRecorder m_recorder;
    CInstallTypePage m_pageInstallType;
    CAgreementPage m_pageAgreement;
    CDestinationPage m_pageDestination;
    CFinishPage m_pageFinish;
    CDebugMessageDlg m_dlgDebugMessage;
    CConfirmPage m_pageConfirm;
    CWelcomePage m_pageWelcome;
    CInterruptedPage m_pageInterrupted;
    CProgressPage m_pageProgress;

private:
    INT_PTR RunPage(CDialog& page);
};

// The running setup's application object.
CSetupApp& SetupApp();
