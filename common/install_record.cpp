#include "install_record.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <set>

#include "common/product_catalogue.h"

namespace {
const char* const kKindNames[] = {"file-created", "file-replaced", "folder-created", "value-set",
                                  "key-created",  "committed",     "folder-removed"};

// Fields may hold any byte (registry data); tabs, line ends and '%' are escaped.
std::string Escape(const std::string& field) {
    std::string out;
    for (unsigned char ch : field) {
        if (ch == '%' || ch == '\t' || ch == '\r' || ch == '\n' || ch == 0) {
            char buffer[4];
            std::snprintf(buffer, sizeof buffer, "%%%02X", ch);
            out += buffer;
        } else {
            out += static_cast<char>(ch);
        }
    }
    return out;
}

int HexDigit(char ch) {
    if (ch >= '0' && ch <= '9')
        return ch - '0';
    if (ch >= 'A' && ch <= 'F')
        return ch - 'A' + 10;
    if (ch >= 'a' && ch <= 'f')
        return ch - 'a' + 10;
    return -1;
}

bool Unescape(const std::string& field, std::string& out) {
    out.clear();
    for (size_t i = 0; i < field.size(); ++i) {
        if (field[i] != '%') {
            out += field[i];
            continue;
        }
        int high = i + 1 < field.size() ? HexDigit(field[i + 1]) : -1;
        int low = i + 2 < field.size() ? HexDigit(field[i + 2]) : -1;
        if (high < 0 || low < 0)
            return false;
        out += static_cast<char>(high * 16 + low);
        i += 2;
    }
    return true;
}

std::vector<std::string> Split(const std::string& text, char separator) {
    std::vector<std::string> parts(1);
    for (char ch : text) {
        if (ch == separator)
            parts.emplace_back();
        else
            parts.back() += ch;
    }
    return parts;
}

bool ParseHex32(const std::string& text, uint32_t& value) {
    if (text.size() != 8)
        return false;
    value = 0;
    for (char ch : text) {
        int digit = HexDigit(ch);
        if (digit < 0)
            return false;
        value = value * 16 + static_cast<uint32_t>(digit);
    }
    return true;
}

std::vector<std::string> Fields(const RecordEntry& e) {
    switch (e.kind) {
        case RecordKind::FileCreated:
        case RecordKind::FolderCreated:
        case RecordKind::FolderRemoved:
            return {e.path};
        case RecordKind::FileReplaced:
            return {e.path, e.aside, e.flag ? "1" : "0"};
        case RecordKind::ValueSet:
            return {e.root, e.path, e.aside, e.flag ? "1" : "0", std::to_string(e.type), e.data};
        case RecordKind::KeyCreated:
            return {e.root, e.path};
        case RecordKind::Committed:
            return {};
    }
    return {};
}

bool FromFields(RecordKind kind, const std::vector<std::string>& f, RecordEntry& e) {
    e = RecordEntry();
    e.kind = kind;
    switch (kind) {
        case RecordKind::FileCreated:
        case RecordKind::FolderCreated:
        case RecordKind::FolderRemoved:
            if (f.size() != 1 || f[0].empty())
                return false;
            e.path = f[0];
            return true;
        case RecordKind::FileReplaced:
            if (f.size() != 3 || f[0].empty() || f[1].empty())
                return false;
            e.path = f[0];
            e.aside = f[1];
            e.flag = f[2] == "1";
            return true;
        case RecordKind::ValueSet:
            if (f.size() != 6)
                return false;
            e.root = f[0];
            e.path = f[1];
            e.aside = f[2];
            e.flag = f[3] == "1";
            e.type = static_cast<uint32_t>(std::strtoul(f[4].c_str(), nullptr, 10));
            e.data = f[5];
            return true;
        case RecordKind::KeyCreated:
            if (f.size() != 2)
                return false;
            e.root = f[0];
            e.path = f[1];
            return true;
        case RecordKind::Committed:
            return f.empty();
    }
    return false;
}
}  // namespace

