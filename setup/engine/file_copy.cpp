#include <algorithm>

#include "common/product_catalogue.h"
#include "copy_rules.h"
#include "engine_support.h"
#include "install_engine.h"
#include "path_rules.h"
#include "setup/debug_log.h"

namespace {
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

// A file held open restarts the copy from the first entry; once that pass is
// through, the interrupted one goes on where it stopped. So retries stack up as
// passes waiting to resume, and every pass leaves its lines in the trace.
StepOutcome CInstallEngine::CopyFileToAnother(const char* lpsz1,
                                              const char* lpsz2,
                                              const char* lpsz3,
                                              const char* lpsz4) {
    std::vector<CString> uncopied;
    std::vector<PassPosition> waiting;
    m_presentAtStart.clear();
    PassPosition position;
    bool starting = true;
    for (;;) {
        if (starting) {
            LogFormat("start CopyFileToAnother(%s, %s, %s, %s)\r\n", lpsz1, lpsz2, lpsz3, lpsz4);
            lpsz1 = lpsz2 = lpsz3 = lpsz4 = nullptr;  // a restarted pass is called without arguments
            // A folder that still is not there (its parent is a file, no rights, no
            // such drive) would only make every copy fail: stop before anything is touched.
            if (!CreateThePath(m_state.m_strInstallDir) || !FolderExists(m_state.m_strInstallDir))
                return {StepStatus::FolderNotCreated, m_state.m_strInstallDir};
            if (m_recorder && !m_recorder->IsActive() && !m_recorder->Open())
                return {StepStatus::NotRecorded, m_state.m_strInstallDir};
            if (m_state.m_strOldSetupPath == m_state.m_strInstallDir)
                m_state.m_bSameDir = 1;
            if (m_presentAtStart.empty()) {
                std::vector<CString> destinations;
                for (const CString& entry : m_state.m_pCopyList) {
                    m_presentAtStart.push_back(FileIsPresent(m_state.m_strSourceDir + "\\" + entry));
                    if (m_presentAtStart.back())
                        destinations.push_back(PathInFolder(m_state.m_strInstallDir, InstalledName(entry)));
                }
                // New files are recorded together, with one flush rather than one each.
                if (m_recorder && !m_recorder->NoteNewFiles(destinations))
                    return {StepStatus::NotRecorded, m_state.m_strInstallDir};
            }
            position = PassPosition{};
            starting = false;
        }
        CString heldFile;
        if (CopyPass(position, uncopied, heldFile)) {
            if (waiting.empty())
                break;
            LogText("exit CopyFileToAnother()\r\n");
            position = waiting.back();
            waiting.pop_back();
        } else if (m_questions->FileInUse(heldFile) == InUseAnswer::Retry) {
            waiting.push_back(position);
            starting = true;
        } else {
            LogText("exit CopyFileToAnother()\r\n");
            return {StepStatus::Cancelled, heldFile};
        }
    }

    LogText("exit CopyFileToAnother()\r\n");
    if (uncopied.empty())
        return {};
    m_questions->ReportUncopiedFiles(uncopied);
    return {StepStatus::Incomplete, uncopied.front()};
}

// Copies the entries from position on. False when a file held open stopped the
// pass; position is then where it goes on after the retry.
bool CInstallEngine::CopyPass(PassPosition& position, std::vector<CString>& uncopied, CString& heldFile) {
    for (; position.index < static_cast<size_t>(m_state.m_nCopyCount) && position.index < m_state.m_pCopyList.size();
         ++position.index, position.backupSettled = false) {
        const CString entry = m_state.m_pCopyList[position.index];
        CString source = m_state.m_strSourceDir + "\\" + entry;
        CString installedName = InstalledName(entry);
        CString destination = PathInFolder(m_state.m_strInstallDir, installedName);

        if (!position.backupSettled && m_state.m_bSameDir == 1 && entry == kEditorMediaName &&
            CanOpenForReading(destination)) {
            BackupResult backup = KeepBackupIfWanted(source, destination);
            if (backup == BackupResult::InUse) {
                position.backupSettled = true;
                heldFile = destination;
                return false;
            }
            if (backup == BackupResult::Failed) {
                // The user asked to keep the installed editor and we could not: keep it in place instead.
                Remember(uncopied, installedName);
                continue;
            }
        }

        LogFormat("CopyFile(%s, %s, FALSE)\r\n", source.c_str(), destination.c_str());
        bool wasPresent = position.index < m_presentAtStart.size() && m_presentAtStart[position.index];
        // The earlier file is moved aside first, so a failed copy can be undone;
        // one that is held open stays where it is and is reported as in use.
        if (wasPresent && m_recorder && !m_recorder->NoteFile(destination)) {
            if (::GetLastError() == ERROR_SHARING_VIOLATION) {
                ++position.index;
                position.backupSettled = false;
                heldFile = destination;
                return false;
            }
            Remember(uncopied, installedName);
            continue;
        }
        if (CopyOverwriting(source, destination)) {
            Forget(uncopied, installedName);
            continue;
        }
        if (::GetLastError() == ERROR_SHARING_VIOLATION) {
            ++position.index;
            position.backupSettled = false;
            heldFile = destination;
            return false;
        }
        // Media taken away during the copy is a failure, not a file these media lack.
        if (wasPresent || FileIsPresent(source))
            Remember(uncopied, installedName);
        else
            Forget(uncopied, installedName);  // not on these media: nothing to install
    }
    return true;
}

// Offers to keep the installed editor when the media bring a newer one.
CInstallEngine::BackupResult CInstallEngine::KeepBackupIfWanted(const CString& source, const CString& destination) {
    CString newVersion;
    CString installedVersion;
    GetFileVersion(newVersion, source);
    GetFileVersion(installedVersion, destination);
    if (!OffersBackup(newVersion, installedVersion) || !m_questions->OfferBackup(installedVersion))
        return BackupResult::GoOn;
    CString backup = PathInFolder(m_state.m_strInstallDir, BackupName(installedVersion));
    if (m_recorder && !m_recorder->NoteFile(backup))
        return ::GetLastError() == ERROR_SHARING_VIOLATION ? BackupResult::InUse : BackupResult::Failed;
    if (::CopyFileA(destination, backup, FALSE))
        return BackupResult::GoOn;
    return ::GetLastError() == ERROR_SHARING_VIOLATION ? BackupResult::InUse : BackupResult::Failed;
}
