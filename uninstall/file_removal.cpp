// The installed files, the backups the user agrees to, the shortcuts, and the
// folders that are empty once the files are gone.
#include "common/install_folder_guard.h"
#include "common/install_recorder.h"
#include "common/product_catalogue.h"
#include "common/shell_folders.h"
#include "common/shortcut_removal.h"
#include "common/system_paths.h"
#include "common/text_rules.h"
#include "framework/file_find.h"
#include "self_delete.h"
#include "uninstall_app.h"
#include "uninstall_rules.h"

namespace {
// The name of a file directly in folder (which ends with a backslash); empty
// otherwise. The record may name the folder in another form than this run
// does (a short name, another drive letter for it): then both are compared
// where they really are, or its files would stay while the removal succeeds.
CString NameInFolder(const std::string& path, const CString& folder) {
    size_t slash = path.rfind('\\');
    if (slash == std::string::npos)
        return CString();
    std::string name = path.substr(slash + 1);
    // "/" and ".." would reach outside the folder whatever the prefix says.
    if (!IsPlainRecordedName(name))
        return CString();
    return IsSameFolder(path.substr(0, slash + 1).c_str(), folder) ? CString(name.c_str()) : CString();
}

bool SetupInstallsName(const char* name) {
    for (const ProductFile& file : kProductFiles)
        if (CString(file.installedName).CompareNoCase(name) == 0)
            return true;
    return false;
}
}  // namespace

// With an install record, exactly the files setup created; without one (an
// installation by an earlier setup), the fixed list, less names these media
// never install. Never a file that was there before the installation.
void CUninstallApp::BuildFileList() {
    m_pFileList.clear();
    m_pFileList.reserve(kFileListRoom);
    m_createdFolders.clear();
    ParsedRecord record = CInstallRecorder::ReadRecord(m_strInstallDir);
    m_bHasRecord = record.committed;
    if (m_bHasRecord) {
        RemovalPlan plan = PlanRemoval(record.entries);
        m_pFileList.push_back(kEditorFileName);  // first: only it means "in use"
        for (const std::string& path : plan.files) {
            CString name = NameInFolder(path, m_strInstallDir);
            // Backups go only when the user agrees (below).
            if (!name.IsEmpty() && name.CompareNoCase(kEditorFileName) != 0 && !IsBackupName(name))
                m_pFileList.push_back(name);
        }
        for (const std::string& folder : plan.folders)
            m_createdFolders.push_back(WithTrailingBackslash(folder.c_str()));
    } else {
        for (const char* name : kInstalledFileNames)
            if (SetupInstallsName(name))
                m_pFileList.push_back(name);
    }
    m_nFileCount = static_cast<int>(m_pFileList.size());

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
        // Every backup the user agreed to goes, however many setup left.
        m_pFileList.push_back(name);
        m_nFileCount = static_cast<int>(m_pFileList.size());
    }
}

namespace {
bool IsFileThere(const CString& path) {
    DWORD attributes = ::GetFileAttributesA(path);
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// A link or junction goes with RemoveDirectory whatever its target holds, so
// the walk never removes one, nor climbs past it. Asked without its trailing
// backslash, which would lead Wine through the link to its target.
bool IsLinkedFolder(const CString& folder) {
    DWORD attributes = ::GetFileAttributesA(BeforeLastBackslash(folder));
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT);
}
}  // namespace

// Every file but the uninstaller, which goes last (RemoveUninstaller). A file
// that stays stops the removal before the registry is touched, so the product
// stays listed and a second run can finish the job; absent files are no loss.
BOOL CUninstallApp::RemoveInstalledFiles() {
    std::vector<CString> kept;
    for (int i = 0; i < m_nFileCount; ++i) {
        const CString& name = m_pFileList[static_cast<size_t>(i)];
        if (name.CompareNoCase(kUninstallerFileName) == 0)
            continue;
        CString path = m_strInstallDir + name;
        ::SetFileAttributesA(path, FILE_ATTRIBUTE_NORMAL);
        if (::DeleteFileA(path))
            continue;
        DWORD error = ::GetLastError();
        // A running editor shows as access denied or as a sharing violation.
        if (TailEndsWith(path, "Scrivo.exe") && (error == ERROR_ACCESS_DENIED || error == ERROR_SHARING_VIOLATION)) {
            ShowMessage(kInUseText, MB_OK);
            return FALSE;
        }
        if (IsFileThere(path))
            kept.push_back(path);
    }
    if (!kept.empty()) {
        ShowMessage(KeptFilesMessage(kept), MB_OK);
        return FALSE;
    }
    return TRUE;
}