uint32_t Crc32(const std::string& bytes) {
    uint32_t crc = 0xFFFFFFFFu;
    for (unsigned char ch : bytes) {
        crc ^= ch;
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

bool IsPlainRecordedName(const std::string& name) {
    return !name.empty() && name != "." && name != ".." && name.find_first_of("\\/:") == std::string::npos;
}

namespace {
bool IsProductLinkName(const std::string& name) {
    std::string folded = FoldCase(name);
    auto named = [&](const char* link) { return folded == FoldCase(std::string(link) + ".lnk"); };
    for (const ProductLink& link : kGroupLinks)
        if (named(link.name))
            return true;
    return named(kDesktopLink.name) || named(kLegacyGroupLinkName);
}

bool IsOneOf(const std::string& folder, const std::vector<std::string>& folders) {
    for (const std::string& f : folders)
        if (FoldCase(f) == FoldCase(folder))
            return true;
    return false;
}

// A file setup notes: one directly in the folder, or one of the product's
// links in the folders links go to.
bool IsOurFilePath(const std::string& path, const std::string& folder, const std::vector<std::string>& linkFolders) {
    size_t slash = path.rfind('\\');
    if (slash == std::string::npos || !IsPlainRecordedName(path.substr(slash + 1)))
        return false;
    std::string parent = path.substr(0, slash + 1);
    return FoldCase(parent) == FoldCase(folder) ||
           (IsProductLinkName(path.substr(slash + 1)) && IsOneOf(parent, linkFolders));
}

// A folder on the way to one of the places: the place itself or one above it.
bool IsOnTheWayTo(const std::string& path, const std::vector<std::string>& places) {
    std::string folder = FoldCase(path.empty() || path.back() == '\\' ? path : path + "\\");
    if (folder.size() < 4 || folder.find("\\..\\") != std::string::npos || folder.find("\\.\\") != std::string::npos)
        return false;
    for (const std::string& place : places)
        if (FoldCase(place).compare(0, folder.size(), folder) == 0)
            return true;
    return false;
}

// The product's keys, and for keys made on the way, the keys above them (only
// an empty key is ever deleted).
bool IsOurKey(const std::string& key, bool parentsToo) {
    std::string folded = FoldCase(key);
    for (const char* ours : {kProductKey, kUninstallKey}) {
        std::string own = FoldCase(ours);
        if (folded == own ||
            (parentsToo && own.size() > folded.size() + 1 && own.compare(0, folded.size() + 1, folded + "\\") == 0))
            return true;
    }
    return false;
}

bool IsAsideOf(const std::string& aside, const std::string& path) {
    std::string prefix = FoldCase(path + kAsideSuffix);
    if (aside.size() < prefix.size() || FoldCase(aside.substr(0, prefix.size())) != prefix)
        return false;
    return aside.find_first_not_of("0123456789", prefix.size()) == std::string::npos;
}
}  // namespace

bool RecoverableEntry(const RecordEntry& entry,
                      const std::string& folder,
                      const std::string& rootName,
                      const std::vector<std::string>& linkFolders) {
    std::vector<std::string> places = linkFolders;
    places.push_back(folder);
    switch (entry.kind) {
        case RecordKind::FileCreated:
            return IsOurFilePath(entry.path, folder, linkFolders);
        case RecordKind::FileReplaced:
            return IsOurFilePath(entry.path, folder, linkFolders) && IsAsideOf(entry.aside, entry.path);
        case RecordKind::ValueSet:
            return entry.root == rootName && IsOurKey(entry.path, false);
        case RecordKind::KeyCreated:
            return entry.root == rootName && IsOurKey(entry.path, true);
        case RecordKind::FolderCreated:
            return IsOnTheWayTo(entry.path, places);  // only an empty one is ever removed
        case RecordKind::FolderRemoved:
            return IsOneOf(entry.path.empty() || entry.path.back() == '\\' ? entry.path : entry.path + "\\",
                           linkFolders);
        case RecordKind::Committed:
            return true;
    }
    return false;
}

std::string FoldCase(const std::string& path) {
    std::string folded = path;
    for (char& ch : folded)
        if (ch >= 'A' && ch <= 'Z')
            ch = static_cast<char>(ch - 'A' + 'a');
    return folded;
}

std::string EncodeEntry(const RecordEntry& entry) {
    std::string payload = kKindNames[static_cast<int>(entry.kind)];
    for (const std::string& field : Fields(entry))
        payload += "\t" + Escape(field);
    char prefix[20];
    std::snprintf(prefix, sizeof prefix, "%08X %08X ", static_cast<unsigned>(payload.size()),
                  static_cast<unsigned>(Crc32(payload)));
    return prefix + payload + "\r\n";
}

ParsedRecord ParseRecord(const std::string& text) {
    ParsedRecord record;
    const std::string header = kRecordHeader;
    if (text.compare(0, header.size(), header) != 0)
        return record;
    record.valid = true;
    size_t pos = header.size();
    while (pos < text.size()) {
        uint32_t length = 0;
        uint32_t checksum = 0;
        RecordEntry entry;
        // Compared as "what is left" so a huge length cannot wrap a 32-bit size around.
        bool good = pos + 20 <= text.size() && ParseHex32(text.substr(pos, 8), length) && text[pos + 8] == ' ' &&
                    ParseHex32(text.substr(pos + 9, 8), checksum) && text[pos + 17] == ' ' &&
                    length <= text.size() - pos - 20 && text.compare(pos + 18 + length, 2, "\r\n") == 0;
        std::string payload = good ? text.substr(pos + 18, length) : std::string();
        if (good)
            good = Crc32(payload) == checksum;
        if (good) {
            std::vector<std::string> parts = Split(payload, '\t');
            auto name = std::find(std::begin(kKindNames), std::end(kKindNames), parts[0]);
            std::vector<std::string> fields;
            for (size_t i = 1; good && i < parts.size(); ++i) {
                std::string field;
                good = Unescape(parts[i], field);
                fields.push_back(field);
            }
            good = good && name != std::end(kKindNames) &&
                   FromFields(static_cast<RecordKind>(name - std::begin(kKindNames)), fields, entry);
        }
        if (!good) {
            record.torn = true;
            break;
        }
        if (entry.kind == RecordKind::Committed)
            record.committed = true;
        else
            record.entries.push_back(entry);
        pos += 18 + length + 2;
    }
    return record;
}

RemovalPlan PlanRemoval(const std::vector<RecordEntry>& entries) {
    RemovalPlan plan;
    std::set<std::string> listed;
    for (const RecordEntry& e : entries) {
        bool ours = e.kind == RecordKind::FileCreated || (e.kind == RecordKind::FileReplaced && e.flag);
        if (ours && listed.insert(FoldCase(e.path)).second)
            plan.files.push_back(e.path);
    }
    for (const RecordEntry& e : entries)
        if (e.kind == RecordKind::FolderCreated)
            plan.folders.push_back(e.path);
    std::reverse(plan.folders.begin(), plan.folders.end());
    return plan;
}
