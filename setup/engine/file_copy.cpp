#include <algorithm>

#include "common/folder_protection.h"
#include "common/product_catalogue.h"
#include "common/system_seam.h"
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

struct CopyReport {
    InstallProgress* progress;
    const CString* destination;
    uint64_t bytesBefore;
};

// Where the system reports the copy of a large file as it goes; a stop asked
// for here makes the copy fail with ERROR_REQUEST_ABORTED.
DWORD CALLBACK ReportCopied(LARGE_INTEGER,
                            LARGE_INTEGER copied,
                            LARGE_INTEGER,
                            LARGE_INTEGER,
                            DWORD,
                            DWORD,
                            HANDLE,
                            HANDLE,
                            LPVOID data) {
    const auto* report = static_cast<const CopyReport*>(data);
    uint64_t done = report->bytesBefore + static_cast<uint64_t>(copied.QuadPart);
    return report->progress->Copying(*report->destination, done) ? PROGRESS_CONTINUE : PROGRESS_CANCEL;
}

// Overwrites a read-only file of an earlier installation too. The mark is only
// looked at when the copy is refused, which keeps the common case one call.
bool CopyOverwriting(const CString& source, const CString& destination, CopyReport* report) {
    LPPROGRESS_ROUTINE routine = report ? ReportCopied : nullptr;
    if (::CopyFileExA(source, destination, routine, report, nullptr, 0))
        return true;
    DWORD error = ::GetLastError();
    DWORD attributes = ::GetFileAttributesA(destination);
    if (error != ERROR_ACCESS_DENIED || attributes == INVALID_FILE_ATTRIBUTES ||
        !(attributes & FILE_ATTRIBUTE_READONLY)) {
        ::SetLastError(error);
        return false;
    }
    ::SetFileAttributesA(destination, FILE_ATTRIBUTE_NORMAL);
    return ::CopyFileExA(source, destination, routine, report, nullptr, 0) != FALSE;
}

// A file moved out of the download's private folder would keep that folder's
// protection and the owner who unpacked it; it becomes setup's own with its
// new folder's protection, or goes back to be copied after all.
bool MoveIntoPlace(const CString& source, const CString& destination) {
    if (!::MoveFileExA(source, destination, 0))
        return false;
    if (AdoptAsMadeHere(destination))
        return true;
    ::MoveFileExA(destination, source, 0);
    return false;
}

bool Contains(const std::vector<CString>& names, const CString& name) {
    return std::find(names.begin(), names.end(), name) != names.end();
}

void Forget(std::vector<CString>& names, const CString& name) {
    names.erase(std::remove(names.begin(), names.end(), name), names.end());
}

void Remember(std::vector<CString>& names, const CString& name) {
    if (!Contains(names, name))
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
    m_unflushed.Empty();
    StepOutcome outcome = CopyAllPasses(lpsz1, lpsz2, lpsz3, lpsz4);
    // Done only once every copied file is on the disk, not just in the cache.
    WaitForFlushes();
    if (outcome.status != StepStatus::Done || m_unflushed.IsEmpty())
        return outcome;
    CString name = m_unflushed.Mid(m_unflushed.ReverseFind('\\') + 1);
    m_questions->ReportUncopiedFiles({name});
    return {StepStatus::Incomplete, name};
}

void CInstallEngine::WaitForFlushes() {
    std::string failed = m_flusher.Wait();
    if (!failed.empty() && m_unflushed.IsEmpty())
        m_unflushed = failed.c_str();
}

