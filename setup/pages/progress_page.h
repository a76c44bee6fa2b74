// Shown while an installation runs longer than a moment: the file being
// copied, how far the copy is by bytes, and Cancel, which undoes everything.
// A quick installation never shows it.
#pragma once
#include <cstdint>

#include "setup/controls/accessible_progress_bar.h"
#include "setup/engine/install_progress.h"
#include "setup/res/resource.h"
#include "wizard_page.h"

enum class ProgressShown { Never, AfterAMoment, AtOnce };

class CProgressPage : public CWizardPage, public InstallProgress {
public:
    CProgressPage() : CWizardPage(IDD_PROGRESS) {}

    // The installation begins now. The window appears once it has run for
    // kShowAfterMs, at once, or never; Cancel asks the quit question first, or not.
    void Begin(ProgressShown when, bool askBeforeStopping);
    // False once the user chose to stop; keeps the window answering meanwhile.
    bool KeepGoing();
    // The installation is over: the window goes.
    void End();
    bool Stopped() const { return m_bStopped; }

    void CopyBegins(uint64_t totalBytes) override;
    bool Copying(const CString& destination, uint64_t bytesDone) override;

    static constexpr unsigned kShowAfterMs = 300;
    HICON m_hIcon = nullptr;

protected:
    BOOL OnInitDialog() override;
    void OnCancel() override;
    void OnMove(int, int) override;

private:
    void ShowWhenDue();
    void Pump();

    unsigned long m_nStart = 0;
    ProgressShown m_shown = ProgressShown::Never;
    bool m_bAsk = true;
    bool m_bTried = false;  // the window was made, or could not be
    bool m_bStopped = false;
    uint64_t m_nTotal = 0;
    int m_nShownPerMille = -1;
    CString m_strShownFile;
    CAccessibleProgressBar m_bar;
};
