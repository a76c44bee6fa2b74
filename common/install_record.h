// The install record: what setup changed, written ahead of each change, so that
// a failed, cancelled or killed installation can be undone and a removal takes
// exactly what was installed. Plain C++: the entry format and the plans built
// from a record; the file and the changes themselves are in record_file.h.
//
// The file is text: a header line, then one line per entry,
//   <length, 8 hex> <checksum, 8 hex> <kind>\t<field>\t<field>...\r\n
// where length and checksum cover the part after the second blank. A last
// entry that is cut short or whose checksum does not match was being written
// when the process died; it and anything after it are ignored.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

inline constexpr char kRecordHeader[] = "Brellic Pagewright install record 1\r\n";
inline constexpr char kRecordFileName[] = "install.rec";

enum class RecordKind {
    FileCreated,    // path: a file that was not there before
    FileReplaced,   // path, aside: the earlier file was moved to aside; flag: it was ours
    FolderCreated,  // path
    ValueSet,       // root, key, name, flag: existed before, type, earlier data (hex)
    KeyCreated,     // root, key
    Committed,      // the installation finished: asides may go, the record is the uninstall record
    FolderRemoved,  // path: an empty folder of an earlier installation (the link group)
};

struct RecordEntry {
    RecordKind kind = RecordKind::FileCreated;
    std::string path;   // file or folder; for registry entries the key
    std::string aside;  // FileReplaced: where the earlier file waits; ValueSet: the value's name
    std::string root;   // registry root, "HKLM" or "HKCU"
    bool flag = false;  // FileReplaced: the earlier file was ours; ValueSet: the value existed
    uint32_t type = 0;  // ValueSet: the earlier value's type
    std::string data;   // ValueSet: the earlier value's bytes
};

// One entry as a line of the file, with its length and checksum.
std::string EncodeEntry(const RecordEntry& entry);

struct ParsedRecord {
    bool valid = false;                // the header is ours
    bool committed = false;            // a Committed entry was read
    bool torn = false;                 // the file ended in a damaged entry, which was ignored
    std::vector<RecordEntry> entries;  // in the order they were written, Committed excluded
};

// Reads a record's text; stops at the first damaged entry.
ParsedRecord ParseRecord(const std::string& text);

// What an uninstall may delete: the files the record says setup created (or
// replaced when they were ours already), deepest folders last. A file that was
// there before setup is never listed.
struct RemovalPlan {
    std::vector<std::string> files;
    std::vector<std::string> folders;  // created by setup, innermost first
};
RemovalPlan PlanRemoval(const std::vector<RecordEntry>& entries);

// Where an earlier file waits during an installation: its path with this
// suffix, and a number when that is taken.
inline constexpr char kAsideSuffix[] = ".pw-old";

// Whether recovery may undo the entry of a record left in folder (which ends
// with a backslash) by an installation under the root named rootName. The
// record lies in the installation folder, which a user may be able to write:
// only what setup itself notes passes: files directly in that folder, the
// product's links in linkFolders (the group and desktop folders of that root,
// each with a trailing backslash), the product's keys, asides beside their
// files, the folders setup made on the way to that folder or to linkFolders,
// and a group folder it removed.
bool RecoverableEntry(const RecordEntry& entry,
                      const std::string& folder,
                      const std::string& rootName,
                      const std::vector<std::string>& linkFolders);

// A file name a record entry may end in: no folder separator, drive or "..",
// nothing that could reach outside the folder the entry names.
bool IsPlainRecordedName(const std::string& name);

// Lowercase ASCII letters, for comparing Windows paths.
std::string FoldCase(const std::string& path);

// CRC-32 (IEEE) of the bytes.
uint32_t Crc32(const std::string& bytes);
