// The wizard's answers to the install engine: the message boxes a person sees.
#pragma once
#include "engine/install_questions.h"

class CWizardQuestions : public InstallQuestions {
public:
    bool OfferBackup(const CString& installedVersion) override;
    InUseAnswer FileInUse(const CString& path) override;
    void ReportUncopiedFiles(const std::vector<CString>& installedNames) override;
    void ReportFolderNotCreated(const CString& folder) override;
    void ReportShortcutFailed(const CString& linkPath) override;
};
