#include "unattended_questions.h"

#include <windows.h>

void CUnattendedQuestions::Answered(const char* question, const char* answer) {
    CString line;
    line.Format("question: %s answer: %s\r\n", question, answer);
    m_log.Write(line);
}

void CUnattendedQuestions::Fail(const CString& why) {
    // The run's end repeats the first reason: it is in the log already.
    if (why == m_failure)
        return;
    if (m_failure.IsEmpty())
        m_failure = why;
    m_log.Write("failure: " + why + "\r\n");
}

bool CUnattendedQuestions::OfferBackup(const CString& installedVersion) {
    Answered(CString("keep a backup of the installed editor ") + installedVersion + "?", "Yes");
    return true;
}

// The same file is waited for a second at a time; the count starts again for another file.
InUseAnswer CUnattendedQuestions::FileInUse(const CString& path) {
    if (path != m_heldFile) {
        m_heldFile = path;
        m_nWaited = 0;
    }
    if (m_nWaited >= m_nInUseSeconds) {
        Answered(CString("close the program that holds ") + path + "?", "still in use, giving up");
        Fail(CString("in use: ") + path);
        return InUseAnswer::Cancel;
    }
    if (m_nWaited == 0)
        Answered(CString("close the program that holds ") + path + "?", "waiting");
    ++m_nWaited;
    ::Sleep(1000);
    return InUseAnswer::Retry;
}

void CUnattendedQuestions::ReportUncopiedFiles(const std::vector<CString>& installedNames) {
    CString names;
    for (const CString& name : installedNames)
        names += (names.IsEmpty() ? "" : ", ") + name;
    Fail("could not install: " + names);
}

void CUnattendedQuestions::ReportFolderNotCreated(const CString& folder) {
    Fail("cannot create the folder " + folder);
}

void CUnattendedQuestions::ReportShortcutFailed(const CString& linkPath) {
    Fail("cannot create the shortcut " + linkPath);
}