// The first run started this one and is ending; it may hold its file a moment longer.
BOOL CUninstallApp::RemoveUninstaller() {
    CString path = m_strInstallDir + kUninstallerFileName;
    ::SetFileAttributesA(path, FILE_ATTRIBUTE_NORMAL);
    for (int attempt = 0; attempt < kUninstallerAttempts; ++attempt) {
        if (::DeleteFileA(path) || !IsFileThere(path)) {
            ::DeleteFileA(m_strInstallDir + kRecordFileName);  // the record is ours, and goes last
            return TRUE;
        }
        // A first run that waits for this one holds its file until this one
        // ends: it is moved out beside this copy and deleted once both are gone.
        if (IsUnattended() && attempt == 0) {
            CString moved = UpToLastBackslash(GetModulePath()) + kUninstallerFileName + ".old";
            ::DeleteFileA(moved);
            if (::MoveFileExA(path, moved, MOVEFILE_REPLACE_EXISTING)) {
                // Whichever of the two deletions ends last also takes the folder.
                StartSelfDeletion(moved, HoldingFolder(moved));
                ::DeleteFileA(m_strInstallDir + kRecordFileName);
                return TRUE;
            }
            // On another drive than the temporary folder it can only be renamed
            // where it is; it goes with the folders once the first run has ended.
            bool otherDrive = ::GetLastError() == ERROR_NOT_SAME_DEVICE;
            CString aside = path + ".old";
            if (otherDrive && (::DeleteFileA(aside), ::MoveFileExA(path, aside, MOVEFILE_REPLACE_EXISTING))) {
                m_strLeftInPlace = aside;
                ::DeleteFileA(m_strInstallDir + kRecordFileName);
                return TRUE;
            }
        }
        ::Sleep(100);
    }
    ShowMessage(KeptFilesMessage({path}), MB_OK);
    return FALSE;
}

namespace {
// With another installation beside this one, links of the same names may be
// its own (the desktop link most of all): only those that lead into this
// installation's folder go.
class OwnLinksOnly : public ShortcutRemovalWatcher {
public:
    explicit OwnLinksOnly(const CString& folder) : m_folder(folder) {}
    bool BeforeLinkRemoved(const CString& link) override {
        CString target = LinkTarget(link);
        int cut = target.ReverseFind('\\');
        return cut >= 0 && IsSameFolder(target.Left(cut + 1), m_folder);
    }
    bool BeforeGroupRemoved(const CString&) override { return true; }

private:
    CString m_folder;
};
}  // namespace

void CUninstallApp::RemoveShortcuts() {
    // An installation for all users and one for a single user keep their links
    // in different folders; whichever this was, both are looked at, less the
    // place of another installation beside this one.
    OwnLinksOnly ownOnly(m_strInstallDir);
    ShortcutRemovalWatcher* watcher = m_bOtherForMachine || m_bOtherForUser ? &ownOnly : nullptr;
    if (!m_bOtherForMachine)
        RemoveProductShortcuts(LegacyLink::Keep, watcher);
    if (!m_bOtherForUser) {
        SetPerUserShortcuts(true);
        RemoveProductShortcuts(LegacyLink::Keep, watcher);
        SetPerUserShortcuts(false);
    }
    // An installation by LocalSystem put its desktop link on the all-users desktop.
    SetAllUsersDesktop(true);
    RemoveProductShortcuts(LegacyLink::Keep, watcher);
    SetAllUsersDesktop(false);
}

// Removes the installation folder and then each parent that is left empty;
// the first folder that cannot go ends the walk. Folders of the system and the
// user, and links to folders elsewhere, are never removed, even when empty.
// With an install record the walk stops at the first folder setup did not make.
void CUninstallApp::RemoveInstallFolders() {
    const std::vector<CString>& protectedFolders = SystemFoldersHere().protectedFolders;
    auto madeBySetup = [this](const CString& folder) {
        if (!m_bHasRecord)
            return true;
        for (const CString& created : m_createdFolders)
            if (created.CompareNoCase(folder) == 0)
                return true;
        return false;
    };
    CString folder = m_strInstallDir;
    std::vector<CString> afterFirstRun;  // held by our own renamed uninstaller until then
    while (madeBySetup(folder) && !IsProtectedFolder(folder, protectedFolders) && !IsLinkedFolder(folder)) {
        if (!afterFirstRun.empty() || !::RemoveDirectoryA(folder)) {
            if (m_strLeftInPlace.IsEmpty())
                break;
            afterFirstRun.push_back(BeforeLastBackslash(folder));
        }
        CString parent = ParentFolder(folder);
        if (parent == folder)
            break;
        folder = parent;
    }
    if (!m_strLeftInPlace.IsEmpty())
        StartSelfDeletion(m_strLeftInPlace, afterFirstRun);
}
