// The answers of a run without a person: the defaults deployment tools expect,
// each written to the run's log. Failures are remembered for the exit code.
#pragma once
#include "common/run_log.h"
#include "engine/install_questions.h"

class CUnattendedQuestions : public InstallQuestions {
public:
    explicit CUnattendedQuestions(CRunLog& log) : m_log(log) {}

    bool OfferBackup(const CString& installedVersion) override;
    InUseAnswer FileInUse(const CString& path) override;
    void ReportUncopiedFiles(const std::vector<CString>& installedNames) override;
    void ReportFolderNotCreated(const CString& folder) override;
    void ReportShortcutFailed(const CString& linkPath) override;

    // One line of the log for a question answered without asking.
    void Answered(const char* question, const char* answer);
    bool Failed() const { return !m_failure.IsEmpty(); }
    const CString& Failure() const { return m_failure; }
    void Fail(const CString& why);

    // How long a file held open is waited for, a second at a time.
    int m_nInUseSeconds = 60;

private:
    CRunLog& m_log;
    CString m_failure;
    CString m_heldFile;
    int m_nWaited = 0;
};
