// Unpacks the download's payload (launcher/packed_payload.h) into a folder:
// the blocks are unpacked on every core while this thread undoes the program
// filter, sums and writes the files in order.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

enum class UnpackResult { Done, Damaged, WriteFailed };

struct UnpackedFile {
    std::string name;    // UTF-8
    std::string sha256;  // of what was written
};

// The payload is read through the download's handle from offset on, size bytes.
// On any result but Done, some files may stand in the folder, all closed.
UnpackResult UnpackPayload(void* download,
                           uint64_t offset,
                           uint64_t size,
                           const std::wstring& folder,
                           std::vector<UnpackedFile>* files);

std::wstring WideFromUtf8(const std::string& text);
