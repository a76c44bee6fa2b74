// Keeps the install record on disk: each change is written and flushed before
// it is made, an earlier file is moved aside rather than overwritten, and the
// whole installation is either committed or rolled back. An installation that
// was killed is found at the next start through a value in the product key and
// rolled back then.
#pragma once
#include <windows.h>

#include <set>
#include <string>
#include <vector>

#include "common/install_record.h"
#include "framework/afx_string.h"
#include "framework/scoped_handles.h"

class CInstallRecorder {
public:
    CInstallRecorder() = default;
    CInstallRecorder(const CInstallRecorder&) = delete;
    CInstallRecorder& operator=(const CInstallRecorder&) = delete;

    // Starts a record for an installation into folder (with its trailing
    // backslash) under the registry root: notes the folders about to be made,
    // and remembers what an earlier record there says was ours. False when the
    // record cannot be written (nothing has been changed then).
    bool Begin(HKEY root, const CString& folder);
    // Once the installation folder exists: opens the record file in it.
    bool Open();
    bool IsActive() const { return m_file.IsValid(); }

    // Before a file is written: an existing one is moved aside (false, with the
    // system's error, when it cannot be, e.g. because it is open elsewhere).
    bool NoteFile(const CString& path);
    // Before files that are not there yet are written, all at once: one flush
    // for the lot (a created file that was never written is nothing to undo).
    // NoteFile then has nothing more to write for them.
    bool NoteNewFiles(const std::vector<CString>& paths);
    // Before folders are made: every folder of the path not there yet, outermost first.
    bool NoteFolders(const CString& path);
    // Before an empty folder of an earlier installation is removed.
    bool NoteFolderRemoval(const CString& path);
    // Before a registry value is written, with the key it lives in.
    bool NoteValue(HKEY root, const CString& key, const CString& name);

    // The installation is complete: the moved-aside files go, and the record
    // becomes the uninstall record in the installation folder.
    bool Commit();
    // Undoes every noted change, newest first.
    void Rollback();

    // Rolls back an installation under this root that never committed; true
    // when there was one.
    static bool RecoverUnfinished(HKEY root);

    // The record in an installation folder, if any.
    static ParsedRecord ReadRecord(const CString& folder);

private:
    bool Append(const RecordEntry& entry);
    bool AppendAll(const std::vector<RecordEntry>& entries);
    bool AppendFolders(const std::vector<CString>& folders);

    ScopedHandle m_file;
    HKEY m_root = nullptr;
    CString m_folder;
    CString m_recordPath;
    std::vector<RecordEntry> m_entries;
    std::vector<CString> m_plannedFolders;  // installation folders Begin found missing
    std::set<std::string> m_ours;           // folded paths an earlier installation created
    std::set<std::string> m_noted;          // folded paths noted as created ahead of time
    std::vector<RecordEntry> m_earlier;     // an earlier installation's own entries, kept at commit
};

// The value in the product key that points at an unfinished record.
inline constexpr char kPendingRecordValue[] = "PendingInstallRecord";

// Undoes entries newest first (also used by recovery).
void UndoEntries(const std::vector<RecordEntry>& entries);
