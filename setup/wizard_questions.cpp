#include "wizard_questions.h"

#include <windows.h>

#include "common/product_catalogue.h"
#include "engine/copy_rules.h"
#include "framework/win_app.h"

bool CWizardQuestions::OfferBackup(const CString& installedVersion) {
    CString question;
    question.Format(
        "There's a previous version(%s) of Brellic Pagewright under the same directory on your computer.\nWould you "
        "like to backup it?",
        installedVersion.c_str());
    return AfxMessageBox(question, MB_YESNO | MB_SYSTEMMODAL | MB_SETFOREGROUND) == IDYES;
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
        return AfxMessageBox(text, MB_RETRYCANCEL | MB_ICONEXCLAMATION) == IDRETRY ? InUseAnswer::Retry
                                                                                   : InUseAnswer::Cancel;
    }
    AfxMessageBox(
        "Brellic Pagewright must be closed to proceed with the installation.\nPlease close all running Brellic "
        "Pagewright and then click OK to continue.",
        MB_OK | MB_ICONEXCLAMATION);
    return InUseAnswer::Retry;
}

void CWizardQuestions::ReportUncopiedFiles(const std::vector<CString>& installedNames) {
    AfxMessageBox(UncopiedFilesMessage(installedNames), MB_OK | MB_ICONEXCLAMATION | MB_SETFOREGROUND);
}

void CWizardQuestions::ReportFolderNotCreated(const CString&) {
    AfxMessageBox("Can't create the directory. The installation will be canceled.",
                  MB_OK | MB_SETFOREGROUND | MB_TOPMOST);
}

// The plain system box: the framework would add an icon this message never had.
void CWizardQuestions::ReportShortcutFailed(const CString&) {
    CWinApp* app = AfxGetApp();
    CString caption = app ? app->m_strTitle : ProgramTitleFromPath(GetModulePath());
    ::MessageBoxA(nullptr, "Fail to create shortcut.", caption, MB_OK);
}
