// What the install engine asks or tells whoever runs it. The wizard answers with
// message boxes; a run without a person, or a test, answers as it chooses.
#pragma once
#include <vector>

#include "framework/afx_string.h"

enum class InUseAnswer { Retry, Cancel };

class InstallQuestions {
public:
    virtual ~InstallQuestions() = default;

    // Reinstalling over an older editor: true keeps a copy of it under its backup name.
    virtual bool OfferBackup(const CString& installedVersion) = 0;
    // Another program holds a file open; Retry starts the copy again from the first file.
    virtual InUseAnswer FileInUse(const CString& path) = 0;
    // The installed names of the files that could not be put in place; the installation goes on.
    virtual void ReportUncopiedFiles(const std::vector<CString>& installedNames) = 0;
    // The destination folder could not be made; nothing has been copied.
    virtual void ReportFolderNotCreated(const CString& folder) = 0;
    virtual void ReportShortcutFailed(const CString& linkPath) = 0;
};
