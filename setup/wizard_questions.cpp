#include "wizard_questions.h"

#include <windows.h>

#include "common/product_catalogue.h"
#include "engine/copy_rules.h"
#include "framework/win_app.h"

// The boxes have no owner, so the window behind would otherwise take a
// Cancel while the person is still being asked something else. The plain
// system box has the program's caption and no icon added.
int CWizardQuestions::Ask(const char* text, UINT type, bool plainBox) {
    HWND behind = m_pWindowBehind ? *m_pWindowBehind : nullptr;
    bool hold = behind && ::IsWindowVisible(behind) && ::IsWindowEnabled(behind);
    if (hold)
        ::EnableWindow(behind, FALSE);
    int answer = 0;
    if (plainBox) {
        CWinApp* app = AfxGetApp();
        CString caption = app ? app->m_strTitle : ProgramTitleFromPath(GetModulePath());
        answer = ::MessageBoxA(nullptr, text, caption, type);
    } else {
        answer = AfxMessageBox(text, type);
    }
    if (hold)
        ::EnableWindow(behind, TRUE);
    return answer;
}

bool CWizardQuestions::OfferBackup(const CString& installedVersion) {
    CString question;
    question.Format(
        "There's a previous version(%s) of Brellic Pagewright under the same directory on your computer.\nWould you "
        "like to backup it?",
        installedVersion.c_str());
    return Ask(question, MB_YESNO | MB_SYSTEMMODAL | MB_SETFOREGROUND) == IDYES;
}

// For the editor the box only has OK: the person closes it and we try again.
// Another file held open is named, and the person may give up: the
// installation is then rolled back.
InUseAnswer CWizardQuestions::FileInUse(const CString& path) {
    CString name = path.Mid(path.ReverseFind('\\') + 1);
    if (name.CompareNoCase(kEditorFileName) != 0 && !name.IsEmpty()) {
        CString text;
        text.Format(
            "The file \"%s\" is in use by another program.\nClose that program and click Retry, or click "
            "Cancel to stop the installation.",
            path.c_str());
        return Ask(text, MB_RETRYCANCEL | MB_ICONEXCLAMATION) == IDRETRY ? InUseAnswer::Retry : InUseAnswer::Cancel;
    }
    Ask("Brellic Pagewright must be closed to proceed with the installation.\nPlease close all running Brellic "
        "Pagewright and then click OK to continue.",
        MB_OK | MB_ICONEXCLAMATION);
    return InUseAnswer::Retry;
}

void CWizardQuestions::ReportUncopiedFiles(const std::vector<CString>& installedNames) {
    Ask(UncopiedFilesMessage(installedNames), MB_OK | MB_ICONEXCLAMATION | MB_SETFOREGROUND);
}

void CWizardQuestions::ReportFolderNotCreated(const CString&) {
    Ask("Can't create the directory. The installation will be canceled.", MB_OK | MB_SETFOREGROUND | MB_TOPMOST);
}

// The plain system box: the framework would add an icon this message never had.
void CWizardQuestions::ReportShortcutFailed(const CString&) {
    Ask("Fail to create shortcut.", MB_OK, true);
}
