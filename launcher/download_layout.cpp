#include "launcher/download_layout.h"

#include <cstring>
#include <set>

namespace {
uint64_t LittleEndian(const unsigned char* p, int bytes) {
    uint64_t value = 0;
    for (int i = bytes - 1; i >= 0; --i)
        value = (value << 8) | p[i];
    return value;
}

}  // namespace

bool IsPlainFileName(const std::string& name) {
    if (name.empty() || name == "." || name == ".." || name.size() > 255)
        return false;
    for (char c : name) {
        unsigned char u = static_cast<unsigned char>(c);
        if (u < 32 || c == '\\' || c == '/' || c == ':' || c == '*' || c == '?' || c == '"' || c == '<' || c == '>' ||
            c == '|')
            return false;
    }
    return true;
}
uint64_t DataEnd(const unsigned char* headers, size_t headerBytes, uint64_t fileSize) {
    if (headerBytes < 0x40 || headers[0] != 'M' || headers[1] != 'Z')
        return 0;
    uint64_t pe = LittleEndian(headers + 0x3C, 4);
    if (pe + 24 + 2 > headerBytes || std::memcmp(headers + pe, "PE\0\0", 4) != 0)
        return 0;
    uint64_t optional = pe + 24;
    uint64_t magic = LittleEndian(headers + optional, 2);
    uint64_t directories;
    if (magic == 0x10b)
        directories = optional + 96;
    else if (magic == 0x20b)
        directories = optional + 112;
    else
        return 0;
    const uint64_t kSecurity = 4;
    uint64_t count = LittleEndian(headers + directories - 4, 4);
    uint64_t entry = directories + kSecurity * 8;
    if (count <= kSecurity || entry + 8 > headerBytes)
        return fileSize;
    uint64_t start = LittleEndian(headers + entry, 4);
    uint64_t size = LittleEndian(headers + entry + 4, 4);
    if (size == 0 || start == 0 || start > fileSize || size > fileSize - start)
        return fileSize;
    return start;
}

bool ReadTrailer(const unsigned char* tail, size_t tailBytes, uint64_t dataEnd, PayloadLocation* location) {
    if (tailBytes > dataEnd)
        return false;
    // The signing tool pads to a multiple of 8 before the signature.
    size_t end = tailBytes;
    for (int padding = 0; padding < 7 && end > 0 && tail[end - 1] == 0; ++padding)
        --end;
    if (end < kTrailerSize || std::memcmp(tail + end - 8, kTrailerMagic, 8) != 0)
        return false;
    const unsigned char* trailer = tail + end - kTrailerSize;
    uint64_t trailerStart = dataEnd - (tailBytes - end) - kTrailerSize;
    PayloadLocation found;
    found.packOffset = LittleEndian(trailer, 8);
    found.packSize = LittleEndian(trailer + 8, 8);
    found.listSize = LittleEndian(trailer + 16, 8);
    found.listOffset = found.packOffset + found.packSize;
    found.end = trailerStart + kTrailerSize;  // the signing tool's padding is not ours
    if (found.packOffset == 0 || found.packSize == 0 || found.packSize > trailerStart ||
        found.packOffset > trailerStart - found.packSize || found.listSize > trailerStart - found.listOffset ||
        trailerStart - found.listOffset - found.listSize > 7)
        return false;
    *location = found;
    return true;
}

bool ParseSumList(const std::string& text, std::vector<FileSum>* sums) {
    std::vector<FileSum> result;
    std::set<std::string> names;
    size_t pos = 0;
    while (pos < text.size()) {
        size_t newline = text.find('\n', pos);
        if (newline == std::string::npos)
            return false;
        std::string line = text.substr(pos, newline - pos);
        pos = newline + 1;
        if (line.size() < 67 || line[64] != ' ' || (line[65] != ' ' && line[65] != '*'))
            return false;
        FileSum sum{line.substr(66), line.substr(0, 64)};
        for (char c : sum.sha256)
            if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f')))
                return false;
        if (!IsPlainFileName(sum.name) || !names.insert(sum.name).second)
            return false;
        result.push_back(sum);
    }
    if (result.empty())
        return false;
    *sums = std::move(result);
    return true;
}
