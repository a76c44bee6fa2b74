// Unpacks the cabinet inside the download with the system's cabinet library,
// hashing each file as it is written.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

enum class ExtractResult { Done, Damaged, WriteFailed };

struct ExtractedFile {
    std::string name;  // UTF-8
    std::string sha256;
};

// Unpacks the cabinet that lies at [offset, offset + size) of the open file into
// the folder; only plain file names are accepted and nothing is overwritten.
ExtractResult ExtractCabinet(void* download,
                             uint64_t offset,
                             uint64_t size,
                             const std::wstring& folder,
                             std::vector<ExtractedFile>* files);

std::wstring WideFromUtf8(const std::string& text);
