#include <algorithm>

#include "common/product_catalogue.h"
#include "copy_rules.h"
#include "engine_support.h"
#include "path_rules.h"
#include "setup/debug_log.h"
#include "setup/setup_app.h"

namespace {
const char kCloseEditorText[] =
    "Brellic Pagewright must be closed to proceed with the installation.\nPlease close all running Brellic "
    "Pagewright and then click OK to continue.";

class RunDepth {
public:
    explicit RunDepth(int& depth) : m_depth(depth) { ++m_depth; }
    ~RunDepth() { --m_depth; }
    RunDepth(const RunDepth&) = delete;
    RunDepth& operator=(const RunDepth&) = delete;

private:
    int& m_depth;
};

bool FolderExists(const CString& path) {
    DWORD attributes = ::GetFileAttributesA(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// Overwrites a read-only file of an earlier installation too. The mark is only
// looked at when the copy is refused, which keeps the common case one call.
bool CopyOverwriting(const CString& source, const CString& destination) {
    if (::CopyFileA(source, destination, FALSE))
        return true;
    DWORD error = ::GetLastError();
    DWORD attributes = ::GetFileAttributesA(destination);
    if (error != ERROR_ACCESS_DENIED || attributes == INVALID_FILE_ATTRIBUTES ||
        !(attributes & FILE_ATTRIBUTE_READONLY)) {
        ::SetLastError(error);
        return false;
    }
    ::SetFileAttributesA(destination, FILE_ATTRIBUTE_NORMAL);
    return ::CopyFileA(source, destination, FALSE) != FALSE;
}

void Forget(std::vector<CString>& names, const CString& name) {
    names.erase(std::remove(names.begin(), names.end(), name), names.end());
}

void Remember(std::vector<CString>& names, const CString& name) {
    if (std::find(names.begin(), names.end(), name) == names.end())
        names.push_back(name);
}
}  // namespace

BOOL CSetupApp::CopyFileToAnother(const char* lpsz1, const char* lpsz2, const char* lpsz3, const char* lpsz4) {
    LogFormat("start CopyFileToAnother(%s, %s, %s, %s)\r\n", lpsz1, lpsz2, lpsz3, lpsz4);
    bool outermost = m_nCopyRunDepth == 0;
    RunDepth depth(m_nCopyRunDepth);
    if (outermost)
        m_uncopiedFiles.clear();

    // A folder that still is not there (its parent is a file, no rights, no such
    // drive) would only make every copy fail: stop before anything is touched.
    if (!CreateThePath(m_strInstallDir) || !FolderExists(m_strInstallDir)) {
        AfxMessageBox("Can't create the directory. The installation will be canceled.",
                      MB_OK | MB_SETFOREGROUND | MB_TOPMOST);
        EndProcess(0);
    }
    if (m_strOldSetupPath == m_strInstallDir)
        m_bSameDir = 1;

    for (int i = 0; i < m_nCopyCount && i < static_cast<int>(m_pCopyList.size()); ++i) {
        const CString entry = m_pCopyList[static_cast<size_t>(i)];
        CString source = m_strSourceDir + "\\" + entry;
        CString installedName = InstalledName(entry);
        CString destination = PathInFolder(m_strInstallDir, installedName);

        if (m_bSameDir == 1 && entry == kEditorMediaName && CanOpenForReading(destination) &&
            !KeepBackupIfWanted(source, destination)) {
            // The user asked to keep the installed editor and we could not: keep it in place instead.
            Remember(m_uncopiedFiles, installedName);
            continue;
        }

        LogFormat("CopyFile(%s, %s, FALSE)\r\n", source.c_str(), destination.c_str());
        if (CopyOverwriting(source, destination)) {
            Forget(m_uncopiedFiles, installedName);
            continue;
        }
        DWORD error = ::GetLastError();
        if (error == ERROR_SHARING_VIOLATION) {
            AfxMessageBox(kCloseEditorText, MB_OK | MB_ICONEXCLAMATION);
            CopyFileToAnother(nullptr, nullptr, nullptr, nullptr);
        } else if (FileIsPresent(source)) {
            Remember(m_uncopiedFiles, installedName);
        } else {
            Forget(m_uncopiedFiles, installedName);  // not on these media: nothing to install
        }
    }

    if (outermost && !m_uncopiedFiles.empty())
        AfxMessageBox(UncopiedFilesMessage(m_uncopiedFiles), MB_OK | MB_ICONEXCLAMATION | MB_SETFOREGROUND);
    LogText("exit CopyFileToAnother()\r\n");
    return TRUE;
}

// Offers to keep the installed editor when the media bring a newer one. False
// only when the user asked for the backup and it could not be made.
bool CSetupApp::KeepBackupIfWanted(const CString& source, const CString& destination) {
    CString newVersion;
    CString installedVersion;
    GetFileVersion(newVersion, source);
    GetFileVersion(installedVersion, destination);
    if (!OffersBackup(newVersion, installedVersion))
        return true;
    CString question;
    question.Format(
        "There's a previous version(%s) of Brellic Pagewright under the same directory on your computer.\nWould you "
        "like to backup it?",
        installedVersion.c_str());
    if (AfxMessageBox(question, MB_YESNO | MB_SYSTEMMODAL | MB_SETFOREGROUND) != IDYES)
        return true;
    if (::CopyFileA(destination, PathInFolder(m_strInstallDir, BackupName(installedVersion)), FALSE))
        return true;
    if (::GetLastError() != ERROR_SHARING_VIOLATION)
        return false;
    AfxMessageBox(kCloseEditorText, MB_OK | MB_ICONEXCLAMATION);
    CopyFileToAnother(nullptr, nullptr, nullptr, nullptr);
    return true;
}
