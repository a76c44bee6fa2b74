// Where the download keeps its payload, and what the payload's list says.
// Plain C++: these rules are tested without Windows.
//
// The download is the launcher program, then the packed media
// (launcher/packed_payload.h), then the list of the
// files' SHA-256 sums (sha256sum's format, UTF-8 names), zero padding to a
// multiple of 8 bytes, then the trailer. An Authenticode signature, when the
// file is signed, follows the trailer; the PE header's security directory says
// where it starts.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

inline constexpr char kTrailerMagic[8] = {'B', 'R', 'P', 'W', 'P', 'A', 'Y', '2'};
// packed media's offset, its size, list size (little-endian 64-bit each), magic.
inline constexpr size_t kTrailerSize = 32;

struct PayloadLocation {
    uint64_t packOffset = 0;
    uint64_t packSize = 0;
    uint64_t listOffset = 0;
    uint64_t listSize = 0;
    uint64_t end = 0;  // just past the trailer: what was appended is [packOffset, end)
};

// The launcher carries the SHA-256 of everything appended to it, written by
// the release script behind this mark before the download is signed, so that
// the signature covers it.
inline constexpr char kDigestMark[8] = {'B', 'R', 'P', 'W', 'D', 'I', 'G', '1'};
inline constexpr size_t kDigestBytes = 32;

// Where the signature begins (the end of our data), from the first bytes of
// the file; the file size when it is not signed. 0 when the headers are not a PE's.
uint64_t DataEnd(const unsigned char* headers, size_t headerBytes, uint64_t fileSize);

// Reads the trailer from the last bytes before dataEnd (at most kTrailerSize + 7
// of them). False when it is missing or does not add up.
bool ReadTrailer(const unsigned char* tail, size_t tailBytes, uint64_t dataEnd, PayloadLocation* location);

struct FileSum {
    std::string name;    // UTF-8
    std::string sha256;  // 64 lowercase hex digits
};

// A name without folders, reserved letters or "..", as every packed file's must be.
bool IsPlainFileName(const std::string& name);

// "<64 hex>  <name>" lines. False on anything else, on a name that is not a
// plain file name (no folders, no "..") and on a name listed twice.
bool ParseSumList(const std::string& text, std::vector<FileSum>* sums);
