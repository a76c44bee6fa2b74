// The wizard's answers to the install engine: the message boxes a person sees.
#pragma once
#include <windows.h>

#include "engine/install_questions.h"

class CWizardQuestions : public InstallQuestions {
public:
    // A window of ours that is shown while the steps run (the progress
    // window): it takes no clicks while a question waits for its answer.
    void SetWindowBehind(HWND* window) { m_pWindowBehind = window; }

    bool OfferBackup(const CString& installedVersion) override;
    InUseAnswer FileInUse(const CString& path) override;
    void ReportUncopiedFiles(const std::vector<CString>& installedNames) override;
    void ReportFolderNotCreated(const CString& folder) override;
    void ReportShortcutFailed(const CString& linkPath) override;

private:
    int Ask(const char* text, UINT type, bool plainBox = false);
    HWND* m_pWindowBehind = nullptr;
};