StepOutcome CInstallEngine::CopyAllPasses(const char* lpsz1, const char* lpsz2, const char* lpsz3, const char* lpsz4) {
    std::vector<CString> uncopied;
    std::vector<PassPosition> waiting;
    m_presentAtStart.clear();
    PassPosition position;
    bool starting = true;
    for (;;) {
        if (starting) {
            // A new pass copies files again that may still be being flushed.
            WaitForFlushes();
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
                m_bytesBefore.assign(1, 0);
                for (const CString& entry : m_state.m_pCopyList) {
                    uint64_t size = 0;
                    m_presentAtStart.push_back(FileIsPresent(m_state.m_strSourceDir + "\\" + entry, size));
                    m_bytesBefore.push_back(m_bytesBefore.back() + (m_presentAtStart.back() ? size : 0));
                    if (m_presentAtStart.back())
                        destinations.push_back(PathInFolder(m_state.m_strInstallDir, InstalledName(entry)));
                }
                if (m_progress) {
                    size_t copied = std::min(m_state.m_pCopyList.size(), static_cast<size_t>(m_state.m_nCopyCount));
                    m_progress->CopyBegins(m_bytesBefore[copied]);
                }
                // New files are recorded together, with one flush rather than one each.
                if (m_recorder && !m_recorder->NoteNewFiles(destinations))
                    return {StepStatus::NotRecorded, m_state.m_strInstallDir};
            }
            position = PassPosition{};
            starting = false;
        }
        CString heldFile;
        PassEnd end = CopyPass(position, uncopied, heldFile);
        if (end == PassEnd::Stopped) {
            LogText("exit CopyFileToAnother()\r\n");
            return {StepStatus::Cancelled, CString()};
        }
        if (end == PassEnd::Through) {
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

// Copies the entries from position on. A file held open ends the pass early;
// position is then where it goes on after the retry.
CInstallEngine::PassEnd CInstallEngine::CopyPass(PassPosition& position,
                                                 std::vector<CString>& uncopied,
                                                 CString& heldFile) {
    for (; position.index < static_cast<size_t>(m_state.m_nCopyCount) && position.index < m_state.m_pCopyList.size();
         ++position.index, position.backupSettled = false) {
        const CString entry = m_state.m_pCopyList[position.index];
        CString source = m_state.m_strSourceDir + "\\" + entry;
        CString installedName = InstalledName(entry);
        CString destination = PathInFolder(m_state.m_strInstallDir, installedName);
        if (g_system.fileCopyStarting)
            g_system.fileCopyStarting(destination);
        uint64_t bytesBefore = position.index < m_bytesBefore.size() ? m_bytesBefore[position.index] : 0;
        if (m_progress && !m_progress->Copying(destination, bytesBefore))
            return PassEnd::Stopped;

        if (!position.backupSettled && m_state.m_bSameDir == 1 && entry == kEditorMediaName &&
            CanOpenForReading(destination)) {
            BackupResult backup = KeepBackupIfWanted(source, destination);
            if (backup == BackupResult::InUse) {
                position.backupSettled = true;
                heldFile = destination;
                return PassEnd::FileHeld;
            }
            if (backup == BackupResult::Failed) {
                // The user asked to keep the installed editor and we could not: keep it in place instead.
                Remember(uncopied, installedName);
                continue;
            }
        }

        LogFormat("CopyFile(%s, %s, FALSE)\r\n", source.c_str(), destination.c_str());
        // Moved in by a pass before a retry: already in place, and its source is gone.
        if (Contains(m_movedFromMedia, entry) && FileIsPresent(destination)) {
            Forget(uncopied, installedName);
            continue;
        }
        bool wasPresent = position.index < m_presentAtStart.size() && m_presentAtStart[position.index];
        // The earlier file is moved aside first, so a failed copy can be undone;
        // one that is held open stays where it is and is reported as in use.
        if (wasPresent && m_recorder && !m_recorder->NoteFile(destination)) {
            if (::GetLastError() == ERROR_SHARING_VIOLATION) {
                ++position.index;
                position.backupSettled = false;
                heldFile = destination;
                return PassEnd::FileHeld;
            }
            Remember(uncopied, installedName);
            continue;
        }
        // Moving spares writing every byte a second time.
        if (m_state.m_bMediaMovable && MoveIntoPlace(source, destination)) {
            m_flusher.Add(destination.str());
            m_movedFromMedia.push_back(entry);
            Forget(uncopied, installedName);
            continue;
        }
        CopyReport report{m_progress, &destination, bytesBefore};
        if (CopyOverwriting(source, destination, m_progress ? &report : nullptr)) {
            m_flusher.Add(destination.str());
            Forget(uncopied, installedName);
            continue;
        }
        if (::GetLastError() == ERROR_REQUEST_ABORTED)
            return PassEnd::Stopped;
        if (::GetLastError() == ERROR_SHARING_VIOLATION) {
            ++position.index;
            position.backupSettled = false;
            heldFile = destination;
            return PassEnd::FileHeld;
        }
        // Media taken away during the copy is a failure, not a file these media lack.
        if (wasPresent || FileIsPresent(source))
            Remember(uncopied, installedName);
        else
            Forget(uncopied, installedName);  // not on these media: nothing to install
    }
    return PassEnd::Through;
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
    if (::CopyFileA(destination, backup, FALSE)) {
        m_flusher.Add(backup.str());
        return BackupResult::GoOn;
    }
    return ::GetLastError() == ERROR_SHARING_VIOLATION ? BackupResult::InUse : BackupResult::Failed;
}

// Where a media file is now: a moved one is read where it went.
CString CInstallEngine::WhereMediaFileIs(const CString& entry) const {
    if (Contains(m_movedFromMedia, entry))
        return PathInFolder(m_state.m_strInstallDir, InstalledName(entry));
    return m_state.m_strSourceDir + "\\" + entry;
}
