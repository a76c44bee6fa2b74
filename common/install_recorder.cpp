#include "install_recorder.h"

#include <shlobj.h>

#include "common/folder_trust.h"
#include "common/product_catalogue.h"
#include "common/shell_folders.h"
#include "common/system_seam.h"

namespace {
const char kPendingSuffix[] = ".pending";

bool Exists(const CString& path) {
    return ::GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES;
}

bool IsFolder(const CString& path) {
    DWORD attributes = ::GetFileAttributesA(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

CString WithoutTrailingBackslash(const CString& path) {
    CString trimmed = path;
    while (trimmed.GetLength() > 3 && trimmed[trimmed.GetLength() - 1] == '\\')
        trimmed = trimmed.Left(trimmed.GetLength() - 1);
    return trimmed;
}

// Every folder on the way to path that is not there yet, outermost first.
std::vector<CString> MissingFolders(const CString& path) {
    std::vector<CString> missing;
    CString folder = WithoutTrailingBackslash(path);
    while (folder.GetLength() > 3 && !IsFolder(folder)) {
        missing.insert(missing.begin(), folder);
        int cut = folder.ReverseFind('\\');
        if (cut <= 2)
            break;
        folder = folder.Left(cut);
    }
    return missing;
}

const char* RootName(HKEY root) {
    return root == HKEY_CURRENT_USER ? "HKCU" : "HKLM";
}

HKEY RootFromName(const std::string& name) {
    return name == "HKCU" ? HKEY_CURRENT_USER : HKEY_LOCAL_MACHINE;
}

bool ReadFileText(const CString& path, std::string& text) {
    ScopedHandle file(::CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    if (!file.IsValid())
        return false;
    text.clear();
    char buffer[16384];
    DWORD got = 0;
    while (::ReadFile(file.Get(), buffer, sizeof buffer, &got, nullptr) && got > 0)
        text.append(buffer, got);
    return true;
}

bool WriteAll(HANDLE file, const std::string& bytes) {
    DWORD written = 0;
    return ::WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
           written == bytes.size();
}

// The pointer to an unfinished record: the record's path, then the folders the
// installation was about to make (which exist before the record can).
void WritePending(HKEY root, const CString& recordPath, const std::vector<CString>& folders) {
    std::string multi = recordPath.str() + '\0';
    for (const CString& folder : folders)
        multi += folder.str() + '\0';
    multi += '\0';
    HKEY key = nullptr;
    if (::RegCreateKeyExA(root, kProductKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr) != ERROR_SUCCESS)
        return;
    ScopedRegKey owned(key);
    ::RegSetValueExA(key, kPendingRecordValue, 0, REG_MULTI_SZ, reinterpret_cast<const BYTE*>(multi.data()),
                     static_cast<DWORD>(multi.size()));
}

std::vector<CString> ReadPending(HKEY root) {
    std::vector<CString> parts;
    HKEY key = nullptr;
    if (::RegOpenKeyExA(root, kProductKey, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
        return parts;
    ScopedRegKey owned(key);
    DWORD type = 0;
    DWORD size = 0;
    if (::RegQueryValueExA(key, kPendingRecordValue, nullptr, &type, nullptr, &size) != ERROR_SUCCESS ||
        type != REG_MULTI_SZ)
        return parts;
    std::string data(size + 2, '\0');
    if (::RegQueryValueExA(key, kPendingRecordValue, nullptr, nullptr, reinterpret_cast<BYTE*>(data.data()), &size) !=
        ERROR_SUCCESS)
        return parts;
    size_t pos = 0;
    while (pos < data.size() && data[pos] != '\0') {
        size_t end = data.find('\0', pos);
        parts.emplace_back(data.substr(pos, end - pos).c_str());
        pos = end + 1;
    }
    return parts;
}

// A key goes only when it holds neither values nor sub-keys (deleting a key
// takes its values with it).
void DeleteKeyIfEmpty(HKEY root, const CString& path) {
    HKEY key = nullptr;
    if (::RegOpenKeyExA(root, path, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
        return;
    DWORD subKeys = 1;
    DWORD values = 1;
    ::RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, &subKeys, nullptr, nullptr, &values, nullptr, nullptr, nullptr,
                       nullptr);
    ::RegCloseKey(key);
    if (subKeys == 0 && values == 0)
        ::RegDeleteKeyA(root, path);
}

// Removes the pointer, and the product keys when nothing else is in them.
void ClearPending(HKEY root) {
    HKEY key = nullptr;
    if (::RegOpenKeyExA(root, kProductKey, 0, KEY_SET_VALUE, &key) == ERROR_SUCCESS) {
        ScopedRegKey owned(key);
        ::RegDeleteValueA(key, kPendingRecordValue);
    }
    CString product = kProductKey;
    DeleteKeyIfEmpty(root, product);
    DeleteKeyIfEmpty(root, product.Left(product.ReverseFind('\\')));
}

void DeleteAsides(const std::vector<RecordEntry>& entries) {
    for (const RecordEntry& e : entries)
        if (e.kind == RecordKind::FileReplaced) {
            ::SetFileAttributesA(e.aside.c_str(), FILE_ATTRIBUTE_NORMAL);
            ::DeleteFileA(e.aside.c_str());
        }
}

void RemoveFolderIfOurs(const CString& folder) {
    DWORD attributes = ::GetFileAttributesA(folder);
    // A link stands for a folder elsewhere: it is never ours to remove.
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) &&
        !(attributes & FILE_ATTRIBUTE_REPARSE_POINT))
        ::RemoveDirectoryA(folder);
}
// What a commit interrupted after its mark leaves to do: its final record
// (written in full before the mark) takes its place, and the earlier files go.
void FinishCommit(const CString& folder, const std::vector<RecordEntry>& entries) {
    CString finalPath = folder + kRecordFileName;
    CString next = finalPath + ".new";
    if (Exists(next))
        ::MoveFileExA(next, finalPath, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
    DeleteAsides(entries);
}
}  // namespace

void UndoEntries(const std::vector<RecordEntry>& entries) {
    for (auto it = entries.rbegin(); it != entries.rend(); ++it) {
        const RecordEntry& e = *it;
        CString path = e.path.c_str();
        switch (e.kind) {
            case RecordKind::FileCreated:
                ::SetFileAttributesA(path, FILE_ATTRIBUTE_NORMAL);
                ::DeleteFileA(path);
                break;
            case RecordKind::FileReplaced:
                if (Exists(e.aside.c_str())) {
                    ::SetFileAttributesA(path, FILE_ATTRIBUTE_NORMAL);
                    ::MoveFileExA(e.aside.c_str(), path, MOVEFILE_REPLACE_EXISTING);
                }
                break;
            case RecordKind::FolderCreated:
                RemoveFolderIfOurs(path);
                break;
            case RecordKind::FolderRemoved:
                ::CreateDirectoryA(path, nullptr);
                break;
            case RecordKind::ValueSet: {
                HKEY key = nullptr;
                if (::RegOpenKeyExA(RootFromName(e.root), path, 0, KEY_SET_VALUE, &key) != ERROR_SUCCESS)
                    break;
                ScopedRegKey owned(key);
                if (e.flag)
                    ::RegSetValueExA(key, e.aside.c_str(), 0, e.type, reinterpret_cast<const BYTE*>(e.data.data()),
                                     static_cast<DWORD>(e.data.size()));
                else
                    ::RegDeleteValueA(key, e.aside.c_str());
                break;
            }
            case RecordKind::KeyCreated:
                DeleteKeyIfEmpty(RootFromName(e.root), path);
                break;
            case RecordKind::Committed:
                break;
        }
    }
}

bool CInstallRecorder::Begin(HKEY root, const CString& folder) {
    m_root = root;
    m_folder = folder;
    m_recordPath = folder + kRecordFileName + kPendingSuffix;
    m_entries.clear();
    m_ours.clear();
    m_noted.clear();
    m_earlier.clear();
    ParsedRecord earlier = ReadRecord(folder);
    if (earlier.committed) {
        for (const RecordEntry& e : earlier.entries) {
            bool ours = e.kind == RecordKind::FileCreated || (e.kind == RecordKind::FileReplaced && e.flag) ||
                        e.kind == RecordKind::FolderCreated;
            if (!ours)
                continue;
            m_ours.insert(FoldCase(e.path));
            m_earlier.push_back(e);
        }
    }
    m_plannedFolders = MissingFolders(folder);
    WritePending(root, m_recordPath, m_plannedFolders);
    return true;
}

bool CInstallRecorder::Open() {
    m_file.Reset(::CreateFileA(m_recordPath, GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                               FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!m_file.IsValid() || !WriteAll(m_file.Get(), kRecordHeader))
        return false;
    return AppendFolders(m_plannedFolders);
}

bool CInstallRecorder::Append(const RecordEntry& entry) {
    if (!m_file.IsValid() || !WriteAll(m_file.Get(), EncodeEntry(entry)) || !::FlushFileBuffers(m_file.Get()))
        return false;
    if (entry.kind != RecordKind::Committed)
        m_entries.push_back(entry);
    if (g_system.recordEntryWritten)
        g_system.recordEntryWritten(static_cast<int>(m_entries.size()));
    return true;
}

bool CInstallRecorder::NoteNewFiles(const std::vector<CString>& paths) {
    std::vector<RecordEntry> entries;
    for (const CString& path : paths) {
        if (::GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES || m_noted.count(FoldCase(path.str())))
            continue;
        RecordEntry e;
        e.kind = RecordKind::FileCreated;
        e.path = path.str();
        entries.push_back(e);
    }
    if (!AppendAll(entries))
        return false;
    for (const RecordEntry& e : entries)
        m_noted.insert(FoldCase(e.path));
    return true;
}

// Entries made together go to disk in one write and one flush.
bool CInstallRecorder::AppendAll(const std::vector<RecordEntry>& entries) {
    if (entries.empty())
        return true;
    std::string batch;
    for (const RecordEntry& e : entries)
        batch += EncodeEntry(e);
    if (!m_file.IsValid() || !WriteAll(m_file.Get(), batch) || !::FlushFileBuffers(m_file.Get()))
        return false;
    for (const RecordEntry& e : entries) {
        m_entries.push_back(e);
        if (g_system.recordEntryWritten)
            g_system.recordEntryWritten(static_cast<int>(m_entries.size()));
    }
    return true;
}

bool CInstallRecorder::NoteFile(const CString& path) {
    RecordEntry e;
    e.path = path.str();
    // Noted ahead with the others: new then, or put there by this installation since.
    if (m_noted.count(FoldCase(e.path)))
        return true;
    DWORD attributes = ::GetFileAttributesA(path);
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        e.kind = RecordKind::FileCreated;
        return Append(e);
    }
    // An open file (the running editor) must stay where it is: the caller hears
    // of it as it did before there was a record.
    {
        ScopedHandle probe(::CreateFileA(path, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                         nullptr, OPEN_EXISTING, 0, nullptr));
        if (!probe.IsValid() && ::GetLastError() == ERROR_SHARING_VIOLATION)
            return false;
    }
    e.kind = RecordKind::FileReplaced;
    e.flag = m_ours.count(FoldCase(e.path)) > 0;
    CString aside = path + kAsideSuffix;
    for (int n = 2; Exists(aside); ++n)
        aside.Format("%s%s%d", path.c_str(), kAsideSuffix, n);
    e.aside = aside.str();
    if (!Append(e))
        return false;
    if (!::MoveFileExA(path, aside, 0)) {
        DWORD error = ::GetLastError();
        m_entries.pop_back();  // nothing was moved; rollback has nothing to restore
        ::SetLastError(error);
        return false;
    }
    return true;
}

bool CInstallRecorder::NoteFolders(const CString& path) {
    return AppendFolders(MissingFolders(path));
}

bool CInstallRecorder::AppendFolders(const std::vector<CString>& folders) {
    std::vector<RecordEntry> entries;
    for (const CString& folder : folders) {
        RecordEntry e;
        e.kind = RecordKind::FolderCreated;
        e.path = folder.str();
        entries.push_back(e);
    }
    return AppendAll(entries);
}

bool CInstallRecorder::NoteFolderRemoval(const CString& path) {
    RecordEntry e;
    e.kind = RecordKind::FolderRemoved;
    e.path = path.str();
    return Append(e);
}

bool CInstallRecorder::NoteValue(HKEY root, const CString& key, const CString& name) {
    HKEY opened = nullptr;
    if (::RegOpenKeyExA(root, key, 0, KEY_QUERY_VALUE, &opened) != ERROR_SUCCESS) {
        // The key itself is new: note each missing level, outermost first.
        std::vector<CString> missing;
        CString level = key;
        while (!level.IsEmpty()) {
            HKEY probe = nullptr;
            if (::RegOpenKeyExA(root, level, 0, KEY_QUERY_VALUE, &probe) == ERROR_SUCCESS) {
                ::RegCloseKey(probe);
                break;
            }
            missing.insert(missing.begin(), level);
            int cut = level.ReverseFind('\\');
            level = cut > 0 ? level.Left(cut) : CString();
        }
        for (const CString& k : missing) {
            RecordEntry e;
            e.kind = RecordKind::KeyCreated;
            e.root = RootName(root);
            e.path = k.str();
            if (!Append(e))
                return false;
        }
    }
    ScopedRegKey owned(opened);
    RecordEntry e;
    e.kind = RecordKind::ValueSet;
    e.root = RootName(root);
    e.path = key.str();
    e.aside = name.str();
    DWORD type = 0;
    DWORD size = 0;
    if (opened && ::RegQueryValueExA(opened, name, nullptr, &type, nullptr, &size) == ERROR_SUCCESS) {
        std::string data(size, '\0');
        if (::RegQueryValueExA(opened, name, nullptr, &type, reinterpret_cast<BYTE*>(data.data()), &size) ==
            ERROR_SUCCESS) {
            e.flag = true;
            e.type = type;
            e.data = data.substr(0, size);
        }
    }
    return Append(e);
}

bool CInstallRecorder::Commit() {
    // The committed record: what an earlier installation made and this one did
    // not touch again, then this installation's own entries.
    std::set<std::string> now;
    for (const RecordEntry& e : m_entries)
        now.insert(FoldCase(e.path));
    std::string text = kRecordHeader;
    for (const RecordEntry& e : m_earlier)
        if (!now.count(FoldCase(e.path)) && Exists(e.path.c_str()))
            text += EncodeEntry(e);
    for (const RecordEntry& e : m_entries)
        text += EncodeEntry(e);
    RecordEntry committed;
    committed.kind = RecordKind::Committed;
    text += EncodeEntry(committed);

    CString finalPath = m_folder + kRecordFileName;
    CString next = finalPath + ".new";
    {
        ScopedHandle file(
            ::CreateFileA(next, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file.IsValid() || !WriteAll(file.Get(), text) || !::FlushFileBuffers(file.Get())) {
            file.Reset();
            ::DeleteFileA(next);
            return false;
        }
    }
    // From here on the installation stands: the pending record says so before
    // the final one takes its place, so a kill or power loss in between is
    // finished by the next start rather than undone.
    if (!Append(committed) || !::MoveFileExA(next, finalPath, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        ::DeleteFileA(next);
        return false;
    }
    m_file.Reset();
    ::DeleteFileA(m_recordPath);
    DeleteAsides(m_entries);
    ClearPending(m_root);
    return true;
}

void CInstallRecorder::Rollback() {
    m_file.Reset();
    ::DeleteFileA(m_recordPath);
    UndoEntries(m_entries);
    for (auto it = m_plannedFolders.rbegin(); it != m_plannedFolders.rend(); ++it)
        RemoveFolderIfOurs(*it);
    m_entries.clear();
    if (m_root)
        ClearPending(m_root);
}

namespace {
// Where setup puts the product's links for an installation under the root:
// the group and the desktop of the user, and for all users theirs too.
std::vector<std::string> LinkFoldersOf(HKEY root) {
    std::vector<std::string> folders;
    auto add = [&](int csidl, bool group) {
        CString path = GetSpecialFolderPath(csidl);
        if (!path.IsEmpty())
            folders.push_back(path.str() + "\\" + (group ? std::string(kGroupFolderName) + "\\" : std::string()));
    };
    add(CSIDL_PROGRAMS, true);
    add(CSIDL_DESKTOPDIRECTORY, false);
    if (root == HKEY_LOCAL_MACHINE) {
        add(CSIDL_COMMON_PROGRAMS, true);
        add(CSIDL_COMMON_DESKTOPDIRECTORY, false);
    }
    return folders;
}
}  // namespace

bool CInstallRecorder::RecoverUnfinished(HKEY root) {
    std::vector<CString> pending = ReadPending(root);
    if (pending.empty())
        return false;
    // Only a record by our name is read or deleted, and only what setup itself
    // would have noted there is undone: the folder may be open to its users.
    std::string path = pending[0].str();
    std::string suffix = std::string("\\") + kRecordFileName + kPendingSuffix;
    bool ours = path.size() > suffix.size() && FoldCase(path.substr(path.size() - suffix.size())) == FoldCase(suffix);
    // The machine's record must be one an administrator wrote, not a user's
    // file put in its place.
    if (ours && (PassesThroughLink(pending[0]) || (root == HKEY_LOCAL_MACHINE && !OwnerIsTrusted(pending[0]))))
        ours = false;
    std::string text;
    if (ours && ReadFileText(pending[0], text)) {
        std::string folder = path.substr(0, path.size() - suffix.size() + 1);
        ParsedRecord record = ParseRecord(text);
        std::vector<RecordEntry> recoverable;
        std::vector<std::string> linkFolders = LinkFoldersOf(root);
        for (const RecordEntry& e : record.entries) {
            bool onDisk = e.kind != RecordKind::ValueSet && e.kind != RecordKind::KeyCreated;
            if (RecoverableEntry(e, folder, RootName(root), linkFolders) &&
                !(onDisk && PassesThroughLink(e.path.c_str())))
                recoverable.push_back(e);
        }
        if (record.valid && !record.committed)
            UndoEntries(recoverable);
        if (record.valid && record.committed)
            FinishCommit(folder.c_str(), recoverable);
        ::DeleteFileA(pending[0]);
    }
    for (size_t i = pending.size(); i-- > 1;)
        RemoveFolderIfOurs(pending[i]);
    ClearPending(root);
    return true;
}

ParsedRecord CInstallRecorder::ReadRecord(const CString& folder) {
    std::string text;
    if (!ReadFileText(folder + kRecordFileName, text))
        return ParsedRecord();
    return ParseRecord(text);
}
