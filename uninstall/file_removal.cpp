// The installed files, the backups the user agrees to, the shortcuts, and the
// folders that are empty once the files are gone.
#include "common/install_folder_guard.h"
#include "common/shortcut_removal.h"
#include "common/system_paths.h"
#include "common/text_rules.h"
#include "framework/file_find.h"
#include "uninstall_app.h"
#include "uninstall_rules.h"

void CUninstallApp::BuildFileList() {
    m_pFileList.clear();
    m_pFileList.reserve(kFileListRoom);
    m_pFileList.assign(std::begin(kInstalledFileNames), std::end(kInstalledFileNames));
    m_nFileCount = kInstalledFileCount;

    CFileFind finder;
    BOOL more = finder.FindFile(m_strInstallDir + "*.*");
    bool asked = false;
    while (more) {
        more = finder.FindNextFile();
        if (finder.IsDirectory() || finder.IsDots())
            continue;
        CString name = finder.GetFileName();
        if (!IsBackupName(name))
            continue;
        if (!asked) {
            asked = true;
            if (ShowMessage(kBackupQuestion, MB_YESNO | MB_SYSTEMMODAL | MB_SETFOREGROUND) != IDYES)
                break;
        }
        // The list grows past its first hundred names rather than overrun.
        m_pFileList.push_back(name);
        m_nFileCount = static_cast<int>(m_pFileList.size());
    }
}

BOOL CUninstallApp::RemoveInstalledFiles() {
    for (int i = 0; i < m_nFileCount; ++i) {
        CString path = m_strInstallDir + m_pFileList[static_cast<size_t>(i)];
        ::SetFileAttributesA(path, FILE_ATTRIBUTE_NORMAL);
        if (::DeleteFileA(path))
            continue;
        DWORD error = ::GetLastError();
        // A running editor shows as access denied or as a sharing violation.
        if (TailEndsWith(path, "Scrivo.exe") && (error == ERROR_ACCESS_DENIED || error == ERROR_SHARING_VIOLATION)) {
            ShowMessage(kInUseText, MB_OK);
            return FALSE;
        }
    }
    return TRUE;
}

void CUninstallApp::RemoveShortcuts() {
    RemoveProductShortcuts(LegacyLink::Keep);
}

// Removes the installation folder and then each parent that is left empty;
// the first folder that cannot go ends the walk. Folders of the system and the
// user are never removed, even when empty.
void CUninstallApp::RemoveInstallFolders() {
    std::vector<CString> protectedFolders = CurrentSystemFolders().protectedFolders;
    CString folder = m_strInstallDir;
    while (!IsProtectedFolder(folder, protectedFolders) && ::RemoveDirectoryA(folder)) {
        CString parent = ParentFolder(folder);
        if (parent == folder)
            break;
        folder = parent;
    }
}
